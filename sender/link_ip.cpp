// UECP over IP: a TCP connection that is made again when the encoder drops it, or UDP datagrams,
// one frame each, to an encoder that does not answer.
#include <algorithm>

#include "platform/sleep.h"
#include "platform/socket.h"
#include "sender/link.h"

namespace sender {
namespace {

// An encoder on the local network answers a connect at once; one across the Internet within a
// few seconds. Longer means it is not there.
constexpr int kConnectTimeoutMs = 5000;
// Reconnecting after a drop: waits of 250 ms, 500 ms, 1 s, 2 s and 4 s between the tries, so a
// restarting encoder is caught quickly and a dead one is not hammered.
constexpr int kReconnectTries = 5;
constexpr std::uint32_t kFirstBackOffMs = 250;

class IpLink : public Link {
 public:
  explicit IpLink(const LinkSettings& settings)
      : settings_(settings),
        kind_(settings.kind == LinkSettings::Kind::kTcp ? platform::Socket::Kind::kStream
                                                        : platform::Socket::Kind::kDatagram) {}

  [[nodiscard]] bool Connect(std::string* error) {
    socket_ =
        platform::Socket::Connect(settings_.host, settings_.port, kind_, kConnectTimeoutMs, error);
    if (socket_ == nullptr) *error = "cannot connect to " + Label() + ": " + *error;
    return socket_ != nullptr;
  }

  [[nodiscard]] std::string Label() const override {
    const bool v6 = settings_.host.find(':') != std::string::npos;
    return std::string(kind_ == platform::Socket::Kind::kStream ? "tcp " : "udp ") +
           (v6 ? "[" + settings_.host + "]" : settings_.host) + ":" +
           std::to_string(settings_.port);
  }

  [[nodiscard]] bool Answers() const override { return kind_ == platform::Socket::Kind::kStream; }

  [[nodiscard]] bool Write(const std::vector<std::uint8_t>& bytes, std::string* error) override {
    if (socket_ == nullptr) {
      *error = "not connected to " + Label();
      return false;
    }
    if (socket_->Send(bytes.data(), bytes.size(), error)) return true;
    *error = "sending to " + Label() + " failed: " + *error;
    return false;
  }

  ReadResult Read(std::vector<std::uint8_t>* bytes, int timeout_ms, std::string* error) override {
    if (socket_ == nullptr) return ReadResult::kClosed;
    std::uint8_t buffer[4096];
    std::size_t count = 0;
    switch (socket_->Receive(buffer, sizeof buffer, timeout_ms, &count, error)) {
      case platform::Socket::ReceiveResult::kData:
        bytes->insert(bytes->end(), buffer, buffer + count);
        return ReadResult::kData;
      case platform::Socket::ReceiveResult::kTimeout:
        return ReadResult::kTimeout;
      case platform::Socket::ReceiveResult::kClosed:
        if (error->empty()) *error = "the encoder closed the connection";
        socket_.reset();
        return ReadResult::kClosed;
      case platform::Socket::ReceiveResult::kFailed:
        *error = "reading from " + Label() + " failed: " + *error;
        return ReadResult::kFailed;
    }
    return ReadResult::kFailed;
  }

  [[nodiscard]] bool CanReopen() const override { return kind_ == platform::Socket::Kind::kStream; }

  [[nodiscard]] bool Reopen(std::string* error) override {
    socket_.reset();
    std::uint32_t wait_ms = kFirstBackOffMs;
    for (int attempt = 0; attempt < kReconnectTries; ++attempt) {
      win::Sleep(wait_ms);
      wait_ms *= 2;
      if (Connect(error)) return true;
    }
    *error += " (gave up after " + std::to_string(kReconnectTries) + " tries)";
    return false;
  }

 private:
  LinkSettings settings_;
  platform::Socket::Kind kind_;
  std::unique_ptr<platform::Socket> socket_;
};

}  // namespace

std::unique_ptr<Link> OpenIpLink(const LinkSettings& settings, std::string* error) {
  auto link = std::make_unique<IpLink>(settings);
  if (!link->Connect(error)) return nullptr;
  return link;
}

}  // namespace sender
