// The TCP transport: one listening socket and up to kMaxTcpSenders connected senders, all served
// from one poll. Nothing here waits on a single sender: sockets are non-blocking, each sender gets
// one read per round so a flood from one cannot starve the others, and replies a sender does not
// take at once wait in its own bounded queue.
//
// A sender beyond the limit is accepted and closed at once rather than left in the listen
// backlog: there its connect() would have succeeded and its frames would go unanswered until a
// slot freed, which a sender cannot tell from an encoder that has hung. A closed connection tells
// it at once to try again later.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

#include "simulator/ip_socket.h"
#include "simulator/reply_queue.h"
#include "simulator/transport.h"

namespace sim {

namespace {

// accept() errors that concern one connection only (it was reset while it waited, or the
// network below it went away), not the listener.
bool ConnectionOnlyError(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR || error == ECONNABORTED ||
         error == EPROTO || error == ENETDOWN || error == ENETUNREACH || error == EHOSTUNREACH ||
         error == EHOSTDOWN || error == ENONET || error == ENOPROTOOPT || error == EOPNOTSUPP;
}

class TcpTransport : public Transport {
 public:
  ~TcpTransport() override {
    for (const auto& entry : peers_) close(entry.second.fd);
    if (listener_ >= 0) close(listener_);
  }

  bool Open(const std::string& host, int port, std::string* error) {
    BoundSocket bound = BindIpv4(SocketKind::kStream, host, port, error);
    listener_ = bound.fd;
    where_ = std::move(bound.where);
    if (listener_ < 0) return false;
    // Room for every sender to knock at once; each is accepted (or turned away) at the next round.
    if (listen(listener_, 2 * static_cast<int>(kMaxTcpSenders)) != 0) {
      return Fail(SystemError("cannot listen"), error);
    }
    return true;
  }

  std::string Where() const override { return where_; }

  bool Wait(int timeout_ms, std::vector<PeerEvent>* events) override {
    if (!dropped_.empty()) {
      // Senders dropped while replying are reported first; the wait must not delay that.
      events->insert(events->end(), dropped_.begin(), dropped_.end());
      dropped_.clear();
      timeout_ms = 0;
    }
    waits_.clear();
    waits_.push_back({listener_, POLLIN, 0});
    for (const auto& entry : peers_) {
      const short out = entry.second.replies.Empty() ? 0 : POLLOUT;
      waits_.push_back({entry.second.fd, static_cast<short>(POLLIN | out), 0});
    }
    const int ready = poll(waits_.data(), waits_.size(), timeout_ms);
    if (ready < 0 && errno != EINTR) {
      error_ = SystemError("cannot wait for senders");
      return false;
    }
    if (ready <= 0) return true;
    // peers_ is unchanged since waits_ was built, so they are in the same order.
    std::size_t index = 1;
    for (auto it = peers_.begin(); it != peers_.end(); ++index) {
      std::string why;
      if (!Service(it->first, &it->second, waits_[index].revents, events, &why)) {
        close(it->second.fd);
        events->push_back({PeerEvent::Kind::kHangup, it->first, {}, why});
        it = peers_.erase(it);
      } else {
        ++it;
      }
    }
    if ((waits_[0].revents & POLLIN) != 0) return AcceptAll(events);
    return true;
  }

  bool Send(PeerId id, const std::vector<std::uint8_t>& bytes) override {
    const auto it = peers_.find(id);
    if (it == peers_.end()) return true;  // gone already; nobody is left to answer
    std::string why;
    switch (it->second.replies.Push(bytes)) {
      case ReplyQueue::Result::kOk:
        return true;
      case ReplyQueue::Result::kFull:
        why = "dropped: it left more than " + std::to_string(kMaxPendingReplyBytes) +
              " bytes of replies unread";
        break;
      case ReplyQueue::Result::kFailed:
        why = SystemError("cannot send the reply");
        break;
    }
    close(it->second.fd);
    peers_.erase(it);
    dropped_.push_back({PeerEvent::Kind::kHangup, id, {}, why});
    error_ = "sender " + std::to_string(id) + ": " + why;
    return false;
  }

  bool Rearm() override { return true; }

 private:
  struct Peer {
    explicit Peer(int socket) : fd(socket), replies(socket, true) {}
    int fd;
    ReplyQueue replies;
  };

  // Handles one sender's poll result; false (with the reason) when it has gone.
  bool Service(PeerId id, Peer* peer, short revents, std::vector<PeerEvent>* events,
               std::string* why) {
    if ((revents & POLLOUT) != 0 && !peer->replies.Flush()) {
      *why = SystemError("cannot send the reply");
      return false;
    }
    if ((revents & (POLLIN | POLLHUP | POLLERR)) == 0) return true;
    // One read per round, so that every sender gets its turn.
    std::uint8_t buffer[4096];
    const ssize_t n = recv(peer->fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      events->push_back({PeerEvent::Kind::kData, id, {buffer, buffer + n}, {}});
      return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
    *why = n == 0 ? "disconnected" : SystemError("connection lost");
    return false;
  }

  bool AcceptAll(std::vector<PeerEvent>* events) {
    while (true) {
      sockaddr_in address{};
      socklen_t size = sizeof address;
      const int fd = accept4(listener_, reinterpret_cast<sockaddr*>(&address), &size,
                             SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) {
        if (ConnectionOnlyError(errno)) return true;
        error_ = SystemError("cannot accept a connection");
        return false;
      }
      if (peers_.size() >= kMaxTcpSenders) {
        close(fd);
        events->push_back({PeerEvent::Kind::kRefused, 0, {}, AddressText(address)});
        continue;
      }
      // Acknowledgements are tiny and the sender waits for each one.
      const int yes = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      const PeerId id = next_id_++;
      peers_.emplace(id, Peer(fd));
      events->push_back({PeerEvent::Kind::kConnected, id, {}, AddressText(address)});
    }
  }

  bool Fail(const std::string& message, std::string* error) {
    *error = message;
    return false;
  }

  int listener_ = -1;
  std::string where_;
  std::map<PeerId, Peer> peers_;  // in the order they came
  PeerId next_id_ = 1;
  std::vector<PeerEvent> dropped_;  // hangups decided while sending, for the next Wait
  std::vector<pollfd> waits_;
};

}  // namespace

std::unique_ptr<Transport> OpenTcp(const std::string& host, int port, std::string* error) {
  auto tcp = std::make_unique<TcpTransport>();
  if (!tcp->Open(host, port, error)) return nullptr;
  return tcp;
}

}  // namespace sim
