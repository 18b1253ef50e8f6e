// Shifts one frequency of a real signal to zero and lowers the sample rate in the same step: a
// complex band-pass FIR evaluated only at the output instants. Per input sample it costs
// 2 × taps / factor multiply-adds, so the high-rate end of a receiver stays cheap.
#ifndef RDS_RDSCORE_DSP_MIXING_DECIMATOR_H_
#define RDS_RDSCORE_DSP_MIXING_DECIMATOR_H_

#include <complex>
#include <cstddef>
#include <vector>

namespace rds {

class MixingDecimator {
 public:
  // `centre` is the frequency brought to zero and `cutoff` the low-pass's −6 dB point around it,
  // both as fractions of the input rate; `transition` the width of the band between pass and
  // stop, `attenuation_db` the stop-band depth.
  MixingDecimator(double centre, int factor, double cutoff, double transition,
                  double attenuation_db);

  // Feeds `count` input samples; every factor-th sample appends one output sample to `out`.
  void Process(const float* in, std::size_t count, std::vector<std::complex<float>>* out);

  // Feeds one sample; true with an output sample in `*out` when one is due.
  bool Push(float sample, std::complex<float>* out);

  int factor() const { return factor_; }
  std::size_t taps() const { return taps_real_.size(); }
  // Delay through the filter in input samples.
  double delay() const { return (static_cast<double>(taps_real_.size()) - 1.0) / 2.0; }

 private:
  std::complex<float> Output(const float* window);

  int factor_;
  std::complex<double> rotation_;  // e^{−jωn} at the next output
  std::complex<double> step_;      // e^{−jω·factor}: from one output to the next
  int since_normalised_ = 0;
  // Taps h[k]·e^{jωk}, reversed so that the oldest input meets the first tap.
  std::vector<float> taps_real_;
  std::vector<float> taps_imag_;
  std::vector<float> history_;  // the last taps − 1 samples, then the block being processed
  int countdown_;               // input samples until the next output
  std::vector<std::complex<float>> single_;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_MIXING_DECIMATOR_H_
