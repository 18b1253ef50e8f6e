// rds-encoder-sim: an RDS encoder without hardware. See kUsage for the command line.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "rds_version.h"
#include "rdscore/mpx/mpx_settings.h"
#include "simulator/options.h"
#include "simulator/run_loop.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  sim::Options options;
  std::string error;
  if (!sim::ParseOptions(args, &options, &error)) {
    std::cerr << "rds-encoder-sim: " << error << "\n";
    std::fprintf(stderr, sim::kUsage, rds::kMpxOptionsHelp);
    return sim::kExitUsage;
  }
  if (options.help) {
    std::printf(sim::kUsage, rds::kMpxOptionsHelp);
    return sim::kExitOk;
  }
  if (options.version) {
    std::cout << "rds-encoder-sim " RDS_VERSION "\n";
    return sim::kExitOk;
  }
  return sim::Run(options);
}
