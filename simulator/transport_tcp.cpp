// The TCP transport: one listening socket, one connected sender at a time. While a sender is
// connected, further connections wait in the listen backlog.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "simulator/transport.h"

namespace sim {

namespace {

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

class TcpTransport : public Transport {
 public:
  ~TcpTransport() override {
    if (peer_ >= 0) close(peer_);
    if (listener_ >= 0) close(listener_);
  }

  bool Open(const std::string& host, int port, std::string* error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
      *error = "not an IPv4 address: " + host;
      return false;
    }
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return Fail(SystemError("cannot create a socket"), error);
    const int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      return Fail(SystemError("cannot listen on " + host + ":" + std::to_string(port)), error);
    }
    if (listen(listener_, 4) != 0) return Fail(SystemError("cannot listen"), error);
    socklen_t size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    where_ = host + ":" + std::to_string(ntohs(address.sin_port));
    return true;
  }

  std::string Where() const override { return where_; }
  int WaitDescriptor() const override { return peer_ >= 0 ? peer_ : listener_; }

  TransportEvent Service(std::vector<std::uint8_t>* data) override {
    if (peer_ < 0) {
      peer_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (peer_ < 0) {
        if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) {
          return TransportEvent::kNothing;
        }
        error_ = SystemError("cannot accept a connection");
        return TransportEvent::kError;
      }
      // Acknowledgements are tiny and the sender waits for each one.
      const int yes = 1;
      setsockopt(peer_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      return TransportEvent::kNothing;
    }
    std::uint8_t buffer[4096];
    const ssize_t n = recv(peer_, buffer, sizeof buffer, 0);
    if (n > 0) {
      data->insert(data->end(), buffer, buffer + n);
      return TransportEvent::kData;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return TransportEvent::kNothing;
    close(peer_);
    peer_ = -1;
    return TransportEvent::kHangup;
  }

  bool Send(const std::vector<std::uint8_t>& bytes) override {
    if (peer_ < 0) return true;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = send(peer_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        pollfd waiter{peer_, POLLOUT, 0};
        if (poll(&waiter, 1, 200) > 0) continue;
      }
      error_ = SystemError("cannot send the reply");
      return false;
    }
    return true;
  }

  bool Rearm() override { return true; }

 private:
  bool Fail(const std::string& message, std::string* error) {
    *error = message;
    return false;
  }

  int listener_ = -1;
  int peer_ = -1;
  std::string where_;
};

}  // namespace

std::unique_ptr<Transport> OpenTcp(const std::string& host, int port, std::string* error) {
  auto tcp = std::make_unique<TcpTransport>();
  if (!tcp->Open(host, port, error)) return nullptr;
  return tcp;
}

}  // namespace sim
