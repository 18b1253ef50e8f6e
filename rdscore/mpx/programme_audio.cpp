#include "rdscore/mpx/programme_audio.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "rdscore/dsp/fir_design.h"

namespace rds {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStopHz = 18500.0;
constexpr double kStopDb = 80.0;
constexpr std::size_t kBlock = 2048;
constexpr int kPhases = 512;

// The interpolation kernel over taps input samples, kPhases points per input sample, as pairs
// (value, slope to the next point).
std::vector<float> Kernel(double input_rate, int* taps) {
  // A recording too slow for the whole audio band keeps what it has, up to 0.4 of its rate.
  const double pass = std::min(kAudioBandHz, 0.4 * input_rate);
  const double stop = std::min(kStopHz, 0.5 * input_rate);
  const double cutoff = (pass + stop) / 2.0 / input_rate;  // cycles per input sample
  *taps = KaiserTaps(kStopDb, (stop - pass) / input_rate);
  const double half = (*taps - 1) / 2.0;
  const double beta = KaiserBeta(kStopDb);
  const int points = *taps * kPhases;
  std::vector<double> value(static_cast<std::size_t>(points) + 2, 0.0);
  for (int i = 0; i <= points; ++i) {
    const double t = static_cast<double>(i) / kPhases - half;
    const double r = t / half;
    if (std::fabs(r) > 1.0) continue;  // outside the window
    const double sinc = t == 0.0 ? 2.0 * cutoff : std::sin(2.0 * kPi * cutoff * t) / (kPi * t);
    value[static_cast<std::size_t>(i)] =
        sinc * std::cyl_bessel_i(0.0, beta * std::sqrt(1 - r * r)) / std::cyl_bessel_i(0.0, beta);
  }
  std::vector<float> kernel(2 * (static_cast<std::size_t>(points) + 1));
  for (std::size_t i = 0; i <= static_cast<std::size_t>(points); ++i) {
    kernel[2 * i] = static_cast<float>(value[i]);
    kernel[2 * i + 1] = static_cast<float>(value[i + 1] - value[i]);
  }
  return kernel;
}

}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): frequency, level, rate, as one says it
ToneAudio::ToneAudio(double frequency, double peak, double sample_rate)
    : oscillator_(frequency / sample_rate), peak_(static_cast<float>(peak)), block_(kBlock) {}

void ToneAudio::Add(float* out, std::size_t count) {
  while (count > 0) {
    const std::size_t n = std::min(count, kBlock);
    oscillator_.Generate(next_, peak_, block_.data(), n);
    for (std::size_t i = 0; i < n; ++i) out[i] += block_[i];
    next_ += static_cast<std::int64_t>(n);
    out += n;
    count -= n;
  }
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the recording and its rate, then ours
LoopedAudio::LoopedAudio(const std::vector<float>& samples, double input_rate, double peak,
                         double sample_rate) {
  if (samples.empty()) return;
  const auto length = static_cast<std::int64_t>(samples.size());
  // Whole output samples per pass; the input is cut where a pass would be longer than allowed.
  auto used = length;
  double out_length = std::round(static_cast<double>(used) * sample_rate / input_rate);
  if (out_length > static_cast<double>(kMaxLoop)) {
    out_length = static_cast<double>(kMaxLoop);
    used = static_cast<std::int64_t>(out_length * input_rate / sample_rate);
  }
  loop_.resize(static_cast<std::size_t>(std::max(1.0, out_length)));
  const double step = static_cast<double>(used) / static_cast<double>(loop_.size());

  int taps = 0;
  const std::vector<float> kernel = Kernel(input_rate, &taps);
  const double half = (taps - 1) / 2.0;
  // used is at most the recording's length, so it fits the iterators' difference type, which
  // is 32 bits wide in 32-bit builds.
  std::vector<float> input(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(used));
  for (float& v : input) v = std::clamp(v, -1.0F, 1.0F);

  float largest = 0.0F;
  for (std::size_t j = 0; j < loop_.size(); ++j) {
    // Output sample j lies at input position x and takes the input from x - half to x + half,
    // wrapping around the pass.
    const double x = static_cast<double>(j) * step;
    const double first = std::ceil(x - half);
    const double position = (first - (x - half)) * kPhases;
    const auto phase = static_cast<int>(position);
    const auto fraction = static_cast<float>(position - phase);
    auto index = static_cast<std::int64_t>(first) % used;
    if (index < 0) index += used;
    const float* entry = kernel.data() + 2 * static_cast<std::ptrdiff_t>(phase);
    float sum = 0.0F;
    for (int tap = 0; tap < taps; ++tap, entry += std::ptrdiff_t{2} * kPhases) {
      sum += input[static_cast<std::size_t>(index)] * (entry[0] + fraction * entry[1]);
      if (++index == used) index = 0;
    }
    loop_[j] = sum;
    largest = std::max(largest, std::fabs(sum));
  }
  // The recording's full scale becomes the peak level, unless filtering made the pass louder
  // than full scale (a band-limited square wave overshoots): then its loudest sample is the peak.
  const float scale = static_cast<float>(peak) / std::max(largest, 1.0F);
  for (float& v : loop_)
    v = std::clamp(v * scale, static_cast<float>(-peak), static_cast<float>(peak));
}

void LoopedAudio::Add(float* out, std::size_t count) {
  if (loop_.empty()) return;
  for (std::size_t i = 0; i < count; ++i) {
    out[i] += loop_[position_];
    if (++position_ == loop_.size()) position_ = 0;
  }
}

}  // namespace rds
