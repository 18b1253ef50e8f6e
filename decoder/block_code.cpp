#include "decoder/block_code.h"

namespace decoder {

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

}  // namespace decoder
