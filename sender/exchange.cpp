#include "sender/exchange.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "sender/element_values.h"
#include "uecp/response_code.h"

namespace sender {
namespace {

using Clock = std::chrono::steady_clock;

// A text answer without a line end is complete once the line has been quiet this long.
constexpr int kTextQuietMs = 100;
// A connection that drops again at once after each reconnection is not retried forever.
constexpr int kMaxDropsPerFrame = 3;

// "ERR 6" from an encoder that answers in text.
bool TextRefusal(const std::string& text, std::uint8_t* code) {
  if (text.rfind("ERR ", 0) != 0) return false;
  char* end = nullptr;
  const long value = std::strtol(text.c_str() + 4, &end, 10);
  if (end == text.c_str() + 4 || value < 0 || value > 255) return false;
  *code = static_cast<std::uint8_t>(value);
  return true;
}

std::string Trimmed(const std::vector<std::uint8_t>& bytes) {
  std::string text(bytes.begin(), bytes.end());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Encoders that answer in text answer in ASCII; anything else on the line is noise.
bool Printable(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t' && byte != '\r') || byte >= 0x7F) return false;
  }
  return !text.empty();
}

}  // namespace

Parsed ParseExchangeOption(Arguments* args, ExchangeSettings* settings, std::string* error) {
  const std::string name = args->Name();
  std::string value;
  if (name == "--test-damage") {
    if (!args->TakeValue(&value, error)) return Parsed::kFailed;
    if (!ParseFrameDamage(value, &settings->damage)) {
      *error = "--test-damage needs crc, cut, unknown, mfl, stuffing or short, not '" + value + "'";
      return Parsed::kFailed;
    }
    return Parsed::kTaken;
  }
  if (name == "--ack" || name == "--no-ack" || name == "--json") {
    if (!args->TakeFlag(error)) return Parsed::kFailed;
    if (name == "--json") {
      settings->json = true;
    } else {
      settings->ack = name == "--ack" ? 1 : 0;
    }
    return Parsed::kTaken;
  }
  if (name == "--retries") {
    if (!args->TakeValue(&value, error)) return Parsed::kFailed;
    if (!ParseInteger(value, 0, 100, &settings->retries)) {
      *error = "--retries needs a count from 0 to 100, not '" + value + "'";
      return Parsed::kFailed;
    }
    return Parsed::kTaken;
  }
  if (name == "--timeout") {
    if (!args->TakeValue(&value, error)) return Parsed::kFailed;
    // The engine always waits with a limit: a day is as long as anyone means.
    if (!ParseDecimal(value, 0.001, 86400, &settings->timeout_seconds)) {
      *error = "--timeout needs seconds from 0.001 to 86400, not '" + value + "'";
      return Parsed::kFailed;
    }
    return Parsed::kTaken;
  }
  return Parsed::kNotMine;
}

const char kExchangeOptionsHelp[] =
    "Answers:\n"
    "  --ack | --no-ack   wait for each acknowledgement (default on serial and TCP) or not\n"
    "  --retries N        send a frame again when no answer came in time (default 2)\n"
    "  --timeout SECONDS  wait this long for each answer (default 5)\n"
    "  --json             one JSON object per exchange instead of the text lines\n";

Exchanger::Exchanger(Link* link, const ExchangeSettings& settings)
    : link_(link),
      settings_(settings),
      ack_(settings.ack < 0 ? link->Answers() : settings.ack == 1) {}

ExchangeRecord Exchanger::Exchange(PlannedFrame* frame) {
  ExchangeRecord record;
  record.elements = frame->elements;
  // Without acknowledgements there is nothing to match, and SQC 0 says so to the encoder.
  if (ack_) {
    record.sequence_counter = next_sequence_;
    next_sequence_ = static_cast<std::uint8_t>(next_sequence_ == 255 ? 1 : next_sequence_ + 1);
  }
  frame->frame->SetSequenceCounter(record.sequence_counter);
  frame->frame->Build();
  record.bytes.assign(frame->frame->StuffedData(),
                      frame->frame->StuffedData() + frame->frame->StuffedLength());
  record.bytes = DamageFrame(record.bytes, settings_.damage);
  garbled_.clear();

  if (!ack_) DiscardUnread();
  int drops = 0;
  while (record.attempts <= settings_.retries) {
    ++record.attempts;
    if (!SendWithReconnect(record.bytes, &record)) return record;
    const auto sent_at = Clock::now();
    if (!ack_) {
      record.answer.kind = Answer::Kind::kOneWay;
      return record;
    }
    const WaitResult result = WaitForAnswer(record.sequence_counter, &record);
    record.round_trip_ms =
        std::chrono::duration<double, std::milli>(Clock::now() - sent_at).count();
    if (result == WaitResult::kAnswered || result == WaitResult::kFailed) return record;
    if (result == WaitResult::kDropped) {
      // The frame may have been cut off with the connection: it goes again on a new one, and
      // the drop does not use up one of the retries.
      --record.attempts;
      if (++drops > kMaxDropsPerFrame || !link_->CanReopen()) {
        record.answer.kind = Answer::Kind::kLineFailed;
        record.answer.text = "the connection to " + link_->Label() + " dropped " +
                             std::to_string(drops) + " times while waiting for the answer";
        return record;
      }
      std::string error;
      if (!link_->Reopen(&error)) {
        record.answer.kind = Answer::Kind::kLineFailed;
        record.answer.text = "the connection dropped and reconnecting failed: " + error;
        return record;
      }
      record.notes.push_back("reconnected to " + link_->Label() + " after a drop");
    }
  }
  if (!garbled_.empty()) {
    record.answer.kind = Answer::Kind::kGarbled;
    record.answer.text = garbled_;
  } else {
    record.answer.kind = Answer::Kind::kNoAnswer;
  }
  return record;
}

void Exchanger::DiscardUnread() {
  // An encoder may answer even when nobody waits for it; left unread, its answers would fill the
  // connection until the encoder gives up on us.
  std::vector<std::uint8_t> unread;
  std::string error;
  while (link_->Read(&unread, 0, &error) == Link::ReadResult::kData) unread.clear();
}

bool Exchanger::SendWithReconnect(const std::vector<std::uint8_t>& bytes, ExchangeRecord* record) {
  std::string error;
  if (link_->Write(bytes, &error)) return true;
  if (link_->CanReopen()) {
    std::string reopen_error;
    if (link_->Reopen(&reopen_error)) {
      record->notes.push_back("reconnected to " + link_->Label() + " after: " + error);
      if (link_->Write(bytes, &error)) return true;
    } else {
      error += "; reconnecting failed: " + reopen_error;
    }
  }
  record->answer.kind = Answer::Kind::kLineFailed;
  record->answer.text = error;
  return false;
}

Exchanger::WaitResult Exchanger::WaitForAnswer(std::uint8_t sequence, ExchangeRecord* record) {
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double>(settings_.timeout_seconds));
  std::vector<std::uint8_t> bytes;
  for (;;) {
    uecp::StreamItem item;
    while (reader_.Next(&item)) {
      if (Judge(item, sequence, record)) return WaitResult::kAnswered;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      // Text that came without a line end still answers the frame.
      reader_.FlushText();
      while (reader_.Next(&item)) {
        if (Judge(item, sequence, record)) return WaitResult::kAnswered;
      }
      return WaitResult::kTimeout;
    }
    int wait_ms = static_cast<int>(left);
    if (reader_.HasPendingText() && wait_ms > kTextQuietMs) wait_ms = kTextQuietMs;
    bytes.clear();
    std::string error;
    switch (link_->Read(&bytes, wait_ms, &error)) {
      case Link::ReadResult::kData:
        reader_.Feed(bytes.data(), bytes.size());
        break;
      case Link::ReadResult::kTimeout:
        if (reader_.HasPendingText()) reader_.FlushText();
        break;
      case Link::ReadResult::kClosed:
        reader_ = uecp::FrameReader();
        record->notes.push_back(error);
        return WaitResult::kDropped;
      case Link::ReadResult::kFailed:
        record->answer.kind = Answer::Kind::kLineFailed;
        record->answer.text = error;
        return WaitResult::kFailed;
    }
  }
}

