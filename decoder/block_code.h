// The RDS block code as the decoder sees it: a received block is 26 bits, bit 25 the first bit
// on air, bits 25..10 the information word and bits 9..0 the checkword with its offset word still
// added. A block is classified by its syndrome, which equals the offset word's syndrome when the
// block arrived without error.
#ifndef RDS_DECODER_BLOCK_CODE_H_
#define RDS_DECODER_BLOCK_CODE_H_

#include <cstdint>

namespace decoder {

// Offset of a block; the value indexes OffsetSyndromeTable and OffsetNameTable. E is the
// all-zero offset: a plain code word, the all-zero block included.
enum BlockOffset : std::int16_t { None = -1, A = 0, B = 1, C = 2, CPrime = 3, D = 4, E = 5 };

constexpr int kBlockBits = 26;
constexpr std::uint32_t kBlockMask = (std::uint32_t{1} << kBlockBits) - 1;
constexpr int kOffsetCount = 6;

// Rows of the parity-check matrix, indexed by bit number: index 25 is the first bit received.
inline constexpr std::uint16_t ParityCheckTable[kBlockBits] = {
    0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F, 0x287,
    0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100, 0x200};
inline constexpr std::uint16_t OffsetSyndromeTable[kOffsetCount] = {0x3D8, 0x3D4, 0x25C,
                                                                    0x3CC, 0x258, 0x000};
// The offset words added to the checkword of each offset. The same information word sent under
// two offsets differs by the XOR of their offset words in its check bits.
inline constexpr std::uint16_t OffsetWordTable[kOffsetCount] = {0x0FC, 0x198, 0x168,
                                                                0x350, 0x1B4, 0x000};
extern const char* const OffsetNameTable[kOffsetCount];

// Syndrome of bits 25..0 of `block`: the XOR of the parity-check rows of its set bits.
std::uint16_t Syndrome(std::uint32_t block);

// The first offset whose syndrome equals `syndrome`, or None.
BlockOffset OffsetOf(std::uint16_t syndrome);

namespace internal {

constexpr int kHalfBits = 13;
constexpr std::uint32_t kHalfMask = (1u << kHalfBits) - 1;

// The 26 bits split into two halves of 13, each with a table of the XOR of its rows; and the
// offset of every 10-bit syndrome. Built by the compiler.
struct FastTables {
  std::uint16_t low[1u << kHalfBits];
  std::uint16_t high[1u << kHalfBits];
  std::int8_t offset[1024];
};

constexpr FastTables BuildFastTables() {
  FastTables t{};
  for (std::uint32_t half = 0; half <= kHalfMask; ++half) {
    for (int bit = 0; bit < kHalfBits; ++bit) {
      if (half & (1u << bit)) {
        t.low[half] ^= ParityCheckTable[bit];
        t.high[half] ^= ParityCheckTable[bit + kHalfBits];
      }
    }
  }
  for (int s = 0; s < 1024; ++s) {
    t.offset[s] = -1;
    for (int row = kOffsetCount - 1; row >= 0; --row) {
      if (OffsetSyndromeTable[row] == s) t.offset[s] = static_cast<std::int8_t>(row);
    }
  }
  return t;
}

inline constexpr FastTables kFastTables = BuildFastTables();

}  // namespace internal

// Table-driven syndrome for the hot loop; equal to Syndrome() for every block.
inline std::uint16_t FastSyndrome(std::uint32_t block) {
  return internal::kFastTables.low[block & internal::kHalfMask] ^
         internal::kFastTables.high[(block >> internal::kHalfBits) & internal::kHalfMask];
}

// Same as OffsetOf() by one table lookup.
inline BlockOffset FastOffsetOf(std::uint16_t syndrome) {
  return static_cast<BlockOffset>(internal::kFastTables.offset[syndrome & 0x3FF]);
}

// Syndrome of the block one bit later in the stream, from the syndrome of the current block, the
// bit that leaves it (its bit 25) and the bit that enters it (the new bit 0). The rows of the
// parity-check matrix are successive powers of x modulo g(x) = x^10+x^8+x^7+x^5+x^4+x^3+1, so
// shifting the block by one bit multiplies its syndrome by x; the bit pushed out to position 26
// contributes x^10 mod g(x) (0x1B9), which is removed, and the new bit 0 adds row 0.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): out, then in, as the bits move
constexpr std::uint16_t NextSyndrome(std::uint16_t syndrome, unsigned bit_out, unsigned bit_in) {
  unsigned s = static_cast<unsigned>(syndrome) << 1;
  if (s & 0x400u) s ^= 0x5B9u;
  if (bit_out) s ^= 0x1B9u;
  if (bit_in) s ^= 0x31Bu;
  return static_cast<std::uint16_t>(s);
}

}  // namespace decoder

#endif  // RDS_DECODER_BLOCK_CODE_H_
