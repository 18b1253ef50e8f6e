// Soft-decision correction of one RDS block (Chase's algorithm). A received bit is the XOR of two
// neighbouring levels, so a wrong level costs two adjacent bits; the demodulator knows how sure
// it was of each level. The decoder flips the least reliable levels in small combinations and
// takes the cheapest combination whose block carries the expected offset's syndrome, if it is
// cheap enough to be believed: a block that a hard-decision decoder can only give up on is then
// often recovered, while a block that is hopeless stays rejected.
#ifndef RDS_DEMOD_SOFT_BLOCK_DECODER_H_
#define RDS_DEMOD_SOFT_BLOCK_DECODER_H_

#include <array>
#include <cstdint>

#include "rdscore/block_code.h"

namespace demod {

// What the decoder is told about one block: its 26 hard bits (bit 25 first on air) and the
// reliability of the level that each bit position adds. Flipping level k (0 = the level before
// the block, 26 = the block's last level) flips bits k − 1 and k of the block in air order, and
// the last one the next block's first bit too.
struct SoftBlock {
  std::uint32_t bits = 0;
  std::array<float, rds::kBlockBits + 1> reliability{};
};

struct SoftCorrection {
  bool found = false;
  std::uint32_t bits = 0;    // the corrected block
  std::uint32_t levels = 0;  // bit k set: level k was flipped
  float cost = 0;            // sum of the flipped levels' reliabilities
};

class SoftBlockDecoder {
 public:
  // `max_cost` bounds the total reliability flipped, in units of the mean reliability of a level
  // (so it does not depend on the signal level).
  explicit SoftBlockDecoder(float max_cost) : max_cost_(max_cost) {}

  // The cheapest correction that gives the block one of the wanted syndromes (one or two; pass
  // the same twice for one), among up to three flips of the eight least reliable levels.
  SoftCorrection Correct(const SoftBlock& block, std::uint16_t syndrome,
                         std::uint16_t other_syndrome, float mean_reliability) const;

 private:
  float max_cost_;
};

}  // namespace demod

#endif  // RDS_DEMOD_SOFT_BLOCK_DECODER_H_
