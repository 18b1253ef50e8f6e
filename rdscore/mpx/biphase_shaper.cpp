#include "rdscore/mpx/biphase_shaper.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "rdscore/dsp/shaping.h"

namespace rds {

namespace {

constexpr int kHalfSpan = BiphaseShaper::kSpanBits / 2;
// The pulse's middle lies a quarter bit after its symbol's start, between its two impulses; the
// table starts kHalfSpan bits before that.
constexpr double kSpanStart = 0.25 - kHalfSpan;
constexpr int kPoints = BiphaseShaper::kSpanBits * BiphaseShaper::kPointsPerBit;

// The pulse over its span, shared by every shaper: pairs (value, slope to the next point).
struct PulseTable {
  PulseTable() : entries(2 * (static_cast<std::size_t>(kPoints) + 1)) {
    // Points 0 .. kPoints - 1 cover the span; the point at its end only sets the last slope.
    std::vector<double> value(static_cast<std::size_t>(kPoints) + 2, 0.0);
    for (int i = 0; i <= kPoints; ++i) {
      value[static_cast<std::size_t>(i)] =
          ShapedBiphaseSymbol(kSpanStart + static_cast<double>(i) / BiphaseShaper::kPointsPerBit);
    }
    double energy = 0;
    for (std::size_t i = 0; i <= static_cast<std::size_t>(kPoints); ++i) {
      entries[2 * i] = static_cast<float>(value[i]);
      entries[2 * i + 1] = static_cast<float>(value[i + 1] - value[i]);
      if (i < static_cast<std::size_t>(kPoints)) energy += value[i] * value[i];
    }
    mean_power = energy / BiphaseShaper::kPointsPerBit;
    // At each fraction of a bit, the symbols can all take the sign of their pulse.
    for (int point = 0; point < BiphaseShaper::kPointsPerBit; ++point) {
      double sum = 0;
      for (std::size_t at = static_cast<std::size_t>(point); at < static_cast<std::size_t>(kPoints);
           at += BiphaseShaper::kPointsPerBit) {
        sum += std::fabs(value[at]);
      }
      worst_case_peak = std::max(worst_case_peak, sum);
    }
  }

  std::vector<float> entries;
  double worst_case_peak = 0;
  double mean_power = 0;
};

const PulseTable& Table() {
  static const PulseTable table;
  return table;
}

}  // namespace

BiphaseShaper::BiphaseShaper(double samples_per_bit)
    : bits_per_sample_(1.0 / samples_per_bit),
      table_(Table().entries.data()),
      symbols_(kSpanBits, 0.0F) {}

double BiphaseShaper::WorstCasePeak() { return Table().worst_case_peak; }

double BiphaseShaper::MeanPower() { return Table().mean_power; }

double BiphaseShaper::Pulse(double u) {
  const double position = (u - kSpanStart) * kPointsPerBit;
  if (!(position >= 0.0) || position >= kPoints) return 0.0;
  const auto index = static_cast<std::size_t>(position);
  const double fraction = position - static_cast<double>(index);
  const float* entry = Table().entries.data() + 2 * index;
  return entry[0] + fraction * entry[1];
}

void BiphaseShaper::Push(float symbol) {
  symbols_.push_back(symbol);
  ++pushed_;
}

std::int64_t BiphaseShaper::SamplesReady() const {
  if (finished_) return std::numeric_limits<std::int64_t>::max() / 2;
  // Sample n needs the symbols up to floor(n / samples_per_bit + kHalfSpan - 0.25).
  const double last_time = static_cast<double>(pushed_) - kHalfSpan + 0.25;
  if (last_time <= 0) return 0;
  const auto samples = static_cast<std::int64_t>(std::ceil(last_time / bits_per_sample_));
  // Guard the rounding at the edge: a sample is ready only if its newest symbol is there.
  std::int64_t ready = samples;
  while (ready > next_sample_ && std::floor(static_cast<double>(ready - 1) * bits_per_sample_ +
                                            kHalfSpan - 0.25) >= static_cast<double>(pushed_)) {
    --ready;
  }
  return std::max<std::int64_t>(ready - next_sample_, 0);
}

void BiphaseShaper::DropOldSymbols() {
  const double oldest_needed =
      std::floor(static_cast<double>(next_sample_) * bits_per_sample_ + kHalfSpan - 0.25) -
      (kSpanBits - 1);
  const auto drop = static_cast<std::int64_t>(oldest_needed) - base_;
  if (drop > 4096) {
    symbols_.erase(symbols_.begin(), symbols_.begin() + static_cast<std::ptrdiff_t>(drop));
    base_ += drop;
  }
}

void BiphaseShaper::Skip(std::size_t count) {
  DropOldSymbols();
  next_sample_ += static_cast<std::int64_t>(count);
}

void BiphaseShaper::Render(float* out, std::size_t count) {
  DropOldSymbols();
  // After the last symbol the pulses run into silence.
  const double last_time =
      static_cast<double>(next_sample_ + static_cast<std::int64_t>(count)) * bits_per_sample_ +
      kHalfSpan;
  const auto needed = static_cast<std::int64_t>(last_time) + 1 + kSpanBits;
  if (finished_ && needed - base_ > static_cast<std::int64_t>(symbols_.size())) {
    symbols_.resize(static_cast<std::size_t>(needed - base_), 0.0F);
  }

  const float* table = table_;
  for (std::size_t i = 0; i < count; ++i, ++next_sample_) {
    // Positive, so truncation is the floor (and cheaper than a call to floor()).
    const double time = static_cast<double>(next_sample_) * bits_per_sample_ + kHalfSpan - 0.25;
    const auto whole = static_cast<std::int64_t>(time);
    const double position = (time - static_cast<double>(whole)) * kPointsPerBit;
    const auto point = static_cast<int>(position);
    const auto fraction = static_cast<float>(position - point);
    // The newest symbol this sample hears is number `whole`; silent symbols come first.
    const float* newest = symbols_.data() + (whole - base_ + kSpanBits);
    const float* entry = table + 2 * static_cast<std::ptrdiff_t>(point);
    float sum = 0.0F;
    for (std::ptrdiff_t bit = 0; bit < kSpanBits;
         ++bit, entry += std::ptrdiff_t{2} * kPointsPerBit) {
      sum += newest[-bit] * (entry[0] + fraction * entry[1]);
    }
    out[i] = sum;
  }
}

}  // namespace rds
