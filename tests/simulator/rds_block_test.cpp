#include "simulator/rds_block.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

// Rows of the RDS parity-check matrix, index = bit number of the 26-bit block (bit 25 first on
// air), and the syndromes each offset word leaves in an error-free block.
constexpr std::uint16_t kParityCheck[26] = {
    0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F, 0x287,
    0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100, 0x200};

std::uint16_t Syndrome(std::uint32_t block) {
  std::uint16_t syndrome = 0;
  for (int bit = 0; bit < 26; ++bit) {
    if ((block >> bit) & 1U) syndrome ^= kParityCheck[bit];
  }
  return syndrome;
}

struct OffsetCase {
  Offset offset;
  std::uint16_t syndrome;
};
constexpr OffsetCase kOffsets[] = {{Offset::kA, 0x3D8},
                                   {Offset::kB, 0x3D4},
                                   {Offset::kC, 0x25C},
                                   {Offset::kCPrime, 0x3CC},
                                   {Offset::kD, 0x258}};

TEST(RdsBlock, KnownBlocks) {
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

TEST(RdsBlock, EveryBlockCarriesItsOffsetSyndrome) {
  for (std::uint32_t info = 0; info <= 0xFFFF; info += 97) {
    for (const OffsetCase& c : kOffsets) {
      const std::uint32_t block = EncodeBlock(static_cast<std::uint16_t>(info), c.offset);
      ASSERT_EQ(block >> 10, info);
      ASSERT_EQ(Syndrome(block), c.syndrome) << std::hex << info;
    }
  }
}

TEST(RdsBlock, GroupsUseCPrimeOnlyInVersionB) {
  Group version_a;
  version_a.blocks = {0x4123, 0x2520, 0x5445, 0x5354};
  Group version_b = version_a;
  version_b.blocks[1] = 0x2D20;  // 2B
  const auto a = EncodeGroup(version_a);
  const auto b = EncodeGroup(version_b);
  EXPECT_EQ(Syndrome(a[0]), 0x3D8);
  EXPECT_EQ(Syndrome(a[1]), 0x3D4);
  EXPECT_EQ(Syndrome(a[2]), 0x25C);
  EXPECT_EQ(Syndrome(a[3]), 0x258);
  EXPECT_EQ(Syndrome(b[2]), 0x3CC);
}

}  // namespace
}  // namespace sim
