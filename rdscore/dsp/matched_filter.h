// The receiver's half of the RDS data channel's shaping: the same cos(π f td / 4) response the
// transmitter uses, applied to the complex baseband at a low sample rate. Transmitter and
// receiver together form a 100 % cosine roll-off for the half-bit impulses, so the filter's output
// sampled at the half-bit instants is free of intersymbol interference and has the best
// signal-to-noise ratio any linear filter can give.
#ifndef RDS_RDSCORE_DSP_MATCHED_FILTER_H_
#define RDS_RDSCORE_DSP_MATCHED_FILTER_H_

#include <complex>
#include <vector>

namespace rds {

// The shaping impulse response sampled at `samples_per_bit` (any positive value) over ±span_bits,
// scaled to unit energy so that the filter leaves the noise power per sample unchanged.
std::vector<float> MatchedFilterTaps(double samples_per_bit, double span_bits);

class MatchedFilter {
 public:
  MatchedFilter(double samples_per_bit, double span_bits = 4.0);

  std::complex<float> Push(std::complex<float> x);

  // Delay through the filter in samples.
  double delay() const { return (static_cast<double>(taps_.size()) - 1.0) / 2.0; }
  const std::vector<float>& taps() const { return taps_; }

 private:
  std::vector<float> taps_;
  // Each part of each sample is stored twice, taps apart, so that the newest window is always
  // contiguous.
  std::vector<float> real_;
  std::vector<float> imag_;
  std::size_t position_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_MATCHED_FILTER_H_
