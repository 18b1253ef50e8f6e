// Clock-time values, the real-time clock element and the clock-time group, at fixed instants
// and zones given by the fake clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/uecp/fake_clock.h"
#include "tests/uecp/test_support.h"
#include "uecp/uecp.h"

namespace {

using fake_clock::Utc;
using uecp_test::Bytes;
using uecp_test::Encoded;

constexpr win::DWORD kStandard = win::TIME_ZONE_ID_STANDARD;
constexpr win::DWORD kDaylight = win::TIME_ZONE_ID_DAYLIGHT;
constexpr win::DWORD kUnknown = win::TIME_ZONE_ID_UNKNOWN;
constexpr win::DWORD kInvalid = win::TIME_ZONE_ID_INVALID;

struct Zone {
  win::DWORD result;
  win::LONG bias, standard_bias, daylight_bias;
};

void SetClock(const win::SYSTEMTIME& utc, const Zone& zone) {
  fake_clock::SetReadings({utc});
  fake_clock::SetZone(zone.result, zone.bias, zone.standard_bias, zone.daylight_bias);
}

TEST(ModifiedJulianDay, FromTheUtcDate) {
  const struct {
    int year, month, day;
    std::int32_t mjd;
  } cases[] = {
      {2000, 1, 1, 51544}, {2004, 2, 29, 53064}, {2004, 3, 1, 53065}, {2026, 12, 7, 61381},
      {1900, 3, 1, 15079}, {2100, 2, 28, 88127}, {2100, 3, 1, 88129},  // the formula takes 2100 for
                                                                       // a leap year
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    fake_clock::SetReadings({Utc(c.year, c.month, c.day, 12, 0)});
    EXPECT_EQ(uecp::current_mjd(), c.mjd);
    EXPECT_EQ(fake_clock::SystemTimeCalls(), 1);
  }
}

// The offset rules shared by the time word and the RTC element; the two differ only in the sign
// of an offset that truncates to zero half hours.
const struct OffsetCase {
  const char* name;
  Zone zone;
  std::int32_t time_word_at_midnight;
  std::uint8_t rtc_offset_byte;
} kOffsetCases[] = {
    {"standard, one hour ahead", {kStandard, -60, 0, -60}, 0x02, 0x02},
    {"standard, five hours behind", {kStandard, 300, 0, -60}, 0x2A, 0x2A},
    {"standard bias counts", {kStandard, -60, -30, 0}, 0x03, 0x03},
    {"daylight, two hours ahead", {kDaylight, -60, 0, -60}, 0x04, 0x04},
    {"+5:45 truncated", {kStandard, -345, 0, 0}, 0x0B, 0x0B},
    {"+9:30", {kStandard, -570, 0, 0}, 0x13, 0x13},
    {"-0:15: only the time word has a sign", {kStandard, 15, 0, 0}, 0x20, 0x00},
    // A zone without daylight-saving rules keeps its bias.
    {"no daylight rules, +5:30", {kUnknown, -330, 0, 0}, 0x0B, 0x0B},
    {"no daylight rules, -3:00", {kUnknown, 180, 0, -60}, 0x26, 0x26},
    {"no daylight rules, UTC", {kUnknown, 0, 0, 0}, 0x00, 0x00},
    {"failed query", {kInvalid, -60, 0, -60}, 0x00, 0x00},
    {"unknown result code", {7, -60, 0, 0}, 0x00, 0x00},
    {"half-hour count keeps five bits", {kStandard, -990, 0, 0}, 0x01, 0x01},
};

TEST(TimeWord, OffsetRules) {
  for (const OffsetCase& c : kOffsetCases) {
    SCOPED_TRACE(c.name);
    SetClock(Utc(2026, 12, 7, 0, 0), c.zone);
    EXPECT_EQ(uecp::current_time_word(), c.time_word_at_midnight);
  }
}

TEST(TimeWord, HourAndMinute) {
  const struct {
    win::SYSTEMTIME utc;
    Zone zone;
    std::int32_t word;
  } cases[] = {
      {Utc(2026, 1, 1, 14, 35), {kStandard, -60, 0, 0}, 0xE8C2},
      {Utc(2026, 1, 1, 23, 59, 59, 999), {kStandard, 300, 0, 0}, 0x17EEA},
      {Utc(2026, 7, 1, 6, 5), {kDaylight, -60, 0, -60}, 0x6144},
      {Utc(2026, 7, 1, 0, 0), {kStandard, 0, 0, 0}, 0x0},
  };
  for (const auto& c : cases) {
    SetClock(c.utc, c.zone);
    EXPECT_EQ(uecp::current_time_word(), c.word);
  }
}

TEST(RtcElement, DateTimeAndOffset) {
  SetClock(Utc(2026, 12, 7, 23, 45, 43, 123), {kStandard, -60, 0, 0});
  uecp::RtcElement rtc;
  EXPECT_EQ(Encoded(rtc), (Bytes{0x0D, 0x1A, 0x0C, 0x07, 0x17, 0x2D, 0x2B, 0x0C, 0x02}));

  SetClock(Utc(2000, 2, 29, 0, 0, 59, 999), {kInvalid, 0, 0, 0});
  uecp::RtcElement y2k;
  EXPECT_EQ(Encoded(y2k), (Bytes{0x0D, 0x00, 0x02, 0x1D, 0x00, 0x00, 0x3B, 0x63, 0x00}));
}

TEST(RtcElement, OffsetRules) {
  for (const OffsetCase& c : kOffsetCases) {
    SCOPED_TRACE(c.name);
    SetClock(Utc(2026, 12, 7, 0, 0), c.zone);
    uecp::RtcElement rtc;
    const Bytes bytes = Encoded(rtc);
    ASSERT_EQ(bytes.size(), 9u);
    EXPECT_EQ(bytes[8], c.rtc_offset_byte);
  }
}

TEST(CtGroupElement, Group4AOfTheCurrentMoment) {
  const struct {
    const char* name;
    std::vector<win::SYSTEMTIME> readings;
    Zone zone;
    Bytes bytes;
  } cases[] = {
      {"2026-12-07 23:45, one hour ahead",
       {Utc(2026, 12, 7, 23, 45)},
       {kStandard, -60, 0, 0},
       {0x24, 0x08, 0x01, 0xDF, 0x8B, 0x7B, 0x42}},
      {"MJD below 32768 leaves block B 0",
       {Utc(1945, 6, 1, 1, 2)},  // MJD 31607
       {kUnknown, 0, 0, 0},
       {0x24, 0x08, 0x00, 0xF6, 0xEE, 0x10, 0x80}},
      // The clock passes midnight between two readings: the group must keep the date and time
      // of the first one, not pair 23:59 with the next day.
      {"reading at midnight",
       {Utc(2026, 12, 7, 23, 59, 59, 999), Utc(2026, 12, 8, 0, 0, 0, 0)},
       {kStandard, 0, 0, 0},
       {0x24, 0x08, 0x01, 0xDF, 0x8B, 0x7E, 0xC0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake_clock::SetReadings(c.readings);
    fake_clock::SetZone(c.zone.result, c.zone.bias, c.zone.standard_bias, c.zone.daylight_bias);
    uecp::CtGroupElement group;
    EXPECT_EQ(fake_clock::SystemTimeCalls(), 1);
    EXPECT_EQ(Encoded(group), c.bytes);
  }
}

}  // namespace
