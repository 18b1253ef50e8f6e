#include "rdscore/dsp/timing_recovery.h"

namespace rds {

TimingRecovery::TimingRecovery(double samples_per_symbol, double symbol_rate, double bandwidth)
    : samples_per_symbol_(samples_per_symbol),
      loop_(bandwidth, symbol_rate),
      next_(samples_per_symbol / 2) {}

std::complex<float> TimingRecovery::Interpolate(double mu) const {
  // Cubic Lagrange through the samples at −1, 0, 1, 2 (history_[0..3]), evaluated at mu ∈ [0, 1].
  const float m = static_cast<float>(mu);
  const float c0 = -m * (m - 1) * (m - 2) / 6;
  const float c1 = (m + 1) * (m - 1) * (m - 2) / 2;
  const float c2 = -(m + 1) * m * (m - 2) / 2;
  const float c3 = (m + 1) * m * (m - 1) / 6;
  return c0 * history_[0] + c1 * history_[1] + c2 * history_[2] + c3 * history_[3];
}

bool TimingRecovery::Push(std::complex<float> x) {
  history_[0] = history_[1];
  history_[1] = history_[2];
  history_[2] = history_[3];
  history_[3] = x;
  next_ -= 1.0;
  bool symbol_due = false;
  // Strobes are taken between the middle two samples, one sample behind the newest.
  while (next_ <= -1.0) {
    const std::complex<float> value = Interpolate(next_ + 2.0);
    if (next_is_middle_) {
      middle_ = value;
    } else {
      symbol_ = value;
      lag_ = -next_;
      symbol_due = true;
    }
    next_is_middle_ = !next_is_middle_;
    next_ += samples_per_symbol_ / 2;
  }
  return symbol_due;
}

void TimingRecovery::Correct(double error) {
  // The loop's output is the shift of the next centres in samples: its integrator holds the
  // difference between the nominal and the actual symbol length.
  next_ += loop_.Update(error);
}

}  // namespace rds
