#include "demod/demodulator.h"

#include <cmath>

#include "rdscore/group.h"

namespace demod {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSubcarrier = 57000;
constexpr double kPilot = 19000;
constexpr double kHalfBitRate = 2 * rds::kBitRate;  // the biphase halves are the symbols

// The low rate is the input rate divided by the largest integer that keeps it at 7 kHz or more:
// six samples per bit and room for the RDS band (±2.4 kHz) plus a carrier offset.
constexpr double kLowRateFloor = 7000;
int DecimationFactor(double sample_rate) {
  return static_cast<int>(std::floor(sample_rate / kLowRateFloor));
}

// RDS band edge at baseband, with room for a subcarrier up to 50 Hz off.
constexpr double kRdsPassEdge = 2450;
// The pilot needs only a few Hz, but the decimator must keep the audio (up to 15 kHz, 4 kHz
// below the pilot) and the stereo sidebands (from 23 kHz, 4 kHz above) from folding onto it.
constexpr double kPilotPassEdge = 100;
constexpr double kPilotStopEdge = 3900;
constexpr double kStopBandDb = 60;

rds::MixingDecimator MakeDecimator(double sample_rate, double centre, double pass_edge,
                                   double stop_limit) {
  const int factor = DecimationFactor(sample_rate);
  const double low_rate = sample_rate / factor;
  // Whatever lands within pass_edge of a multiple of the low rate folds into the band, so the
  // stop band begins at low rate − pass edge at the latest.
  const double stop_edge = std::fmin(low_rate - pass_edge, stop_limit);
  return rds::MixingDecimator(centre / sample_rate, factor,
                              0.5 * (pass_edge + stop_edge) / sample_rate,
                              (stop_edge - pass_edge) / sample_rate, kStopBandDb);
}

// Loop bandwidths in Hz. The pilot is a strong, clean tone: a narrow loop gives its phase with
// little noise (its error is tripled at 57 kHz). The Costas loop pulls in a subcarrier tens of Hz
// off when wide; once locked it only has to follow what the pilot does not give (a constant
// phase) or, without pilot, a slowly drifting carrier.
constexpr double kPilotAcquire = 20;
constexpr double kPilotTrack = 2;
constexpr double kCostasAcquire = 30;
constexpr double kCostasTrackAlone = 4;
constexpr double kCostasTrackWithPilot = 1;
constexpr double kTimingBandwidth = 4;

}  // namespace

Demodulator::Demodulator(const DemodulatorOptions& options)
    : sample_rate_(options.sample_rate),
      low_rate_(options.sample_rate / DecimationFactor(options.sample_rate)),
      rds_decimator_(MakeDecimator(options.sample_rate, kSubcarrier, kRdsPassEdge, 1e9)),
      pilot_decimator_(MakeDecimator(options.sample_rate, kPilot, kPilotPassEdge, kPilotStopEdge)),
      matched_filter_(low_rate_ / rds::kBitRate),
      // Rises within about 2 ms, falls within about 40 ms; 120 dB of range below unit power.
      agc_(0.002 * low_rate_, 0.04 * low_rate_, 1e6),
      pilot_pll_(low_rate_, kPilotAcquire, kPilotTrack),
      costas_(kHalfBitRate, kCostasAcquire, kCostasTrackAlone),
      timing_(low_rate_ / kHalfBitRate, kHalfBitRate, kTimingBandwidth),
      tracker_(options.soft_correct) {}

void Demodulator::Process(const float* samples, std::size_t count, std::string* bits) {
  rds_buffer_.clear();
  pilot_buffer_.clear();
  rds_decimator_.Process(samples, count, &rds_buffer_);
  pilot_decimator_.Process(samples, count, &pilot_buffer_);
  for (std::size_t i = 0; i < rds_buffer_.size(); ++i) {
    ProcessLowRate(rds_buffer_[i], pilot_buffer_[i], bits);
  }
}

void Demodulator::Finish(std::string* bits) { tracker_.Flush(bits); }

void Demodulator::UsePilot(bool use) {
  if (use == use_pilot_) return;
  // The carrier estimate is 3 × pilot phase + the Costas loop's phase (with the pilot) or the
  // Costas loop's phase alone; hand the pilot's share over so that the estimate does not jump.
  const double samples_per_symbol = low_rate_ / kHalfBitRate;
  const double pilot_phase = 3 * pilot_pll_.phase();
  const double pilot_frequency = 3 * pilot_pll_.frequency() * samples_per_symbol;
  const double sign = use ? -1.0 : 1.0;
  costas_.Shift(sign * pilot_phase, sign * pilot_frequency);
  costas_.SetTrackBandwidth(use ? kCostasTrackWithPilot : kCostasTrackAlone);
  use_pilot_ = use;
}

void Demodulator::ProcessLowRate(std::complex<float> rds, std::complex<float> pilot,
                                 std::string* bits) {
  pilot_pll_.Push(pilot);
  UsePilot(pilot_pll_.locked());

  const std::complex<float> filtered = agc_.Process(matched_filter_.Push(rds));
  if (!timing_.Push(filtered)) return;

  // Carrier phase at the symbol centre, which lies lag() samples behind the newest sample.
  double carrier = costas_.phase();
  std::complex<float> derotate(static_cast<float>(std::cos(carrier)),
                               static_cast<float>(-std::sin(carrier)));
  if (use_pilot_) {
    const std::complex<float> p = pilot_pll_.phasor();
    const auto back = static_cast<float>(3 * pilot_pll_.frequency() * timing_.lag());
    derotate *= std::conj(p * p * p) * std::complex<float>(1 - back * back / 2, back);
  }
  const std::complex<float> symbol = timing_.symbol() * derotate;
  const std::complex<float> middle = timing_.middle() * derotate;
  costas_.Update(symbol);

  // Gardner: the middle sample leans toward the later symbol when the centres are taken early.
  const float current = symbol.real();
  timing_power_ += 0.01f * (current * current - timing_power_);
  const double error =
      middle.real() * (previous_symbol_ - current) / std::fmax(timing_power_, 1e-12f);
  timing_.Correct(std::fmax(-1.0, std::fmin(1.0, error)));
  previous_symbol_ = current;

  float level = 0;
  if (biphase_.Push(current, &level)) tracker_.Push(level, bits);
}

DemodulatorState Demodulator::state() const {
  DemodulatorState s;
  s.pilot = use_pilot_;
  s.carrier_locked = costas_.locked();
  double radians_per_symbol = costas_.frequency();
  if (use_pilot_) {
    radians_per_symbol += 3 * pilot_pll_.frequency() * low_rate_ / kHalfBitRate;
  }
  s.carrier_offset_hz = radians_per_symbol * kHalfBitRate / (2 * kPi);
  return s;
}

}  // namespace demod
