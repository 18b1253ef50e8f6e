#include "rdscore/mpx/audio_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace rds {

std::unique_ptr<AudioSource> OpenProgrammeAudio(const MpxSettings& settings, double true_rate,
                                                std::string* error) {
  if (settings.audio.empty()) return nullptr;
  double hz = 0;
  if (AudioTone(settings.audio, &hz)) {
    return std::make_unique<ToneAudio>(hz, settings.audio_level, true_rate);
  }
  const std::string& path = settings.audio;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    *error = "cannot use " + path + " as audio: " + sf_strerror(nullptr);
    return nullptr;
  }
  if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0) {
    sf_close(file);
    *error = "cannot use " + path + " as audio: it holds no samples";
    return nullptr;
  }
  // No more than one loop's worth is ever played.
  const double most =
      std::ceil(static_cast<double>(LoopedAudio::kMaxLoop) * info.samplerate / true_rate) + 1;
  const auto frames = static_cast<std::size_t>(std::min(static_cast<double>(info.frames), most));
  const auto channels = static_cast<std::size_t>(info.channels);
  std::vector<float> interleaved(frames * channels);
  const sf_count_t got = sf_readf_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  if (got != static_cast<sf_count_t>(frames)) {
    *error = "cannot read the audio file " + path + ": " + sf_strerror(file);
    sf_close(file);
    return nullptr;
  }
  sf_close(file);
  std::vector<float> mono(frames);
  for (std::size_t i = 0; i < frames; ++i) {
    float sum = 0.0F;
    for (std::size_t c = 0; c < channels; ++c) sum += interleaved[i * channels + c];
    mono[i] = sum / static_cast<float>(channels);
  }
  return std::make_unique<LoopedAudio>(mono, info.samplerate, settings.audio_level, true_rate);
}

}  // namespace rds
