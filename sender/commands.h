// tamsel's commands for running a station: send, run, feed and get. Without a command tamsel
// runs its fixed sequence (session.h), unchanged.
#ifndef RDS_SENDER_COMMANDS_H_
#define RDS_SENDER_COMMANDS_H_

#include <cstdio>

namespace sender {

// True when argv[1] names one of the commands.
bool IsCommand(int argc, const char* const* argv);

// Runs the command of argv[1] and returns the exit code (exit_codes.h).
int RunCommand(int argc, const char* const* argv, std::FILE* in, std::FILE* out, std::FILE* err);

}  // namespace sender

#endif  // RDS_SENDER_COMMANDS_H_
