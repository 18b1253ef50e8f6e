// The pseudo-terminal transport. The master side is ours; senders open the slave path as if it
// were a serial port.
//
// A pty master reports a hangup whenever no one holds the slave open, so we hold it ourselves
// until the sender's first byte arrives: until then there is nothing to hang up, and from then on
// a hangup means the sender closed its port.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "simulator/reply_queue.h"
#include "simulator/transport.h"

namespace sim {

namespace {

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

class PtyTransport : public Transport {
 public:
  ~PtyTransport() override {
    if (!link_.empty()) {
      // Take away only our own link; someone may have put another there meanwhile.
      char target[512];
      const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
      if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slave_path_) {
        unlink(link_.c_str());
      }
    }
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }

  bool Open(const std::string& link_path, std::string* error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return Fail(SystemError("cannot open a pseudo-terminal"), error);
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
      return Fail(SystemError("cannot unlock the pseudo-terminal"), error);
    }
    const char* name = ptsname(master_);
    if (name == nullptr) return Fail(SystemError("cannot name the pseudo-terminal"), error);
    slave_path_ = name;
    if (!HoldSlave(error)) return false;
    // A serial line carries bytes unchanged: no echo, no line editing, no CR/NL translation.
    termios settings{};
    if (tcgetattr(slave_, &settings) == 0) {
      cfmakeraw(&settings);
      cfsetispeed(&settings, B9600);
      cfsetospeed(&settings, B9600);
      tcsetattr(slave_, TCSANOW, &settings);
    }
    const int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    replies_ = ReplyQueue(master_, false);
    if (!link_path.empty()) {
      struct stat info {};
      if (lstat(link_path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
          return Fail(link_path + " exists and is not a symbolic link; not replacing it", error);
        }
        unlink(link_path.c_str());
      }
      if (symlink(slave_path_.c_str(), link_path.c_str()) != 0) {
        return Fail(SystemError("cannot create the link " + link_path), error);
      }
      link_ = link_path;
    }
    return true;
  }

  std::string Where() const override { return slave_path_; }

  bool Wait(int timeout_ms, std::vector<PeerEvent>* events) override {
    const short out = replies_.Empty() ? 0 : POLLOUT;
    pollfd waiter{master_, static_cast<short>(POLLIN | out), 0};
    const int ready = poll(&waiter, 1, timeout_ms);
    if (ready < 0 && errno != EINTR) {
      error_ = SystemError("cannot wait for the sender");
      return false;
    }
    if (ready <= 0) return true;
    // A write error means the sender closed its side; the read below sees the hangup.
    if ((waiter.revents & POLLOUT) != 0 && !replies_.Flush()) replies_.Clear();
    if ((waiter.revents & (POLLIN | POLLHUP | POLLERR)) != 0) Service(events);
    return true;
  }

  bool Send(PeerId /*peer*/, const std::vector<std::uint8_t>& bytes) override {
    switch (replies_.Push(bytes)) {
      case ReplyQueue::Result::kOk:
        return true;
      case ReplyQueue::Result::kFull:
        // A serial line cannot be dropped like a connection; the reply is lost instead.
        error_ = "the sender does not read its replies: " + std::to_string(replies_.Pending()) +
                 " bytes wait (reply dropped)";
        return false;
      case ReplyQueue::Result::kFailed:
        break;
    }
    error_ = SystemError("cannot send the reply") + " (reply dropped)";
    replies_.Clear();
    return false;
  }

  bool Rearm() override {
    std::string error;
    if (!HoldSlave(&error)) {
      error_ = error;
      return false;
    }
    ++peer_;
    return true;
  }

 private:
  void Service(std::vector<PeerEvent>* events) {
    std::uint8_t buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n > 0) {
      // The sender is here and talking; from now on its close is ours to see.
      if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
        events->push_back({PeerEvent::Kind::kConnected, peer_, {}, slave_path_});
      }
      events->push_back({PeerEvent::Kind::kData, peer_, {buffer, buffer + n}, {}});
      return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    // EIO: the last holder of the slave side closed it. Before the sender's first byte that is
    // nobody we serve.
    if (slave_ >= 0) return;
    replies_.Clear();  // nobody is left to read them
    events->push_back({PeerEvent::Kind::kHangup, peer_, {}, "closed the terminal"});
  }

  bool HoldSlave(std::string* error) {
    if (slave_ >= 0) return true;
    slave_ = open(slave_path_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) return Fail(SystemError("cannot open " + slave_path_), error);
    return true;
  }

  bool Fail(const std::string& message, std::string* error) {
    *error = message;
    return false;
  }

  int master_ = -1;
  int slave_ = -1;
  ReplyQueue replies_{-1, false};
  PeerId peer_ = 1;
  std::string slave_path_;
  std::string link_;
};

}  // namespace

std::unique_ptr<Transport> OpenPty(const std::string& link_path, std::string* error) {
  auto pty = std::make_unique<PtyTransport>();
  if (!pty->Open(link_path, error)) return nullptr;
  return pty;
}

}  // namespace sim
