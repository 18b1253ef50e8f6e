// What a receiver does to the multiplex before a demodulator sees it, for testing demodulators:
// white noise at a chosen SNR, the recording level and a sudden change of it, inverted polarity
// and a gap of silence. (A mistuned subcarrier and a recording clock off its rate are made by
// the generator itself, see rds::MpxTiming.)
#ifndef RDS_TOOLS_CAPTURE_GEN_IMPAIRMENTS_H_
#define RDS_TOOLS_CAPTURE_GEN_IMPAIRMENTS_H_

#include <cstddef>
#include <cstdint>
#include <random>

namespace capture {

struct ImpairmentSettings {
  bool noise = false;
  double snr_db = 0;  // RDS power over the noise power within 57 kHz ± 2.4 kHz
  double carrier_offset_hz = 0;
  double clock_ppm = 0;
  bool invert = false;
  double level_db = 0;  // gain of the whole multiplex
  bool step = false;
  double step_at_seconds = 0;
  double step_db = 0;  // further gain from step_at_seconds on
  bool gap = false;
  double gap_at_seconds = 0;
  double gap_seconds = 0;
};

// The bandwidth in which SNR is measured: the RDS channel, 57 kHz ± 2.4 kHz.
constexpr double kSnrBandHz = 4800.0;

class Impairments {
 public:
  // rate: the file's sample rate; rds_power: the RDS component's mean power.
  Impairments(const ImpairmentSettings& settings, double rate, double rds_power,
              std::uint64_t seed);

  // The white noise's standard deviation, and the most it can reach: it is drawn from a
  // Gaussian cut off at 5 σ (which leaves out 4 in a million draws and changes its power by
  // less than 0.001 dB), so that the multiplex's peak can be bounded.
  double noise_sigma() const { return sigma_; }
  double NoisePeak() const { return 5.0 * sigma_; }
  // The largest gain applied to the multiplex (level and step).
  double MaxGain() const;

  // Impairs samples first .. first + count - 1 in place.
  void Apply(std::int64_t first, float* samples, std::size_t count);

 private:
  double NextGaussian();

  double sigma_ = 0;
  double gain_;
  double step_gain_ = 1.0;
  std::int64_t step_sample_;
  std::int64_t gap_start_;
  std::int64_t gap_end_;
  std::mt19937_64 random_;
  bool has_spare_ = false;
  double spare_ = 0;
};

}  // namespace capture

#endif  // RDS_TOOLS_CAPTURE_GEN_IMPAIRMENTS_H_
