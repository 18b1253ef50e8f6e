#include "decoder/clock_date.h"

namespace decoder {

namespace {
// int() of the conversion formulas: a C conversion, which truncates toward zero.
int Truncate(double x) { return static_cast<int>(x); }
}  // namespace

CalendarDate ConvertModifiedJulianDay(std::uint32_t mjd) {
  const double day_number = static_cast<double>(mjd);
  const int y1 = Truncate((day_number - 15078.2) / 365.25);
  const int year_days = Truncate(y1 * 365.25);
  const int m1 = Truncate((day_number - 14956.1 - year_days) / 30.6001);
  const int month_days = Truncate(m1 * 30.6001);
  const int k = (m1 == 14 || m1 == 15) ? 1 : 0;

  CalendarDate date{};
  date.day = static_cast<int>(static_cast<long long>(mjd) - 14956 - year_days - month_days);
  date.month = m1 - 1 - k * 12;
  date.year = y1 + k + 1900;
  date.weekday = static_cast<int>((mjd + 2) % 7) + 1;
  const int w1 = Truncate(day_number / 7 - 2144.64);
  const int wy = Truncate(static_cast<double>(w1) * 28 / 1461 - 0.0079);
  date.week = w1 - Truncate(static_cast<double>(wy) * 1461 / 28 + 0.41);
  date.week_year = wy + 1900;
  return date;
}

}  // namespace decoder
