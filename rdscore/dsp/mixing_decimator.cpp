#include "rdscore/dsp/mixing_decimator.h"

#include <cmath>

#include "rdscore/dsp/dot.h"
#include "rdscore/dsp/fir_design.h"

namespace rds {

namespace {

constexpr double kTwoPi = 6.283185307179586476925;

}  // namespace

// NOLINTBEGIN(bugprone-easily-swappable-parameters): in the order of the header
MixingDecimator::MixingDecimator(double centre, int factor, double cutoff, double transition,
                                 double attenuation_db)
    // NOLINTEND(bugprone-easily-swappable-parameters)
    : factor_(factor > 0 ? factor : 1), countdown_(factor_) {
  const std::vector<float> h =
      LowpassTaps(KaiserTaps(attenuation_db, transition), cutoff, KaiserBeta(attenuation_db));
  const std::size_t n = h.size();
  taps_real_.resize(n);
  taps_imag_.resize(n);
  // Output y[m] = Σ_k h[k] x[n−k] e^{−jω(n−k)} = e^{−jωn} Σ_k h[k] e^{jωk} x[n−k]: the window
  // holds x[n−N+1] … x[n], so window index i meets k = N−1−i.
  for (std::size_t i = 0; i < n; ++i) {
    const double k = static_cast<double>(n - 1 - i);
    const double angle = kTwoPi * centre * k;
    taps_real_[i] = static_cast<float>(h[n - 1 - i] * std::cos(angle));
    taps_imag_[i] = static_cast<float>(h[n - 1 - i] * std::sin(angle));
  }
  history_.assign(n - 1, 0.0f);
  // The first output falls on input sample factor − 1; each output is factor samples later.
  rotation_ = std::polar(1.0, -std::fmod(kTwoPi * centre * (factor_ - 1), kTwoPi));
  step_ = std::polar(1.0, -std::fmod(kTwoPi * centre * factor_, kTwoPi));
}

std::complex<float> MixingDecimator::Output(const float* window) {
  float re = 0, im = 0;
  DotPair(taps_real_.data(), taps_imag_.data(), window, taps_real_.size(), &re, &im);
  const std::complex<float> out = std::complex<float>(re, im) * std::complex<float>(rotation_);
  rotation_ *= step_;
  // The recursion keeps |rotation| at 1 only to rounding; pull it back now and then.
  if (++since_normalised_ == 1024) {
    rotation_ /= std::abs(rotation_);
    since_normalised_ = 0;
  }
  return out;
}

void MixingDecimator::Process(const float* in, std::size_t count,
                              std::vector<std::complex<float>>* out) {
  const std::size_t keep = taps_real_.size() - 1;
  history_.resize(keep);
  history_.insert(history_.end(), in, in + count);
  // With keep = taps − 1 older samples in front, the window of the output due at input sample j
  // (its newest sample) starts at history index j.
  std::size_t i = 0;
  while (i + static_cast<std::size_t>(countdown_) <= count) {
    i += static_cast<std::size_t>(countdown_);
    out->push_back(Output(history_.data() + (i - 1)));
    countdown_ = factor_;
  }
  countdown_ -= static_cast<int>(count - i);
  history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(count));
}

bool MixingDecimator::Push(float sample, std::complex<float>* out) {
  single_.clear();
  Process(&sample, 1, &single_);
  if (single_.empty()) return false;
  *out = single_.front();
  return true;
}

}  // namespace rds
