// Linux stand-ins for the KERNEL32 clock calls, built on the C library.
#include <chrono>
#include <ctime>

#include "platform/clock.h"

namespace win {
namespace {

void CopyZoneName(const char* name, char16_t (&out)[32]) {
  int i = 0;
  for (; name != nullptr && name[i] != '\0' && i < 31; ++i) {
    out[i] = static_cast<unsigned char>(name[i]);
  }
  out[i] = u'\0';
}

// Offset of local time from UTC in minutes at the given instant, and whether daylight time is
// in force then; false when the C library cannot convert the instant.
bool LocalOffsetAt(std::time_t instant, long* offset_minutes, bool* daylight) {
  std::tm local{};
  if (localtime_r(&instant, &local) == nullptr) return false;
  *offset_minutes = local.tm_gmtoff / 60;
  *daylight = local.tm_isdst > 0;
  return true;
}

}  // namespace

void GetSystemTime(SYSTEMTIME* utc) {
  *utc = SYSTEMTIME{};
  const auto since_epoch = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  const auto milliseconds = since_epoch.count();
  // Floor division, so that an instant before 1970 still gets milliseconds 0..999.
  std::time_t seconds = static_cast<std::time_t>(milliseconds / 1000);
  long millisecond = static_cast<long>(milliseconds % 1000);
  if (millisecond < 0) {
    millisecond += 1000;
    --seconds;
  }
  std::tm parts{};
  if (gmtime_r(&seconds, &parts) == nullptr) return;
  utc->wYear = static_cast<WORD>(parts.tm_year + 1900);
  utc->wMonth = static_cast<WORD>(parts.tm_mon + 1);
  utc->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  utc->wDay = static_cast<WORD>(parts.tm_mday);
  utc->wHour = static_cast<WORD>(parts.tm_hour);
  utc->wMinute = static_cast<WORD>(parts.tm_min);
  // A leap second (tm_sec 60) is shown as the last second of the minute, as Windows does.
  utc->wSecond = static_cast<WORD>(parts.tm_sec > 59 ? 59 : parts.tm_sec);
  utc->wMilliseconds = static_cast<WORD>(millisecond);
}

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone) {
  *zone = TIME_ZONE_INFORMATION{};
  tzset();  // picks up a changed TZ and fills tzname
  const std::time_t now = std::time(nullptr);
  std::tm now_local{};
  if (localtime_r(&now, &now_local) == nullptr) return TIME_ZONE_ID_INVALID;
  const long now_offset = now_local.tm_gmtoff / 60;
  const bool now_daylight = now_local.tm_isdst > 0;

  // Whether the zone has daylight-saving rules this year: mid-January and mid-July lie in
  // opposite seasons in both hemispheres, so a zone with rules is on daylight time in one of
  // them.
  long probe_offset[2] = {now_offset, now_offset};
  bool probe_daylight[2] = {false, false};
  for (int i = 0; i < 2; ++i) {
    std::tm probe{};
    probe.tm_year = now_local.tm_year;
    probe.tm_mon = i == 0 ? 0 : 6;
    probe.tm_mday = 15;
    probe.tm_hour = 12;
    probe.tm_isdst = -1;
    const std::time_t instant = std::mktime(&probe);
    if (instant == static_cast<std::time_t>(-1) ||
        !LocalOffsetAt(instant, &probe_offset[i], &probe_daylight[i])) {
      return TIME_ZONE_ID_INVALID;
    }
  }
  CopyZoneName(tzname[0], zone->StandardName);
  CopyZoneName(tzname[1], zone->DaylightName);

  if (!probe_daylight[0] && !probe_daylight[1] && !now_daylight) {
    zone->Bias = static_cast<LONG>(-now_offset);
    return TIME_ZONE_ID_UNKNOWN;
  }

  // The standard offset is the one of a probe on standard time; a zone on daylight time all
  // year round has none, and its current offset serves as its standard.
  long standard_offset = now_offset;
  long daylight_offset = now_offset;
  for (int i = 0; i < 2; ++i) {
    (probe_daylight[i] ? daylight_offset : standard_offset) = probe_offset[i];
  }
  if (now_daylight) {
    zone->Bias = static_cast<LONG>(-standard_offset);
    zone->DaylightBias = static_cast<LONG>(standard_offset - now_offset);
    return TIME_ZONE_ID_DAYLIGHT;
  }
  zone->Bias = static_cast<LONG>(-now_offset);
  zone->DaylightBias = static_cast<LONG>(now_offset - daylight_offset);
  return TIME_ZONE_ID_STANDARD;
}

}  // namespace win
