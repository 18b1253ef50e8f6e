// Calendar arithmetic for the encoder clock: UTC dates to day numbers and back, and the Modified
// Julian Day that RDS clock-time groups carry.
#ifndef RDS_SIMULATOR_CIVIL_TIME_H_
#define RDS_SIMULATOR_CIVIL_TIME_H_

#include <cstdint>

namespace sim {

struct CivilTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);
// The UTC date and time of a count of milliseconds since 1970-01-01 00:00 UTC.
CivilTime CivilFromMilliseconds(std::int64_t ms);
// Modified Julian Day (days since 1858-11-17) of the UTC date of a millisecond count.
std::int64_t ModifiedJulianDay(std::int64_t ms);

}  // namespace sim

#endif  // RDS_SIMULATOR_CIVIL_TIME_H_
