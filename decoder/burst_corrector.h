// Burst-error correction of RDS blocks. The block code is a shortened cyclic code whose generator
// g(x) = x^10+x^8+x^7+x^5+x^4+x^3+1 gives every burst of 1 to 5 bits inside a 26-bit block a
// syndrome of its own, distinct from zero and from every other such burst. A block received with
// such a burst has the syndrome of its offset XOR that of the burst, so the burst can be found and
// removed, provided the receiver knows which offset to expect there.
#ifndef RDS_DECODER_BURST_CORRECTOR_H_
#define RDS_DECODER_BURST_CORRECTOR_H_

#include <cstdint>

#include "decoder/block_code.h"
#include "decoder/received_group.h"

namespace decoder {

constexpr int kMaxCorrectableBurst = 5;

// An error pattern in a 26-bit block: the bits to invert and the span from its first to its last
// set bit. Length 0: no burst of at most kMaxCorrectableBurst bits has the syndrome asked for.
struct BurstPattern {
  std::uint32_t bits;
  std::uint8_t length;
};

// The burst of at most kMaxCorrectableBurst bits whose syndrome is `syndrome` (10 bits).
BurstPattern BurstWithSyndrome(std::uint16_t syndrome);

// What a receiver made of a block at a position where it expects an offset.
struct JudgedBlock {
  std::uint32_t block;  // as received, or with its burst removed
  BlockOffset offset;   // the expected offset it carries, or None
  BlockStatus status;
};

// Judges `block` where `expected` (or, when it is not None, `alternative`: C and C' at the third
// block of a group whose version is unknown) is due. Clean when its syndrome is that of an
// expected offset. Corrected when `max_burst` > 0 and exactly one expected offset is reached by
// removing a burst of at most `max_burst` bits, whatever offset the syndrome names: where the
// alignment is known, a block with the syndrome of another offset a short burst away (A and B,
// A and D, B and C', C and D) is a block of ours with that burst. Missing otherwise.
JudgedBlock JudgeBlock(std::uint32_t block, BlockOffset expected, BlockOffset alternative,
                       int max_burst);

}  // namespace decoder

#endif  // RDS_DECODER_BURST_CORRECTOR_H_
