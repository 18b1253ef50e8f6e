#include "rdscore/dsp/shaping.h"

#include <gtest/gtest.h>

#include <cmath>

#include "rdscore/dsp/fir_design.h"

namespace rds {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The impulse response's spectrum at ν = f·td, by numerical integration over ±64 bits (the tail
// beyond falls as 1/u² and adds less than 1e-3).
double Spectrum(double nu) {
  constexpr double kStep = 1.0 / 512;
  double sum = 0;
  // NOLINTNEXTLINE(cert-flp30-c): steps of 1/512 and their sums are exact in a double
  for (double u = -64; u <= 64; u += kStep) sum += ShapingImpulse(u) * std::cos(2 * kPi * nu * u);
  return sum * kStep;
}

TEST(Shaping, ImpulseResponseHasTheCosineSpectrum) {
  // Scaled to 1 at u = 0 the response is π/8 × the unscaled one, whose spectrum is cos(πν/4).
  const double scale = Spectrum(0.0);
  EXPECT_NEAR(scale, kPi / 8, 2e-3);
  for (const double nu : {0.25, 0.5, 1.0, 1.5, 1.9}) {
    EXPECT_NEAR(Spectrum(nu) / scale, std::cos(kPi * nu / 4), 5e-3) << nu;
  }
  for (const double nu : {2.1, 2.5, 3.0, 4.0}) EXPECT_NEAR(Spectrum(nu) / scale, 0.0, 5e-3) << nu;
}

TEST(Shaping, BiphaseSymbolHasNoDcAndIsContinuousAtTheSingularPoints) {
  double dc = 0;
  // NOLINTNEXTLINE(cert-flp30-c): steps of 1/256 and their sums are exact in a double
  for (double u = -64; u <= 64; u += 1.0 / 256) dc += ShapedBiphaseSymbol(u);
  EXPECT_NEAR(dc / 256, 0.0, 1e-3);
  for (const double u : {0.125, -0.125, 0.625}) {
    EXPECT_NEAR(ShapingImpulse(u + 1e-6), ShapingImpulse(u - 1e-6), 1e-4) << u;
  }
}

TEST(FirDesign, LowpassPassesAndStops) {
  const double attenuation = 60;
  const int taps = KaiserTaps(attenuation, 0.05);
  const std::vector<float> h = LowpassTaps(taps, 0.1, KaiserBeta(attenuation));
  ASSERT_EQ(static_cast<int>(h.size()), taps);
  auto gain_db = [&](double f) {
    double re = 0, im = 0;
    for (std::size_t i = 0; i < h.size(); ++i) {
      re += h[i] * std::cos(2 * kPi * f * static_cast<double>(i));
      im -= h[i] * std::sin(2 * kPi * f * static_cast<double>(i));
    }
    return 10 * std::log10(re * re + im * im);
  };
  EXPECT_NEAR(gain_db(0.0), 0.0, 1e-4);
  EXPECT_NEAR(gain_db(0.07), 0.0, 0.05);
  EXPECT_NEAR(gain_db(0.1), -6.02, 0.2);
  for (const double f : {0.13, 0.2, 0.3, 0.45}) EXPECT_LT(gain_db(f), -attenuation + 1) << f;
}

}  // namespace
}  // namespace rds
