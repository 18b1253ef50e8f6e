// Fuzz target: brovik's receiver mode (the block layer with burst correction and
// re-synchronisation) on arbitrary input, read as a live bit stream and as a counted capture.
//
// The first input byte chooses the longest burst corrected (1..5) and how the input arrives
// (piece sizes); the rest is the stream or the capture. Checked, whatever the bytes:
//  - every reported block lies at or after the end of the one before, and a skipped stretch fills
//    exactly the gap it names; a clean or corrected block is a valid code word (by a syndrome
//    computed here) of the offset due at its place in the group, a missing one names no offset;
//  - the figures add up, and what is held back never exceeds the layer's fixed bound;
//  - the stream decodes to the same blocks in pieces of any size as in one piece;
//  - the plain configuration writes the fixed report byte for byte (against the reference
//    decoder), and the receiver's report ends in a complete line when the run succeeds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "decoder/block_receiver.h"
#include "decoder/byte_io.h"
#include "decoder/receiver_run.h"
#include "decoder/reference_decoder.h"
#include "decoder/stream_bits.h"
#include "fuzz/block_syndrome.h"
#include "fuzz/fuzz_check.h"

namespace {

using decoder::BlockStatus;
using fuzz::Require;

constexpr long kMaxBits = 1L << 15;

// Offset syndromes of A, B, C, C', D, indexed like decoder::BlockOffset.
constexpr unsigned kOffsetSyndromes[5] = {0x3D8, 0x3D4, 0x25C, 0x3CC, 0x258};

bool DueAt(decoder::BlockOffset offset, int slot) {
  switch (slot) {
    case 0:
      return offset == decoder::A;
    case 1:
      return offset == decoder::B;
    case 2:
      return offset == decoder::C || offset == decoder::CPrime;
    default:
      return offset == decoder::D;
  }
}

struct Event {
  bool skip;
  std::int64_t position;
  std::int64_t size;  // bits skipped, or the block
  int offset;
  BlockStatus status;
  bool operator==(const Event& o) const {
    return skip == o.skip && position == o.position && size == o.size && offset == o.offset &&
           status == o.status;
  }
};

class CheckingObserver : public decoder::BlockObserver, public decoder::GroupListener {
 public:
  void OnBlock(const decoder::ReportedBlock& b) override {
    Require(b.position >= end_, "blocks do not overlap and come in stream order");
    Require(!after_skip_ || b.position == end_, "a skipped stretch ends where a block starts");
    Require(b.block < (1u << 26) && b.slot >= 0 && b.slot < 4, "a block is 26 bits in a group");
    if (b.status == BlockStatus::kMissing) {
      Require(b.offset == decoder::None, "a missing block names no offset");
    } else {
      Require(DueAt(b.offset, b.slot), "a received block carries the offset due at its place");
      Require(fuzz::BlockSyndrome(b.block) == kOffsetSyndromes[b.offset],
              "a clean or corrected block is a valid code word of its offset");
    }
    events.push_back({false, b.position, b.block, b.offset, b.status});
    end_ = b.position + 26;
    after_skip_ = false;
  }
  void OnSkip(std::int64_t position, std::int64_t bits) override {
    Require(position == end_ && bits >= 0, "a skipped stretch starts where the last block ended");
    events.push_back({true, position, bits, 0, BlockStatus::kMissing});
    end_ = position + bits;
    after_skip_ = true;
  }
  void OnGroup(const decoder::ReceivedGroup& group) override {
    for (int slot = 0; slot < 4; ++slot) groups_blocks += group.Has(slot) ? 1 : 0;
  }

  std::vector<Event> events;
  std::int64_t groups_blocks = 0;

 private:
  std::int64_t end_ = 0;
  bool after_skip_ = false;
};

std::vector<Event> DecodeStream(const std::vector<std::uint8_t>& bits,
                                const decoder::ReceiverConfig& config, std::size_t piece) {
  CheckingObserver observer;
  decoder::BlockReceiver receiver(config, &observer, {&observer});
  for (std::size_t at = 0; at < bits.size(); at += piece) {
    receiver.Push(bits.data() + at, std::min(piece, bits.size() - at));
    Require(receiver.HeldBlocks() <= decoder::BlockReceiver::kLossBlocks,
            "what is held back stays within its bound");
  }
  receiver.Finish(receiver.Position());
  const decoder::ReceptionStats& stats = receiver.Stats();
  Require(stats.blocks == stats.clean_blocks + stats.corrected_blocks + stats.error_blocks,
          "every reported block is clean, corrected or missing");
  std::int64_t blocks = 0;
  for (const Event& event : observer.events) blocks += event.skip ? 0 : 1;
  Require(stats.blocks == blocks, "the figures count the reported blocks");
  Require(observer.groups_blocks == stats.clean_blocks + stats.corrected_blocks,
          "the groups hold every received block");
  Require(stats.bits == static_cast<std::int64_t>(bits.size()), "every bit is counted");
  return observer.events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t setup = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const int max_burst = 1 + (setup & 7) % 5;
  constexpr std::size_t kPieces[4] = {1, 3, 26, 1000};
  const std::size_t piece = kPieces[(setup >> 3) & 3];

  // As a live stream, in pieces and whole.
  std::vector<std::uint8_t> bits(input.size());
  decoder::StreamBits parser;
  bits.resize(parser.Convert(input.data(), input.size(), bits.data()));
  decoder::ReceiverConfig config;
  config.max_burst = max_burst;
  const std::vector<Event> whole = DecodeStream(bits, config, bits.size() + 1);
  Require(DecodeStream(bits, config, piece) == whole, "pieces decode like the whole stream");

  // As a counted capture: plain gives the fixed report; receiver mode ends in whole lines.
  char count_line[10] = {};
  for (std::size_t i = 0; i < 9 && i < input.size() && input[i] != '\n'; ++i) {
    count_line[i] = input[i];
  }
  if (std::strtol(count_line, nullptr, 10) > kMaxBits) return 0;
  decoder::MemorySource reference_input(input);
  decoder::StringSink reference_report;
  const decoder::ExitCode reference =
      decoder::DecodeCaptureReference(reference_input, reference_report);
  decoder::ReceiverRunOptions options;
  options.receiver.mode = decoder::ReceiverConfig::Mode::kPlain;
  decoder::MemorySource plain_input(input, piece);
  decoder::StringSink plain_report;
  Require(decoder::RunReceiver(options, plain_input, &plain_report, {}, nullptr) == reference,
          "the plain block layer ends like the fixed report");
  Require(plain_report.Text() == reference_report.Text(), "the plain block layer's report");

  options.receiver.mode = decoder::ReceiverConfig::Mode::kReceiver;
  options.receiver.max_burst = max_burst;
  options.stream = (setup & 0x20) != 0;
  decoder::MemorySource receiver_input(input, piece);
  decoder::StringSink receiver_report;
  const decoder::ExitCode code =
      decoder::RunReceiver(options, receiver_input, &receiver_report, {}, nullptr);
  Require(code == decoder::ExitCode::kDone || receiver_report.Text().empty(),
          "a failed run leaves the report empty");
  Require(receiver_report.Text().empty() || receiver_report.Text().back() == '\n',
          "the report ends with a complete line");
  return 0;
}
