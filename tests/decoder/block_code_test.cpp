// The block code: the test-side encoder against checkwords worked out by hand, the decoder's
// syndromes and offsets of encoded blocks, and the fast syndrome paths against the plain one.
#include "decoder/block_code.h"

#include <gtest/gtest.h>

#include <random>

#include "rdscore/block_code.h"

namespace {

using decoder::BlockOffset;
using rds::EncodeBlock;
using rds::Offset;

struct EncodedCase {
  std::uint16_t info;
  Offset offset;
  std::uint32_t block;
  std::uint16_t syndrome;
  BlockOffset named;
};

TEST(BlockCode, EncodedBlocksCarryTheirOffsetSyndrome) {
  const EncodedCase cases[] = {
      {0x0000, Offset::kA, 0x00000FC, 0x3D8, decoder::A},
      {0x0000, Offset::kB, 0x0000198, 0x3D4, decoder::B},
      {0x0000, Offset::kC, 0x0000168, 0x25C, decoder::C},
      {0x0000, Offset::kCPrime, 0x0000350, 0x3CC, decoder::CPrime},
      {0x0000, Offset::kD, 0x00001B4, 0x258, decoder::D},
      {0xD3A1, Offset::kA, 0x34E8713, 0x3D8, decoder::A},
      {0x054C, Offset::kB, 0x015325D, 0x3D4, decoder::B},
      {0x2041, Offset::kC, 0x0810749, 0x25C, decoder::C},
      {0x2041, Offset::kCPrime, 0x0810571, 0x3CC, decoder::CPrime},
      {0xFFFF, Offset::kD, 0x3FFFD79, 0x258, decoder::D},
  };
  for (const EncodedCase& c : cases) {
    SCOPED_TRACE(c.block);
    EXPECT_EQ(EncodeBlock(c.info, c.offset), c.block);
    EXPECT_EQ(decoder::Syndrome(c.block), c.syndrome);
    EXPECT_EQ(decoder::FastSyndrome(c.block), c.syndrome);
    EXPECT_EQ(decoder::OffsetOf(c.syndrome), c.named);
    EXPECT_EQ(decoder::FastOffsetOf(c.syndrome), c.named);
  }
}

TEST(BlockCode, PlainCodeWordsAreNamedEAndOthersNone) {
  const struct {
    std::uint32_t block;
    BlockOffset named;
  } cases[] = {
      {0x0000000, decoder::E},                  // the all-zero block
      {0x0810749 ^ 0x168, decoder::E},          // block C with its offset word removed
      {0x34E8713 ^ (1u << 25), decoder::None},  // block A, first bit inverted
      {0x0000001, decoder::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decoder::OffsetOf(decoder::Syndrome(c.block)), c.named) << std::hex << c.block;
    EXPECT_EQ(decoder::FastOffsetOf(decoder::FastSyndrome(c.block)), c.named)
        << std::hex << c.block;
  }
}

TEST(BlockCode, BitEighteenTurnsCIntoD) {
  // 0x25C ^ 0x258 = 0x004, the parity-check row of bit 18.
  const std::uint32_t c_block = EncodeBlock(0x1234, Offset::kC);
  EXPECT_EQ(decoder::OffsetOf(decoder::Syndrome(c_block ^ (1u << 18))), decoder::D);
}

TEST(BlockCode, SyndromeIgnoresBitsAboveTwentyFive) {
  EXPECT_EQ(decoder::Syndrome(0xFC000000u | 0x34E8713), 0x3D8);
}

TEST(BlockCode, FastAndSlidingSyndromesAgreeWithThePlainOne) {
  std::mt19937 random(7);
  std::uint32_t block = random() & decoder::kBlockMask;
  std::uint16_t sliding = decoder::Syndrome(block);
  for (int step = 0; step < 200000; ++step) {
    ASSERT_EQ(decoder::FastSyndrome(block), decoder::Syndrome(block)) << std::hex << block;
    ASSERT_EQ(sliding, decoder::Syndrome(block)) << "step " << step;
    const unsigned bit_in = random() & 1;
    const unsigned bit_out = (block >> 25) & 1;
    block = ((block << 1) | bit_in) & decoder::kBlockMask;
    sliding = decoder::NextSyndrome(sliding, bit_out, bit_in);
  }
}

}  // namespace
