// rds-capture-gen: writes a capture in the format brovik reads (a bit count line, then one
// character per bit) from a made-up station's groups, optionally with bit errors, and the same
// bits as an FM multiplex recording with a receiver's impairments. See kUsage.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "rdscore/mpx/mpx_settings.h"
#include "tools/capture_gen/capture.h"
#include "tools/capture_gen/options.h"

namespace {

extern "C" void OnInterrupt(int /*signal*/) { capture::g_interrupted = 1; }

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  capture::Options options;
  std::string error;
  if (!capture::ParseOptions(args, &options, &error)) {
    std::fprintf(stderr, "rds-capture-gen: %s\n", error.c_str());
    std::fprintf(stderr, capture::kUsage, rds::kMpxOptionsHelp);
    return capture::kExitUsage;
  }
  if (options.help) {
    std::printf(capture::kUsage, rds::kMpxOptionsHelp);
    return capture::kExitOk;
  }
  if (options.version) {
    std::printf("rds-capture-gen %s\n", RDS_CAPTURE_GEN_VERSION);
    return capture::kExitOk;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  // A reader that goes away is reported as a failed write, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
  return capture::MakeCapture(options);
}
