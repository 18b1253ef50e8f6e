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
extern const std::uint16_t ParityCheckTable[kBlockBits];
extern const std::uint16_t OffsetSyndromeTable[kOffsetCount];
extern const char* const OffsetNameTable[kOffsetCount];

// Syndrome of bits 25..0 of `block`: the XOR of the parity-check rows of its set bits.
std::uint16_t Syndrome(std::uint32_t block);

// The first offset whose syndrome equals `syndrome`, or None.
BlockOffset OffsetOf(std::uint16_t syndrome);

// Table-driven syndrome for the hot loop: the 26 bits split into two halves of 13, each looked up
// in a table of the XOR of its rows. Equal to Syndrome() for every block.
std::uint16_t FastSyndrome(std::uint32_t block);

// Same as OffsetOf() by one table lookup.
BlockOffset FastOffsetOf(std::uint16_t syndrome);

// Syndrome of the block one bit later in the stream, from the syndrome of the current block, the
// bit that leaves it (its bit 25) and the bit that enters it (the new bit 0). The rows of the
// parity-check matrix are successive powers of x modulo g(x) = x^10+x^8+x^7+x^5+x^4+x^3+1, so
// shifting the block by one bit multiplies its syndrome by x; the bit pushed out to position 26
// contributes x^10 mod g(x) (0x1B9), which is removed, and the new bit 0 adds row 0.
constexpr std::uint16_t NextSyndrome(std::uint16_t syndrome, unsigned bit_out, unsigned bit_in) {
  unsigned s = static_cast<unsigned>(syndrome) << 1;
  if (s & 0x400u) s ^= 0x5B9u;
  if (bit_out) s ^= 0x1B9u;
  if (bit_in) s ^= 0x31Bu;
  return static_cast<std::uint16_t>(s);
}

}  // namespace decoder

#endif  // RDS_DECODER_BLOCK_CODE_H_
