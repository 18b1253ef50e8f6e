// tamsel: sends a fixed sequence of UECP frames to the RDS encoder on COM1 and prints the
// encoder's replies; with a command (send, run, feed) it runs a station. Usage and exit codes:
// --help, and docs/tamsel.md.
#include <cstdio>
#include <string>

#include "sender/commands.h"
#include "sender/exit_codes.h"
#include "sender/options.h"
#include "sender/session.h"

int main(int argc, char** argv) {
  if (sender::IsCommand(argc, argv)) return sender::RunCommand(argc, argv, stdin, stdout, stderr);
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
