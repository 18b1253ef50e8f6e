// A Costas loop for a binary phase-shift keyed carrier such as the RDS subcarrier: it locks to
// the carrier that the data's sign changes hide, up to the 180° that differential coding makes
// irrelevant. It is updated once per symbol with the symbol sampled at its centre, derotated by
// the loop's own phase.
#ifndef RDS_RDSCORE_DSP_COSTAS_LOOP_H_
#define RDS_RDSCORE_DSP_COSTAS_LOOP_H_

#include <complex>

#include "rdscore/dsp/loop_filter.h"

namespace rds {

class CostasLoop {
 public:
  // Bandwidths in Hz at `symbol_rate` updates per second: wide to pull in a carrier a few ten Hz
  // off, narrow once locked.
  CostasLoop(double symbol_rate, double acquire_bandwidth, double track_bandwidth);

  // Feeds one symbol that has been derotated by phase(); moves phase() to the next symbol.
  void Update(std::complex<float> symbol);

  // Phase to remove from the next symbol (radians, wrapped to ±π), and the loop's frequency in
  // radians per symbol.
  double phase() const { return phase_; }
  double frequency() const { return loop_.frequency(); }
  // cos 2φ of the residual phase error, averaged: near 1 when locked with a good signal, near 0
  // on noise.
  double lock_quality() const { return lock_quality_; }
  bool locked() const { return locked_; }

  // Moves the loop's reference, e.g. when a pilot-derived phase is added or taken away, so that
  // the carrier estimate the caller forms stays continuous.
  void Shift(double phase, double frequency);
  // Sets the bandwidth of the tracking gear (when the carrier's source changes).
  void SetTrackBandwidth(double bandwidth);

 private:
  LoopFilter loop_;
  double acquire_bandwidth_;
  double track_bandwidth_;
  double phase_ = 0;
  double smoothing_;
  double glide_;
  double power_ = 0;       // mean |symbol|², which scales the detector to the signal's level
  double difference_ = 0;  // mean of I² − Q²
  double lock_quality_ = 0;
  bool locked_ = false;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_COSTAS_LOOP_H_
