#include "tests/uecp/fake_clock.h"

#include <cstddef>
#include <utility>

namespace {

std::vector<win::SYSTEMTIME> readings;
int system_time_calls = 0;
win::DWORD zone_result = win::TIME_ZONE_ID_INVALID;
win::TIME_ZONE_INFORMATION zone{};

}  // namespace

namespace fake_clock {

void SetReadings(std::vector<win::SYSTEMTIME> new_readings) {
  readings = std::move(new_readings);
  system_time_calls = 0;
}

void SetZone(win::DWORD result, win::LONG bias, win::LONG standard_bias, win::LONG daylight_bias) {
  zone_result = result;
  zone = win::TIME_ZONE_INFORMATION{};
  zone.Bias = bias;
  zone.StandardBias = standard_bias;
  zone.DaylightBias = daylight_bias;
}

int SystemTimeCalls() { return system_time_calls; }

win::SYSTEMTIME Utc(int year, int month, int day, int hour, int minute, int second,
                    int milliseconds) {
  win::SYSTEMTIME t{};
  t.wYear = static_cast<win::WORD>(year);
  t.wMonth = static_cast<win::WORD>(month);
  t.wDay = static_cast<win::WORD>(day);
  t.wHour = static_cast<win::WORD>(hour);
  t.wMinute = static_cast<win::WORD>(minute);
  t.wSecond = static_cast<win::WORD>(second);
  t.wMilliseconds = static_cast<win::WORD>(milliseconds);
  return t;
}

}  // namespace fake_clock

namespace win {

void GetSystemTime(SYSTEMTIME* utc) {
  const std::size_t index = static_cast<std::size_t>(system_time_calls++);
  if (readings.empty()) {
    *utc = SYSTEMTIME{};
  } else {
    *utc = readings[index < readings.size() ? index : readings.size() - 1];
  }
}

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* out) {
  *out = zone;
  return zone_result;
}

}  // namespace win
