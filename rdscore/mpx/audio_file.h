// Programme audio from the command line's --audio setting: a test tone, or an audio file that
// libsndfile reads (WAV, FLAC, ...), mixed to mono and looped.
#ifndef RDS_RDSCORE_MPX_AUDIO_FILE_H_
#define RDS_RDSCORE_MPX_AUDIO_FILE_H_

#include <memory>
#include <string>

#include "rdscore/mpx/mpx_settings.h"
#include "rdscore/mpx/programme_audio.h"

namespace rds {

// Null without audio; null with the reason in *error when the file cannot be used.
[[nodiscard]] std::unique_ptr<AudioSource> OpenProgrammeAudio(const MpxSettings& settings,
                                                              double true_rate, std::string* error);

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_AUDIO_FILE_H_
