// Making a capture: the station's bits go to the bit-stream file and, bit for bit from the same
// start, through the modulator, the receiver's impairments and into the MPX recording.
#ifndef RDS_TOOLS_CAPTURE_GEN_CAPTURE_H_
#define RDS_TOOLS_CAPTURE_GEN_CAPTURE_H_

#include <csignal>
#include <cstdio>
#include <string>

#include "tools/capture_gen/options.h"

namespace capture {

// Set by a signal handler: the run stops, removes what it started and exits 130.
extern volatile std::sig_atomic_t g_interrupted;

// Runs the capture the options describe; messages go to standard error. Returns the exit code.
[[nodiscard]] int MakeCapture(const Options& given);

}  // namespace capture

#endif  // RDS_TOOLS_CAPTURE_GEN_CAPTURE_H_
