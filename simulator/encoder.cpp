#include "simulator/encoder.h"

#include <algorithm>
#include <cstdio>

#include "simulator/message_elements.h"
#include "uecp/element_description.h"

namespace sim {

namespace {

std::string Hex(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

// The requested values in UECP frames with the request's address and SQC, as many elements to a
// frame as its message field holds.
void AppendAnswer(const FrameEvent& event, const std::vector<std::uint8_t>& elements,
                  std::vector<std::uint8_t>* replies) {
  std::vector<std::uint8_t> message;
  std::size_t at = 0;
  while (at < elements.size()) {
    const std::size_t size = uecp::ElementSize(elements.data() + at, elements.size() - at);
    if (size == 0) break;  // cannot happen: every answer element has a known shape
    if (message.size() + size > 255) {
      const std::vector<std::uint8_t> frame = BuildFrame(event.address, event.sequence, message);
      replies->insert(replies->end(), frame.begin(), frame.end());
      message.clear();
    }
    message.insert(message.end(), elements.begin() + static_cast<std::ptrdiff_t>(at),
                   elements.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  }
  const std::vector<std::uint8_t> frame = BuildFrame(event.address, event.sequence, message);
  replies->insert(replies->end(), frame.begin(), frame.end());
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
    : reply_(std::move(reply)), state_(std::move(initial)) {
  // A one-way encoder can be told to answer later (communication mode); it then acknowledges.
  if (reply_.mode == ReplyMode::kNone) {
    state_.mode = CommunicationMode::kOneWay;
    reply_.mode = ReplyMode::kAcknowledge;
  }
}

void Encoder::SetAddress(Address address) {
  state_.site_addresses.clear();
  state_.encoder_addresses.clear();
  if (address.site >= 0) state_.site_addresses.push_back(static_cast<std::uint16_t>(address.site));
  if (address.encoder >= 0) {
    state_.encoder_addresses.push_back(static_cast<std::uint8_t>(address.encoder));
  }
}

bool Encoder::ForUs(std::uint16_t address) const {
  const auto site = static_cast<std::uint16_t>(address >> 6);
  const auto encoder = static_cast<std::uint8_t>(address & 0x3F);
  const auto& sites = state_.site_addresses;
  const auto& encoders = state_.encoder_addresses;
  const bool site_ok =
      sites.empty() || site == 0 || std::find(sites.begin(), sites.end(), site) != sites.end();
  const bool encoder_ok = encoders.empty() || encoder == 0 ||
                          std::find(encoders.begin(), encoders.end(), encoder) != encoders.end();
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
  // A message is answered as the mode stood when it came: the one that sets one-way mode still
  // gets its acknowledgement, the one that ends it does not.
  const CommunicationMode mode = state_.mode;
  ResponseCode code = event.code;
  std::string detail;
  bool requested = false;
  ApplyResult applied;
  if (code == ResponseCode::kOk) {
    const ParsedMessage parsed = ParseMessage(event.message.data(), event.message.size());
    code = parsed.code;
    if (code == ResponseCode::kOk) {
      applied = ApplyElements(parsed.elements, now_ms, &state_);
      requested = applied.requested;
      code = applied.code;
      if (code != ResponseCode::kOk) {
        detail = " in element " + Hex(parsed.elements[applied.element].code);
      } else {
        for (const Element& element : parsed.elements) detail += " " + Hex(element.code);
      }
      for (const Element& element : parsed.elements) requested |= element.code == kRequestCode;
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
  const bool answers =
      mode == CommunicationMode::kEvery || (mode == CommunicationMode::kRequested && requested);
  if (!answers) return;
  if (code == ResponseCode::kOk && applied.requested) {
    AppendAnswer(event, applied.answer, replies);
    return;
  }
  const std::vector<std::uint8_t> reply = MakeReply(reply_, event, code);
  replies->insert(replies->end(), reply.begin(), reply.end());
}

AirSlot Encoder::NextSlot(std::int64_t now_ms) {
  AirSlot slot;
  const std::int64_t clock_ms = now_ms + state_.clock_offset_ms;
  slot.rds_on = state_.rds_on;
  if (slot.rds_on) {
    slot.group = scheduler_.Next(&state_, clock_ms);
  } else {
    scheduler_.Pass(state_, clock_ms);
  }
  slot.level = static_cast<double>(state_.level_mv) / kNominalLevelMv;
  slot.phase_degrees = state_.phase_tenths / 10.0;
  return slot;
}

}  // namespace sim
