#include "rdscore/dsp/costas_loop.h"

#include <cmath>

namespace rds {

namespace {
constexpr double kPi = 3.14159265358979323846;
// Time constant of the move from the acquisition bandwidth to the tracking bandwidth.
constexpr double kGlideSeconds = 0.15;
}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): rate, then bandwidths in order
CostasLoop::CostasLoop(double symbol_rate, double acquire_bandwidth, double track_bandwidth)
    : loop_(acquire_bandwidth, symbol_rate),
      acquire_bandwidth_(acquire_bandwidth),
      track_bandwidth_(track_bandwidth),
      smoothing_(1.0 / (0.15 * symbol_rate)),
      glide_(std::exp(-1.0 / (kGlideSeconds * symbol_rate))) {}

void CostasLoop::Update(std::complex<float> symbol) {
  const double i = symbol.real();
  const double q = symbol.imag();
  const double power = i * i + q * q;
  // A fast estimate for the detector's scale, so that a level step is followed within a few
  // symbols; the lock figure is averaged longer.
  power_ += (power > power_ ? 0.05 : 0.01) * (power - power_);
  // I·Q / power ≈ sin(2φ)/2: the data sign cancels, as in the two-arm loop.
  const double error = power_ > 0 ? i * q / power_ : 0.0;
  phase_ += loop_.Update(std::fmax(-1.0, std::fmin(1.0, error)));
  if (phase_ > kPi) phase_ -= 2 * kPi;
  if (phase_ < -kPi) phase_ += 2 * kPi;

  difference_ += smoothing_ * ((power > 0 ? (i * i - q * q) / power_ : 0.0) - difference_);
  lock_quality_ = difference_;
  const bool locked = locked_ ? lock_quality_ > 0.08 : lock_quality_ > 0.2;
  loop_.Shift(locked, acquire_bandwidth_, track_bandwidth_, glide_);
  locked_ = locked;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): phase, then frequency, as everywhere
void CostasLoop::Shift(double phase, double frequency) {
  phase_ = std::remainder(phase_ + phase, 2 * kPi);
  loop_.set_frequency(loop_.frequency() + frequency);
}

void CostasLoop::SetTrackBandwidth(double bandwidth) { track_bandwidth_ = bandwidth; }

}  // namespace rds
