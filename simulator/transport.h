// The line the encoder listens on: a pseudo-terminal standing in for its serial port, or a TCP
// listener for senders that speak UECP over IP. One peer at a time; the byte stream is the same.
#ifndef RDS_SIMULATOR_TRANSPORT_H_
#define RDS_SIMULATOR_TRANSPORT_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

enum class TransportEvent {
  kNothing,  // woke up, nothing to hand over (e.g. a peer was accepted)
  kData,     // bytes received
  kHangup,   // the peer that was connected has gone
  kError,    // the transport cannot go on; Error() tells why
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Where senders find us: the terminal's path, or address:port.
  virtual std::string Where() const = 0;
  // The descriptor to wait on for input, hangups and new peers.
  virtual int WaitDescriptor() const = 0;
  // Called when the descriptor is ready; appends received bytes to *data.
  virtual TransportEvent Service(std::vector<std::uint8_t>* data) = 0;
  // Sends bytes to the connected peer; false (with Error() set) when they could not all go out.
  virtual bool Send(const std::vector<std::uint8_t>& bytes) = 0;
  // Makes ready for the next peer after a hangup.
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

}  // namespace sim

#endif  // RDS_SIMULATOR_TRANSPORT_H_
