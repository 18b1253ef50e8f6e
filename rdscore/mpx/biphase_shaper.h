// The RDS data signal in baseband: each symbol (+1 for an output bit 1, -1 for a 0) is one shaped
// biphase pulse, and the signal is the sum of the pulses one bit apart. The pulse is cut off three
// bits either side of its middle, where it has fallen below 0.2 % of its peak; what the cut spills
// outside the data channel's band stays more than 70 dB below the signal.
//
// Samples fall at any fraction of a bit (a rate needs no whole number of samples per bit): the
// pulse is tabulated at 2048 points per bit and interpolated linearly between them, which is within
// 1.3e-6 of its exact value everywhere.
#ifndef RDS_RDSCORE_MPX_BIPHASE_SHAPER_H_
#define RDS_RDSCORE_MPX_BIPHASE_SHAPER_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rds {

class BiphaseShaper {
 public:
  // Pulses overlapping any instant: the pulse spans this many bits.
  static constexpr int kSpanBits = 6;
  static constexpr int kPointsPerBit = 2048;

  // samples_per_bit: the sample rate divided by 1187.5 (any positive value).
  explicit BiphaseShaper(double samples_per_bit);

  // The next symbol, +1 or -1. Symbols before the first and after Finish are silent.
  void Push(float symbol);
  // No symbols follow: every sample can be rendered, the last pulses simply end.
  void Finish() { finished_ = true; }

  // Samples from the next one on that every symbol they depend on has reached.
  std::int64_t SamplesReady() const;
  // The next count samples (count <= SamplesReady()).
  void Render(float* out, std::size_t count);
  // Moves past the next count samples without computing them (count <= SamplesReady()).
  void Skip(std::size_t count);
  std::int64_t next_sample() const { return next_sample_; }

  // The largest value the signal can take for any symbols: the peak of its envelope.
  static double WorstCasePeak();
  // The signal's mean power: the pulse's energy per bit. Pulses whole bits apart are orthogonal
  // (the channel is free of intersymbol interference), so this holds for any data.
  static double MeanPower();
  // The tabulated pulse at u bits from the start of its symbol (0 outside the span).
  static double Pulse(double u);

 private:
  // Forgets the symbols no sample from next_sample_ on needs, in bulk.
  void DropOldSymbols();

  double bits_per_sample_;
  const float* table_;

  // Symbols from number base_ on; the span's worth of silent symbols sits before symbol 0.
  std::vector<float> symbols_;
  std::int64_t base_ = 0;
  std::int64_t pushed_ = 0;
  std::int64_t next_sample_ = 0;
  bool finished_ = false;
};

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_BIPHASE_SHAPER_H_
