#include "rdscore/mpx/oscillator.h"

#include <cmath>

namespace rds {

namespace {

constexpr double kTwoPi = 6.28318530717958647692;
// Independent rotations, one per lane, so that the compiler can run them side by side.
constexpr std::size_t kLanes = 8;

}  // namespace

double Oscillator::PhaseAt(std::int64_t n) const {
  // The product's rounding error comes back through the fused multiply-add, so the fraction
  // stays exact to about 1e-16 of a cycle times the sample number.
  const auto x = static_cast<double>(n);
  const double high = x * cycles_per_sample_;
  const double low = std::fma(x, cycles_per_sample_, -high);
  const double phase = (high - std::floor(high)) + low + phase_cycles_;
  return phase - std::floor(phase);
}

void Oscillator::Generate(std::int64_t first, float amplitude, float* out,
                          std::size_t count) const {
  double re[kLanes];
  double im[kLanes];
  for (std::size_t lane = 0; lane < kLanes; ++lane) {
    const double phase = kTwoPi * PhaseAt(first + static_cast<std::int64_t>(lane));
    re[lane] = std::cos(phase) * amplitude;
    im[lane] = std::sin(phase) * amplitude;
  }
  const double step = kTwoPi * cycles_per_sample_ * static_cast<double>(kLanes);
  const double step_re = std::cos(step);
  const double step_im = std::sin(step);
  std::size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      out[i + lane] = static_cast<float>(im[lane]);
      const double r = re[lane] * step_re - im[lane] * step_im;
      im[lane] = re[lane] * step_im + im[lane] * step_re;
      re[lane] = r;
    }
  }
  for (std::size_t lane = 0; i < count; ++i, ++lane) out[i] = static_cast<float>(im[lane]);
}

}  // namespace rds
