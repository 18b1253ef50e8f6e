// The line the encoder listens on: a pseudo-terminal standing in for its serial port, which one
// sender drives, or a TCP listener that serves several senders at once, as encoders on IP do
// (the playout system, the traffic-announcement system, a monitoring tool). Each sender's bytes
// arrive as their own stream; the UECP byte stream is the same on either line.
#ifndef RDS_SIMULATOR_TRANSPORT_H_
#define RDS_SIMULATOR_TRANSPORT_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

// One sender's connection, numbered from 1 in the order they came; never reused in a run.
using PeerId = std::uint64_t;

// The most TCP senders served at once.
constexpr std::size_t kMaxTcpSenders = 16;

struct PeerEvent {
  enum class Kind {
    kConnected,  // a sender is here (TCP: accepted; terminal: its first bytes arrived)
    kData,       // bytes from the sender
    kHangup,     // the sender has gone, or was dropped
    kRefused,    // a sender beyond kMaxTcpSenders: its connection was closed at once
  };
  Kind kind = Kind::kData;
  PeerId peer = 0;
  std::vector<std::uint8_t> data;  // kData: the bytes
  std::string detail;              // kConnected, kRefused: where from; kHangup: why
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Where senders find us: the terminal's path, or address:port.
  virtual std::string Where() const = 0;
  // Waits at most timeout_ms for input, senders coming or going, or room for waiting replies, and
  // appends what happened, in the order found. A signal ends the wait early. False, with Error()
  // set, when the line cannot go on.
  virtual bool Wait(int timeout_ms, std::vector<PeerEvent>* events) = 0;
  // Sends bytes to a sender without waiting: what the line does not take now goes out later.
  // False, with Error() set, when they cannot go: the sender does not read its replies or its
  // line failed. A TCP sender is then dropped, and its kHangup comes with the next Wait.
  virtual bool Send(PeerId peer, const std::vector<std::uint8_t>& bytes) = 0;
  // Makes ready for the next sender after the last one has gone.
  virtual bool Rearm() = 0;
  const std::string& Error() const { return error_; }

 protected:
  std::string error_;
};

// A pseudo-terminal in raw mode. With a non-empty link path, a symbolic link there points to the
// terminal (an existing symbolic link is replaced; any other file is left alone and refused).
std::unique_ptr<Transport> OpenPty(const std::string& link_path, std::string* error);

// A TCP listener on host:port (port 0 picks a free one).
std::unique_ptr<Transport> OpenTcp(const std::string& host, int port, std::string* error);

// A UDP socket on host:port: each datagram carries frames, each source address is a sender.
std::unique_ptr<Transport> OpenUdp(const std::string& host, int port, std::string* error);

}  // namespace sim

#endif  // RDS_SIMULATOR_TRANSPORT_H_
