#include "rdscore/number_text.h"

#include <gtest/gtest.h>

namespace rds {
namespace {

TEST(NumberText, OnlyAWholeFiniteNumberWithinRangeIsTaken) {
  struct Case {
    const char* text;
    bool taken;
    double value;
  } const cases[] = {
      {"171000", true, 171000}, {"-2.5", true, -2.5}, {"1e3", true, 1000}, {"", false, 0},
      {"12x", false, 0},        {" ", false, 0},      {"nan", false, 0},   {"inf", false, 0},
      {"1e999", false, 0},      {"300000", false, 0},  // above the range below
  };
  for (const Case& c : cases) {
    double value = -7;
    EXPECT_EQ(ParseNumber(c.text, -10, 200000, &value), c.taken) << c.text;
    EXPECT_EQ(value, c.taken ? c.value : -7) << c.text;  // a refused text leaves the value
  }
}

}  // namespace
}  // namespace rds