bool Exchanger::Judge(const uecp::StreamItem& item, std::uint8_t sequence, ExchangeRecord* record) {
  Answer& answer = record->answer;
  switch (item.kind) {
    case uecp::StreamItem::Kind::kBadFrame:
      if (!garbled_.empty()) garbled_ += " ";
      garbled_ += HexBytes(item.bytes) + " (" + item.problem + ")";
      return false;
    case uecp::StreamItem::Kind::kText: {
      const std::string text = Trimmed(item.bytes);
      if (text.empty()) return false;
      if (!Printable(text)) {
        if (!garbled_.empty()) garbled_ += " ";
        garbled_ += HexBytes(item.bytes);
        return false;
      }
      if (TextRefusal(text, &answer.code)) {
        answer.kind = Answer::Kind::kNack;
      } else {
        answer.kind = Answer::Kind::kText;
      }
      answer.text = text;
      return true;
    }
    case uecp::StreamItem::Kind::kFrame:
      break;
  }
  const std::vector<std::uint8_t>& message = item.frame.message;
  if (message.empty() || message[0] != uecp::kMecAcknowledgement) {
    // Other elements answer a request; they carry the request's SQC.
    if (item.frame.sequence_counter != sequence) {
      record->notes.push_back("skipped an answer for SQC " +
                              std::to_string(item.frame.sequence_counter));
      return false;
    }
    answer.kind = Answer::Kind::kMessage;
    answer.message = message;
    return true;
  }
  const std::uint8_t code = message.size() >= 2 ? message[1] : 0;
  // A refusal names the faulty message's SQC in the element; the frame's own SQC says the same.
  const std::uint8_t named =
      code != 0 && message.size() >= 3 ? message[2] : item.frame.sequence_counter;
  if (named != sequence) {
    // A late answer to an earlier try or an earlier frame.
    record->notes.push_back("skipped an acknowledgement for SQC " + std::to_string(named));
    return false;
  }
  answer.kind = code == 0 ? Answer::Kind::kAck : Answer::Kind::kNack;
  answer.code = code;
  answer.text = code == 0 ? "" : uecp::ResponseCodeName(code);
  return true;
}

}  // namespace sender
