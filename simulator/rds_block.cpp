#include "simulator/rds_block.h"

namespace sim {

namespace {

constexpr std::uint32_t kGenerator = 0x5B9;  // x^10 + x^8 + x^7 + x^5 + x^4 + x^3 + 1

// Remainders of x^(10 + 8 + i) for each value of a byte: two table steps divide a 16-bit word.
constexpr std::array<std::uint16_t, 256> MakeRemainderTable() {
  std::array<std::uint16_t, 256> table{};
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    std::uint32_t reg = byte << 10;
    for (int bit = 17; bit >= 10; --bit) {
      if ((reg >> bit) & 1U) reg ^= kGenerator << (bit - 10);
    }
    table[byte] = static_cast<std::uint16_t>(reg);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kRemainder = MakeRemainderTable();

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

std::uint16_t CheckBits(std::uint16_t info) {
  // High byte first: its remainder, shifted by the next eight places, is folded into the low byte.
  const std::uint16_t high = kRemainder[info >> 8];
  const std::uint16_t folded = static_cast<std::uint16_t>((high << 8) & 0x3FF);
  const std::uint16_t carry = static_cast<std::uint16_t>(high >> 2);
  return static_cast<std::uint16_t>(folded ^ kRemainder[(carry ^ info) & 0xFF]);
}

std::uint32_t EncodeBlock(std::uint16_t info, Offset offset) {
  return (static_cast<std::uint32_t>(info) << 10) |
         static_cast<std::uint32_t>(CheckBits(info) ^ OffsetWord(offset));
}

std::array<std::uint32_t, 4> EncodeGroup(const Group& group) {
  const Offset third = group.IsVersionB() ? Offset::kCPrime : Offset::kC;
  return {EncodeBlock(group.blocks[0], Offset::kA), EncodeBlock(group.blocks[1], Offset::kB),
          EncodeBlock(group.blocks[2], third), EncodeBlock(group.blocks[3], Offset::kD)};
}

}  // namespace sim
