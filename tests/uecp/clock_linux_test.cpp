// The Linux stand-ins of the clock calls, under zones set through TZ.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "platform/clock.h"

namespace {

class ZoneGuard {
 public:
  explicit ZoneGuard(const char* tz) {
    const char* old = getenv("TZ");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (had_old_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ZoneGuard(const ZoneGuard&) = delete;
  ZoneGuard& operator=(const ZoneGuard&) = delete;

 private:
  bool had_old_ = false;
  std::string old_;
};

bool HaveZone(const std::string& name) {
  struct stat info {};
  return stat(("/usr/share/zoneinfo/" + name).c_str(), &info) == 0;
}

bool DaylightNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_isdst > 0;
}

struct ZoneCase {
  const char* tz;
  bool needs_tzdata;
  bool has_daylight_rules;
  win::LONG bias, daylight_bias;  // bias: of standard time
};

TEST(LinuxClock, TimeZoneInformation) {
  const ZoneCase cases[] = {
      {"UTC0", false, false, 0, 0},
      {"IST-5:30", false, false, -330, 0},
      {"BRT3", false, false, 180, 0},
      {"CET-1CEST,M3.5.0,M10.5.0/3", false, true, -60, -60},
      {"AEST-10AEDT,M10.1.0,M4.1.0/3", false, true, -600, -60},  // daylight in January
      {"UTC", true, false, 0, 0},
      {"Asia/Kolkata", true, false, -330, 0},
      {"Europe/Berlin", true, true, -60, -60},
      {"America/New_York", true, true, 300, -60},
  };
  for (const ZoneCase& c : cases) {
    SCOPED_TRACE(c.tz);
    if (c.needs_tzdata && !HaveZone(c.tz)) {
      std::printf("skipping %s: no tzdata\n", c.tz);
      continue;
    }
    ZoneGuard zone_guard(c.tz);
    win::TIME_ZONE_INFORMATION zone{};
    const win::DWORD result = win::GetTimeZoneInformation(&zone);
    if (!c.has_daylight_rules) {
      EXPECT_EQ(result, win::TIME_ZONE_ID_UNKNOWN);
    } else {
      EXPECT_EQ(result, DaylightNow() ? win::TIME_ZONE_ID_DAYLIGHT : win::TIME_ZONE_ID_STANDARD);
      EXPECT_EQ(zone.DaylightBias, c.daylight_bias);
    }
    EXPECT_EQ(zone.Bias, c.bias);
    EXPECT_EQ(zone.StandardBias, 0);
  }
}

TEST(LinuxClock, ZoneNamesFromTheCLibrary) {
  ZoneGuard zone_guard("CET-1CEST,M3.5.0,M10.5.0/3");
  win::TIME_ZONE_INFORMATION zone{};
  win::GetTimeZoneInformation(&zone);
  EXPECT_EQ(std::u16string(zone.StandardName), u"CET");
  EXPECT_EQ(std::u16string(zone.DaylightName), u"CEST");
}

TEST(LinuxClock, SystemTimeIsUtcNow) {
  ZoneGuard zone_guard("IST-5:30");  // must not matter
  const std::time_t before = std::time(nullptr);
  win::SYSTEMTIME utc{};
  win::GetSystemTime(&utc);
  const std::time_t after = std::time(nullptr);

  std::tm parts{};
  parts.tm_year = utc.wYear - 1900;
  parts.tm_mon = utc.wMonth - 1;
  parts.tm_mday = utc.wDay;
  parts.tm_hour = utc.wHour;
  parts.tm_min = utc.wMinute;
  parts.tm_sec = utc.wSecond;
  const std::time_t read = timegm(&parts);
  EXPECT_GE(read, before);
  // time() reads the kernel's coarse clock, which may lag the precise one by a tick: the second
  // read here can be one past it.
  EXPECT_LE(read, after + 1);
  EXPECT_EQ(utc.wDayOfWeek, parts.tm_wday);
  EXPECT_LT(utc.wMilliseconds, 1000);
}

}  // namespace
