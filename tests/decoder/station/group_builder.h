// Received groups made from hand-written information words, as the block layer would hand them
// over.
#ifndef RDS_TESTS_DECODER_STATION_GROUP_BUILDER_H_
#define RDS_TESTS_DECODER_STATION_GROUP_BUILDER_H_

#include <cstdint>

#include "decoder/received_group.h"

namespace station_test {

// Block B: group type, version, TP, PTY and the five bits that depend on the type.
constexpr std::uint16_t B(int type, bool version_b, bool tp, int pty, int low) {
  return static_cast<std::uint16_t>(type << 12 | (version_b ? 1 << 11 : 0) | (tp ? 1 << 10 : 0) |
                                    pty << 5 | low);
}

// Two RDS characters as a block carries them.
constexpr std::uint16_t Chars(char first, char second) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(first) << 8 |
                                    static_cast<unsigned char>(second));
}

// A group whose blocks all arrived; `missing` names blocks (bit 0 = A .. bit 3 = D) that did not.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the words in the order of the blocks
inline decoder::ReceivedGroup Group(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                    std::uint16_t d, int missing = 0, std::int64_t first_bit = 0) {
  decoder::ReceivedGroup group;
  group.info = {a, b, c, d};
  for (std::size_t block = 0; block < 4; ++block) {
    group.status[block] =
        (missing >> block) & 1 ? decoder::BlockStatus::kMissing : decoder::BlockStatus::kClean;
    if ((missing >> block) & 1) group.info[block] = 0;
  }
  group.third_is_c_prime = (b >> 11) & 1;
  group.first_bit = first_bit;
  return group;
}

constexpr int kMissingA = 1, kMissingB = 2, kMissingC = 4, kMissingD = 8;

}  // namespace station_test

#endif  // RDS_TESTS_DECODER_STATION_GROUP_BUILDER_H_
