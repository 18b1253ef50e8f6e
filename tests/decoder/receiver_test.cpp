// The receiver's block layer over whole captures: the same blocks as the fixed report on clean
// input, corrected blocks with their mark and figures, at most two groups lost to a slip of one
// bit, and a live stream giving the blocks of the counted capture however it arrives.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "capture_helpers.h"
#include "decoder/receiver_run.h"
#include "tools/capture_gen/station.h"

namespace {

using decoder::BlockStatus;
using decoder::ExitCode;
using decoder::ReceivedGroup;

class GroupLog : public decoder::GroupListener {
 public:
  void OnGroup(const ReceivedGroup& group) override { groups.push_back(group); }
  std::vector<ReceivedGroup> groups;
};

struct ReceiverResult {
  ExitCode code;
  std::string report;
  std::vector<ReceivedGroup> groups;
  decoder::ReceptionStats stats;
};

ReceiverResult RunReceiver(const std::string& input, bool stream, int max_burst = 2,
                           std::size_t max_read = SIZE_MAX) {
  decoder::ReceiverRunOptions options;
  options.receiver.max_burst = max_burst;
  options.stream = stream;
  decoder::MemorySource source(input, max_read);
  decoder::StringSink sink;
  GroupLog log;
  ReceiverResult result{};
  result.code = decoder::RunReceiver(options, source, &sink, {&log}, &result.stats);
  result.report = sink.Text();
  result.groups = log.groups;
  return result;
}

// `noise` random bits, then `groups` groups of the made-up station.
std::string StationBits(int noise, int groups, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::string bits;
  for (int i = 0; i < noise; ++i) bits.push_back(random() % 2 ? '1' : '0');
  capture::Station station{capture::StationConfig{}};
  for (int i = 0; i < groups; ++i) station.AppendNextGroup(bits);
  return bits;
}

std::string Counted(const std::string& bits) {
  return std::to_string(bits.size() + 1) + "\n" + bits + "\n";
}

TEST(Receiver, CleanCaptureGivesTheFixedReportAfterTheBlockAItSynchronisedOn) {
  for (const int noise : {0, 13, 300}) {
    const std::string capture = Counted(StationBits(noise, 700));
    const decoder_test::Result fixed = decoder_test::RunFast(capture);
    const ReceiverResult receiver = RunReceiver(capture, false);
    ASSERT_EQ(receiver.code, ExitCode::kDone);
    // The receiver reports the block A of the synchronising pair; the fixed report drops it.
    const std::size_t first_line_end = receiver.report.find('\n') + 1;
    EXPECT_EQ(receiver.report.substr(first_line_end), fixed.report) << "noise " << noise;
    EXPECT_EQ(receiver.report.substr(9, 23), " 34e8713 d3a1 313 A  - ");
    EXPECT_EQ(receiver.stats.clean_blocks, receiver.stats.blocks);
    EXPECT_EQ(receiver.stats.bits_without_sync, noise);
  }
}

TEST(Receiver, CorrectedBlocksAreMarkedAndCountedAsCorrected) {
  std::string bits = StationBits(0, 8);
  const int sent_b = std::stoi(bits.substr(104 + 26, 16), nullptr, 2);
  bits = decoder_test::Flip(bits, 104 + 26 + 3);  // second group's B: one bit
  bits = decoder_test::Flip(bits, 104 * 2 + 60);  // third group's C: two adjacent bits
  bits = decoder_test::Flip(bits, 104 * 2 + 61);
  bits = decoder_test::Flip(bits, 104 * 5 + 82);  // sixth group's D: one bit
  const std::string capture = Counted(bits);
  struct Case {
    int max_burst;
    std::int64_t corrected;
  };
  for (const Case c : {Case{1, 2}, Case{2, 3}}) {
    const ReceiverResult result = RunReceiver(capture, false, c.max_burst);
    ASSERT_EQ(result.code, ExitCode::kDone);
    EXPECT_EQ(result.stats.corrected_blocks, c.corrected);
    EXPECT_EQ(result.stats.error_blocks, 3 - c.corrected);
    const std::size_t line = result.report.find("\n      131 ");
    ASSERT_NE(line, std::string::npos) << result.report;
    EXPECT_EQ(result.report.substr(line + 28, 5), "B  * ") << result.report;
    EXPECT_EQ(result.groups[1].status[1], BlockStatus::kCorrected);
    EXPECT_EQ(result.groups[1].info[1], sent_b);
  }
}

// Block bit `bit` (25 the first on air) of block `block` (counted from the start of `bits`).
std::string FlipBlockBits(std::string bits, int block, std::initializer_list<int> block_bits) {
  for (const int bit : block_bits)
    bits = decoder_test::Flip(bits, static_cast<std::size_t>(26 * block + 25 - bit));
  return bits;
}

TEST(Receiver, BlocksWithTheSyndromeOfAnotherOffsetOrNearTheStationsOwnAreRepaired) {
  struct Case {
    const char* what;
    std::string bits;
    std::int64_t corrected;
  };
  const std::string sent = StationBits(0, 12);
  const Case cases[] = {
      // One wrong level each turns a D into an A and the next A into a B: a pair A B one place
      // along the group, which is no slip (the stream lost no 26 bits).
      {"D as A, then A as B",
       FlipBlockBits(FlipBlockBits(sent, 4 * 4 + 3, {23, 24}), 5 * 4, {18, 19}), 2},
      {"C as D", FlipBlockBits(sent, 6 * 4 + 2, {18}), 1},
      // Two wrong levels in a block A: no burst, but four bits from the station's own block A.
      {"A with two wrong levels", FlipBlockBits(sent, 7 * 4, {3, 4, 20, 21}), 1},
  };
  for (const Case& c : cases) {
    const ReceiverResult result = RunReceiver(Counted(c.bits), false);
    ASSERT_EQ(result.code, ExitCode::kDone) << c.what;
    EXPECT_EQ(result.stats.slips, 0) << c.what;
    EXPECT_EQ(result.stats.corrected_blocks, c.corrected) << c.what;
    EXPECT_EQ(result.stats.error_blocks, 0) << c.what;
    for (const ReceivedGroup& group : result.groups) {
      for (std::size_t block = 0; block < 4; ++block) {
        if (!group.Has(static_cast<int>(block))) continue;  // the end rule's unreported tail
        const std::size_t at = static_cast<std::size_t>(group.first_bit) + 26 * block;
        EXPECT_EQ(group.info[block], std::stoi(sent.substr(at, 16), nullptr, 2))
            << c.what << ", group at " << group.first_bit;
      }
    }
  }
}

TEST(Receiver, SlipOfOneBitLosesAtMostTwoGroups) {
  constexpr int kNoise = 40;
  constexpr int kGroups = 60;
  std::mt19937 random(2026);
  for (int trial = 0; trial < 300; ++trial) {
    const std::string sent = StationBits(kNoise, kGroups, static_cast<unsigned>(trial));
    const int slip =
        kNoise + 104 * 10 + std::uniform_int_distribution<int>(0, 104 * 40 - 1)(random);
    const auto cut = static_cast<std::size_t>(slip);
    const bool insert = trial % 2 == 0;
    const std::string received = insert ? sent.substr(0, cut) + "1" + sent.substr(cut)
                                        : sent.substr(0, cut) + sent.substr(cut + 1);
    const int max_burst = trial % 4 < 2 ? 2 : 5;
    const ReceiverResult result = RunReceiver(Counted(received), false, max_burst);
    ASSERT_EQ(result.code, ExitCode::kDone);

    // Every group delivered whole, at the place it was sent to, with the words sent. The block
    // the slip hit may read as a valid one (a shift within a run of equal bits, or plain
    // chance): no receiver can tell, so that block is not counted.
    int whole = 0;
    for (const ReceivedGroup& group : result.groups) {
      const std::int64_t shift = group.first_bit > slip ? (insert ? -1 : 1) : 0;
      const std::int64_t start = group.first_bit + shift;
      if ((start - kNoise) % 104 != 0) continue;
      bool complete = true;
      for (int block = 0; block < 4; ++block) {
        const std::int64_t received_at = group.first_bit + std::int64_t{26} * block;
        if (!group.Has(block) || (received_at <= slip && slip < received_at + 26)) {
          complete = false;
          continue;
        }
        const std::string bits =
            sent.substr(static_cast<std::size_t>(start + std::int64_t{26} * block), 16);
        ASSERT_EQ(group.info[static_cast<std::size_t>(block)], std::stoi(bits, nullptr, 2))
            << "trial " << trial << " group at " << start;
      }
      whole += complete ? 1 : 0;
    }
    // The fixed end rule leaves the last group unreported.
    EXPECT_GE(whole, kGroups - 1 - 2) << "trial " << trial << " slip at " << slip;
    EXPECT_EQ(result.stats.slips, 1) << "trial " << trial;
  }
}

TEST(Receiver, StreamGivesTheBlocksOfTheCountedCaptureHoweverItArrives) {
  std::string bits = StationBits(77, 120);
  for (std::size_t at = 500; at < bits.size(); at += 997) bits = decoder_test::Flip(bits, at);
  const ReceiverResult counted = RunReceiver(Counted(bits), false);
  ASSERT_EQ(counted.code, ExitCode::kDone);

  std::string laid_out;  // line breaks, CR LF and spaces as a demodulator might write them
  for (std::size_t i = 0; i < bits.size(); ++i) {
    laid_out.push_back(bits[i]);
    if (i % 64 == 63) laid_out += i % 128 == 127 ? "\r\n" : "\n";
    if (i % 700 == 5) laid_out += " \t";
  }
  for (const std::size_t max_read : {std::size_t{1}, std::size_t{7}, SIZE_MAX}) {
    const ReceiverResult streamed = RunReceiver(laid_out, true, 2, max_read);
    ASSERT_EQ(streamed.code, ExitCode::kDone);
    // The stream has no count to end its report early: it goes on to the last whole block.
    ASSERT_GT(streamed.report.size(), counted.report.size());
    EXPECT_EQ(streamed.report.substr(0, counted.report.size()), counted.report);
    EXPECT_EQ(streamed.stats.erased_bits, 0);
  }
  // A byte that is no bit stands for one: the stream stays aligned, and it is counted.
  std::string garbled = laid_out;
  garbled[garbled.find('1', 3000)] = '?';
  const ReceiverResult erased = RunReceiver(garbled, true);
  EXPECT_EQ(erased.stats.erased_bits, 1);
  EXPECT_EQ(erased.stats.slips, 0);
}

}  // namespace
