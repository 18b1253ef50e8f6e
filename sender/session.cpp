#include "sender/session.h"

#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "platform/device_name.h"
#include "platform/serial_api.h"
#include "platform/sleep.h"
#include "sender/exit_codes.h"
#include "sender/system_error_text.h"
#include "serial/serial_port.h"
#include "uecp/uecp.h"

namespace sender {
namespace {

using ElementPointer = std::unique_ptr<uecp::MessageElement>;

constexpr std::uint16_t kSiteAddress = 0;
constexpr std::uint16_t kEncoderAddress = 0;
constexpr std::uint16_t kDataSet = 0;
constexpr std::uint16_t kProgrammeService = 0;

// The line the encoder listens on: 9600 bit/s, 8 data bits, no parity, 2 stop bits, no flow
// control.
constexpr std::int16_t kComPort = 1;
constexpr std::uint32_t kBaud = 9600;
constexpr std::uint8_t kDataBits = 8;

const float kAlternativeFrequencies[] = {88.1F, 107.5F};

struct ExchangeStep {
  const char* element_name;
  ElementPointer (*make_element)();
};

// The eleven frames, one element each, in the order they are sent. Each element is made when its
// frame is, and handed to the frame, which owns it from then on.
const ExchangeStep kExchanges[] = {
    {"PI",
     []() -> ElementPointer {
       return std::make_unique<uecp::PiElement>(0x4123, kDataSet, kProgrammeService);
     }},
    {"PS",
     []() -> ElementPointer {
       return std::make_unique<uecp::PsElement>(" RADIO", kDataSet, kProgrammeService);
     }},
    {"DI",
     []() -> ElementPointer {
       return std::make_unique<uecp::DiElement>(9, kDataSet, kProgrammeService);
     }},
    {"MS",
     []() -> ElementPointer {
       return std::make_unique<uecp::MsElement>(1, kDataSet, kProgrammeService);
     }},
    {"PTY",
     []() -> ElementPointer {
       return std::make_unique<uecp::PtyElement>(9, kDataSet, kProgrammeService);
     }},
    {"PTYN",
     []() -> ElementPointer {
       return std::make_unique<uecp::PtynElement>("TRANCE", kDataSet, kProgrammeService);
     }},
    {"TA/TP",
     []() -> ElementPointer {
       return std::make_unique<uecp::TaTpElement>(2, kDataSet, kProgrammeService);
     }},
    {"AF",
     []() -> ElementPointer {
       return std::make_unique<uecp::AfElement>(0, 2, kAlternativeFrequencies, kDataSet,
                                                kProgrammeService);
     }},
    {"RT",
     []() -> ElementPointer {
       return std::make_unique<uecp::RtElement>("TEST RADIOTEXT", 1, 0, 0, kDataSet,
                                                kProgrammeService);
     }},
    {"CT", []() -> ElementPointer { return std::make_unique<uecp::CtGroupElement>(); }},
    {"PS",
     []() -> ElementPointer {
       return std::make_unique<uecp::PsElement>("TAMSEL", kDataSet, kProgrammeService);
     }},
};

constexpr std::size_t kPauseAfterExchange = 2;  // the first programme service name

class Session {
 public:
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): in the order of stdout and stderr
  Session(const Options& options, std::FILE* out, std::FILE* err)
      : options_(options), out_(out), err_(err), port_(new serial::SerialPort()) {
    if (options.device.empty()) {
      const std::string com_path = "\\\\.\\COM" + std::to_string(kComPort);
      port_label_ = "COM" + std::to_string(kComPort) + " (" +
                    platform::SystemDeviceName(com_path.c_str()) + ")";
    } else {
      port_label_ = options.device;
      const std::string system_device = platform::SystemDeviceName(options.device.c_str());
      if (system_device != options.device) port_label_ += " (" + system_device + ")";
    }
  }

  int Run() {
    const int open_result = OpenPort();
    if (open_result != kExitDone) return open_result;
    for (std::size_t i = 0; i < std::size(kExchanges); ++i) {
      const int result = Exchange(i + 1, kExchanges[i]);
      if (result != kExitDone) return result;
      if (i + 1 == kPauseAfterExchange) win::Sleep(kPauseAfterNameMs);
    }
    win::Sleep(kPauseAtEndMs);
    port_.reset();  // closes the port
    return kExitDone;
  }

