// Symbol clock recovery with a Gardner detector: the signal is interpolated (cubic Lagrange) at
// the estimated symbol centres and halfway between them, and the caller's timing error, formed
// from those values after carrier removal, steers the next instants. The nominal symbol length
// in samples may be any value above 2, so the sample rate need not be a multiple of the symbol
// rate.
#ifndef RDS_RDSCORE_DSP_TIMING_RECOVERY_H_
#define RDS_RDSCORE_DSP_TIMING_RECOVERY_H_

#include <array>
#include <complex>

#include "rdscore/dsp/loop_filter.h"

namespace rds {

class TimingRecovery {
 public:
  TimingRecovery(double samples_per_symbol, double symbol_rate, double bandwidth);

  // Feeds one sample; true when a symbol centre has been passed, with symbol() and middle() (the
  // value halfway back to the previous centre) interpolated.
  bool Push(std::complex<float> x);

  std::complex<float> symbol() const { return symbol_; }
  std::complex<float> middle() const { return middle_; }
  // How many samples before the newest one the last symbol centre lies (1 … 2).
  double lag() const { return lag_; }

  // Feeds the Gardner error of the last symbol, middle·(previous − current) on the real parts,
  // scaled by the signal power: positive when the centres are taken early.
  void Correct(double error);

  double samples_per_symbol() const { return samples_per_symbol_ + loop_.frequency(); }

 private:
  std::complex<float> Interpolate(double mu) const;

  double samples_per_symbol_;
  LoopFilter loop_;
  std::array<std::complex<float>, 4> history_{};  // the four newest samples, oldest first
  double next_;  // time of the next strobe in samples after the newest one
  bool next_is_middle_ = true;
  std::complex<float> symbol_{0, 0};
  std::complex<float> middle_{0, 0};
  double lag_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_TIMING_RECOVERY_H_
