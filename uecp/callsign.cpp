#include "uecp/callsign.h"

#include <cstring>

namespace uecp {
namespace {

constexpr std::int32_t kFirstKCode = 0x1000;  // KAAA before the zero-digit rules
constexpr std::int32_t kFirstWCode = 0x54A8;  // WAAA, right behind KZZZ

// A byte as the signed 8-bit value it enters the sum with, whatever the sign of char.
std::int32_t SignedByte(char c) { return static_cast<std::int8_t>(static_cast<unsigned char>(c)); }

}  // namespace

std::uint16_t rbds_callsign_to_pi(char* text) {
  if (text == nullptr) return 0;
  for (char* c = text; *c != '\0'; ++c) {
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  }
  if (std::strlen(text) != 4) return 0;

  std::int32_t base = 0;
  if (text[0] == 'K') {
    base = kFirstKCode;
  } else if (text[0] == 'W') {
    base = kFirstWCode;
  } else {
    return 0;
  }
  // The three letters after K or W count in base 26.
  const std::int32_t raw = base + 676 * (SignedByte(text[1]) - 'A') +
                           26 * (SignedByte(text[2]) - 'A') + (SignedByte(text[3]) - 'A');
  unsigned pi = static_cast<std::uint16_t>(raw);

  // RBDS gives no call sign a PI code with a zero second digit or a zero low byte: such codes
  // are moved into the A-prefixed range, which makes 0 free to mean "refused".
  if ((pi & 0x0F00) == 0) pi = 0xA000 | ((pi & 0xF000) >> 4) | (pi & 0x00FF);
  if ((pi & 0x00FF) == 0) pi = 0xAF00 | (pi >> 8);
  return static_cast<std::uint16_t>(pi);
}

}  // namespace uecp
