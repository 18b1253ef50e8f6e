// tamsel's run: open the port, make the eleven exchanges with the encoder, close.
#ifndef RDS_SENDER_SESSION_H_
#define RDS_SENDER_SESSION_H_

#include <cstdint>
#include <cstdio>

#include "sender/options.h"

namespace sender {

// The most reply bytes read at once; more stay queued and start the next reply line.
inline constexpr std::uint32_t kReplyBufferSize = 512;

// Pauses: after the second exchange the encoder gets time to settle its new programme service
// name before the rest follows; after the last, time to act on it before the port closes.
inline constexpr std::uint32_t kPauseAfterNameMs = 3000;
inline constexpr std::uint32_t kPauseAtEndMs = 1000;

// The reply wait polls the port this often. One character takes about 1 ms at 9600 bit/s, so
// the wait adds less than a character's time and the process stays idle instead of spinning.
inline constexpr std::uint32_t kReplyPollIntervalMs = 1;

// Runs the sequence and returns the exit code (exit_codes.h). Reply lines go to out, messages
// to err.
[[nodiscard]] int RunSession(const Options& options, std::FILE* out, std::FILE* err);

}  // namespace sender

#endif  // RDS_SENDER_SESSION_H_
