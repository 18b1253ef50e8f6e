// Symbol clock recovery with a Gardner detector. The clock says when the next symbol centre and
// the point halfway before it are due, as a fraction of a sample; the caller takes the signal
// there (e.g. from rds::MatchedFilter::At), forms the Gardner error from the real parts after
// carrier removal, and feeds it back. The nominal symbol length may be any value above 2 samples,
// so the sample rate need not be a multiple of the symbol rate.
#ifndef RDS_RDSCORE_DSP_TIMING_RECOVERY_H_
#define RDS_RDSCORE_DSP_TIMING_RECOVERY_H_

#include "rdscore/dsp/loop_filter.h"

namespace rds {

class TimingRecovery {
 public:
  // The loop starts with `acquire_bandwidth` (Hz) and narrows to `track_bandwidth` within about
  // 0.1 s, so that it finds the symbol phase quickly and then holds it with little jitter.
  TimingRecovery(double samples_per_symbol, double symbol_rate, double acquire_bandwidth,
                 double track_bandwidth);

  enum class Strobe { kNone, kMiddle, kSymbol };

  // Advances by one sample. When a strobe falls within the sample just passed, says which, and
  // back() tells how far (0 … 1 sample) before the newest sample it lies. Call again (without a
  // new sample) until it returns kNone, since strobes can come closer than a sample apart.
  Strobe Next();
  // Ends the current sample: the next call of Next belongs to a new one.
  void Advance() { next_ -= 1.0; }

  double back() const { return back_; }

  // Feeds the Gardner error of the last symbol, middle·(previous − current) on the real parts,
  // scaled by the signal power: positive when the centres are taken early.
  void Correct(double error);

  // Widens the loop again, as at the start (after a loss of signal).
  void Reacquire();

  double samples_per_symbol() const { return samples_per_symbol_ + loop_.frequency(); }

 private:
  double samples_per_symbol_;
  LoopFilter loop_;
  double acquire_bandwidth_;
  double track_bandwidth_;
  double bandwidth_;
  double glide_;
  double next_;  // time of the next strobe in samples after the newest one
  bool next_is_middle_ = true;
  double back_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_TIMING_RECOVERY_H_