 private:
  int OpenPort() {
    const bool opened =
        options_.device.empty()
            ? port_->Open(kComPort, kBaud, kDataBits, win::NOPARITY, win::TWOSTOPBITS,
                          serial::FlowControl::kNone)
            : port_->OpenDevice(options_.device.c_str(), kBaud, kDataBits, win::NOPARITY,
                                win::TWOSTOPBITS, serial::FlowControl::kNone);
    if (opened) return kExitDone;
    std::fprintf(err_, "tamsel: cannot %s %s: %s\n", port_->IsOpen() ? "set up" : "open",
                 port_label_.c_str(), DescribeSystemError(port_->LastError()).c_str());
    return kExitPortFailed;
  }

  int Exchange(std::size_t number, const ExchangeStep& exchange) {
    const std::string frame_label =
        "frame " + std::to_string(number) + " (" + exchange.element_name + ")";
    {
      auto frame = std::make_unique<uecp::UecpFrame>(kSiteAddress, kEncoderAddress);
      ElementPointer element = exchange.make_element();
      // Every element of the sequence fits a frame, so a refusal is a fault of this program: say
      // so and send nothing rather than a frame without its element. The element stays ours
      // then, and goes with `element`.
      if (!frame->AddElement(element)) {
        std::fprintf(err_, "tamsel: %s: the frame refused its element (%u bytes)\n",
                     frame_label.c_str(), static_cast<unsigned>(element->EncodedLength()));
        return kExitLineFailed;
      }
      frame->Build();
      // The length is a 16-bit signed count, widened with its sign.
      const auto length =
          static_cast<std::uint32_t>(static_cast<std::int16_t>(frame->StuffedLength()));
      const std::uint32_t written = port_->Write(frame->StuffedData(), length);
      if (written != length) {
        std::fprintf(err_, "tamsel: %s: wrote %u of %u bytes to %s: %s\n", frame_label.c_str(),
                     static_cast<unsigned>(written), static_cast<unsigned>(length),
                     port_label_.c_str(), DescribeSystemError(port_->LastError()).c_str());
        return kExitLineFailed;
      }
    }

    std::uint32_t waiting = 0;
    if (!WaitForReply(&waiting)) {
      std::fprintf(err_, "tamsel: no reply to %s from %s within %g s\n", frame_label.c_str(),
                   port_label_.c_str(), options_.reply_timeout_seconds);
      return kExitNoReply;
    }
    // A longer reply is read in turns: what does not fit stays queued for the next line.
    const std::uint32_t wanted = waiting < kReplyBufferSize ? waiting : kReplyBufferSize;
    const std::uint32_t count = port_->Read(reply_, wanted);
    if (count == 0) {
      std::fprintf(err_, "tamsel: %s: reading the reply from %s failed: %s\n", frame_label.c_str(),
                   port_label_.c_str(), DescribeSystemError(port_->LastError()).c_str());
      return kExitLineFailed;
    }
    const int width = static_cast<int>(count);
    std::fprintf(out_, "R=%*.*s\n", width, width, reply_);
    // Each line is shown as it comes, also when the output goes to a pipe or a file.
    if (std::fflush(out_) != 0) {
      std::fprintf(err_, "tamsel: cannot write the reply lines to the standard output\n");
      return kExitOutputFailed;
    }
    return kExitDone;
  }

  // Polls until the port reports received bytes. False when the time limit (if any) passes.
  bool WaitForReply(std::uint32_t* waiting) {
    using Clock = std::chrono::steady_clock;
    const bool limited = options_.reply_timeout_seconds > 0.0;
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(options_.reply_timeout_seconds));
    for (;;) {
      *waiting = port_->BytesWaiting();
      if (*waiting != 0) return true;
      if (limited && Clock::now() >= deadline) return false;
      win::Sleep(kReplyPollIntervalMs);
    }
  }

  const Options& options_;
  std::FILE* out_;
  std::FILE* err_;
  std::unique_ptr<serial::SerialPort> port_;
  std::string port_label_;
  char reply_[kReplyBufferSize] = {};
};

}  // namespace

int RunSession(const Options& options, std::FILE* out, std::FILE* err) {
  Session session(options, out, err);
  return session.Run();
}

}  // namespace sender
