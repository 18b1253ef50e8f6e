// Burst correction: every burst the code can correct, at every place, for every offset and every
// longest burst; and never a block turned into an offset other than the one expected.
#include "decoder/burst_corrector.h"

#include <gtest/gtest.h>

#include <vector>

#include "rdscore/block_code.h"

namespace {

using rds::Offset;
using decoder::BlockOffset;
using decoder::BlockStatus;

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
      int corrected = 0;
      int other_offset = 0;
      for (const Burst& burst : bursts) {
        const decoder::JudgedBlock judged =
            decoder::JudgeBlock(sent ^ burst.bits, offset.named, decoder::None, max_burst);
        if (burst.length > max_burst) {
          EXPECT_NE(judged.block, sent) << "a burst longer than asked was corrected";
          continue;
        }
        // A burst that leaves exactly another offset's syndrome makes a valid block of that
        // offset, which is never turned into ours; all others are corrected.
        if (decoder::OffsetOf(decoder::Syndrome(sent ^ burst.bits)) != decoder::None) {
          ++other_offset;
          EXPECT_EQ(judged.status, BlockStatus::kMissing);
          continue;
        }
        ++corrected;
        EXPECT_EQ(judged.status, BlockStatus::kCorrected) << std::hex << burst.bits;
        EXPECT_EQ(judged.block, sent) << std::hex << burst.bits;
        EXPECT_EQ(judged.offset, offset.named);
      }
      // The offsets lie a few short bursts apart: C and D differ in bit 18 alone, A and B in
      // bits 18 and 19. Those bursts are all that is given up.
      EXPECT_LE(other_offset, 3 * max_burst) << "offset " << offset.named;
      EXPECT_GT(corrected, 0);
    }
  }
}

TEST(BurstCorrector, NeverCorrectsIntoAnotherOffset) {
  const std::vector<Burst> bursts = AllBursts();
  for (const OffsetPair& sent_as : kOffsets) {
    for (const OffsetPair& expected : kOffsets) {
      if (sent_as.named == expected.named) continue;
      const std::uint32_t sent = rds::EncodeBlock(0x1234, sent_as.encoded);
      // A clean block of another offset is a block error where ours is due, whatever N.
      EXPECT_EQ(decoder::JudgeBlock(sent, expected.named, decoder::None, 5).status,
                BlockStatus::kMissing)
          << sent_as.named << " where " << expected.named << " is due";
      for (const Burst& burst : bursts) {
        const decoder::JudgedBlock judged =
            decoder::JudgeBlock(sent ^ burst.bits, expected.named, decoder::None, 5);
        ASSERT_NE(judged.offset, sent_as.named);
        if (judged.status == BlockStatus::kCorrected) {
          // Whatever it became, it is a valid block of the expected offset.
          EXPECT_EQ(decoder::Syndrome(judged.block), decoder::OffsetSyndromeTable[expected.named]);
        }
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
