#include "fuzz/scripted_clock.h"

namespace {

win::SYSTEMTIME utc_now{};
win::DWORD zone_result = win::TIME_ZONE_ID_INVALID;
win::TIME_ZONE_INFORMATION scripted_zone{};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

win::WORD Word(int value) { return static_cast<win::WORD>(value); }

}  // namespace

namespace fuzz {

void ScriptClock(FuzzInput& input) {
  const int year = input.Between(1601, 30827);
  const int month = input.Between(1, 12);
  utc_now = win::SYSTEMTIME{};
  utc_now.wYear = Word(year);
  utc_now.wMonth = Word(month);
  utc_now.wDay = Word(input.Between(1, DaysInMonth(year, month)));
  utc_now.wDayOfWeek = Word(input.Between(0, 6));
  utc_now.wHour = Word(input.Between(0, 23));
  utc_now.wMinute = Word(input.Between(0, 59));
  utc_now.wSecond = Word(input.Between(0, 59));
  utc_now.wMilliseconds = Word(input.Between(0, 999));

  constexpr win::DWORD kResults[4] = {win::TIME_ZONE_ID_UNKNOWN, win::TIME_ZONE_ID_STANDARD,
                                      win::TIME_ZONE_ID_DAYLIGHT, win::TIME_ZONE_ID_INVALID};
  zone_result = kResults[input.U8() % 4];
  scripted_zone = win::TIME_ZONE_INFORMATION{};
  scripted_zone.Bias = input.Between(-1440, 1440);
  scripted_zone.StandardBias = input.Between(-1440, 1440);
  scripted_zone.DaylightBias = input.Between(-1440, 1440);
}

}  // namespace fuzz

namespace win {

void GetSystemTime(SYSTEMTIME* utc) { *utc = utc_now; }

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone) {
  *zone = scripted_zone;
  return zone_result;
}

}  // namespace win
