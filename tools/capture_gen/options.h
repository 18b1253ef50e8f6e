// The command line of rds-capture-gen.
#ifndef RDS_TOOLS_CAPTURE_GEN_OPTIONS_H_
#define RDS_TOOLS_CAPTURE_GEN_OPTIONS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "rdscore/mpx/mpx_settings.h"
#include "tools/capture_gen/impairments.h"

namespace capture {

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;  // an output cannot be written or the audio file cannot be read
constexpr int kExitUsage = 64;
constexpr int kExitInterrupted = 130;

struct Options {
  long long bits = 20800;  // bits of the capture, --offset's noise bits included
  std::uint64_t seed = 1;
  double error_rate = 0;
  long long offset = 0;
  bool crlf = false;
  std::string out;  // bit-stream file; empty: standard output, or none when an MPX is written
  bool out_given = false;
  std::string mpx;  // MPX recording: a WAV file or "-"
  rds::MpxSettings mpx_settings;
  ImpairmentSettings impairments;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name; false with the reason in *error.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

extern const char kUsage[];

}  // namespace capture

#endif  // RDS_TOOLS_CAPTURE_GEN_OPTIONS_H_
