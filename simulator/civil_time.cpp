#include "simulator/civil_time.h"

namespace sim {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kMjdOf1970 = 40587;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

// Counts whole 400-year eras from 0000-03-01, so that the leap day ends each era's year.
std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

CivilTime CivilFromMilliseconds(std::int64_t ms) {
  const std::int64_t days = FloorDiv(ms, kMsPerDay);
  const std::int64_t in_day = (ms - days * kMsPerDay) / 1000;
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t day_of_era = z - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t mp = (5 * day_of_year + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(year_of_era + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(in_day / 3600);
  t.minute = static_cast<int>(in_day / 60 % 60);
  t.second = static_cast<int>(in_day % 60);
  return t;
}

std::int64_t ModifiedJulianDay(std::int64_t ms) { return FloorDiv(ms, kMsPerDay) + kMjdOf1970; }

}  // namespace sim
