// The exchange engine against a scripted line: sequence counters in turn and past 255, answers
// matched by SQC (late ones skipped), retries, and a text encoder's refusals.
#include "sender/exchange.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uecp/crc.h"
#include "uecp/frame_reader.h"
#include "uecp/service_elements.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t sqc, const Bytes& message) {
  Bytes raw;
  for (const std::uint8_t byte :
       {std::uint8_t{0}, std::uint8_t{0}, sqc, static_cast<std::uint8_t>(message.size())}) {
    raw.push_back(byte);
  }
  for (const std::uint8_t byte : message) raw.push_back(byte);
  raw.resize(raw.size() + 2);
  const std::uint16_t crc = uecp::uecp_crc16(raw.data(), static_cast<int>(raw.size() - 2));
  raw[raw.size() - 2] = static_cast<std::uint8_t>(crc >> 8);
  raw[raw.size() - 1] = static_cast<std::uint8_t>(crc);
  return uecp::StuffFrame(raw);
}

// A line whose encoder answers each written frame with what the test scripted for it, worked
// out from the frame's SQC; an empty answer is silence.
class ScriptedLink : public sender::Link {
 public:
  using Answerer = std::function<Bytes(std::uint8_t sqc)>;
  explicit ScriptedLink(std::deque<Answerer> answers) : answers_(std::move(answers)) {}

  [[nodiscard]] std::string Label() const override { return "scripted"; }
  [[nodiscard]] bool Write(const Bytes& bytes, std::string*) override {
    Bytes raw;
    EXPECT_TRUE(uecp::UnstuffFrame(bytes, &raw));
    sent.push_back(raw.at(2));
    if (!answers_.empty()) {
      const Bytes answer = answers_.front()(raw.at(2));
      answers_.pop_front();
      pending_.insert(pending_.end(), answer.begin(), answer.end());
    }
    return true;
  }
  ReadResult Read(Bytes* bytes, int, std::string*) override {
    if (pending_.empty()) return ReadResult::kTimeout;
    bytes->insert(bytes->end(), pending_.begin(), pending_.end());
    pending_.clear();
    return ReadResult::kData;
  }

  std::vector<std::uint8_t> sent;  // the SQC of every frame written

 private:
  std::deque<Answerer> answers_;
  Bytes pending_;
};

sender::PlannedFrame PiFrame() {
  sender::PlannedFrame planned{std::make_unique<uecp::UecpFrame>(0, 0), {{"PI", "0x4123"}}};
  auto element = std::make_unique<uecp::PiElement>(0x4123, 0, 0);
  EXPECT_TRUE(planned.frame->AddElement(element));
  return planned;
}

TEST(ExchangeTest, AnswersAreMatchedBySequenceCounter) {
  const auto ack = [](std::uint8_t sqc) { return Frame(sqc, {0x18, 0x00}); };
  const auto silence = [](std::uint8_t) { return Bytes{}; };
  const struct {
    const char* name;
    std::deque<ScriptedLink::Answerer> answers;
    sender::Answer::Kind kind;
    std::uint8_t code;
    std::vector<std::uint8_t> sent;
  } cases[] = {
      {"ack", {ack}, sender::Answer::Kind::kAck, 0, {1}},
      // A late acknowledgement of an older frame first, then ours.
      {"stale then ack",
       {[](std::uint8_t sqc) {
         Bytes both = Frame(static_cast<std::uint8_t>(sqc + 7), {0x18, 0x00});
         const Bytes ours = Frame(sqc, {0x18, 0x06, sqc});
         both.insert(both.end(), ours.begin(), ours.end());
         return both;
       }},
       sender::Answer::Kind::kNack,
       6,
       {1}},
      {"silent, answered on the retry", {silence, ack}, sender::Answer::Kind::kAck, 0, {1, 1}},
      {"silent throughout",
       {silence, silence, silence},
       sender::Answer::Kind::kNoAnswer,
       0,
       {1, 1, 1}},
      {"text refusal",
       {[](std::uint8_t) { return Bytes{'E', 'R', 'R', ' ', '1', '1', '\r'}; }},
       sender::Answer::Kind::kNack,
       11,
       {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedLink link(c.answers);
    sender::ExchangeSettings settings;
    settings.timeout_seconds = 0.05;
    sender::Exchanger exchanger(&link, settings);
    sender::PlannedFrame frame = PiFrame();
    const sender::ExchangeRecord record = exchanger.Exchange(&frame);
    EXPECT_EQ(record.answer.kind, c.kind);
    EXPECT_EQ(record.answer.code, c.code);
    EXPECT_EQ(link.sent, c.sent);
  }
}

TEST(ExchangeTest, SequenceCountersRunFrom1To255AndStartAgainAt1) {
  std::deque<ScriptedLink::Answerer> answers(300, [](std::uint8_t sqc) {
    return Frame(sqc, {0x18, 0x00});
  });
  ScriptedLink link(answers);
  sender::ExchangeSettings settings;
  sender::Exchanger exchanger(&link, settings);
  for (int i = 0; i < 257; ++i) {
    sender::PlannedFrame frame = PiFrame();
    ASSERT_EQ(exchanger.Exchange(&frame).answer.kind, sender::Answer::Kind::kAck);
  }
  EXPECT_EQ(link.sent[0], 1);
  EXPECT_EQ(link.sent[254], 255);
  EXPECT_EQ(link.sent[255], 1);  // never 0, which means "not numbered"
  EXPECT_EQ(link.sent[256], 2);
}

}  // namespace
