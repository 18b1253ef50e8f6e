#include "uecp/clock_values.h"

#include <algorithm>
#include <cstdlib>

namespace uecp {
namespace {

// A garbled zone record must not overflow the 32-bit offset.
std::int32_t ClampedMinutes(std::int64_t minutes) {
  constexpr std::int64_t kLimit = 0x7FFFFFFF;
  return static_cast<std::int32_t>(std::clamp(minutes, -kLimit, kLimit));
}

std::int32_t current_offset_minutes() {
  win::TIME_ZONE_INFORMATION zone{};
  const win::DWORD result = win::GetTimeZoneInformation(&zone);
  return local_offset_minutes(result, zone);
}

}  // namespace

std::int32_t mjd_from_date(int year, int month, int day) {
  // The formula counts January and February as months 13 and 14 of the previous year, so that
  // the leap day falls at the end of its counting year.
  const int l = month <= 2 ? 1 : 0;
  const std::int32_t y = year - 1900 - l;
  const int m = month + 1 + 12 * l;
  return 14956 + day + static_cast<std::int32_t>(y * 365.25) +
         static_cast<std::int32_t>(m * 30.6001);
}

std::int32_t local_offset_minutes(win::DWORD zone_result, const win::TIME_ZONE_INFORMATION& zone) {
  const std::int64_t bias = zone.Bias;
  switch (zone_result) {
    case win::TIME_ZONE_ID_STANDARD:
      return ClampedMinutes(-bias - zone.StandardBias);
    case win::TIME_ZONE_ID_DAYLIGHT:
      return ClampedMinutes(-bias - zone.DaylightBias);
    case win::TIME_ZONE_ID_UNKNOWN:
      return ClampedMinutes(-bias);
    default:
      return 0;
  }
}

std::int32_t time_word(int hour, int minute, std::int32_t offset_minutes) {
  const auto half_hours =
      static_cast<std::int32_t>((std::llabs(std::int64_t{offset_minutes}) / 30) & 0x1F);
  // The sign follows the offset in minutes alone, so −15 minutes is sent as "−0".
  const std::int32_t sign = offset_minutes < 0 ? 0x20 : 0;
  return (hour & 0x1F) << 12 | (minute & 0x3F) << 6 | sign | half_hours;
}

std::int32_t current_mjd() {
  win::SYSTEMTIME utc{};
  win::GetSystemTime(&utc);
  return mjd_from_date(utc.wYear, utc.wMonth, utc.wDay);
}

std::int32_t current_time_word() {
  win::SYSTEMTIME utc{};
  win::GetSystemTime(&utc);
  return time_word(utc.wHour, utc.wMinute, current_offset_minutes());
}

ClockTimeValues current_clock_time() {
  win::SYSTEMTIME utc{};
  win::GetSystemTime(&utc);
  return {mjd_from_date(utc.wYear, utc.wMonth, utc.wDay),
          time_word(utc.wHour, utc.wMinute, current_offset_minutes())};
}

}  // namespace uecp
