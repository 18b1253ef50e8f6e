// The clock-time group 4A as a listener's clock shows it: the UTC date and time the group
// carries, moved by the local offset it carries too.
#ifndef RDS_DECODER_STATION_CLOCK_TIME_H_
#define RDS_DECODER_STATION_CLOCK_TIME_H_

#include <cstdint>
#include <string>

namespace decoder {

struct ClockTime {
  std::uint32_t mjd = 0;  // Modified Julian Day of the UTC date
  int utc_hour = 0;
  int utc_minute = 0;
  int offset_minutes = 0;  // local time minus UTC, a multiple of 30
  // Local date and time (UTC plus the offset).
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
};

// Reads blocks B, C and D of a 4A group. False for values no clock can show: an hour above 23,
// a minute above 59, or a day outside 1900-03-01..2100-02-28, where the standard's date
// formula holds (an encoder without a clock sends day 0).
[[nodiscard]] bool DecodeClockTime(std::uint16_t block_b, std::uint16_t block_c,
                                   std::uint16_t block_d, ClockTime& out);

// "2026-12-08T18:39:00+01:00": the local time with its offset (RFC 3339).
void AppendRfc3339(const ClockTime& time, std::string& out);

// The UTC date of a clock time as "2026-12-08".
void AppendUtcDate(const ClockTime& time, std::string& out);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_CLOCK_TIME_H_
