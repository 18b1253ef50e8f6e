// A phase-locked loop on a complex tone near zero frequency, such as the 19 kHz stereo pilot after
// it has been shifted to baseband. Its phase, tripled, is the phase of the 57 kHz RDS subcarrier
// that broadcasters lock to the pilot. The oscillator is kept as a unit phasor, so that following
// the tone costs a few multiplications per sample and no trigonometry.
#ifndef RDS_RDSCORE_DSP_PLL_H_
#define RDS_RDSCORE_DSP_PLL_H_

#include <complex>

#include "rdscore/dsp/loop_filter.h"

namespace rds {

class Pll {
 public:
  // Bandwidths in Hz at `sample_rate`: wide while pulling in, narrow once locked.
  Pll(double sample_rate, double acquire_bandwidth, double track_bandwidth);

  // Feeds one sample; afterwards phasor() is the estimate for the next sample.
  void Push(std::complex<float> x);

  // e^{jθ} of the tone at the next sample, and θ in radians (±π).
  std::complex<float> phasor() const { return phasor_; }
  double phase() const { return std::arg(phasor_); }
  // Frequency of the tone in radians per sample.
  double frequency() const { return loop_.frequency(); }
  // Share of the input's power that is the locked tone (0 … 1), averaged over about 0.1 s:
  // near 1 for a clean pilot, near 0 without one, whatever the level.
  double lock_quality() const { return lock_quality_; }
  bool locked() const { return locked_; }

 private:
  LoopFilter loop_;
  double acquire_bandwidth_;
  double track_bandwidth_;
  std::complex<float> phasor_{1, 0};
  float smoothing_;
  float glide_;
  std::complex<float> coherent_{0, 0};  // mean of x·e^{−jθ}
  float power_ = 0;                     // mean of |x|²
  double lock_quality_ = 0;
  bool locked_ = false;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_PLL_H_
