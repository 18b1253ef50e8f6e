#include "demod/biphase_decoder.h"

#include <cmath>

namespace demod {

namespace {
// About 100 bits of memory: long enough to outlast runs of equal levels, short enough to recover
// within a group after a clock slip.
constexpr float kSmoothing = 1.0f / 100;
// The other pairing must be this much clearer before the decoder changes over.
constexpr float kHysteresis = 1.25f;
}  // namespace

bool BiphaseDecoder::Push(float half_bit, float* bit) {
  const int opening = parity_ ^ 1;  // parity of the previous half-bit
  const float difference = previous_ - half_bit;
  contrast_[opening] += kSmoothing * (std::fabs(difference) - contrast_[opening]);
  const float previous = previous_;
  previous_ = half_bit;
  parity_ ^= 1;
  if (contrast_[pairing_ ^ 1] > kHysteresis * contrast_[pairing_]) {
    pairing_ ^= 1;
    ++pairing_changes_;
    // The pair that has just become a bit is let go; the next one follows the new pairing.
    return false;
  }
  if (opening != pairing_) return false;
  *bit = 0.5f * (previous - half_bit);
  return true;
}

}  // namespace demod
