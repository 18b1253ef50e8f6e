// The simulator's life: open the transport, serve senders, keep the air going at 1187.5 bit/s,
// end on a disconnect, a time or group limit or a signal, and write the air to a file.
#ifndef RDS_SIMULATOR_RUN_LOOP_H_
#define RDS_SIMULATOR_RUN_LOOP_H_

#include <cstdint>

#include "simulator/options.h"

namespace sim {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 64;

// System time of the start of air slot k, for air that began at start_ms: a group lasts
// 104 / 1187.5 s = 208000 / 2375 ms.
inline std::int64_t SlotStartMs(std::int64_t start_ms, std::uint64_t slot) {
  return start_ms + static_cast<std::int64_t>(slot * 208000 / 2375);
}

// Runs until the end condition; returns the exit code.
[[nodiscard]] int Run(const Options& options);

}  // namespace sim

#endif  // RDS_SIMULATOR_RUN_LOOP_H_
