// What a program's command line says about the multiplex it writes: rate, sample format and the
// level of each part. The levels are fractions of full scale; the RDS level is the peak the RDS
// component can reach with any data (its envelope's maximum), i.e. its injection as a share of
// full deviation: 4 % of ±75 kHz is ±3 kHz.
#ifndef RDS_RDSCORE_MPX_MPX_SETTINGS_H_
#define RDS_RDSCORE_MPX_MPX_SETTINGS_H_

#include <string>

namespace rds {

enum class MpxSampleFormat { kPcm16, kFloat };

// The subcarrier and its sidebands reach 57 kHz + 2.4 kHz; half the rate must lie above that.
constexpr int kMinMpxRate = 118801;
constexpr int kMaxMpxRate = 1000000;

struct MpxSettings {
  int rate = 228000;
  MpxSampleFormat format = MpxSampleFormat::kPcm16;
  bool pilot = true;
  double pilot_level = 0.09;
  double rds_level = 0.04;
  std::string audio;        // empty, "tone:HZ" or an audio file
  double audio_level = -1;  // negative: what the other parts leave up to full scale
};

// The options ParseMpxOption knows; each takes a value.
bool IsMpxOption(const std::string& name);

// Applies one of those options; false with the reason in *error when the value is not valid.
[[nodiscard]] bool ParseMpxOption(const std::string& name, const std::string& value,
                                  MpxSettings* settings, std::string* error);

// The frequency of a "tone:HZ" audio setting; false when the setting names a file.
[[nodiscard]] bool AudioTone(const std::string& audio, double* hz);

// Help text lines for these options, to go into a program's usage.
extern const char kMpxOptionsHelp[];

// What a receiver's impairments add on top of the parts: noise up to a peak, and a gain applied
// to the whole.
struct ImpairmentBounds {
  double noise_peak = 0;
  double max_gain = 1;
};

// Settles the audio level (when left to default) and checks that the parts cannot add up to more
// than full scale; returns an empty string or what is wrong.
[[nodiscard]] std::string ResolveLevels(MpxSettings* settings, const ImpairmentBounds& bounds);

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_MPX_SETTINGS_H_
