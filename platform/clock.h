// The clock calls of the platform layer: the UTC date and time and the local time zone, in the
// records and result codes of KERNEL32.
//
// On Windows they forward to KERNEL32 (clock_win32.cpp). On Linux they are our stand-ins
// (clock_linux.cpp): UTC from the system clock, the zone from the C library. A test executable
// may link a scripted fake in their place to fix the instant and the zone.
#ifndef RDS_PLATFORM_CLOCK_H_
#define RDS_PLATFORM_CLOCK_H_

#include "platform/win_types.h"

namespace win {

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;      // 1 = January
  WORD wDayOfWeek;  // 0 = Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// All biases are in minutes, with UTC = local time + Bias + (StandardBias or DaylightBias).
// The names are UTF-16 as on Windows; the transition dates have wMonth 0 when the zone has no
// daylight-saving rules (the Linux stand-in always leaves them zero).
struct TIME_ZONE_INFORMATION {
  LONG Bias;
  char16_t StandardName[32];
  SYSTEMTIME StandardDate;
  LONG StandardBias;
  char16_t DaylightName[32];
  SYSTEMTIME DaylightDate;
  LONG DaylightBias;
};

// Results of GetTimeZoneInformation.
constexpr DWORD TIME_ZONE_ID_UNKNOWN = 0;  // the zone has no daylight-saving rules
constexpr DWORD TIME_ZONE_ID_STANDARD = 1;
constexpr DWORD TIME_ZONE_ID_DAYLIGHT = 2;
constexpr DWORD TIME_ZONE_ID_INVALID = 0xFFFFFFFF;  // the query failed

// The current UTC date and time, to the millisecond.
void GetSystemTime(SYSTEMTIME* utc);

// The local time zone and whether standard or daylight time is in force now.
DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone);

}  // namespace win

#endif  // RDS_PLATFORM_CLOCK_H_
