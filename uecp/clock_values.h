// The values an RDS clock-time (CT) group carries: the Modified Julian Day of the UTC date and
// the time word (UTC hour and minute, local time offset in half hours with its sign).
#ifndef RDS_UECP_CLOCK_VALUES_H_
#define RDS_UECP_CLOCK_VALUES_H_

#include <cstdint>

#include "platform/clock.h"

namespace uecp {

// Date and time word of one and the same clock reading.
struct ClockTimeValues {
  std::int32_t mjd;
  std::int32_t time_word;
};

// Modified Julian Day of the current UTC date; reads the clock.
std::int32_t current_mjd();

// Time word of the current UTC time and zone; reads the clock. Bits 16..12 hour, 11..6 minute,
// 5 sign of the local offset (1: behind UTC), 4..0 offset in whole half hours.
std::int32_t current_time_word();

// Both values from a single clock reading, so that a reading at midnight cannot pair one day's
// time with the next day's date.
ClockTimeValues current_clock_time();

// The RDS conversion from calendar date to Modified Julian Day, exact from 1 March 1900 to
// 28 February 2100.
std::int32_t mjd_from_date(int year, int month, int day);

// Local time minus UTC in minutes, from a time-zone query. A zone without daylight-saving rules
// (TIME_ZONE_ID_UNKNOWN) still has its Bias; only a failed query gives 0.
std::int32_t local_offset_minutes(win::DWORD zone_result, const win::TIME_ZONE_INFORMATION& zone);

// Packs hour, minute and local offset into the time word.
std::int32_t time_word(int hour, int minute, std::int32_t offset_minutes);

}  // namespace uecp

#endif  // RDS_UECP_CLOCK_VALUES_H_
