// The clock calls on Windows: forwarded to KERNEL32, records copied field by field.
#include "platform/clock.h"

// clang-format off
#include <windows.h>
// clang-format on

namespace win {
namespace {

void CopySystemTime(const ::SYSTEMTIME& from, SYSTEMTIME* to) {
  to->wYear = from.wYear;
  to->wMonth = from.wMonth;
  to->wDayOfWeek = from.wDayOfWeek;
  to->wDay = from.wDay;
  to->wHour = from.wHour;
  to->wMinute = from.wMinute;
  to->wSecond = from.wSecond;
  to->wMilliseconds = from.wMilliseconds;
}

void CopyName(const ::WCHAR (&from)[32], char16_t (&to)[32]) {
  for (int i = 0; i < 32; ++i) to[i] = static_cast<char16_t>(from[i]);
}

}  // namespace

void GetSystemTime(SYSTEMTIME* utc) {
  ::SYSTEMTIME now{};
  ::GetSystemTime(&now);
  CopySystemTime(now, utc);
}

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone) {
  ::TIME_ZONE_INFORMATION info{};
  // The result codes are the same numbers as ours; they are passed on unchanged.
  const ::DWORD result = ::GetTimeZoneInformation(&info);
  zone->Bias = info.Bias;
  CopyName(info.StandardName, zone->StandardName);
  CopySystemTime(info.StandardDate, &zone->StandardDate);
  zone->StandardBias = info.StandardBias;
  CopyName(info.DaylightName, zone->DaylightName);
  CopySystemTime(info.DaylightDate, &zone->DaylightDate);
  zone->DaylightBias = info.DaylightBias;
  return result;
}

}  // namespace win
