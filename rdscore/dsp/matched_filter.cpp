#include "rdscore/dsp/matched_filter.h"

#include <cmath>

#include "rdscore/dsp/dot.h"
#include "rdscore/dsp/shaping.h"

namespace rds {

std::vector<float> MatchedFilterTaps(double samples_per_bit, double span_bits) {
  const int half = static_cast<int>(std::floor(span_bits * samples_per_bit));
  std::vector<double> h;
  double energy = 0;
  for (int i = -half; i <= half; ++i) {
    h.push_back(ShapingImpulse(static_cast<double>(i) / samples_per_bit));
    energy += h.back() * h.back();
  }
  std::vector<float> taps;
  for (const double v : h) taps.push_back(static_cast<float>(v / std::sqrt(energy)));
  return taps;
}

MatchedFilter::MatchedFilter(double samples_per_bit, double span_bits)
    : taps_(MatchedFilterTaps(samples_per_bit, span_bits)),
      real_(2 * taps_.size()),
      imag_(2 * taps_.size()) {}

std::complex<float> MatchedFilter::Push(std::complex<float> x) {
  const std::size_t n = taps_.size();
  real_[position_] = real_[position_ + n] = x.real();
  imag_[position_] = imag_[position_ + n] = x.imag();
  position_ = position_ + 1 == n ? 0 : position_ + 1;
  // [position_, position_ + n) now runs from the oldest sample to the newest; the response is
  // symmetric, so the tap order does not matter.
  float re = 0, im = 0;
  DotShared(taps_.data(), real_.data() + position_, imag_.data() + position_, n, &re, &im);
  return {re, im};
}

}  // namespace rds
