#include "rdscore/dsp/pll.h"

#include <cmath>

namespace rds {

namespace {
// Time constant of the move from the acquisition bandwidth to the tracking bandwidth.
constexpr double kGlideSeconds = 0.1;
}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): rate, then bandwidths in order
Pll::Pll(double sample_rate, double acquire_bandwidth, double track_bandwidth)
    : loop_(acquire_bandwidth, sample_rate),
      acquire_bandwidth_(acquire_bandwidth),
      track_bandwidth_(track_bandwidth),
      smoothing_(static_cast<float>(1.0 / (0.1 * sample_rate))),
      glide_(static_cast<float>(std::exp(-1.0 / (kGlideSeconds * sample_rate)))) {}

void Pll::Push(std::complex<float> x) {
  const std::complex<float> rotated = x * std::conj(phasor_);
  coherent_ += smoothing_ * (rotated - coherent_);
  power_ += smoothing_ * (std::norm(rotated) - power_);
  // sin of the phase error, scaled by the mean amplitude rather than this sample's, so that the
  // loop's gain does not depend on the level and a noise spike cannot swing it.
  const float amplitude = std::sqrt(power_);
  const double error =
      amplitude > 0 ? std::fmax(-1.0f, std::fmin(1.0f, rotated.imag() / amplitude)) : 0.0;
  const auto step = static_cast<float>(loop_.Update(error));
  // e^{jΔ} to third order (Δ stays far below 0.1 rad per sample), then one Newton step back to
  // unit length.
  phasor_ *= std::complex<float>(1 - step * step / 2, step - step * step * step / 6);
  phasor_ *= 1.5f - 0.5f * std::norm(phasor_);

  lock_quality_ = power_ > 0 ? std::norm(coherent_) / power_ : 0.0f;
  // Hysteresis keeps the decision from chattering near the threshold.
  const bool locked = locked_ ? lock_quality_ > 0.05 : lock_quality_ > 0.15;
  loop_.Shift(locked, acquire_bandwidth_, track_bandwidth_, glide_);
  locked_ = locked;
}

}  // namespace rds
