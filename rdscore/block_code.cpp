#include "rdscore/block_code.h"

#include <array>

namespace rds {

namespace {

constexpr std::uint32_t kGenerator = 0x5B9;  // x^10 + x^8 + x^7 + x^5 + x^4 + x^3 + 1

// Rows of the parity-check matrix, indexed by bit number (bit 25 first on air). They are
// successive powers of x modulo g(x), scaled so that the first ten bits on air map to the unit
// rows: the syndromes then take the values receivers publish (offset A gives 0x3D8, and so on).
constexpr std::array<std::uint16_t, kBlockBits> MakeParityRows() {
  std::array<std::uint16_t, kBlockBits> rows{};
  rows[16] = 1;
  for (std::size_t bit = 17; bit < kBlockBits; ++bit) {
    std::uint32_t r = static_cast<std::uint32_t>(rows[bit - 1]) << 1;  // × x
    if (r & 0x400U) r ^= kGenerator;
    rows[bit] = static_cast<std::uint16_t>(r);
  }
  for (std::size_t bit = 16; bit-- > 0;) {
    std::uint32_t r = rows[bit + 1];  // × x^-1, which exists because g(0) = 1
    if (r & 1U) r ^= kGenerator;
    rows[bit] = static_cast<std::uint16_t>(r >> 1);
  }
  return rows;
}

constexpr std::array<std::uint16_t, kBlockBits> kParityRows = MakeParityRows();

}  // namespace

std::uint16_t OffsetWord(Offset offset) {
  switch (offset) {
    case Offset::kA:
      return 0x0FC;
    case Offset::kB:
      return 0x198;
    case Offset::kC:
      return 0x168;
    case Offset::kCPrime:
      return 0x350;
    case Offset::kD:
      return 0x1B4;
  }
  return 0;
}

std::uint16_t Checkword(std::uint16_t info) {
  std::uint32_t remainder = static_cast<std::uint32_t>(info) << 10;
  for (int bit = 25; bit >= 10; --bit) {
    if ((remainder >> bit) & 1U) remainder ^= kGenerator << (bit - 10);
  }
  return static_cast<std::uint16_t>(remainder);
}

std::uint32_t EncodeBlock(std::uint16_t info, Offset offset) {
  return (static_cast<std::uint32_t>(info) << 10) |
         static_cast<std::uint32_t>(Checkword(info) ^ OffsetWord(offset));
}

std::uint16_t Syndrome(std::uint32_t block) {
  std::uint16_t syndrome = 0;
  for (int bit = 0; bit < kBlockBits; ++bit) {
    if ((block >> bit) & 1U) syndrome ^= kParityRows[static_cast<std::size_t>(bit)];
  }
  return syndrome;
}

std::uint16_t OffsetSyndrome(Offset offset) { return Syndrome(OffsetWord(offset)); }

}  // namespace rds
