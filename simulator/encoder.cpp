#include "simulator/encoder.h"

#include <cstdio>

#include "simulator/message_elements.h"

namespace sim {

namespace {

std::string Hex(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

}  // namespace

std::vector<std::uint8_t> MakeReply(const ReplyConfig& config, const FrameEvent& frame,
                                    ResponseCode code) {
  switch (config.mode) {
    case ReplyMode::kNone:
      return {};
    case ReplyMode::kText: {
      const std::string text =
          code == ResponseCode::kOk ? config.text : "ERR " + std::to_string(static_cast<int>(code));
      return std::vector<std::uint8_t>(text.begin(), text.end());
    }
    case ReplyMode::kAcknowledge:
      break;
  }
  // "18 00" acknowledges a good message; otherwise the response code and the SQC of the message
  // it refers to. The reply carries the received address and SQC back.
  std::vector<std::uint8_t> message = {kAckCode, static_cast<std::uint8_t>(code)};
  if (code != ResponseCode::kOk) message.push_back(frame.sequence);
  return BuildFrame(frame.address, frame.sequence, message);
}

Encoder::Encoder(ReplyConfig reply, EncoderState initial)
    : reply_(std::move(reply)), state_(std::move(initial)) {}

bool Encoder::ForUs(std::uint16_t address) const {
  const int site = address >> 6;
  const int encoder = address & 0x3F;
  const bool site_ok = address_.site < 0 || site == 0 || site == address_.site;
  const bool encoder_ok = address_.encoder < 0 || encoder == 0 || encoder == address_.encoder;
  return site_ok && encoder_ok;
}

void Encoder::Receive(Deframer* line, const std::vector<std::uint8_t>& bytes, std::int64_t now_ms,
                      std::vector<std::uint8_t>* replies) {
  line->Feed(bytes.data(), bytes.size(),
             [&](const FrameEvent& event) { Handle(event, now_ms, replies); });
}

bool Encoder::ExpireFrame(Deframer* line, std::vector<std::uint8_t>* replies) {
  FrameEvent event;
  if (!line->Expire(&event)) return false;
  Handle(event, 0, replies);
  return true;
}

void Encoder::Handle(const FrameEvent& event, std::int64_t now_ms,
                     std::vector<std::uint8_t>* replies) {
  if (event.has_header && !ForUs(event.address)) {
    ++stats_.frames_ignored;
    return;
  }
  ResponseCode code = event.code;
  std::string detail;
  if (code == ResponseCode::kOk) {
    const ParsedMessage parsed = ParseMessage(event.message.data(), event.message.size());
    code = parsed.code;
    if (code == ResponseCode::kOk) {
      const ApplyResult applied = ApplyElements(parsed.elements, now_ms, &state_);
      code = applied.code;
      if (code != ResponseCode::kOk) {
        detail = " in element " + Hex(parsed.elements[applied.element].code);
      } else {
        for (const Element& element : parsed.elements) detail += " " + Hex(element.code);
      }
    } else {
      detail = " at message byte " + std::to_string(parsed.failed_at);
    }
  }
  const std::string sqc = "frame SQC " + Hex(event.sequence) + ": ";
  if (code == ResponseCode::kOk) {
    ++stats_.frames_good;
    Say(sqc + "applied" + (detail.empty() ? " (no elements)" : detail));
  } else {
    ++stats_.frames_refused;
    Say(sqc + "refused with code " + std::to_string(static_cast<int>(code)) + " (" +
        ResponseName(code) + ")" + detail);
  }
  const std::vector<std::uint8_t> reply = MakeReply(reply_, event, code);
  replies->insert(replies->end(), reply.begin(), reply.end());
}

rds::Group Encoder::NextGroup(std::int64_t now_ms) {
  return scheduler_.Next(&state_, now_ms + state_.clock_offset_ms);
}

}  // namespace sim
