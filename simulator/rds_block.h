// RDS blocks as they go on air: a 16-bit information word followed by a 10-bit checkword that
// carries the block's offset word, so that a receiver can find both bit and group synchronisation.
#ifndef RDS_SIMULATOR_RDS_BLOCK_H_
#define RDS_SIMULATOR_RDS_BLOCK_H_

#include <array>
#include <cstdint>

namespace sim {

// The offset words that tell a receiver where in the group a block stands. C' replaces C in the
// third block of version-B groups.
enum class Offset : std::uint8_t { kA, kB, kC, kCPrime, kD };

// The 10-bit offset word of an offset.
std::uint16_t OffsetWord(Offset offset);

// The checkword of an information word without its offset: information × x^10 mod g(x), with the
// RDS generator polynomial g(x) = x^10 + x^8 + x^7 + x^5 + x^4 + x^3 + 1.
std::uint16_t CheckBits(std::uint16_t info);

// The 26-bit block as transmitted: bits 25..10 information (bit 25 first on air), bits 9..0 the
// checkword XOR the offset word.
std::uint32_t EncodeBlock(std::uint16_t info, Offset offset);

// One RDS group's four information words. The version (A/B) is bit 11 of block 2; version-B
// groups carry C' on their third block.
struct Group {
  std::array<std::uint16_t, 4> blocks{};

  bool IsVersionB() const { return (blocks[1] & 0x0800U) != 0; }
};

// The four 26-bit blocks of a group, with offsets A, B, C or C', D.
std::array<std::uint32_t, 4> EncodeGroup(const Group& group);

constexpr int kBitsPerBlock = 26;
constexpr int kBitsPerGroup = 4 * kBitsPerBlock;
// Air bit rate: 1187.5 bit/s, kept as a fraction so that time arithmetic stays exact.
constexpr int kBitRateTimesTwo = 2375;

}  // namespace sim

#endif  // RDS_SIMULATOR_RDS_BLOCK_H_
