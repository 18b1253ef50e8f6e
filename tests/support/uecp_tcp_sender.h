// A UECP sender on a TCP connection, for tests and benchmarks that drive rds-encoder-sim: frames
// built by the plain reference framing (fuzz::ReferenceFrame) with any sequence counter, and the
// encoder's answers read one whole frame at a time.
#ifndef RDS_TESTS_SUPPORT_UECP_TCP_SENDER_H_
#define RDS_TESTS_SUPPORT_UECP_TCP_SENDER_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/uecp_reference.h"

class UecpTcpSender {
 public:
  // where is "ADDRESS:PORT" as the simulator prints it.
  explicit UecpTcpSender(const std::string& where) {
    const std::size_t colon = where.rfind(':');
    if (colon == std::string::npos) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(where.substr(colon + 1))));
    if (inet_pton(AF_INET, where.substr(0, colon).c_str(), &address.sin_addr) != 1) return;
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    const int yes = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Close();
  }
  UecpTcpSender(UecpTcpSender&& other) noexcept
      : fd_(other.fd_), closed_(other.closed_), in_(std::move(other.in_)) {
    other.fd_ = -1;
  }
  UecpTcpSender(const UecpTcpSender&) = delete;
  UecpTcpSender& operator=(const UecpTcpSender&) = delete;
  UecpTcpSender& operator=(UecpTcpSender&&) = delete;
  ~UecpTcpSender() { Close(); }

  bool ok() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  bool Send(const std::vector<std::uint8_t>& bytes) const {
    return fd_ >= 0 && send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                           static_cast<ssize_t>(bytes.size());
  }

  // The next frame from STA to STP as received, or what came before the time ran out or the
  // connection closed.
  std::vector<std::uint8_t> ReadFrame(int timeout_ms = 5000) {
    while (true) {
      const auto start = std::find(in_.begin(), in_.end(), 0xFE);
      const auto stop = std::find(start, in_.end(), 0xFF);
      if (stop != in_.end()) {
        std::vector<std::uint8_t> frame(start, stop + 1);
        in_.erase(in_.begin(), stop + 1);
        return frame;
      }
      if (!Fill(timeout_ms)) {
        std::vector<std::uint8_t> partial;
        partial.swap(in_);
        return partial;
      }
    }
  }

  // Whether the encoder closed the connection within the time, with nothing more to read.
  bool ClosedWithin(int timeout_ms) {
    while (Fill(timeout_ms)) {
    }
    return closed_;
  }

  // Whether anything more arrives within the time.
  bool MoreWithin(int timeout_ms) { return !in_.empty() || Fill(timeout_ms); }

 private:
  bool Fill(int timeout_ms) {
    pollfd waiter{fd_, POLLIN, 0};
    if (fd_ < 0 || poll(&waiter, 1, timeout_ms) <= 0) return false;
    std::uint8_t buffer[4096];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    closed_ = n <= 0;
    if (closed_) return false;
    in_.insert(in_.end(), buffer, buffer + n);
    return true;
  }

  int fd_ = -1;
  bool closed_ = false;
  std::vector<std::uint8_t> in_;
};

#endif  // RDS_TESTS_SUPPORT_UECP_TCP_SENDER_H_
