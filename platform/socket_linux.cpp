#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/socket.h"

namespace platform {
namespace {

std::string SystemReason(int error) { return std::strerror(error); }

// Waits for the socket to become ready for events; false on a time-out. Restarts after signals
// with the time that is left.
bool WaitFor(int fd, short events, int timeout_ms) {
  pollfd ready{fd, events, 0};
  for (;;) {
    const int n = poll(&ready, 1, timeout_ms);
    if (n > 0) return true;
    if (n == 0 || errno != EINTR) return false;
  }
}

// One connect attempt to one resolved address; the socket stays non-blocking afterwards, reads
// and writes wait through poll.
int ConnectOne(const addrinfo& address, int timeout_ms, std::string* error) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                        address.ai_protocol);
  if (fd < 0) {
    *error = SystemReason(errno);
    return -1;
  }
  if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) return fd;
  if (errno != EINPROGRESS) {
    *error = SystemReason(errno);
    close(fd);
    return -1;
  }
  if (!WaitFor(fd, POLLOUT, timeout_ms)) {
    char text[64];
    std::snprintf(text, sizeof text, "no answer within %g s", timeout_ms / 1000.0);
    *error = text;
    close(fd);
    return -1;
  }
  int failure = 0;
  socklen_t size = sizeof failure;
  getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &size);
  if (failure != 0) {
    *error = SystemReason(failure);
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::unique_ptr<Socket> Socket::Connect(const std::string& host, std::uint16_t port, Kind kind,
                                        int timeout_ms, std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = kind == Kind::kStream ? SOCK_STREAM : SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int status = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (status != 0) {
    *error = std::string("cannot resolve the host: ") + gai_strerror(status);
    return nullptr;
  }
  int fd = -1;
  for (const addrinfo* address = found; address != nullptr && fd < 0; address = address->ai_next) {
    fd = ConnectOne(*address, timeout_ms, error);
  }
  freeaddrinfo(found);
  if (fd < 0) return nullptr;
  return std::unique_ptr<Socket>(new Socket(fd));
}

Socket::~Socket() { close(static_cast<int>(handle_)); }

bool Socket::Send(const std::uint8_t* data, std::size_t size, std::string* error) {
  const int fd = static_cast<int>(handle_);
  std::size_t sent = 0;
  while (sent < size) {
    // A peer that takes nothing for this long is as good as gone.
    constexpr int kSendTimeoutMs = 10000;
    if (!WaitFor(fd, POLLOUT, kSendTimeoutMs)) {
      *error = "the peer takes no data";
      return false;
    }
    const ssize_t n = send(fd, data + sent, size - sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      *error = SystemReason(errno);
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

Socket::ReceiveResult Socket::Receive(std::uint8_t* buffer, std::size_t capacity, int timeout_ms,
                                      std::size_t* count, std::string* error) {
  const int fd = static_cast<int>(handle_);
  *count = 0;
  if (!WaitFor(fd, POLLIN, timeout_ms)) return ReceiveResult::kTimeout;
  const ssize_t n = recv(fd, buffer, capacity, 0);
  if (n > 0) {
    *count = static_cast<std::size_t>(n);
    return ReceiveResult::kData;
  }
  if (n == 0) return ReceiveResult::kClosed;
  if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) return ReceiveResult::kTimeout;
  *error = SystemReason(errno);
  return errno == ECONNRESET ? ReceiveResult::kClosed : ReceiveResult::kFailed;
}

}  // namespace platform
