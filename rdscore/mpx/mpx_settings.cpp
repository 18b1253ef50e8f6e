#include "rdscore/mpx/mpx_settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "rdscore/mpx/programme_audio.h"
#include "rdscore/number_text.h"

namespace rds {

const char kMpxOptionsHelp[] =
    "  --mpx-rate HZ      MPX sample rate, 118801-1000000 (default 228000)\n"
    "  --mpx-format F     samples: s16 (default) or float\n"
    "  --pilot-level PCT  19 kHz pilot, percent of full scale (default 9)\n"
    "  --rds-level PCT    RDS peak, percent of full scale (default 4)\n"
    "  --audio SOURCE     mono programme audio: tone:HZ (up to 15000) or a WAV/FLAC file, looped\n"
    "  --audio-level PCT  audio peak, percent of full scale (default: what the rest leaves)\n";

namespace {

std::string NotValid(const std::string& option, const char* needs, const std::string& value) {
  return option + " needs " + needs + ", not '" + value + "'";
}

std::string Percent(double fraction) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", fraction * 100.0);
  return text;
}

}  // namespace

bool IsMpxOption(const std::string& name) {
  return name == "--mpx-rate" || name == "--mpx-format" || name == "--pilot-level" ||
         name == "--rds-level" || name == "--audio" || name == "--audio-level";
}

bool AudioTone(const std::string& audio, double* hz) {
  if (audio.rfind("tone:", 0) != 0) return false;
  if (!ParseNumber(audio.substr(5), 0, kAudioBandHz, hz)) *hz = -1;
  return true;
}

bool ParseMpxOption(const std::string& name, const std::string& value, MpxSettings* settings,
                    std::string* error) {
  double number = 0;
  if (name == "--mpx-rate") {
    if (!ParseNumber(value, kMinMpxRate, kMaxMpxRate, &number) || number != std::floor(number)) {
      *error = NotValid(name,
                        "a whole number of samples per second from 118801 to 1000000 (half the "
                        "rate must lie above the RDS band's top, 59.4 kHz)",
                        value);
      return false;
    }
    settings->rate = static_cast<int>(number);
  } else if (name == "--mpx-format") {
    if (value == "s16") {
      settings->format = MpxSampleFormat::kPcm16;
    } else if (value == "float") {
      settings->format = MpxSampleFormat::kFloat;
    } else {
      *error = NotValid(name, "s16 or float", value);
      return false;
    }
  } else if (name == "--audio") {
    double hz = 0;
    if (value.empty() || (AudioTone(value, &hz) && !(hz > 0))) {
      *error = NotValid(name, "tone:HZ (above 0, up to 15000) or an audio file", value);
      return false;
    }
    settings->audio = value;
  } else {
    if (!ParseNumber(value, 0, 100, &number)) {
      *error = NotValid(name, "a percentage from 0 to 100", value);
      return false;
    }
    (name == "--pilot-level" ? settings->pilot_level
     : name == "--rds-level" ? settings->rds_level
                             : settings->audio_level) = number / 100.0;
  }
  return true;
}

std::string ResolveLevels(MpxSettings* settings, const ImpairmentBounds& bounds) {
  const double noise_peak = bounds.noise_peak;
  const double max_gain = bounds.max_gain;
  if (settings->audio.empty() && settings->audio_level >= 0) {
    return "--audio-level sets the level of --audio, which is not given";
  }
  const double pilot = settings->pilot ? settings->pilot_level : 0.0;
  const double fixed = pilot + settings->rds_level + noise_peak;
  // What full scale allows before the gain.
  const double room = 1.0 / max_gain;
  if (!settings->audio.empty() && settings->audio_level < 0) {
    settings->audio_level = std::max(0.0, room - fixed);
  }
  const double audio = settings->audio.empty() ? 0.0 : settings->audio_level;
  // A little slack for the decimal percentages the user typed (9 + 4 + 87 must fit).
  if ((fixed + audio) * max_gain > 1.0 + 1e-9) {
    std::string parts = "pilot " + Percent(pilot) + " + RDS " + Percent(settings->rds_level);
    if (audio > 0) parts += " + audio " + Percent(audio);
    if (noise_peak > 0) parts += " + noise peak " + Percent(noise_peak);
    std::string why = "the MPX could exceed full scale: " + parts;
    if (max_gain != 1.0) {
      char gain[48];
      std::snprintf(gain, sizeof gain, ", times the largest gain %.3g,", max_gain);
      why += gain;
    }
    return why + " is more than 100 %; lower a level";
  }
  return {};
}

}  // namespace rds
