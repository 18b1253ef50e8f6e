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

// The pilot branch is decimated further: a loop of a few Hz needs no more than about 1.8 kHz.
constexpr int kPilotExtraFactor = 4;

rds::MixingDecimator MakeDecimator(double sample_rate, int factor, double centre, double pass_edge,
                                   double stop_limit) {
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
constexpr double kTimingAcquire = 40;
constexpr double kTimingTrack = 4;

}  // namespace

Demodulator::Demodulator(const DemodulatorOptions& options)
    : low_rate_(options.sample_rate / DecimationFactor(options.sample_rate)),
      rds_decimator_(MakeDecimator(options.sample_rate, DecimationFactor(options.sample_rate),
                                   kSubcarrier, kRdsPassEdge, 1e9)),
      pilot_decimator_(MakeDecimator(options.sample_rate,
                                     kPilotExtraFactor * DecimationFactor(options.sample_rate),
                                     kPilot, kPilotPassEdge, kPilotStopEdge)),
      matched_filter_(low_rate_ / rds::kBitRate),
      // On the symbols: rises within about 2 ms, falls within about 40 ms; 120 dB of range below
      // unit power.
      agc_(0.002 * kHalfBitRate, 0.04 * kHalfBitRate, 1e6),
      pilot_pll_(low_rate_ / kPilotExtraFactor, kPilotAcquire, kPilotTrack),
      costas_(kHalfBitRate, kCostasAcquire, kCostasTrackAlone),
      timing_(low_rate_ / kHalfBitRate, kHalfBitRate, kTimingAcquire, kTimingTrack),
      tracker_(options.soft_correct) {}

void Demodulator::Process(const float* samples, std::size_t count, std::string* bits) {
  rds_buffer_.clear();
  pilot_buffer_.clear();
  rds_decimator_.Process(samples, count, &rds_buffer_);
  pilot_decimator_.Process(samples, count, &pilot_buffer_);
  // Pilot sample m falls on the same input sample as RDS sample kPilotExtraFactor·m + 3.
  std::size_t next_pilot = 0;
  for (const std::complex<float> rds : rds_buffer_) {
    if (++since_pilot_ == kPilotExtraFactor && next_pilot < pilot_buffer_.size()) {
      since_pilot_ = 0;
      pilot_pll_.Push(pilot_buffer_[next_pilot++]);
      UsePilot(pilot_pll_.locked());
    }
    ProcessLowRate(rds, bits);
  }
}

void Demodulator::Finish(std::string* bits) {
  // The last bits are still inside the decimator and the matched filter: push them out with
  // silence as long as those filters' delays (and a few samples for the clock's strobes), so
  // that a recording yields its bits to the end.
  const auto factor = static_cast<std::size_t>(rds_decimator_.factor());
  const std::size_t tail = rds_decimator_.taps() + (matched_filter_.length() + 4) * factor;
  const std::vector<float> silence(tail, 0.0f);
  Process(silence.data(), silence.size(), bits);
  tracker_.Flush(bits);
}

double Demodulator::PilotSamplesPerSymbol() const {
  return low_rate_ / kPilotExtraFactor / kHalfBitRate;
}

void Demodulator::UsePilot(bool use) {
  if (use == use_pilot_) return;
  // The carrier estimate is 3 × pilot phase + the Costas loop's phase (with the pilot) or the
  // Costas loop's phase alone; hand the pilot's share over so that the estimate does not jump.
  // Broadcasters lock the subcarrier to the pilot, so with the pilot the Costas loop starts from
  // no frequency offset: the pilot loop's own frequency may still be settling when it locks, and
  // passing that on would throw the Costas loop off. A subcarrier that is not locked after all is
  // pulled in by the Costas loop's acquisition gear.
  const double pilot_phase = 3 * pilot_pll_.phase();
  if (use) {
    costas_.Shift(-pilot_phase, -costas_.frequency());
  } else {
    costas_.Shift(pilot_phase, 3 * pilot_pll_.frequency() * PilotSamplesPerSymbol());
  }
  costas_.SetTrackBandwidth(use ? kCostasTrackWithPilot : kCostasTrackAlone);
  use_pilot_ = use;
}

std::complex<float> Demodulator::Carrier(double back) const {
  const double costas = costas_.phase();
  std::complex<float> carrier(static_cast<float>(std::cos(costas)),
                              static_cast<float>(std::sin(costas)));
  if (use_pilot_) {
    // The pilot loop's phasor is its estimate for the next pilot sample, kPilotExtraFactor low-
    // rate samples after the last; step it to the strobe (a small angle: Taylor is exact enough).
    const std::complex<float> p = pilot_pll_.phasor();
    const double samples = static_cast<double>(since_pilot_) - back - kPilotExtraFactor;
    const auto step = static_cast<float>(3 * pilot_pll_.frequency() * samples / kPilotExtraFactor);
    carrier *= p * p * p * std::complex<float>(1 - step * step / 2, step);
  }
  return carrier;
}

void Demodulator::ProcessLowRate(std::complex<float> rds, std::string* bits) {
  matched_filter_.Push(rds);
  timing_.Advance();
  for (;;) {
    const rds::TimingRecovery::Strobe strobe = timing_.Next();
    if (strobe == rds::TimingRecovery::Strobe::kNone) return;
    const std::complex<float> value =
        matched_filter_.At(timing_.back()) * std::conj(Carrier(timing_.back()));
    if (strobe == rds::TimingRecovery::Strobe::kMiddle) {
      middle_ = value;
      continue;
    }
    const std::complex<float> symbol = agc_.Process(value);
    const float middle = middle_.real() * static_cast<float>(agc_.gain());
    const bool was_locked = costas_.locked();
    costas_.Update(symbol);
    // A carrier lost (a gap, a fade) leaves the clock without a signal too: let it pull in again.
    if (was_locked && !costas_.locked()) timing_.Reacquire();

    // Gardner: the middle sample leans toward the later symbol when the centres are taken early.
    const float current = symbol.real();
    timing_power_ += 0.01f * (current * current - timing_power_);
    const double error = middle * (previous_symbol_ - current) / std::fmax(timing_power_, 1e-12f);
    timing_.Correct(std::fmax(-1.0, std::fmin(1.0, error)));
    previous_symbol_ = current;

    float level = 0;
    if (biphase_.Push(current, &level)) tracker_.Push(level, bits);
  }
}

DemodulatorState Demodulator::state() const {
  DemodulatorState s;
  s.pilot = use_pilot_;
  s.carrier_locked = costas_.locked();
  double radians_per_symbol = costas_.frequency();
  if (use_pilot_) radians_per_symbol += 3 * pilot_pll_.frequency() * PilotSamplesPerSymbol();
  s.carrier_offset_hz = radians_per_symbol * kHalfBitRate / (2 * kPi);
  return s;
}

}  // namespace demod
