#include "decoder/station/clock_time.h"

#include <cstdio>

#include "decoder/clock_date.h"

namespace decoder {
namespace {

constexpr std::uint32_t kFirstValidDay = 15079;  // 1900-03-01
constexpr std::uint32_t kLastValidDay = 73463;   // 2100-02-28
constexpr int kMinutesPerDay = 24 * 60;

}  // namespace

bool DecodeClockTime(std::uint16_t block_b, std::uint16_t block_c, std::uint16_t block_d,
                     ClockTime& out) {
  ClockTime time;
  time.mjd =
      static_cast<std::uint32_t>(block_b & 3) << 15 | static_cast<std::uint32_t>(block_c) >> 1;
  time.utc_hour = (block_c & 1) << 4 | block_d >> 12;
  time.utc_minute = (block_d >> 6) & 0x3F;
  const int half_hours = block_d & 0x1F;
  time.offset_minutes = ((block_d >> 5) & 1 ? -30 : 30) * half_hours;
  if (time.utc_hour > 23 || time.utc_minute > 59 || time.mjd < kFirstValidDay ||
      time.mjd > kLastValidDay) {
    return false;
  }
  int local = time.utc_hour * 60 + time.utc_minute + time.offset_minutes;
  std::uint32_t local_day = time.mjd;
  if (local < 0) {
    local += kMinutesPerDay;
    --local_day;
  } else if (local >= kMinutesPerDay) {
    local -= kMinutesPerDay;
    ++local_day;
  }
  const CalendarDate date = ConvertModifiedJulianDay(local_day);
  time.year = date.year;
  time.month = date.month;
  time.day = date.day;
  time.hour = local / 60;
  time.minute = local % 60;
  out = time;
  return true;
}

void AppendRfc3339(const ClockTime& time, std::string& out) {
  char text[64];
  const int offset = time.offset_minutes < 0 ? -time.offset_minutes : time.offset_minutes;
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:00%c%02d:%02d", time.year, time.month,
                time.day, time.hour, time.minute, time.offset_minutes < 0 ? '-' : '+', offset / 60,
                offset % 60);
  out += text;
}

void AppendUtcDate(const ClockTime& time, std::string& out) {
  const CalendarDate date = ConvertModifiedJulianDay(time.mjd);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  out += text;
}

}  // namespace decoder
