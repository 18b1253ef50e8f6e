// A pseudo-terminal pair for tests: the master plays the device at the far end of the line, the
// slave's path is what the code under test opens as its serial port.
#ifndef RDS_TESTS_SUPPORT_PTY_PAIR_H_
#define RDS_TESTS_SUPPORT_PTY_PAIR_H_

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace testing_pty {

class PtyPair {
 public:
  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const char* name = ptsname(master_);
    if (name != nullptr) slave_path_ = name;
  }
  ~PtyPair() {
    if (master_ >= 0) close(master_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slave_path_.empty(); }
  int master() const { return master_; }
  const std::string& slave_path() const { return slave_path_; }

  // The device at the far end goes away: the slave side sees a hang-up.
  void HangUp() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  bool Send(const std::string& bytes) const {
    return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Everything that arrives at the master until count bytes are in or the time is up.
  std::string Receive(std::size_t count, std::chrono::milliseconds limit) const {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (received.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd ready{master_, POLLIN, 0};
      if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
  }

 private:
  int master_ = -1;
  std::string slave_path_;
};

// Opens the terminal at path, typically one a program under test created, as a raw line with no
// echo or line editing, so that binary frames pass unchanged; -1 when it cannot be opened.
inline int OpenRawTerminal(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return fd;
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
  return fd;
}

}  // namespace testing_pty

#endif  // RDS_TESTS_SUPPORT_PTY_PAIR_H_
