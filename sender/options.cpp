#include "sender/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sender {
namespace {

// Takes the value of an option given as "--name VALUE" or "--name=VALUE". Returns false when
// argv[*index] is not this option; *value is null when the value is missing.
bool MatchOption(const char* name, int argc, const char* const* argv, int* index,
                 const char** value) {
  const char* argument = argv[*index];
  const std::size_t length = std::strlen(name);
  if (std::strncmp(argument, name, length) != 0) return false;
  if (argument[length] == '=') {
    *value = argument + length + 1;
    return true;
  }
  if (argument[length] != '\0') return false;
  *value = *index + 1 < argc ? argv[++*index] : nullptr;
  return true;
}

bool ParseSeconds(const char* text, double* seconds) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text, &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(value)) return false;
  if (value < 0.0 || value > kMaxReplyTimeoutSeconds) return false;
  *seconds = value;
  return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
  *options = Options{};
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    const char* value = nullptr;
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      options->action = Options::Action::kHelp;
    } else if (std::strcmp(argument, "--version") == 0) {
      options->action = Options::Action::kVersion;
    } else if (MatchOption("--device", argc, argv, &i, &value)) {
      if (value == nullptr || *value == '\0') {
        *error = "--device needs a device path";
        return false;
      }
      options->device = value;
    } else if (MatchOption("--timeout", argc, argv, &i, &value)) {
      if (!ParseSeconds(value, &options->reply_timeout_seconds)) {
        *error = std::string("--timeout needs a number of seconds from 0 to 86400, not '") +
                 (value != nullptr ? value : "") + "'";
        return false;
      }
    } else if (argument[0] == '-') {
      *error = std::string("unknown option '") + argument + "'";
      return false;
    } else {
      *error = std::string("unexpected argument '") + argument + "'";
      return false;
    }
  }
  return true;
}

const char* UsageText() {
  return "Usage: tamsel [--device PATH] [--timeout SECONDS]\n"
         "Sends a fixed sequence of eleven UECP frames to the RDS encoder on COM1\n"
         "(9600 bit/s, 8 data bits, no parity, 2 stop bits) and prints each reply as\n"
         "a line \"R=<reply>\".\n"
         "\n"
         "  --device PATH      open PATH instead of COM1 (e.g. \\\\.\\COM12, /dev/ttyUSB0)\n"
         "  --timeout SECONDS  give up when a reply takes longer (default 5; 0 waits forever)\n"
         "  --help             show this text\n"
         "  --version          show the version\n"
         "\n"
         "On Linux, COMn is the device named by the environment variable RDS_COMn, or\n"
         "/dev/ttyS<n-1> when it is not set.\n"
         "\n"
         "Exit codes: 0 done, 3 port cannot be opened or set up, 4 no reply in time,\n"
         "5 writing or reading the line failed, 6 output failed, 64 wrong command line.\n"
         "\n"
         "To run a station: tamsel send|run|feed ... (tamsel send --help).\n";
}

const char* VersionText() { return "tamsel " TAMSEL_VERSION "\n"; }

}  // namespace sender
