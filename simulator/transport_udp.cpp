// The UDP transport: encoders on IP often take UECP in datagrams, one frame each, from senders
// that need no connection (and often read no answer). Each source address counts as a sender of
// its own, with its own deframer; answers go back to the address a frame came from. Senders
// never leave on UDP, so a run over UDP ends by its time or group limit or a signal.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

#include "simulator/ip_socket.h"
#include "simulator/transport.h"

namespace sim {

namespace {

// A datagram holds one stuffed frame at most, which is well below this.
constexpr std::size_t kMaxDatagram = 65536;
// Datagrams read per wait, so a flood cannot keep the air from going out.
constexpr int kMaxDatagramsPerWait = 64;

class UdpTransport : public Transport {
 public:
  ~UdpTransport() override {
    if (fd_ >= 0) close(fd_);
  }

  bool Open(const std::string& host, int port, std::string* error) {
    BoundSocket bound = BindIpv4(SocketKind::kDatagram, host, port, error);
    fd_ = bound.fd;
    where_ = std::move(bound.where);
    return fd_ >= 0;
  }

  [[nodiscard]] std::string Where() const override { return where_; }

  bool Wait(int timeout_ms, std::vector<PeerEvent>* events) override {
    pollfd ready{fd_, POLLIN, 0};
    const int n = poll(&ready, 1, timeout_ms);
    if (n < 0 && errno != EINTR) {
      error_ = SystemError("cannot wait for datagrams");
      return false;
    }
    if (n <= 0) return true;
    buffer_.resize(kMaxDatagram);
    for (int i = 0; i < kMaxDatagramsPerWait; ++i) {
      sockaddr_in from{};
      socklen_t size = sizeof from;
      const ssize_t got = recvfrom(fd_, buffer_.data(), buffer_.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &size);
      if (got < 0) {
        // ECONNREFUSED: an earlier answer found no one listening; it concerns that sender only.
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNREFUSED) {
          return true;
        }
        error_ = SystemError("cannot receive a datagram");
        return false;
      }
      const std::string key = AddressText(from);
      auto it = peers_.find(key);
      if (it == peers_.end()) {
        it = peers_.emplace(key, Peer{next_id_++, from}).first;
        ids_[it->second.id] = key;
        events->push_back({PeerEvent::Kind::kConnected, it->second.id, {}, key});
      }
      events->push_back(
          {PeerEvent::Kind::kData, it->second.id, {buffer_.begin(), buffer_.begin() + got}, {}});
    }
    return true;
  }

  bool Send(PeerId peer, const std::vector<std::uint8_t>& bytes) override {
    const auto id = ids_.find(peer);
    if (id == ids_.end()) return true;
    const sockaddr_in& to = peers_.at(id->second).address;
    // An answer the network does not take is lost, as datagrams are; the sender retries.
    if (sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to) < 0 &&
        errno != EAGAIN && errno != EWOULDBLOCK && errno != ECONNREFUSED) {
      error_ = SystemError("cannot answer " + id->second);
      return false;
    }
    return true;
  }

  bool Rearm() override { return true; }

 private:
  struct Peer {
    PeerId id;
    sockaddr_in address;
  };

  int fd_ = -1;
  std::string where_;
  std::map<std::string, Peer> peers_;  // by "address:port"
  std::map<PeerId, std::string> ids_;
  PeerId next_id_ = 1;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<Transport> OpenUdp(const std::string& host, int port, std::string* error) {
  auto udp = std::make_unique<UdpTransport>();
  if (!udp->Open(host, port, error)) return nullptr;
  return udp;
}

}  // namespace sim
