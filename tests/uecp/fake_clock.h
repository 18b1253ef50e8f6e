// A scripted stand-in for the platform clock calls, linked into a test executable in place of
// the real ones, so that tests fix the instant and the time zone.
#ifndef RDS_TESTS_UECP_FAKE_CLOCK_H_
#define RDS_TESTS_UECP_FAKE_CLOCK_H_

#include <vector>

#include "platform/clock.h"

namespace fake_clock {

// Each GetSystemTime call returns the next reading; the last one repeats. Resets the count.
void SetReadings(std::vector<win::SYSTEMTIME> readings);

// What GetTimeZoneInformation returns from now on.
void SetZone(win::DWORD result, win::LONG bias, win::LONG standard_bias = 0,
             win::LONG daylight_bias = 0);

// GetSystemTime calls since the last SetReadings.
int SystemTimeCalls();

// A reading from its parts.
win::SYSTEMTIME Utc(int year, int month, int day, int hour, int minute, int second = 0,
                    int milliseconds = 0);

}  // namespace fake_clock

#endif  // RDS_TESTS_UECP_FAKE_CLOCK_H_
