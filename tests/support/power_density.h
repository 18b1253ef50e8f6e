// Power spectra for the signal tests: a plain radix-2 FFT over the samples (zero-padded to a power
// of two), optionally through a 4-term Blackman-Harris window, whose sidelobes (-92 dB) keep
// strong parts of the spectrum from hiding weak ones.
#ifndef RDS_TESTS_SUPPORT_POWER_DENSITY_H_
#define RDS_TESTS_SUPPORT_POWER_DENSITY_H_

#include <cmath>
#include <complex>
#include <cstddef>
#include <utility>
#include <vector>

struct Spectrum {
  double bin_hz = 0;
  std::vector<double> power;  // |X(k)|² for k = 0 .. N/2

  // Power in the bins from low_hz to high_hz (inclusive).
  double Band(double low_hz, double high_hz) const {
    double sum = 0;
    for (std::size_t k = 0; k < power.size(); ++k) {
      const double f = static_cast<double>(k) * bin_hz;
      if (f >= low_hz && f <= high_hz) sum += power[k];
    }
    return sum;
  }
  double Total() const { return Band(-1, 1e12); }
};

inline Spectrum PowerSpectrum(const std::vector<float>& samples, double rate, bool window) {
  constexpr double kPi = 3.14159265358979323846;
  std::size_t n = 1;
  while (n < samples.size()) n <<= 1;
  std::vector<std::complex<double>> x(n);
  const double m = static_cast<double>(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    double w = 1.0;
    if (window) {
      const double a = 2 * kPi * static_cast<double>(i) / m;
      w = 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
    }
    x[i] = samples[i] * w;
  }
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * kPi / static_cast<double>(len));
    for (std::size_t start = 0; start < n; start += len) {
      std::complex<double> w(1.0, 0.0);
      for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
        const std::complex<double> a = x[start + k];
        const std::complex<double> b = x[start + k + len / 2] * w;
        x[start + k] = a + b;
        x[start + k + len / 2] = a - b;
      }
    }
  }
  Spectrum spectrum;
  spectrum.bin_hz = rate / static_cast<double>(n);
  spectrum.power.resize(n / 2 + 1);
  for (std::size_t k = 0; k <= n / 2; ++k) spectrum.power[k] = std::norm(x[k]);
  return spectrum;
}

#endif  // RDS_TESTS_SUPPORT_POWER_DENSITY_H_
