// rds-demod's command line and run: options, input and output opening, the processing loop,
// progress and messages. Kept apart from main so that tests can run it in-process.
#ifndef RDS_DEMOD_CLI_H_
#define RDS_DEMOD_CLI_H_

namespace demod {

// Runs the program; returns its exit code (demod/exit_code.h).
[[nodiscard]] int RunDemod(int argc, char** argv);

}  // namespace demod

#endif  // RDS_DEMOD_CLI_H_
