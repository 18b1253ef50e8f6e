#include "decoder/station/country_table.h"

namespace decoder {
namespace {

// The European Broadcasting Area rows of the RDS country table (IEC 62106 Annex D, ECC E0 to
// E4), indexed by the PI's country digit 1..F (index 0 unused); nullptr where the table has no
// country.
// clang-format off
constexpr const char* kEuropeanBroadcastingArea[5][16] = {
    // ECC E0
    {nullptr, "de", "dz", "ad", "il", "it", "be", "ru", "ps", "al", "at", "hu", "mt", "de", nullptr, "eg"},
    // ECC E1
    {nullptr, "gr", "cy", "sm", "ch", "jo", "fi", "lu", "bg", "dk", "gi", "iq", "gb", "ly", "ro", "fr"},
    // ECC E2
    {nullptr, "ma", "cz", "pl", "va", "sk", "sy", "tn", nullptr, "li", "is", "mc", "lt", "rs", "es", "no"},
    // ECC E3
    {nullptr, "me", "ie", "tr", "mk", nullptr, nullptr, nullptr, "nl", "lv", "lb", "az", "hr", "kz", "se", "by"},
    // ECC E4
    {nullptr, "md", "ee", "kg", nullptr, nullptr, "ua", "xk", "pt", "si", "am", "uz", "ge", nullptr, "tm", "ba"},
};
// clang-format on

constexpr std::uint8_t kEccUsa = 0xA0;
constexpr std::uint8_t kEccCanada = 0xA1;

}  // namespace

const char* CountryCode(std::uint16_t pi, std::uint8_t ecc) {
  const int digit = pi >> 12;
  if (digit == 0) return nullptr;  // PI codes 0xxx identify no country
  if (ecc >= 0xE0 && ecc <= 0xE4) return kEuropeanBroadcastingArea[ecc - 0xE0][digit];
  // North America: PI codes there come from call letters, not from a country digit, so the ECC
  // alone names the country.
  if (ecc == kEccUsa) return "us";
  if (ecc == kEccCanada) return "ca";
  return nullptr;
}

bool IsNorthAmericanEcc(std::uint8_t ecc) { return ecc == kEccUsa || ecc == kEccCanada; }

}  // namespace decoder
