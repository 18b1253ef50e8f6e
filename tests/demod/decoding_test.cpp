// The demodulator's bit-level stages: biphase pairing, soft-decision block correction, and the
// capture file's limit.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "demod/biphase_decoder.h"
#include "demod/bit_sink.h"
#include "demod/soft_block_decoder.h"
#include "rdscore/block_code.h"
#include "tests/support/scratch_dir.h"

namespace demod {
namespace {

TEST(BiphaseDecoder, FindsWhichHalfBitsBelongTogether) {
  // Levels as the transmitter sends them, each as +l, −l; the receiver starts half a bit off or
  // in step, with noise.
  for (const bool half_bit_late : {false, true}) {
    std::mt19937 random(5);
    std::normal_distribution<float> noise(0, 0.3f);
    std::vector<int> levels(600);
    for (int& l : levels) l = (random() & 1) != 0 ? 1 : -1;
    std::vector<float> halves;
    if (half_bit_late) halves.push_back(0.5f);
    for (const int l : levels) {
      halves.push_back(static_cast<float>(l) + noise(random));
      halves.push_back(static_cast<float>(-l) + noise(random));
    }
    BiphaseDecoder decoder;
    std::vector<int> decided;
    for (const float h : halves) {
      float bit = 0;
      if (decoder.Push(h, &bit)) decided.push_back(bit > 0 ? 1 : -1);
    }
    // After the first hundred bits the decisions are the levels, in order.
    ASSERT_GT(decided.size(), 500u);
    const std::size_t lag = levels.size() - decided.size();
    for (std::size_t i = 100; i < decided.size(); ++i) {
      ASSERT_EQ(decided[i], levels[i + lag]) << "bit " << i << (half_bit_late ? " late" : "");
    }
  }
}

// A block as received: its bits and each level's reliability (all sure unless set).
SoftBlock Received(std::uint32_t bits, std::initializer_list<std::pair<int, float>> doubtful) {
  SoftBlock block;
  block.bits = bits;
  block.reliability.fill(1.0f);
  for (const auto& [level, reliability] : doubtful) {
    block.reliability[static_cast<std::size_t>(level)] = reliability;
  }
  return block;
}

TEST(SoftBlockDecoder, FlipsTheDoubtfulLevelsAndNothingSure) {
  const std::uint32_t sent = rds::EncodeBlock(0x4123, rds::Offset::kB);
  const std::uint16_t b = rds::OffsetSyndrome(rds::Offset::kB);
  // Flipping level k changes block bits 26 − k and 25 − k (bit 25 is the first on air).
  const std::uint32_t two_levels_wrong = sent ^ (0x3u << 19) ^ (0x3u << 4);  // levels 6 and 21
  const std::uint32_t first_level_wrong = sent ^ (1u << 25);                 // level 0
  struct Case {
    const char* what;
    SoftBlock block;
    bool found;
    std::uint32_t levels;
  };
  const Case cases[] = {
      {"a clean block stays", Received(sent, {}), true, 0},
      {"two doubtful levels", Received(two_levels_wrong, {{6, 0.1f}, {21, 0.2f}, {9, 0.3f}}), true,
       (1u << 6) | (1u << 21)},
      {"the level before the block", Received(first_level_wrong, {{0, 0.05f}}), true, 1u},
      {"the same errors on sure levels", Received(two_levels_wrong, {}), false, 0},
      {"too costly to believe", Received(two_levels_wrong, {{6, 0.6f}, {21, 0.6f}}), false, 0},
      // Flipping levels 0, 5 and 13 together leaves the syndrome as it is, so levels 5 and 13
      // are a rival to level 0; as doubtful as it, they make the correction a guess.
      {"a rival as likely", Received(first_level_wrong, {{0, 0.1f}, {5, 0.15f}, {13, 0.15f}}),
       false, 0},
      {"a rival far less likely", Received(first_level_wrong, {{0, 0.1f}, {5, 0.4f}, {13, 0.4f}}),
       true, 1u},
  };
  // Sure levels cost 10 to flip with this scale, over the limit of 8; doubtful ones 0.5 to 3.
  constexpr float kScale = 10;
  const SoftBlockDecoder decoder(4);
  for (const Case& c : cases) {
    const SoftCorrection fix = decoder.Correct(c.block, b, b, kScale, 8);
    EXPECT_EQ(fix.found, c.found) << c.what;
    if (fix.found) {
      EXPECT_EQ(fix.bits, sent) << c.what;
      EXPECT_EQ(fix.levels, c.levels) << c.what;
    }
  }
  // Block 3 may carry C or C': either is accepted when both are offered.
  const std::uint16_t c = rds::OffsetSyndrome(rds::Offset::kC);
  const std::uint16_t c_prime = rds::OffsetSyndrome(rds::Offset::kCPrime);
  const std::uint32_t sent_c = rds::EncodeBlock(0x4123, rds::Offset::kCPrime);
  const std::uint32_t received = sent_c ^ (0x3u << 10);  // level 15
  const SoftCorrection fix =
      decoder.Correct(Received(received, {{15, 0.1f}}), c, c_prime, kScale, 8);
  EXPECT_TRUE(fix.found);
  EXPECT_EQ(fix.bits, sent_c);
}

}  // namespace
}  // namespace demod

namespace demod {
namespace {

TEST(CaptureFile, StopsCleanlyAtTheLargestCountItsLineHolds) {
  ScratchDir dir;
  const std::string path = dir.Path("full.txt");
  {
    std::unique_ptr<BitSink> sink = CreateCaptureFile(path);
    ASSERT_NE(sink, nullptr);
    // NOLINTNEXTLINE(bugprone-string-constructor): a capture file's worth, on purpose
    const std::string almost_full(99999990, '1');
    EXPECT_TRUE(sink->Write(almost_full));
    EXPECT_FALSE(sink->Write(std::string(20, '0')));  // only 8 of these fit
    EXPECT_TRUE(sink->limit_reached());
    EXPECT_TRUE(sink->Close());
  }
  std::ifstream in(path, std::ios::binary);
  std::string count, bits;
  std::getline(in, count);
  std::getline(in, bits);
  // Eight characters, the count one above the bits: a reader that takes count − 1 characters
  // gets every bit written.
  EXPECT_EQ(count, "99999999");
  EXPECT_EQ(bits.size(), 99999998u);
  EXPECT_EQ(bits.substr(bits.size() - 9), "100000000");
}

}  // namespace
}  // namespace demod
