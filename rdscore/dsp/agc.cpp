#include "rdscore/dsp/agc.h"

#include <cmath>

namespace rds {

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): rising, then falling, as the header says
Agc::Agc(double attack_samples, double decay_samples, double max_gain)
    : attack_(static_cast<float>(1.0 / attack_samples)),
      decay_(static_cast<float>(1.0 / decay_samples)),
      min_power_(static_cast<float>(1.0 / (max_gain * max_gain))),
      gain_(static_cast<float>(max_gain)) {}

std::complex<float> Agc::Process(std::complex<float> x) {
  const float power = std::norm(x);
  power_ += (power > power_ ? attack_ : decay_) * (power - power_);
  gain_ = 1.0f / std::sqrt(std::fmax(power_, min_power_));
  return x * gain_;
}

}  // namespace rds
