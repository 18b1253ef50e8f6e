#include "decoder/block_code.h"

#include <array>

namespace decoder {

const std::uint16_t ParityCheckTable[kBlockBits] = {
    0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F, 0x287,
    0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100, 0x200};

const std::uint16_t OffsetSyndromeTable[kOffsetCount] = {0x3D8, 0x3D4, 0x25C, 0x3CC, 0x258, 0x000};

const char* const OffsetNameTable[kOffsetCount] = {"A", "B", "C", "C'", "D", "E"};

std::uint16_t Syndrome(std::uint32_t block) {
  std::uint16_t result = 0;
  for (int bit = kBlockBits - 1; bit >= 0; --bit) {
    if (block & (std::uint32_t{1} << bit)) result ^= ParityCheckTable[bit];
  }
  return result;
}

BlockOffset OffsetOf(std::uint16_t syndrome) {
  for (int row = 0; row < kOffsetCount; ++row) {
    if (OffsetSyndromeTable[row] == syndrome) return static_cast<BlockOffset>(row);
  }
  return None;
}

namespace {

constexpr int kHalfBits = 13;

struct FastTables {
  std::array<std::uint16_t, 1u << kHalfBits> low{};
  std::array<std::uint16_t, 1u << kHalfBits> high{};
  std::array<std::int8_t, 1024> offset{};
};

FastTables BuildFastTables() {
  FastTables t;
  for (std::uint32_t half = 0; half < (1u << kHalfBits); ++half) {
    t.low[half] = Syndrome(half);
    t.high[half] = Syndrome(half << kHalfBits);
  }
  for (std::uint16_t s = 0; s < 1024; ++s) t.offset[s] = static_cast<std::int8_t>(OffsetOf(s));
  return t;
}

const FastTables& Tables() {
  static const FastTables tables = BuildFastTables();
  return tables;
}

}  // namespace

std::uint16_t FastSyndrome(std::uint32_t block) {
  const FastTables& t = Tables();
  return t.low[block & ((1u << kHalfBits) - 1)] ^
         t.high[(block >> kHalfBits) & ((1u << kHalfBits) - 1)];
}

BlockOffset FastOffsetOf(std::uint16_t syndrome) {
  return static_cast<BlockOffset>(Tables().offset[syndrome & 0x3FF]);
}

}  // namespace decoder
