// A sine wave at a fixed frequency for the multiplex: the pilot, the RDS subcarrier, a test tone.
// Blocks of samples come from a complex rotation, which costs a few multiplications per sample
// instead of a sine; the phase is set afresh from the sample number at the start of every block,
// so rounding cannot build up over a long recording and two oscillators stay locked to each other.
#ifndef RDS_RDSCORE_MPX_OSCILLATOR_H_
#define RDS_RDSCORE_MPX_OSCILLATOR_H_

#include <cstddef>
#include <cstdint>

namespace rds {

class Oscillator {
 public:
  // sin(2π × (cycles_per_sample × n + phase_cycles)) at sample n: the frequency over the sample
  // rate; a phase of 0.25 cycles gives the cosine.
  explicit Oscillator(double cycles_per_sample, double phase_cycles = 0.0)
      : cycles_per_sample_(cycles_per_sample), phase_cycles_(phase_cycles) {}

  // Writes samples first .. first + count - 1, scaled by amplitude.
  void Generate(std::int64_t first, float amplitude, float* out, std::size_t count) const;

  double cycles_per_sample() const { return cycles_per_sample_; }

 private:
  // The phase of sample n in cycles, reduced to [0, 1).
  double PhaseAt(std::int64_t n) const;

  double cycles_per_sample_;
  double phase_cycles_;
};

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_OSCILLATOR_H_
