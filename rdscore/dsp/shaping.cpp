#include "rdscore/dsp/shaping.h"

#include <cmath>

namespace rds {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

double ShapingImpulse(double u) {
  // The inverse transform of cos(πν/4) over |ν| ≤ 2 (ν = f·td) is 8 cos(4πu) / (π (1 − 64u²));
  // at u = ±1/8 numerator and denominator vanish together and the limit is π/4 of the peak.
  const double denominator = 1.0 - 64.0 * u * u;
  if (std::fabs(denominator) < 1e-9) return kPi / 4.0;
  return std::cos(4.0 * kPi * u) / denominator;
}

double ShapedBiphaseSymbol(double u) { return ShapingImpulse(u) - ShapingImpulse(u - 0.5); }

}  // namespace rds
