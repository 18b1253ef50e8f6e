#include "rdscore/dsp/matched_filter.h"

#include <cmath>

#include "rdscore/dsp/dot.h"
#include "rdscore/dsp/shaping.h"

namespace rds {

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): samples per bit, then the span in bits
std::vector<float> MatchedFilterTaps(double samples_per_bit, double span_bits, double shift) {
  const int half = static_cast<int>(std::floor(span_bits * samples_per_bit));
  std::vector<double> h;
  double energy = 0;
  for (int i = -half; i <= half; ++i) {
    h.push_back(ShapingImpulse((static_cast<double>(i) + shift) / samples_per_bit));
    energy += h.back() * h.back();
  }
  std::vector<float> taps;
  taps.reserve(h.size());
  for (const double v : h) taps.push_back(static_cast<float>(v / std::sqrt(energy)));
  return taps;
}

MatchedFilter::MatchedFilter(double samples_per_bit, double span_bits)
    : length_(MatchedFilterTaps(samples_per_bit, span_bits).size()),
      real_(2 * length_),
      imag_(2 * length_) {
  // Phase p is the response for an output p/64 of a sample earlier. The window runs from the
  // oldest sample to the newest and the response is symmetric, so tap i of phase p weighs the
  // sample i − middle samples from the centre moved by p/64.
  for (int p = 0; p <= kPhases; ++p) {
    const std::vector<float> taps =
        MatchedFilterTaps(samples_per_bit, span_bits, static_cast<double>(p) / kPhases);
    bank_.insert(bank_.end(), taps.begin(), taps.end());
  }
}

void MatchedFilter::Push(std::complex<float> x) {
  real_[position_] = real_[position_ + length_] = x.real();
  imag_[position_] = imag_[position_ + length_] = x.imag();
  position_ = position_ + 1 == length_ ? 0 : position_ + 1;
}

std::complex<float> MatchedFilter::At(double back) const {
  const long phase = std::lround(std::fmin(1.0, std::fmax(0.0, back)) * kPhases);
  float re = 0, im = 0;
  // [position_, position_ + length_) runs from the oldest sample to the newest.
  DotShared(bank_.data() + static_cast<std::size_t>(phase) * length_, real_.data() + position_,
            imag_.data() + position_, length_, &re, &im);
  return {re, im};
}

}  // namespace rds
