// The receiver's half of the RDS data channel's shaping: the same cos(π f td / 4) response the
// transmitter uses, applied to the complex baseband at a low sample rate. Transmitter and
// receiver together form a 100 % cosine roll-off for the half-bit impulses, so the filter's output
// sampled at the half-bit instants is free of intersymbol interference and has the best
// signal-to-noise ratio any linear filter can give.
//
// The output is only needed at the instants the symbol clock picks, which fall between samples:
// the filter keeps a bank of the response shifted by fractions of a sample and computes one
// output exactly where it is wanted. That is both cheaper than filtering every sample and then
// interpolating, and free of the interpolator's error.
#ifndef RDS_RDSCORE_DSP_MATCHED_FILTER_H_
#define RDS_RDSCORE_DSP_MATCHED_FILTER_H_

#include <complex>
#include <cstddef>
#include <vector>

namespace rds {

// The shaping impulse response sampled at `samples_per_bit` (any positive value) over ±span_bits,
// its centre `shift` samples (0 ≤ shift ≤ 1) before the middle tap, scaled to unit energy so that
// the filter leaves the noise power per sample unchanged.
std::vector<float> MatchedFilterTaps(double samples_per_bit, double span_bits, double shift = 0);

class MatchedFilter {
 public:
  explicit MatchedFilter(double samples_per_bit, double span_bits = 4.0);

  // Stores one input sample.
  void Push(std::complex<float> x);

  // The filter's output `back` samples (0 ≤ back ≤ 1, to 1/64 of a sample) before the output
  // that lines up with the newest sample; that one lags the input by delay() samples.
  std::complex<float> At(double back) const;

  double delay() const { return static_cast<double>(length_ - 1) / 2.0; }
  std::size_t length() const { return length_; }

 private:
  static constexpr int kPhases = 64;
  std::size_t length_;
  std::vector<float> bank_;  // kPhases + 1 responses of length_ taps, one after the other
  // Each part of each sample is stored twice, length_ apart, so that the newest window is always
  // contiguous.
  std::vector<float> real_;
  std::vector<float> imag_;
  std::size_t position_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_MATCHED_FILTER_H_
