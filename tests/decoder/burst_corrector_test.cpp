// Burst correction: every burst the code can correct, at every place, for every offset and every
// longest burst, into the offset due whatever offset the damaged block's syndrome names; and C or
// C' where the version is unknown.
#include "decoder/burst_corrector.h"

#include <gtest/gtest.h>

#include <vector>

#include "rdscore/block_code.h"

namespace {

using decoder::BlockOffset;
using decoder::BlockStatus;
using rds::Offset;

struct Burst {
  std::uint32_t bits;
  int length;
};

// Every burst of 1..5 bits: first and last bit set, anything between, at every place in 26 bits.
std::vector<Burst> AllBursts() {
  std::vector<Burst> bursts;
  for (int length = 1; length <= 5; ++length) {
    const std::uint32_t inner_count = length > 2 ? 1u << (length - 2) : 1u;
    for (std::uint32_t inner = 0; inner < inner_count; ++inner) {
      const std::uint32_t shape = length == 1 ? 1u : (1u | 1u << (length - 1) | inner << 1);
      for (int low = 0; low + length <= 26; ++low) bursts.push_back({shape << low, length});
    }
  }
  return bursts;
}

struct OffsetPair {
  Offset encoded;
  BlockOffset named;
};
const OffsetPair kOffsets[] = {{Offset::kA, decoder::A},
                               {Offset::kB, decoder::B},
                               {Offset::kC, decoder::C},
                               {Offset::kCPrime, decoder::CPrime},
                               {Offset::kD, decoder::D}};

TEST(BurstCorrector, CorrectsEveryBurstUpToTheLongestAsked) {
  const std::vector<Burst> bursts = AllBursts();
  ASSERT_EQ(bursts.size(), 367u);  // 26 + 25 + 2 * 24 + 4 * 23 + 8 * 22
  for (int max_burst = 1; max_burst <= 5; ++max_burst) {
    for (const OffsetPair& offset : kOffsets) {
      const std::uint32_t sent = rds::EncodeBlock(0x5A3C, offset.encoded);
      for (const Burst& burst : bursts) {
        const decoder::JudgedBlock judged =
            decoder::JudgeBlock(sent ^ burst.bits, offset.named, decoder::None, max_burst);
        if (burst.length > max_burst) {
          EXPECT_NE(judged.block, sent) << "a burst longer than asked was corrected";
          continue;
        }
        // Also the bursts that leave another offset's syndrome (A with bits 18 and 19 inverted
        // reads as B, C with bit 18 as D): the offset due decides.
        EXPECT_EQ(judged.status, BlockStatus::kCorrected) << std::hex << burst.bits;
        EXPECT_EQ(judged.block, sent) << std::hex << burst.bits;
        EXPECT_EQ(judged.offset, offset.named);
      }
    }
  }
}

TEST(BurstCorrector, ThirdBlockOfUnknownVersionIsCorrectedToTheOffsetItIsNearest) {
  const std::uint32_t c = rds::EncodeBlock(0x0042, Offset::kC);
  const std::uint32_t c_prime = rds::EncodeBlock(0x0042, Offset::kCPrime);
  const decoder::JudgedBlock from_c =
      decoder::JudgeBlock(c ^ 0x8000, decoder::C, decoder::CPrime, 2);
  EXPECT_EQ(from_c.status, BlockStatus::kCorrected);
  EXPECT_EQ(from_c.offset, decoder::C);
  EXPECT_EQ(from_c.block, c);
  const decoder::JudgedBlock from_c_prime =
      decoder::JudgeBlock(c_prime ^ 0x3, decoder::C, decoder::CPrime, 2);
  EXPECT_EQ(from_c_prime.offset, decoder::CPrime);
  EXPECT_EQ(from_c_prime.block, c_prime);
  EXPECT_EQ(decoder::JudgeBlock(c_prime, decoder::C, decoder::CPrime, 2).status,
            BlockStatus::kClean);
}

}  // namespace
