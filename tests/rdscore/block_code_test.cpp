#include "rdscore/block_code.h"

#include <gtest/gtest.h>

#include "rdscore/group.h"

namespace rds {
namespace {

// The syndromes each offset word leaves in an error-free block, as receivers publish them.
struct OffsetCase {
  Offset offset;
  std::uint16_t syndrome;
};
constexpr OffsetCase kOffsets[] = {{Offset::kA, 0x3D8},
                                   {Offset::kB, 0x3D4},
                                   {Offset::kC, 0x25C},
                                   {Offset::kCPrime, 0x3CC},
                                   {Offset::kD, 0x258}};

TEST(BlockCode, KnownBlocks) {
  // Worked out by long division of info × x^10 by 0x5B9 outside this code base.
  struct Case {
    std::uint16_t info;
    Offset offset;
    std::uint32_t block;
  } const cases[] = {
      {0x4123, Offset::kA, 0x1048ECB}, {0x0000, Offset::kA, 0x00000FC},
      {0xFFFF, Offset::kD, 0x3FFFD79}, {0x0408, Offset::kB, 0x01021EB},
      {0x2020, Offset::kC, 0x0808000}, {0x4123, Offset::kCPrime, 0x1048D67},
      {0x5241, Offset::kD, 0x149046E}, {0x0001, Offset::kB, 0x0000421},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeBlock(c.info, c.offset), c.block) << std::hex << c.info;
  }
}

TEST(BlockCode, EveryBlockCarriesItsOffsetSyndrome) {
  for (const OffsetCase& c : kOffsets) EXPECT_EQ(OffsetSyndrome(c.offset), c.syndrome);
  for (std::uint32_t info = 0; info <= 0xFFFF; info += 97) {
    for (const OffsetCase& c : kOffsets) {
      const std::uint32_t block = EncodeBlock(static_cast<std::uint16_t>(info), c.offset);
      ASSERT_EQ(block >> 10, info);
      ASSERT_EQ(Syndrome(block), c.syndrome) << std::hex << info;
    }
  }
}

TEST(BlockCode, EverySingleBitErrorIsSeen) {
  // The code is cyclic with distance 4: a one-bit error never leaves a valid block behind.
  const std::uint32_t block = EncodeBlock(0x1234, Offset::kB);
  for (int bit = 0; bit < kBlockBits; ++bit) {
    const std::uint16_t s = Syndrome(block ^ (1U << bit));
    for (const OffsetCase& c : kOffsets) EXPECT_NE(s, c.syndrome) << bit;
  }
}

TEST(Group, VersionBCarriesCPrimeAndBitsGoMostSignificantFirst) {
  Group version_a;
  version_a.blocks = {0x4123, 0x2520, 0x5445, 0x5354};
  Group version_b = version_a;
  version_b.blocks[1] = 0x2D20;  // 2B
  const auto a = EncodeGroup(version_a);
  const auto b = EncodeGroup(version_b);
  EXPECT_EQ(Syndrome(a[2]), 0x25C);
  EXPECT_EQ(Syndrome(b[2]), 0x3CC);

  std::string bits;
  AppendGroupBits(version_a, &bits);
  ASSERT_EQ(bits.size(), 104U);
  EXPECT_EQ(bits.substr(0, 26), "01000001001000111011001011");  // 0x1048ECB
}

TEST(Group, ClockTime) {
  // MJD 60652 = 0x0ECEC, 17:45 UTC, one hour east of Greenwich; and a negative offset.
  const Group east = ClockTimeGroup(0xD3A1, true, 10, {60652, 17, 45, 2});
  EXPECT_EQ(east.blocks[1], 0x4541);  // MJD bit 15 set
  EXPECT_EQ(east.blocks[2], 0xD9D9);
  EXPECT_EQ(east.blocks[3], 0x1B42);
  const Group west = ClockTimeGroup(0xD3A1, false, 0, {60652, 3, 0, -10});
  EXPECT_EQ(west.blocks[3], 0x302A);
}

}  // namespace
}  // namespace rds
