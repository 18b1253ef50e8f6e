// The RDS block code as a transmitter and a receiver both use it: a block is a 16-bit
// information word followed by a 10-bit checkword with the block's offset word added, 26 bits in
// all, most significant bit first on air.
#ifndef RDS_RDSCORE_BLOCK_CODE_H_
#define RDS_RDSCORE_BLOCK_CODE_H_

#include <cstdint>

namespace rds {

// Where a block stands in its group. C' replaces C in the third block of version-B groups.
enum class Offset : std::uint8_t { kA, kB, kC, kCPrime, kD };

constexpr int kBlockBits = 26;
constexpr int kGroupBits = 4 * kBlockBits;
constexpr std::uint32_t kBlockMask = (std::uint32_t{1} << kBlockBits) - 1;

// The 10-bit offset word added to the checkword.
std::uint16_t OffsetWord(Offset offset);

// The checkword without offset: information × x^10 mod g(x), with the generator polynomial
// g(x) = x^10 + x^8 + x^7 + x^5 + x^4 + x^3 + 1.
std::uint16_t Checkword(std::uint16_t info);

// The 26-bit block on air: bits 25..10 information (bit 25 first), bits 9..0 checkword XOR
// offset word.
std::uint32_t EncodeBlock(std::uint16_t info, Offset offset);

// Syndrome of a received 26-bit block (bits above 25 ignored). A block received without error
// has the syndrome of its offset word; a single burst error adds the burst's own syndrome.
std::uint16_t Syndrome(std::uint32_t block);

// The syndrome of an error-free block with this offset.
std::uint16_t OffsetSyndrome(Offset offset);

}  // namespace rds

#endif  // RDS_RDSCORE_BLOCK_CODE_H_
