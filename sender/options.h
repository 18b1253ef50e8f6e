// tamsel's command line. With no arguments the program runs its fixed sequence on COM1.
#ifndef RDS_SENDER_OPTIONS_H_
#define RDS_SENDER_OPTIONS_H_

#include <string>

namespace sender {

struct Options {
  enum class Action { kRun, kHelp, kVersion };

  Action action = Action::kRun;
  // The device to open instead of COM1 ("\\.\COM12", "/dev/ttyUSB0"); empty for COM1.
  std::string device;
  // How long to wait for each reply; 0 waits without a limit.
  double reply_timeout_seconds = 5.0;
};

inline constexpr double kMaxReplyTimeoutSeconds = 86400.0;

// Parses argv. On a wrong command line returns false and says why in *error.
[[nodiscard]] bool ParseOptions(int argc, const char* const* argv, Options* options,
                                std::string* error);

// The text of --help.
const char* UsageText();

// The text of --version.
const char* VersionText();

}  // namespace sender

#endif  // RDS_SENDER_OPTIONS_H_
