// Mono programme audio for the multiplex: a test tone, or a recording brought to the multiplex's
// rate and looped. Either reaches exactly its peak level and never more, which keeps the sum of
// the multiplex's parts within full scale.
#ifndef RDS_RDSCORE_MPX_PROGRAMME_AUDIO_H_
#define RDS_RDSCORE_MPX_PROGRAMME_AUDIO_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rdscore/mpx/oscillator.h"

namespace rds {

// FM broadcasting carries mono audio up to 15 kHz; a recording is filtered so that nothing of it
// reaches the pilot at 19 kHz or the RDS band around 57 kHz.
constexpr double kAudioBandHz = 15000.0;

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Adds the next count samples to out.
  virtual void Add(float* out, std::size_t count) = 0;
};

// A sine at frequency with the given peak.
class ToneAudio : public AudioSource {
 public:
  ToneAudio(double frequency, double peak, double sample_rate);
  void Add(float* out, std::size_t count) override;

 private:
  Oscillator oscillator_;
  float peak_;
  std::int64_t next_ = 0;
  std::vector<float> block_;
};

// A recording played over and over. One pass is brought to the multiplex's rate at the start:
// a windowed-sinc interpolator passes the audio band and stops everything from 18.5 kHz on
// (80 dB), and it reads the recording as periodic, so the loop has no seam. The recording's full
// scale becomes the peak level; a pass that filtering made louder than full scale (a band-limited
// square wave overshoots) is turned down until its loudest sample is the peak. Its length is a
// whole number of output samples, which stretches the recording by less than one sample per pass.
class LoopedAudio : public AudioSource {
 public:
  // The most samples a pass may have at the multiplex's rate (64 MB); a longer recording is cut.
  static constexpr std::size_t kMaxLoop = std::size_t{1} << 24;

  // samples: one pass at input_rate, full scale ±1 (beyond is clipped).
  LoopedAudio(const std::vector<float>& samples, double input_rate, double peak,
              double sample_rate);
  void Add(float* out, std::size_t count) override;

  const std::vector<float>& loop() const { return loop_; }

 private:
  std::vector<float> loop_;
  std::size_t position_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_PROGRAMME_AUDIO_H_
