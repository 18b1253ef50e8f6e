#include "rdscore/dsp/fir_design.h"

#include <cmath>

namespace rds {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Zeroth-order modified Bessel function of the first kind, by its power series; the terms fall
// fast enough for any β a filter uses.
double BesselI0(double x) {
  double sum = 1.0;
  double term = 1.0;
  for (int k = 1; k < 64; ++k) {
    term *= (x / (2.0 * k)) * (x / (2.0 * k));
    sum += term;
    if (term < sum * 1e-17) break;
  }
  return sum;
}

}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): length, cutoff, window, as designs go
std::vector<float> LowpassTaps(int taps, double cutoff, double beta) {
  std::vector<double> h(static_cast<std::size_t>(taps > 0 ? taps : 1));
  const double middle = (static_cast<double>(h.size()) - 1.0) / 2.0;
  const double norm = BesselI0(beta);
  double sum = 0.0;
  for (std::size_t i = 0; i < h.size(); ++i) {
    const double t = static_cast<double>(i) - middle;
    const double sinc = t == 0.0 ? 2.0 * cutoff : std::sin(2.0 * kPi * cutoff * t) / (kPi * t);
    const double r = middle > 0.0 ? t / middle : 0.0;
    const double window = BesselI0(beta * std::sqrt(std::fmax(0.0, 1.0 - r * r))) / norm;
    h[i] = sinc * window;
    sum += h[i];
  }
  std::vector<float> result(h.size());
  for (std::size_t i = 0; i < h.size(); ++i) result[i] = static_cast<float>(h[i] / sum);
  return result;
}

double KaiserBeta(double attenuation_db) {
  if (attenuation_db > 50.0) return 0.1102 * (attenuation_db - 8.7);
  if (attenuation_db >= 21.0) {
    return 0.5842 * std::pow(attenuation_db - 21.0, 0.4) + 0.07886 * (attenuation_db - 21.0);
  }
  return 0.0;
}

int KaiserTaps(double attenuation_db, double transition) {
  const int n = static_cast<int>(std::ceil((attenuation_db - 7.95) / (14.36 * transition))) + 1;
  return n | 1;
}

}  // namespace rds
