// The RDS data channel on its subcarrier: source bits are coded differentially, each output bit
// becomes a shaped biphase symbol, and the data signal modulates a suppressed 57 kHz carrier
// (DSB-SC) that is locked to the pilot: sin(2π·57000·t) beside a pilot sin(2π·19000·t), in phase
// with the pilot's third harmonic. A bit lasts 48 carrier cycles and the first bit starts at
// sample 0, where the carrier crosses zero upwards.
#ifndef RDS_RDSCORE_MPX_RDS_MODULATOR_H_
#define RDS_RDSCORE_MPX_RDS_MODULATOR_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rdscore/differential.h"
#include "rdscore/group.h"
#include "rdscore/mpx/biphase_shaper.h"
#include "rdscore/mpx/oscillator.h"

namespace rds {

constexpr double kSubcarrierHz = 57000.0;
constexpr double kPilotHz = 19000.0;

struct RdsModulatorConfig {
  // The rate at which samples are really taken (a recording clock that runs fast takes more).
  double sample_rate = 228000.0;
  // The peak of the RDS component over any data, as a fraction of full scale.
  double peak = 0.04;
  // A receiver's tuning error moves the subcarrier off 57 kHz; the bit clock stays as sent.
  double carrier_offset_hz = 0.0;
};

class RdsModulator {
 public:
  explicit RdsModulator(const RdsModulatorConfig& config);

  // The next source bit (0 or 1).
  void PushBit(int bit) {
    shaper_.Push(differential_.Next(bit) != 0 ? 1.0F : -1.0F);
    quadrature_.Push(0.0F);
  }
  void PushGroup(const Group& group);
  // A group at a level (1: the configured peak) with the carrier turned by phase_radians; the
  // turn is the data's share moved to the cosine carrier, so it changes between bits smoothly.
  void PushGroup(const Group& group, double level, double phase_radians);
  // A group's time without RDS: no subcarrier. The differential coding goes on from where it
  // stopped.
  void PushSilentGroup();
  // No bits follow; the remaining samples can be rendered.
  void Finish() {
    shaper_.Finish();
    quadrature_.Finish();
  }

  std::int64_t SamplesReady() const { return shaper_.SamplesReady(); }
  // The next count samples of the RDS component (count <= SamplesReady()).
  void Render(float* out, std::size_t count);
  std::int64_t next_sample() const { return shaper_.next_sample(); }

  // The mean power of the RDS component, the same for any data (see BiphaseShaper::MeanPower).
  double MeanPower() const { return MeanPowerForPeak(config_.peak); }
  static double MeanPowerForPeak(double peak);

 private:
  RdsModulatorConfig config_;
  float amplitude_;
  BiphaseShaper shaper_;
  // The data on the carrier in quadrature (cosine); silent until a group comes with a phase.
  BiphaseShaper quadrature_;
  bool quadrature_used_ = false;
  Oscillator carrier_;
  Oscillator quadrature_carrier_;
  DifferentialEncoder differential_;
  std::vector<float> carrier_block_;
  std::vector<float> quadrature_block_;
};

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_RDS_MODULATOR_H_
