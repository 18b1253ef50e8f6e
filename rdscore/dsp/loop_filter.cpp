#include "rdscore/dsp/loop_filter.h"

#include <cmath>

namespace rds {

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): in the order of the header
LoopFilter::LoopFilter(double noise_bandwidth_hz, double update_rate_hz, double damping)
    : bandwidth_(noise_bandwidth_hz), update_rate_(update_rate_hz), damping_(damping) {
  SetBandwidth(noise_bandwidth_hz);
}

void LoopFilter::SetBandwidth(double noise_bandwidth_hz) {
  bandwidth_ = noise_bandwidth_hz;
  // Natural frequency from the noise bandwidth of the continuous loop, B_L = ωn (ζ + 1/(4ζ)) / 2,
  // in radians per update; the small-bandwidth approximation of the discrete loop is ample for
  // loops thousands of times slower than their update rate.
  const double wn = 2.0 * noise_bandwidth_hz / (damping_ + 1.0 / (4.0 * damping_)) / update_rate_;
  proportional_gain_ = 2.0 * damping_ * wn;
  integral_gain_ = wn * wn;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): acquisition before tracking, as everywhere
void LoopFilter::Shift(bool locked, double acquire, double track, double glide) {
  const double target = locked ? track : acquire;
  if (bandwidth_ == target) return;
  double next = locked ? target + (bandwidth_ - target) * glide : target;
  if (std::fabs(next - target) < 1e-3 * target) next = target;
  SetBandwidth(next);
}

}  // namespace rds
