// The RDS demodulator: FM multiplex samples in, RDS bits out.
//
//   MPX ─┬─ shift 57 kHz to 0, decimate ── matched filter at the symbol clock's instants ─┐
//        └─ shift 19 kHz to 0, decimate ── pilot PLL ── (× 3) ── carrier ── Costas loop ──┤
//        AGC ── half-bits ── biphase pairing ── differential decoding, blocks ── bits ◄─────┘
//
// The RDS branch runs at about 7.1 kHz after decimation (six samples per bit), the pilot branch
// at a quarter of that, and the matched filter is evaluated only at the half-bit centres and
// between them, so the cost per input sample is essentially that of the two decimating filters.
#ifndef RDS_DEMOD_DEMODULATOR_H_
#define RDS_DEMOD_DEMODULATOR_H_

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

#include "demod/biphase_decoder.h"
#include "demod/block_tracker.h"
#include "rdscore/dsp/agc.h"
#include "rdscore/dsp/costas_loop.h"
#include "rdscore/dsp/matched_filter.h"
#include "rdscore/dsp/mixing_decimator.h"
#include "rdscore/dsp/pll.h"
#include "rdscore/dsp/timing_recovery.h"

namespace demod {

constexpr double kMinSampleRate = 128000;
constexpr double kMaxSampleRate = 384000;

struct DemodulatorOptions {
  double sample_rate = 171000;
  bool soft_correct = false;
};

struct DemodulatorState {
  bool pilot = false;            // the carrier follows the 19 kHz pilot
  bool carrier_locked = false;   // the Costas loop is locked
  double carrier_offset_hz = 0;  // subcarrier frequency minus 57 kHz as tracked
};

class Demodulator {
 public:
  explicit Demodulator(const DemodulatorOptions& options);

  // Feeds samples (any scale: the gain control takes care of the level); appends the bits that
  // are ready to `bits` as '0'/'1'.
  void Process(const float* samples, std::size_t count, std::string* bits);
  // Appends the bits still held back at the end of the signal.
  void Finish(std::string* bits);

  const BlockCounts& counts() const { return tracker_.counts(); }
  DemodulatorState state() const;
  // The rate after decimation.
  double low_rate() const { return low_rate_; }

 private:
  void ProcessLowRate(std::complex<float> rds, std::string* bits);
  void UsePilot(bool use);
  // e^{jθ} of the subcarrier `back` samples before the newest low-rate sample.
  std::complex<float> Carrier(double back) const;
  double PilotSamplesPerSymbol() const;

  double low_rate_;
  rds::MixingDecimator rds_decimator_;
  rds::MixingDecimator pilot_decimator_;
  rds::MatchedFilter matched_filter_;
  rds::Agc agc_;
  rds::Pll pilot_pll_;
  rds::CostasLoop costas_;
  rds::TimingRecovery timing_;
  BiphaseDecoder biphase_;
  BlockTracker tracker_;
  bool use_pilot_ = false;
  int since_pilot_ = 0;  // low-rate samples since the last pilot sample
  std::complex<float> middle_{0, 0};
  float previous_symbol_ = 0;
  float timing_power_ = 1;
  std::vector<std::complex<float>> rds_buffer_;
  std::vector<std::complex<float>> pilot_buffer_;
};

}  // namespace demod

#endif  // RDS_DEMOD_DEMODULATOR_H_
