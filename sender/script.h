// Station scripts for `tamsel run`: one command a line, so that a station's set-up is a file kept
// under version control.
//
//   # comments and blank lines are skipped
//   send --pi 0x4123 --ps "RADIO 1" --pty "Pop Music"   (the word send may be left out)
//   wait 2.5                                             (seconds)
//   repeat [N]    the lines since the start (or the previous repeat) again: N runs in all,
//                 or without N until tamsel is stopped
//
// The whole file is read and checked before anything is sent: a bad line is reported as
// FILE:LINE: reason and nothing goes to the encoder.
#ifndef RDS_SENDER_SCRIPT_H_
#define RDS_SENDER_SCRIPT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "sender/element_options.h"

namespace sender {

struct ScriptStep {
  enum class Kind { kSend, kWait, kRepeat };
  Kind kind = Kind::kSend;
  int line = 0;
  SendRequest request;          // kSend
  double seconds = 0;           // kWait
  long runs = 0;                // kRepeat: runs in all, 0 for no end
  std::size_t block_start = 0;  // kRepeat: the step it goes back to
};

// Parses a script's text; name is the file name used in messages.
[[nodiscard]] bool ParseScript(const std::string& name, const std::string& text,
                               std::vector<ScriptStep>* steps, std::string* error);

// Reads and parses the file.
[[nodiscard]] bool LoadScript(const std::string& path, std::vector<ScriptStep>* steps,
                              std::string* error);

class Station;

// Runs the steps in order; false when the station stopped (line or output failed).
[[nodiscard]] bool RunScript(const std::vector<ScriptStep>& steps, Station* station);

}  // namespace sender

#endif  // RDS_SENDER_SCRIPT_H_
