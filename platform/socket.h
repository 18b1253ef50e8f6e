// A connected TCP or UDP socket for senders that talk to an encoder over IP.
//
// On Windows it is Winsock (socket_win32.cpp, ws2_32); on Linux the BSD sockets of the C library
// (socket_linux.cpp). Every wait has a time limit, so a silent or unreachable peer can never hold
// the caller forever, and failures come back as text naming the system's reason.
#ifndef RDS_PLATFORM_SOCKET_H_
#define RDS_PLATFORM_SOCKET_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class Socket {
 public:
  enum class Kind { kStream, kDatagram };
  enum class ReceiveResult { kData, kTimeout, kClosed, kFailed };

  // Resolves host (a name or an IPv4/IPv6 address) and connects within timeout_ms. A datagram
  // socket only fixes its peer. Null, with the reason in *error, when that fails: unknown host,
  // connection refused, no answer in time, ...
  [[nodiscard]] static std::unique_ptr<Socket> Connect(const std::string& host, std::uint16_t port,
                                                       Kind kind, int timeout_ms,
                                                       std::string* error);

  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Sends all bytes (a datagram socket: as one datagram). False with the reason on failure,
  // also when the peer has closed the connection.
  [[nodiscard]] bool Send(const std::uint8_t* data, std::size_t size, std::string* error);

  // Waits at most timeout_ms for bytes and reads up to capacity of them into buffer.
  [[nodiscard]] ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity, int timeout_ms,
                                      std::size_t* count, std::string* error);

 private:
  explicit Socket(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_;
};

}  // namespace platform

#endif  // RDS_PLATFORM_SOCKET_H_
