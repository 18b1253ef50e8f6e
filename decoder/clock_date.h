// Calendar date, weekday and week number of a Modified Julian Day, as RDS receivers compute them
// from the clock-time group (4A).
#ifndef RDS_DECODER_CLOCK_DATE_H_
#define RDS_DECODER_CLOCK_DATE_H_

#include <cstdint>

namespace decoder {

struct CalendarDate {
  int day;
  int month;
  int year;     // with 1900 added
  int weekday;  // 1 Monday .. 7 Sunday
  int week;
  int week_year;  // with 1900 added
};

// The conversion of the RDS standard, in double precision with truncation toward zero. No range
// is checked: any 17-bit day number gives a result, odd as it may be for values far from today.
CalendarDate ConvertModifiedJulianDay(std::uint32_t mjd);

}  // namespace decoder

#endif  // RDS_DECODER_CLOCK_DATE_H_
