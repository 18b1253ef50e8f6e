#include "simulator/uecp_link.h"

#include "uecp/crc.h"

namespace sim {

namespace {

// The CRC over address, SQC, MFL and message field: never more than 259 bytes.
std::uint16_t FrameCrc(const std::uint8_t* data, std::size_t size) {
  return uecp::uecp_crc16(data, static_cast<int>(size));
}

}  // namespace

const char* ResponseName(ResponseCode code) {
  switch (code) {
    case ResponseCode::kOk:
      return "ok";
    case ResponseCode::kCrcError:
      return "CRC error";
    case ResponseCode::kIncomplete:
      return "message not received completely";
    case ResponseCode::kUnknownMessage:
      return "unknown message";
    case ResponseCode::kDsnError:
      return "data set number error";
    case ResponseCode::kPsnError:
      return "programme service number error";
    case ResponseCode::kOutOfRange:
      return "parameter out of range";
    case ResponseCode::kMelError:
      return "message element length error";
    case ResponseCode::kMflError:
      return "message field length error";
    case ResponseCode::kNotAcceptable:
      return "message not acceptable";
    case ResponseCode::kEndMissing:
      return "end message missing";
    case ResponseCode::kBufferOverflow:
      return "buffer overflow";
    case ResponseCode::kBadStuffing:
      return "bad stuffing";
    case ResponseCode::kUnexpectedEnd:
      return "unexpected end of message";
  }
  return "unknown response";
}

std::vector<std::uint8_t> BuildFrame(std::uint16_t address, std::uint8_t sequence,
                                     const std::vector<std::uint8_t>& message) {
  std::vector<std::uint8_t> raw = {static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(address & 0xFF), sequence,
                                   static_cast<std::uint8_t>(message.size())};
  raw.insert(raw.end(), message.begin(), message.end());
  const std::uint16_t crc = FrameCrc(raw.data(), raw.size());
  raw.push_back(static_cast<std::uint8_t>(crc >> 8));
  raw.push_back(static_cast<std::uint8_t>(crc & 0xFF));

  std::vector<std::uint8_t> frame;
  frame.reserve(2 * raw.size() + 2);
  frame.push_back(kStart);
  for (const std::uint8_t byte : raw) {
    if (byte >= kEscape) {
      frame.push_back(kEscape);
      frame.push_back(static_cast<std::uint8_t>(byte - kEscape));
    } else {
      frame.push_back(byte);
    }
  }
  frame.push_back(kStop);
  return frame;
}

bool Deframer::Step(std::uint8_t byte) {
  switch (state_) {
    case State::kIdle:
    case State::kDiscarding:
      if (byte == kStart) {
        state_ = State::kBody;
        body_.clear();
      } else if (state_ == State::kIdle) {
        ++skipped_;
      }
      return false;
    case State::kBody:
      if (byte == kStart) {
        // A stuffed frame never holds a bare STA: the sender gave up on this frame and began the
        // next one, which is read from here on.
        const bool refused = Refuse(ResponseCode::kIncomplete);
        state_ = State::kBody;
        body_.clear();
        return refused;
      }
      if (byte == kStop) return Finish();
      if (byte == kEscape) {
        state_ = State::kEscaped;
        return false;
      }
      break;
    case State::kEscaped:
      if (byte > 0x02) {
        const bool refused = Refuse(ResponseCode::kBadStuffing);
        if (byte == kStart) {
          state_ = State::kBody;
          body_.clear();
        } else if (byte == kStop) {
          state_ = State::kIdle;
        }
        return refused;
      }
      byte = static_cast<std::uint8_t>(kEscape + byte);
      state_ = State::kBody;
      break;
  }
  if (body_.size() == kMaxFrameBody) {
    // No message field length can describe a longer frame.
    return Refuse(ResponseCode::kMflError);
  }
  body_.push_back(byte);
  return false;
}

bool Deframer::Refuse(ResponseCode code) {
  event_.code = code;
  event_.has_header = body_.size() >= 3;
  event_.address = event_.has_header ? static_cast<std::uint16_t>(body_[0] << 8 | body_[1]) : 0;
  event_.sequence = event_.has_header ? body_[2] : 0;
  event_.message.clear();
  body_.clear();
  state_ = State::kDiscarding;
  return true;
}

bool Deframer::Finish() {
  // Address (2), SQC, MFL and CRC (2) at least.
  if (body_.size() < 6) {
    const bool refused = Refuse(ResponseCode::kIncomplete);
    state_ = State::kIdle;
    return refused;
  }
  const std::size_t covered = body_.size() - 2;
  const std::uint16_t received =
      static_cast<std::uint16_t>(body_[covered] << 8 | body_[covered + 1]);
  ResponseCode code = ResponseCode::kOk;
  if (FrameCrc(body_.data(), covered) != received) {
    code = ResponseCode::kCrcError;
  } else if (body_[3] != covered - 4) {
    // The CRC vouches for the bytes, so the length byte itself disagrees with the message.
    code = ResponseCode::kMflError;
  }
  if (code != ResponseCode::kOk) {
    const bool refused = Refuse(code);
    state_ = State::kIdle;
    return refused;
  }
  event_.code = ResponseCode::kOk;
  event_.has_header = true;
  event_.address = static_cast<std::uint16_t>(body_[0] << 8 | body_[1]);
  event_.sequence = body_[2];
  event_.message.assign(body_.begin() + 4, body_.begin() + static_cast<std::ptrdiff_t>(covered));
  body_.clear();
  state_ = State::kIdle;
  return true;
}

bool Deframer::Expire(FrameEvent* event) {
  if (!InFrame()) return false;
  Refuse(ResponseCode::kIncomplete);
  state_ = State::kIdle;
  *event = event_;
  return true;
}

}  // namespace sim
