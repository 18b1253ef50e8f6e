// The line to the encoder: a serial port, a TCP connection or UDP datagrams. The exchange engine
// writes frames and reads answers through this one interface, whatever carries them.
#ifndef RDS_SENDER_LINK_H_
#define RDS_SENDER_LINK_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sender/arguments.h"

namespace sender {

struct LinkSettings {
  enum class Kind { kSerial, kTcp, kUdp };
  Kind kind = Kind::kSerial;
  std::string device;  // serial: empty for COM1
  std::uint32_t baud = 9600;
  std::uint32_t parity = 0;     // win::NOPARITY..SPACEPARITY
  std::uint32_t stop_bits = 2;  // win::ONESTOPBIT (0), ONE5STOPBITS (1), TWOSTOPBITS (2)
  std::uint32_t flow = 0;       // serial::FlowControl
  std::string host;             // TCP, UDP
  std::uint16_t port = 0;
};

// Parses --device, --baud, --parity, --stop-bits, --flow, --tcp HOST:PORT, --udp HOST:PORT.
[[nodiscard]] Parsed ParseLinkOption(Arguments* args, LinkSettings* settings, std::string* error);
// Refuses combinations: serial options with --tcp/--udp, both --tcp and --udp.
[[nodiscard]] bool CheckLinkSettings(const LinkSettings& settings, std::string* error);

class Link {
 public:
  enum class ReadResult { kData, kTimeout, kClosed, kFailed };

  virtual ~Link() = default;
  // "COM1 (/dev/ttyS0)", "tcp 127.0.0.1:4001", ...
  [[nodiscard]] virtual std::string Label() const = 0;
  // Whether the encoder can answer on this line at all (not over UDP).
  [[nodiscard]] virtual bool Answers() const { return true; }
  // Writes all bytes; false with the reason.
  [[nodiscard]] virtual bool Write(const std::vector<std::uint8_t>& bytes, std::string* error) = 0;
  // Appends what arrives within timeout_ms (at least one byte on kData).
  [[nodiscard]] virtual ReadResult Read(std::vector<std::uint8_t>* bytes, int timeout_ms,
                                        std::string* error) = 0;
  // Opens the line again after it was lost (TCP: a new connection); false when it cannot.
  [[nodiscard]] virtual bool Reopen(std::string* error) {
    *error = "the line cannot be reopened";
    return false;
  }
  // Whether Reopen is worth trying.
  [[nodiscard]] virtual bool CanReopen() const { return false; }
};

// Opens the line the settings name; null with the reason when it cannot be opened.
[[nodiscard]] std::unique_ptr<Link> OpenLink(const LinkSettings& settings, std::string* error);

// The help lines of the transport options.
extern const char kLinkOptionsHelp[];

}  // namespace sender

#endif  // RDS_SENDER_LINK_H_
