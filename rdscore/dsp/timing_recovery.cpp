#include "rdscore/dsp/timing_recovery.h"

#include <cmath>

namespace rds {

namespace {
constexpr double kGlideSeconds = 0.05;
}  // namespace

// NOLINTBEGIN(bugprone-easily-swappable-parameters): in the order of the header
TimingRecovery::TimingRecovery(double samples_per_symbol, double symbol_rate,
                               double acquire_bandwidth, double track_bandwidth)
    // NOLINTEND(bugprone-easily-swappable-parameters)
    : samples_per_symbol_(samples_per_symbol),
      loop_(acquire_bandwidth, symbol_rate),
      acquire_bandwidth_(acquire_bandwidth),
      track_bandwidth_(track_bandwidth),
      bandwidth_(acquire_bandwidth),
      glide_(std::exp(-1.0 / (kGlideSeconds * symbol_rate))),
      next_(samples_per_symbol / 2) {}

void TimingRecovery::Reacquire() {
  bandwidth_ = acquire_bandwidth_;
  loop_.SetBandwidth(bandwidth_);
}

TimingRecovery::Strobe TimingRecovery::Next() {
  if (next_ > 0.0) return Strobe::kNone;
  // A correction can push a strobe more than a sample into the past; it is then taken as late
  // as the filter allows.
  back_ = next_ < -1.0 ? 1.0 : -next_;
  const Strobe strobe = next_is_middle_ ? Strobe::kMiddle : Strobe::kSymbol;
  next_is_middle_ = !next_is_middle_;
  next_ += samples_per_symbol_ / 2;
  return strobe;
}

void TimingRecovery::Correct(double error) {
  // The loop's output is the shift of the next centres in samples: its integrator holds the
  // difference between the nominal and the actual symbol length.
  next_ += loop_.Update(error);
  if (bandwidth_ != track_bandwidth_) {
    bandwidth_ = track_bandwidth_ + (bandwidth_ - track_bandwidth_) * glide_;
    if (bandwidth_ - track_bandwidth_ < 1e-3 * track_bandwidth_) bandwidth_ = track_bandwidth_;
    loop_.SetBandwidth(bandwidth_);
  }
}

}  // namespace rds
