#include "uecp/callsign.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(RbdsCallsignToPi, Conversions) {
  const struct {
    const char* call_sign;
    std::uint16_t pi;
  } cases[] = {
      {"KGTB", 0x21C7},
      {"WKTI", 0x7106},
      {"KAAB", 0xA101},
      {"KATS", 0xAF12},
      {"KZZZ", 0x54A7},
      {"WAAA", 0x54A8},
      {"WZZZ", 0x994F},
      {"kgtb", 0x21C7},
      {"wKtI", 0x7106},
      // Raw values d000 go through both zero-digit rules.
      {"KAAA", 0xAFA1},
      {"KGBO", 0xAFA2},
      {"KMDC", 0xAFA3},
      {"KSEQ", 0xAFA4},
      {"KYGE", 0xAFA5},
      {"WEHS", 0xAFA6},
      {"WKJG", 0xAFA7},
      {"WQKU", 0xAFA8},
      {"WWMI", 0xAFA9},
      // Bytes other than letters enter the sum with their signed value.
      {"K123", 0xE42C},
      {"K\xC1"
       "AA",
       0xAFBE},
      // Refused.
      {"KAB", 0},
      {"KABCD", 0},
      {"", 0},
      {"AAAA", 0},
      {"XKTI", 0},
      {"kab", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call_sign);
    std::string text = c.call_sign;
    EXPECT_EQ(uecp::rbds_callsign_to_pi(text.data()), c.pi);
  }
  EXPECT_EQ(uecp::rbds_callsign_to_pi(nullptr), 0);
}

TEST(RbdsCallsignToPi, LeavesTheTextInCapitals) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {{"kgtb", "KGTB"}, {"xyz", "XYZ"}, {"w1-z!", "W1-Z!"}, {"\xE4k", "\xE4K"}};
  for (const auto& c : cases) {
    std::string text = c.before;
    uecp::rbds_callsign_to_pi(text.data());
    EXPECT_EQ(text, c.after);
  }
}

}  // namespace
