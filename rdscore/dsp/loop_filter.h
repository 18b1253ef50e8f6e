// The proportional-plus-integral filter of a second-order tracking loop (phase-locked loop,
// Costas loop, symbol clock). A type-2 loop follows a constant frequency offset with no standing
// phase error, so its bandwidth can be chosen for noise alone once it has pulled in.
#ifndef RDS_RDSCORE_DSP_LOOP_FILTER_H_
#define RDS_RDSCORE_DSP_LOOP_FILTER_H_

namespace rds {

class LoopFilter {
 public:
  // `noise_bandwidth_hz` is the loop's one-sided noise bandwidth B_L, `update_rate_hz` how often
  // Update is called, `damping` ζ (0.707 settles fastest without ringing much).
  LoopFilter(double noise_bandwidth_hz, double update_rate_hz, double damping = 0.707);

  // Changes the bandwidth and keeps the frequency found so far (gear shifting after lock).
  void SetBandwidth(double noise_bandwidth_hz);

  // Gear shifting over lock: while locked the bandwidth glides towards `track` by the factor
  // `glide` per call, so that a loop that locked with some frequency error left is not cut off
  // from it at once; unlocked it is `acquire` at once.
  void Shift(bool locked, double acquire, double track, double glide);

  // Feeds one phase error (radians, or the detector's equivalent) and returns the correction to
  // apply to the phase at this update: the proportional part plus the integrated frequency.
  double Update(double error) {
    frequency_ += integral_gain_ * error;
    return proportional_gain_ * error + frequency_;
  }

  // The integrator: the tracked frequency offset in radians per update.
  double frequency() const { return frequency_; }
  void set_frequency(double radians_per_update) { frequency_ = radians_per_update; }
  double bandwidth() const { return bandwidth_; }

 private:
  double bandwidth_;
  double update_rate_;
  double damping_;
  double proportional_gain_ = 0;
  double integral_gain_ = 0;
  double frequency_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_LOOP_FILTER_H_
