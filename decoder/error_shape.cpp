#include "decoder/error_shape.h"

#include "decoder/block_code.h"

namespace decoder {

namespace {

// The first and the last bit of a block on air: each shares its level with the neighbouring block.
constexpr std::uint32_t kEdgeBits = (std::uint32_t{1} << (kBlockBits - 1)) | 1u;

bool SingleBit(std::uint32_t bits) { return bits != 0 && (bits & (bits - 1)) == 0; }

}  // namespace

bool ErrorShape::IsLoneInnerBit(std::uint32_t burst) {
  return SingleBit(burst) && (burst & kEdgeBits) == 0;
}

bool ErrorShape::IsOneWrongLevel(std::uint32_t burst) {
  if (SingleBit(burst)) return (burst & kEdgeBits) != 0;
  // Otherwise two adjacent bits: the lowest set bit and the one above it, within the block.
  const std::uint32_t low = burst & (~burst + 1);
  return burst == (low | (low << 1)) && (low << 1) <= (std::uint32_t{1} << (kBlockBits - 1));
}

void ErrorShape::NoteVerified(std::uint32_t burst) {
  if (IsLoneInnerBit(burst)) {
    one_level_in_a_row_ = 0;
  } else if (IsOneWrongLevel(burst) && one_level_in_a_row_ < kEvidence) {
    ++one_level_in_a_row_;
  }
}

}  // namespace decoder
