#include "tools/capture_gen/impairments.h"

#include <cmath>
#include <limits>

namespace capture {

namespace {

constexpr double kTwoPi = 6.28318530717958647692;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

std::int64_t SampleAt(double seconds, double rate) {
  return static_cast<std::int64_t>(std::llround(seconds * rate));
}

}  // namespace

Impairments::Impairments(const ImpairmentSettings& settings, double rate, double rds_power,
                         std::uint64_t seed)
    : gain_(DbToGain(settings.level_db) * (settings.invert ? -1.0 : 1.0)),
      step_sample_(settings.step ? SampleAt(settings.step_at_seconds, rate) : kNever),
      gap_start_(settings.gap ? SampleAt(settings.gap_at_seconds, rate) : kNever),
      gap_end_(settings.gap ? SampleAt(settings.gap_at_seconds + settings.gap_seconds, rate)
                            : kNever),
      random_(seed) {
  if (settings.step) step_gain_ = DbToGain(settings.step_db);
  if (settings.noise) {
    // White noise spreads its power evenly from 0 to rate / 2: the SNR band holds the share
    // 4800 / (rate / 2) of it.
    const double band_noise = rds_power / std::pow(10.0, settings.snr_db / 10.0);
    sigma_ = std::sqrt(band_noise * (rate / 2.0) / kSnrBandHz);
  }
}

double Impairments::MaxGain() const {
  return std::fabs(gain_) * (step_gain_ > 1.0 ? step_gain_ : 1.0);
}

double Impairments::NextGaussian() {
  // Box-Muller with the radius kept below 5: u1 is drawn from (e^-12.5, 1]. Written out rather
  // than std::normal_distribution, whose algorithm differs between standard libraries, so that
  // a seed gives the same capture everywhere.
  if (has_spare_) {
    has_spare_ = false;
    return spare_;
  }
  constexpr double kScale = 1.0 / 9007199254740992.0;  // 2^-53
  const double a = static_cast<double>(random_() >> 11) * kScale;
  const double b = static_cast<double>(random_() >> 11) * kScale;
  const double u1 = 1.0 - a * (1.0 - std::exp(-12.5));
  const double radius = std::sqrt(-2.0 * std::log(u1));
  spare_ = radius * std::sin(kTwoPi * b);
  has_spare_ = true;
  return radius * std::cos(kTwoPi * b);
}

void Impairments::Apply(std::int64_t first, float* samples, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t n = first + static_cast<std::int64_t>(i);
    double value = samples[i];
    // The noise is drawn for every sample, gap or not, so that a gap changes nothing after it.
    if (sigma_ > 0) value += sigma_ * NextGaussian();
    double gain = gain_;
    if (n >= step_sample_) gain *= step_gain_;
    if (n >= gap_start_ && n < gap_end_) gain = 0.0;
    samples[i] = static_cast<float>(value * gain);
  }
}

}  // namespace capture
