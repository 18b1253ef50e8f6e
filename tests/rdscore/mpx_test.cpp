// The modulator against the signal definitions: pulse shape at exact times at any rate, the RDS
// band and the suppressed carrier, the pilot and the carrier's lock to its third harmonic, and
// programme audio kept out of the pilot and the RDS band.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <random>
#include <vector>

#include "rdscore/differential.h"
#include "rdscore/dsp/fir_design.h"
#include "rdscore/dsp/shaping.h"
#include "rdscore/mpx/biphase_shaper.h"
#include "rdscore/mpx/mpx_generator.h"
#include "rdscore/mpx/programme_audio.h"
#include "rdscore/mpx/rds_modulator.h"
#include "tests/support/power_density.h"

namespace rds {
namespace {

constexpr double kPi = 3.14159265358979323846;
using Complex = std::complex<double>;

double Db(double ratio) { return 10 * std::log10(ratio); }

// Random bits through a generator, every sample they make.
std::vector<float> Multiplex(const MpxSettings& settings, const MpxTiming& timing, int bits) {
  MpxGenerator generator(settings, timing, nullptr);
  std::mt19937 random(7);
  for (int i = 0; i < bits; ++i) generator.rds().PushBit(static_cast<int>(random() & 1U));
  generator.rds().Finish();
  std::vector<float> out(static_cast<std::size_t>(bits * timing.true_rate / kBitRate));
  generator.Render(out.data(), out.size());
  return out;
}

TEST(BiphaseShaper, StreamedSymbolsAreShapedPulsesAtTheirExactTimes) {
  const float symbols[] = {1, -1, -1, 1, 1, 1, -1, 1};
  for (const double rate : {171000.0, 192000.0, 250000.0}) {
    const double samples_per_bit = rate / kBitRate;
    BiphaseShaper shaper(samples_per_bit);
    std::vector<float> out;
    // Rendered piece by piece as symbols arrive, as the programs do.
    for (const float symbol : symbols) {
      shaper.Push(symbol);
      const auto ready = static_cast<std::size_t>(shaper.SamplesReady());
      out.resize(out.size() + ready);
      shaper.Render(out.data() + out.size() - ready, ready);
    }
    shaper.Finish();
    const auto rest = static_cast<std::size_t>(12 * samples_per_bit) - out.size();
    out.resize(out.size() + rest);
    shaper.Render(out.data() + out.size() - rest, rest);

    double worst = 0;
    for (std::size_t n = 0; n < out.size(); ++n) {
      const double u = static_cast<double>(n) / samples_per_bit;
      double expected = 0;
      for (int k = 0; k < 8; ++k) {
        // Each pulse is cut three bits either side of its middle, a quarter bit into its symbol.
        const double from_middle = u - k - 0.25;
        if (from_middle >= -3 && from_middle < 3) {
          expected += symbols[k] * ShapedBiphaseSymbol(u - k);
        }
      }
      worst = std::max(worst, std::fabs(out[n] - expected));
    }
    EXPECT_LT(worst, 3e-6) << rate;
  }
}

TEST(RdsModulator, StaysWithinTheRdsBandWithTheCarrierSuppressed) {
  for (const double rate : {171000.0, 192000.0, 228000.0, 250000.0}) {
    MpxSettings settings;
    settings.pilot = false;
    MpxTiming timing;
    timing.true_rate = rate;
    const std::vector<float> x = Multiplex(settings, timing, 2400);
    const Spectrum s = PowerSpectrum(x, rate, true);
    const double total = s.Total();
    EXPECT_LT(Db((total - s.Band(54000, 60000)) / total), -40) << rate;
    EXPECT_LT(Db(s.Band(56996, 57004) / total), -50) << rate;

    // The level is the peak over any data, and the power is the same for any data.
    double power = 0;
    float peak = 0;
    for (const float v : x) {
      power += v * v;
      peak = std::max(peak, std::fabs(v));
    }
    EXPECT_LE(peak, 0.04F);
    EXPECT_NEAR(power / static_cast<double>(x.size()), RdsModulator::MeanPowerForPeak(0.04),
                0.02 * RdsModulator::MeanPowerForPeak(0.04));
  }
}

// An encoder's level, phase and on/off: a group at half level with the carrier turned by 60°,
// a group's time without RDS, then a group as before. Away from the joins (the pulse reaches
// three bits either side), each is the plain shaped data on sin(2π·57000·t + phase).
TEST(RdsModulator, LevelPhaseAndSilencePerGroup) {
  RdsModulatorConfig config;
  RdsModulator modulator(config);
  Group group;
  group.blocks = {0x4123, 0x0528, 0xE206, 0x2052};
  modulator.PushGroup(group, 0.5, kPi / 3);
  modulator.PushSilentGroup();
  modulator.PushGroup(group);
  modulator.Finish();

  // The data alone: the same differential levels, nothing in the silent group.
  const double samples_per_bit = config.sample_rate / kBitRate;
  BiphaseShaper data(samples_per_bit);
  DifferentialEncoder differential;
  auto push_group = [&] {
    for (const std::uint32_t block : EncodeGroup(group)) {
      for (int bit = kBlockBits - 1; bit >= 0; --bit) {
        data.Push(differential.Next(static_cast<int>((block >> bit) & 1U)) != 0 ? 1.0F : -1.0F);
      }
    }
  };
  push_group();
  for (int bit = 0; bit < kGroupBits; ++bit) data.Push(0.0F);
  push_group();
  data.Finish();

  const auto total = static_cast<std::size_t>(3 * kGroupBits * samples_per_bit);
  std::vector<float> out(total);
  std::vector<float> baseband(total);
  modulator.Render(out.data(), total);
  data.Render(baseband.data(), total);
  const double amplitude = config.peak / BiphaseShaper::WorstCasePeak();
  const double level[] = {0.5, 0.0, 1.0};
  const double phase[] = {kPi / 3, 0.0, 0.0};
  for (int g = 0; g < 3; ++g) {
    double worst = 0;
    const auto first = static_cast<std::size_t>((g * kGroupBits + 4) * samples_per_bit);
    const auto last = static_cast<std::size_t>(((g + 1) * kGroupBits - 4) * samples_per_bit);
    for (std::size_t n = first; n < last; ++n) {
      const double carrier = std::sin(
          2 * kPi * kSubcarrierHz * static_cast<double>(n) / config.sample_rate + phase[g]);
      worst = std::max(worst, std::fabs(out[n] - amplitude * level[g] * baseband[n] * carrier));
    }
    EXPECT_LT(worst, 1e-5) << "group " << g;
  }
}

TEST(MpxGenerator, PilotAtNineteenKilohertzAndCarrierLockedToItsThirdHarmonic) {
  struct Case {
    double rate, carrier_offset_hz, clock_ppm;
  } const cases[] = {{171000, 0, 0}, {192000, 0, 0},   {228000, 0, 0},
                     {250000, 0, 0}, {228000, 7.5, 0}, {192000, 0, 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.carrier_offset_hz << " Hz off, "
                                    << c.clock_ppm << " ppm");
    MpxSettings settings;
    MpxTiming timing;
    const double clock = 1 + c.clock_ppm * 1e-6;
    timing.true_rate = c.rate * clock;
    timing.carrier_offset_hz = c.carrier_offset_hz;
    const std::vector<float> x = Multiplex(settings, timing, 1200);
    const std::size_t half = x.size() / 2;

    // The pilot in each half, against 19 kHz as the recording hears it: a recording clock that
    // runs fast hears every frequency lower by its factor.
    const double nominal = 19000 / clock;
    auto pilot = [&](std::size_t from) {
      Complex sum;
      for (std::size_t n = from; n < from + half; ++n) {
        sum += static_cast<double>(x[n]) *
               std::polar(1.0, -2 * kPi * nominal * static_cast<double>(n) / c.rate);
      }
      return sum * (2.0 / static_cast<double>(half));
    };
    const Complex first = pilot(0);
    const double pilot_hz =
        nominal + std::arg(pilot(half) / first) / (2 * kPi * static_cast<double>(half) / c.rate);
    EXPECT_NEAR(std::abs(first), 0.09, 0.001);
    EXPECT_NEAR(pilot_hz, nominal, 0.02);
    // sin(2π f t + φ) correlates to -j e^{jφ}: the phase at the first sample.
    const double pilot_phase = std::arg(first * Complex(0, 1));

    // The RDS component brought down by the pilot's third harmonic (moved by the carrier offset,
    // as the recording hears it) and low-passed. Its square drops the data and leaves twice the
    // carrier's phase against the harmonic: constant all along when the frequency is right.
    const std::vector<float> taps = LowpassTaps(151, 4000 / c.rate, KaiserBeta(70));
    const double carrier_hz = 3 * pilot_hz + c.carrier_offset_hz / clock;
    std::vector<Complex> mixed(x.size());
    for (std::size_t n = 0; n < x.size(); ++n) {
      const double t = static_cast<double>(n) / c.rate;
      mixed[n] = static_cast<double>(x[n]) *
                 std::polar(1.0, -(2 * kPi * carrier_hz * t + 3 * pilot_phase));
    }
    Complex sum;
    double magnitudes = 0;
    for (std::size_t n = taps.size(); n < x.size(); ++n) {
      Complex z;
      for (std::size_t t = 0; t < taps.size(); ++t) {
        z += mixed[n - t] * static_cast<double>(taps[t]);
      }
      sum -= z * z;  // (-j e^{jθ})² = -e^{2jθ}
      magnitudes += std::norm(z);
    }
    EXPECT_GT(std::abs(sum) / magnitudes, 0.99);
    // In phase with the harmonic, up to the 180° that differential coding makes irrelevant.
    EXPECT_NEAR(std::remainder(std::arg(sum) / 2, kPi), 0.0, kPi / 180);
  }
}

TEST(LoopedAudio, ReachesItsPeakAndKeepsAwayFromThePilotAndTheRdsBand) {
  // A 9 kHz tone at 48 kHz has an image at 57 kHz; 20 kHz lies above the audio band.
  struct Case {
    double in_rate, hz;
    bool passes;
  } const cases[] = {{48000, 1000, true},
                     {48000, 9000, true},
                     {44100, 12000, true},
                     {192000, 9000, true},
                     {48000, 20000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hz << " Hz at " << c.in_rate);
    // A whole number of cycles in 1.25 s: the loop repeats the tone without a seam.
    std::vector<float> recording(static_cast<std::size_t>(1.25 * c.in_rate));
    for (std::size_t n = 0; n < recording.size(); ++n) {
      recording[n] =
          static_cast<float>(std::sin(2 * kPi * c.hz * static_cast<double>(n) / c.in_rate));
    }
    LoopedAudio audio(recording, c.in_rate, 0.8, 228000);
    EXPECT_EQ(audio.loop().size(), 285000U);
    std::vector<float> y(2 * audio.loop().size(), 0.0F);
    audio.Add(y.data(), y.size());
    float peak = 0;
    for (const float v : y) peak = std::max(peak, std::fabs(v));
    if (!c.passes) {
      EXPECT_LT(peak, 0.8F * 1e-3F);
      continue;
    }
    // The recording's full scale is the level; the loudest sample reaches it and no more.
    EXPECT_LE(peak, 0.8F);
    EXPECT_GT(peak, 0.79F);
    const std::vector<float> tone(y.begin(), y.begin() + 57000);
    const Spectrum s = PowerSpectrum(tone, 228000, true);
    const double others = s.Band(18500, 19500) + s.Band(54000, 60000);
    EXPECT_LT(Db(others / s.Band(c.hz - 50, c.hz + 50)), -80);
  }
}

}  // namespace
}  // namespace rds
