// Soft-decision correction of one RDS block (Chase's algorithm). A received bit is the XOR of two
// neighbouring levels, so a wrong level costs two adjacent bits; the demodulator knows how sure
// it was of each level. The decoder flips the least reliable levels, one or two at a time, and
// takes the cheapest flip whose block carries the expected offset's syndrome, if it is likely in
// itself and far likelier than the next candidate (one level and a certain other two can give the
// same syndrome): a block that a hard-decision decoder can only give up on (two wrong levels) is
// then often recovered, while a doubtful one is left alone, so that corrections do not let more
// wrong blocks through than hard decisions do.
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
  float cost = 0;            // log-likelihood given up by the flips
};

class SoftBlockDecoder {
 public:
  // The next candidate must cost at least `margin` more than the one taken (log-likelihood).
  explicit SoftBlockDecoder(float margin) : margin_(margin) {}

  // The likeliest correction that gives the block one of the wanted syndromes (one or two; pass
  // the same twice for one), among one or two flips of the eight least reliable levels.
  // `likelihood_scale` turns a reliability into a log-likelihood (2A/σ² for levels ±A in
  // Gaussian noise of variance σ²); a correction may give up at most `max_cost` of it (the
  // flipped decisions were together at most e^max_cost times likelier than their opposites).
  SoftCorrection Correct(const SoftBlock& block, std::uint16_t syndrome,
                         std::uint16_t other_syndrome, float likelihood_scale,
                         float max_cost) const;

 private:
  float margin_;
};

}  // namespace demod

#endif  // RDS_DEMOD_SOFT_BLOCK_DECODER_H_
