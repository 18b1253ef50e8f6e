// Call letters worked back from PI codes, and countries from PI and ECC. The expected call signs
// are computed by hand with the RBDS rule: K from 0x1000, W from 0x54A8, three letters in base
// 26; values d0xy were sent as Adxy and dy00 as AFdy.
#include <gtest/gtest.h>

#include <string>

#include "decoder/station/country_table.h"
#include "decoder/station/rbds_callsign.h"

namespace {

using decoder::RbdsPiKind;

struct CallSignCase {
  std::uint16_t pi;
  RbdsPiKind kind;
  const char* letters;
  bool uncertain;
};

TEST(RbdsCallSign, WorksTheLettersBackOutOfThePi) {
  const CallSignCase cases[] = {
      {0x21C7, RbdsPiKind::kCallSign, "KGTB", false},  // 4096 + 6*676 + 19*26 + 1
      {0x7106, RbdsPiKind::kCallSign, "WKTI", false},  // 21672 + 10*676 + 19*26 + 8
      {0x3AAB, RbdsPiKind::kCallSign, "KQED", false},  // 4096 + 16*676 + 4*26 + 3
      {0x54A7, RbdsPiKind::kCallSign, "KZZZ", false},  // the last K
      {0x54A8, RbdsPiKind::kCallSign, "WAAA", false},  // the first W
      {0x994F, RbdsPiKind::kCallSign, "WZZZ", false},
      {0xA101, RbdsPiKind::kCallSign, "KAAB", false},  // 0x1001 sent as A101
      {0xAF12, RbdsPiKind::kCallSign, "KATS", false},  // 0x1200 sent as AF12
      {0xAFA1, RbdsPiKind::kCallSign, "KAAA", false},  // 0x1000 through both rules
      {0x1234, RbdsPiKind::kCallSign, "KAVS", true},   // 564 = 21*26 + 18, first digit 1
      {0x9950, RbdsPiKind::kThreeLetterCall, "", false},
      {0xB201, RbdsPiKind::kLinkedNetwork, "", false},
      {0xD000, RbdsPiKind::kNone, "", false},
      {0x0123, RbdsPiKind::kNone, "", false},
      {0xA001, RbdsPiKind::kNone, "", false},  // A0xy would undo to 00xy
  };
  for (const CallSignCase& c : cases) {
    SCOPED_TRACE(c.pi);
    const decoder::RbdsPi result = decoder::DescribeRbdsPi(c.pi);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(std::string(result.letters), c.letters);
    EXPECT_EQ(result.uncertain, c.uncertain);
  }
  EXPECT_EQ(decoder::DescribeRbdsPi(0xB201).coverage_area, 2);
}

TEST(CountryCode, PiDigitAndEccNameTheCountry) {
  const struct {
    std::uint16_t pi;
    std::uint8_t ecc;
    const char* country;
  } cases[] = {
      {0xD3A1, 0xE0, "de"},    {0x1001, 0xE0, "de"},    {0xC201, 0xE1, "gb"},
      {0xF201, 0xE1, "fr"},    {0x5201, 0xE0, "it"},    {0x8201, 0xE3, "nl"},
      {0xE201, 0xE2, "es"},    {0x6201, 0xE1, "fi"},    {0x8201, 0xE4, "pt"},
      {0x21C7, 0xA0, "us"},    {0xE201, 0xE0, nullptr}, {0x0201, 0xE0, nullptr},
      {0xD201, 0x00, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pi);
    const char* country = decoder::CountryCode(c.pi, c.ecc);
    if (c.country == nullptr) {
      EXPECT_EQ(country, nullptr);
    } else {
      ASSERT_NE(country, nullptr);
      EXPECT_STREQ(country, c.country);
    }
  }
}

}  // namespace
