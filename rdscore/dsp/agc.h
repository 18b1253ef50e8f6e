// Automatic gain control: scales a signal to unit mean power. It rises quickly when the level
// goes up (so that loops are not overdriven after a step) and falls slowly when it goes down
// (so that a fade or a gap of silence does not swell the noise at once); the gain is bounded so
// that digital silence cannot drive it to infinity.
#ifndef RDS_RDSCORE_DSP_AGC_H_
#define RDS_RDSCORE_DSP_AGC_H_

#include <complex>

namespace rds {

class Agc {
 public:
  // Time constants in samples for a rising and a falling level; gain at most `max_gain`.
  Agc(double attack_samples, double decay_samples, double max_gain);

  std::complex<float> Process(std::complex<float> x);
  double gain() const { return gain_; }

 private:
  float attack_;
  float decay_;
  float min_power_;
  float power_ = 0;
  float gain_;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_AGC_H_
