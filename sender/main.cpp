// tamsel: sends a fixed sequence of UECP frames to the RDS encoder on COM1 and prints the
// encoder's replies. Usage and exit codes: --help, and README's "tamsel" section.
#include <cstdio>
#include <string>

#include "sender/exit_codes.h"
#include "sender/options.h"
#include "sender/session.h"

int main(int argc, char** argv) {
  sender::Options options;
  std::string error;
  if (!sender::ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "tamsel: %s\nTry 'tamsel --help'.\n", error.c_str());
    return sender::kExitUsage;
  }
  switch (options.action) {
    case sender::Options::Action::kHelp:
      std::fputs(sender::UsageText(), stdout);
      return sender::kExitDone;
    case sender::Options::Action::kVersion:
      std::fputs(sender::VersionText(), stdout);
      return sender::kExitDone;
    case sender::Options::Action::kRun:
      break;
  }
  return sender::RunSession(options, stdout, stderr);
}
