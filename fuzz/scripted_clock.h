// The platform clock calls for fuzz targets: they return whatever instant and zone the current
// input chose, so that a crash found with a clock-time element replays exactly.
#ifndef RDS_FUZZ_SCRIPTED_CLOCK_H_
#define RDS_FUZZ_SCRIPTED_CLOCK_H_

#include "fuzz/fuzz_input.h"
#include "platform/clock.h"

namespace fuzz {

// Takes from the input a UTC instant and a zone that the Windows calls could return: a valid
// date from 1601 to 30827 (the range of SYSTEMTIME), a valid time, any of the four results of
// the zone query and biases within a day.
void ScriptClock(FuzzInput& input);

}  // namespace fuzz

#endif  // RDS_FUZZ_SCRIPTED_CLOCK_H_
