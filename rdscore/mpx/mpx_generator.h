// The FM multiplex as an encoder feeds it to the transmitter: the 19 kHz pilot, the RDS
// component on 57 kHz locked to the pilot's third harmonic, and optionally mono programme audio.
// Samples go out as soon as the RDS bits they carry are known.
#ifndef RDS_RDSCORE_MPX_MPX_GENERATOR_H_
#define RDS_RDSCORE_MPX_MPX_GENERATOR_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "rdscore/mpx/mpx_settings.h"
#include "rdscore/mpx/oscillator.h"
#include "rdscore/mpx/programme_audio.h"
#include "rdscore/mpx/rds_modulator.h"

namespace rds {

struct MpxTiming {
  // The rate at which samples are really taken; the file says MpxSettings::rate. A recording
  // clock that runs fast by x ppm takes rate × (1 + x / 10^6) samples per second of air.
  double true_rate = 228000.0;
  // A subcarrier off 57 kHz (the pilot stays at 19 kHz, the bit clock as sent).
  double carrier_offset_hz = 0.0;
};

class MpxGenerator {
 public:
  // settings' levels as ResolveLevels settled them; audio may be null.
  MpxGenerator(const MpxSettings& settings, const MpxTiming& timing,
               std::unique_ptr<AudioSource> audio);

  RdsModulator& rds() { return rds_; }
  std::int64_t SamplesReady() const { return rds_.SamplesReady(); }
  std::int64_t next_sample() const { return rds_.next_sample(); }

  // The next count samples (count <= SamplesReady()).
  void Render(float* out, std::size_t count);

 private:
  RdsModulator rds_;
  float pilot_level_;
  Oscillator pilot_;
  std::unique_ptr<AudioSource> audio_;
  std::vector<float> block_;
};

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_MPX_GENERATOR_H_
