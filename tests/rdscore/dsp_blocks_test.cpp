// The signal-processing blocks of the RDS core, each driven sample by sample with small synthetic
// signals whose right answer is known in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "rdscore/dsp/agc.h"
#include "rdscore/dsp/costas_loop.h"
#include "rdscore/dsp/matched_filter.h"
#include "rdscore/dsp/mixing_decimator.h"
#include "rdscore/dsp/pll.h"
#include "rdscore/dsp/shaping.h"
#include "rdscore/dsp/timing_recovery.h"

namespace rds {
namespace {

constexpr double kPi = 3.14159265358979323846;
using Complex = std::complex<float>;

// Mean output power of a mixing decimator fed a real cosine at `tone` Hz, after its start-up.
double OutputPower(MixingDecimator& decimator, double rate, double tone,
                   std::vector<Complex>* out) {
  std::vector<float> in(static_cast<std::size_t>(rate / 4));
  for (std::size_t n = 0; n < in.size(); ++n) {
    in[n] = static_cast<float>(std::cos(2 * kPi * tone * static_cast<double>(n) / rate));
  }
  out->clear();
  decimator.Process(in.data(), in.size(), out);
  double power = 0;
  const std::size_t skip = out->size() / 2;
  for (std::size_t i = skip; i < out->size(); ++i) power += std::norm((*out)[i]);
  return power / static_cast<double>(out->size() - skip);
}

TEST(MixingDecimator, ShiftsTheCentreToZeroAndStopsWhatWouldFoldIntoTheBand) {
  struct Case {
    double rate;
    int factor;
  };
  for (const Case c : {Case{171000, 24}, Case{192000, 27}, Case{228000, 32}, Case{250000, 35}}) {
    const double low_rate = c.rate / c.factor;
    const double pass = 2450, stop = low_rate - pass;
    MixingDecimator decimator(57000 / c.rate, c.factor, 0.5 * (pass + stop) / c.rate,
                              (stop - pass) / c.rate, 60);
    std::vector<Complex> out;
    // A cosine 500 Hz above the centre is half of it at +500 Hz: power 1/4, turning by
    // 2π·500/low rate per output.
    EXPECT_NEAR(OutputPower(decimator, c.rate, 57500, &out), 0.25, 0.005) << c.rate;
    const double turn = std::arg(out[out.size() - 1] * std::conj(out[out.size() - 2]));
    EXPECT_NEAR(turn, 2 * kPi * 500 / low_rate, 1e-3) << c.rate;
    // One low rate away from the carrier, a tone would land at 0 Hz after decimation.
    MixingDecimator fresh(57000 / c.rate, c.factor, 0.5 * (pass + stop) / c.rate,
                          (stop - pass) / c.rate, 60);
    EXPECT_LT(10 * std::log10(OutputPower(fresh, c.rate, 57000 - low_rate, &out) / 0.25), -58)
        << c.rate;
  }
}

TEST(Pll, FollowsAToneAndKnowsWhenThereIsNone) {
  constexpr double kRate = 1781.25;
  for (const double offset_hz : {0.0, 2.0, -6.0}) {
    Pll pll(kRate, 20, 2);
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0, 0.3f);
    double phase = 1.0;
    for (int n = 0; n < 2 * static_cast<int>(kRate); ++n) {
      phase += 2 * kPi * offset_hz / kRate;
      pll.Push(0.01f * Complex(static_cast<float>(std::cos(phase)) + noise(random),
                               static_cast<float>(std::sin(phase)) + noise(random)));
    }
    // phasor() is the estimate for the next sample.
    const double error =
        std::remainder(pll.phase() - (phase + 2 * kPi * offset_hz / kRate), 2 * kPi);
    EXPECT_NEAR(error, 0, 0.05) << offset_hz;
    EXPECT_NEAR(pll.frequency() * kRate / (2 * kPi), offset_hz, 0.05) << offset_hz;
    EXPECT_TRUE(pll.locked()) << offset_hz;
  }
  Pll pll(kRate, 20, 2);
  std::mt19937 random(2);
  std::normal_distribution<float> noise(0, 1);
  for (int n = 0; n < 2 * static_cast<int>(kRate); ++n) pll.Push({noise(random), noise(random)});
  EXPECT_FALSE(pll.locked());
}

TEST(CostasLoop, LocksToAKeyedCarrierUpToHalfATurn) {
  constexpr double kRate = 2375;
  for (const double offset_hz : {0.0, 10.0, -16.0}) {
    CostasLoop loop(kRate, 30, 4);
    std::mt19937 random(3);
    double phase = 2.0;
    Complex last;
    for (int n = 0; n < 2 * static_cast<int>(kRate); ++n) {
      phase += 2 * kPi * offset_hz / kRate;
      const float data = (random() & 1) != 0 ? 1.0f : -1.0f;
      last = data * std::polar(1.0f, static_cast<float>(phase - loop.phase()));
      loop.Update(last);
    }
    // Locked to the carrier or to its opposite: the symbol lies on the real axis.
    EXPECT_LT(std::fabs(last.imag()), 0.02) << offset_hz;
    EXPECT_TRUE(loop.locked()) << offset_hz;
  }
}

TEST(SymbolClock, MatchedFilterAtTheRecoveredInstantsGivesCleanHalfBits) {
  // Half-bit impulses ±1 shaped by the transmitter's response, at 7125 Hz (3 samples per half
  // bit) and at a rate that is no multiple of the symbol rate, starting at an odd delay.
  for (const double rate : {7125.0, 7384.6}) {
    const double half_bit = rate / 2375;
    std::mt19937 random(4);
    std::vector<float> symbols(3000);
    for (float& s : symbols) s = (random() & 1) != 0 ? 1.0f : -1.0f;
    MatchedFilter filter(rate / 1187.5);
    TimingRecovery clock(half_bit, 2375, 40, 4);
    std::vector<float> centres;
    float middle = 0, previous = 0;
    const auto samples = static_cast<int>(static_cast<double>(symbols.size() - 8) * half_bit);
    for (int n = 0; n < samples; ++n) {
      double x = 0;
      const double t = n / half_bit - 0.37;  // in half bits
      for (int k = static_cast<int>(t) - 8; k <= static_cast<int>(t) + 8; ++k) {
        if (k >= 0) x += symbols[static_cast<std::size_t>(k)] * ShapingImpulse((t - k) / 2);
      }
      filter.Push({static_cast<float>(x), 0});
      clock.Advance();
      for (auto s = clock.Next(); s != TimingRecovery::Strobe::kNone; s = clock.Next()) {
        const float value = filter.At(clock.back()).real();
        if (s == TimingRecovery::Strobe::kMiddle) {
          middle = value;
          continue;
        }
        clock.Correct(middle * (previous - value));
        previous = value;
        centres.push_back(value);
      }
    }
    // After the pull-in every centre is one of two values: the eye is open wide.
    float low = 1e9f, high = 0;
    for (std::size_t i = centres.size() / 2; i < centres.size(); ++i) {
      low = std::fmin(low, std::fabs(centres[i]));
      high = std::fmax(high, std::fabs(centres[i]));
    }
    EXPECT_GT(low, 0.97f * high) << rate;
  }
}

TEST(Agc, BringsEveryLevelToUnitPower) {
  for (const double level_db : {-60.0, -40.0, -20.0, 0.0, 6.0}) {
    Agc agc(5, 100, 1e6);
    const auto amplitude = static_cast<float>(std::pow(10.0, level_db / 20));
    Complex out;
    for (int n = 0; n < 2000; ++n) out = agc.Process({(n & 1) != 0 ? amplitude : -amplitude, 0});
    EXPECT_NEAR(std::norm(out), 1.0, 0.02) << level_db;
  }
  // Digital silence meets the gain's bound instead of an infinite gain.
  Agc agc(5, 100, 1e3);
  for (int n = 0; n < 5000; ++n) agc.Process({0, 0});
  EXPECT_NEAR(agc.gain(), 1e3, 1);
}

}  // namespace
}  // namespace rds
