// The serial line: a COM port (or any tty on Linux) through SerialPort. Answers are polled for,
// as the fixed sequence does: the port has no wait with a time limit of its own.
#include <chrono>

#include "platform/device_name.h"
#include "platform/sleep.h"
#include "sender/link.h"
#include "sender/system_error_text.h"
#include "serial/serial_port.h"

namespace sender {
namespace {

constexpr std::int16_t kDefaultComPort = 1;
constexpr std::uint8_t kDataBits = 8;
// One character takes about 1 ms at 9600 bit/s: polling this often adds no more than that.
constexpr std::uint32_t kPollIntervalMs = 1;
constexpr std::uint32_t kMaxReadBytes = 512;

class SerialLink : public Link {
 public:
  explicit SerialLink(const LinkSettings& settings) : settings_(settings) {
    if (settings.device.empty()) {
      const std::string com_path = "\\\\.\\COM" + std::to_string(kDefaultComPort);
      label_ = "COM1 (" + platform::SystemDeviceName(com_path.c_str()) + ")";
    } else {
      label_ = settings.device;
      const std::string system_device = platform::SystemDeviceName(settings.device.c_str());
      if (system_device != settings.device) label_ += " (" + system_device + ")";
    }
  }

  [[nodiscard]] bool Open(std::string* error) {
    const auto parity = settings_.parity;
    const auto stop_bits = settings_.stop_bits;
    const auto flow = static_cast<serial::FlowControl>(settings_.flow);
    const bool opened =
        settings_.device.empty()
            ? port_.Open(kDefaultComPort, settings_.baud, kDataBits, parity, stop_bits, flow)
            : port_.OpenDevice(settings_.device.c_str(), settings_.baud, kDataBits, parity,
                               stop_bits, flow);
    if (opened) return true;
    *error = std::string("cannot ") + (port_.IsOpen() ? "set up " : "open ") + label_ + ": " +
             DescribeSystemError(port_.LastError());
    return false;
  }

  [[nodiscard]] std::string Label() const override { return label_; }

  [[nodiscard]] bool Write(const std::vector<std::uint8_t>& bytes, std::string* error) override {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    const std::uint32_t written = port_.Write(bytes.data(), length);
    if (written == length) return true;
    *error = "wrote " + std::to_string(written) + " of " + std::to_string(length) + " bytes to " +
             label_ + ": " + DescribeSystemError(port_.LastError());
    return false;
  }

  ReadResult Read(std::vector<std::uint8_t>* bytes, int timeout_ms, std::string* error) override {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    std::uint32_t waiting = 0;
    while ((waiting = port_.BytesWaiting()) == 0) {
      if (Clock::now() >= deadline) return ReadResult::kTimeout;
      win::Sleep(kPollIntervalMs);
    }
    std::uint8_t buffer[kMaxReadBytes];
    const std::uint32_t count =
        port_.Read(buffer, waiting < kMaxReadBytes ? waiting : kMaxReadBytes);
    if (count == 0) {
      *error = "reading from " + label_ + " failed: " + DescribeSystemError(port_.LastError());
      return ReadResult::kFailed;
    }
    bytes->insert(bytes->end(), buffer, buffer + count);
    return ReadResult::kData;
  }

 private:
  LinkSettings settings_;
  std::string label_;
  serial::SerialPort port_;
};

}  // namespace

std::unique_ptr<Link> OpenSerialLink(const LinkSettings& settings, std::string* error) {
  auto link = std::make_unique<SerialLink>(settings);
  if (!link->Open(error)) return nullptr;
  return link;
}

}  // namespace sender
