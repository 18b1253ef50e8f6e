// The UECP link layer as an encoder sees it: a byte stream in which frames start with STA 0xFE
// and end with STP 0xFF, bytes 0xFD..0xFF inside a frame are stuffed as 0xFD 0x00..0x02, and
// each frame carries address, sequence counter, message field length and a CRC.
#ifndef RDS_SIMULATOR_UECP_LINK_H_
#define RDS_SIMULATOR_UECP_LINK_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "simulator/response_code.h"

namespace sim {

constexpr std::uint8_t kStart = 0xFE;
constexpr std::uint8_t kStop = 0xFF;
constexpr std::uint8_t kEscape = 0xFD;
// Address (2), SQC, MFL, up to 255 message bytes, CRC (2): the bytes between STA and STP.
constexpr std::size_t kMaxFrameBody = 2 + 1 + 1 + 255 + 2;

// One received frame, or the reason a frame was refused.
struct FrameEvent {
  ResponseCode code = ResponseCode::kOk;
  bool has_header = false;            // address and SQC were received (replies can name them)
  std::uint16_t address = 0;          // site address × 64 + encoder address, as on the wire
  std::uint8_t sequence = 0;          // SQC
  std::vector<std::uint8_t> message;  // the message field of a good frame
};

// Splits a byte stream into frames. Feed it bytes as they arrive; it calls the sink for every
// frame it completes or refuses. Bytes outside frames are skipped and counted; a frame cut short
// by a new STA or by Expire() is refused as incomplete, and reading resumes at the next STA.
class Deframer {
 public:
  template <typename Sink>
  void Feed(const std::uint8_t* data, std::size_t size, Sink&& sink) {
    for (std::size_t i = 0; i < size; ++i) {
      if (Step(data[i])) sink(static_cast<const FrameEvent&>(event_));
    }
  }

  // Refuses a frame that has started but not ended (the sender went quiet mid-frame). Returns
  // true and fills the event if there was one.
  bool Expire(FrameEvent* event);

  bool InFrame() const { return state_ == State::kBody || state_ == State::kEscaped; }
  std::size_t SkippedBytes() const { return skipped_; }

 private:
  enum class State { kIdle, kBody, kEscaped, kDiscarding };

  // Consumes one byte; true when event_ holds a finished frame or a refusal.
  bool Step(std::uint8_t byte);
  bool Finish();
  bool Refuse(ResponseCode code);

  State state_ = State::kIdle;
  std::vector<std::uint8_t> body_;
  FrameEvent event_;
  std::size_t skipped_ = 0;
};

// A complete stuffed frame (STA to STP) carrying the given message field (at most 255 bytes).
std::vector<std::uint8_t> BuildFrame(std::uint16_t address, std::uint8_t sequence,
                                     const std::vector<std::uint8_t>& message);

}  // namespace sim

#endif  // RDS_SIMULATOR_UECP_LINK_H_
