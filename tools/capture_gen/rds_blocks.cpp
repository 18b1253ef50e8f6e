#include "tools/capture_gen/rds_blocks.h"

namespace capture {

std::uint16_t OffsetWord(Offset offset) {
  switch (offset) {
    case Offset::A:
      return 0x0FC;
    case Offset::B:
      return 0x198;
    case Offset::C:
      return 0x168;
    case Offset::CPrime:
      return 0x350;
    case Offset::D:
      return 0x1B4;
  }
  return 0;
}

std::uint16_t Checkword(std::uint16_t info) {
  // Long division of info(x) × x^10 by g(x), most significant bit first.
  constexpr std::uint32_t kGenerator = 0x5B9;
  std::uint32_t remainder = static_cast<std::uint32_t>(info) << 10;
  for (int bit = 25; bit >= 10; --bit) {
    if (remainder & (1u << bit)) remainder ^= kGenerator << (bit - 10);
  }
  return static_cast<std::uint16_t>(remainder);
}

std::uint32_t EncodeBlock(std::uint16_t info, Offset offset) {
  return (static_cast<std::uint32_t>(info) << 10) | (Checkword(info) ^ OffsetWord(offset));
}

void AppendBits(std::string& out, std::uint32_t block) {
  for (int bit = 25; bit >= 0; --bit) out.push_back((block >> bit) & 1 ? '1' : '0');
}

void AppendGroup(std::string& out, std::uint16_t a, std::uint16_t b, std::uint16_t c,
                 std::uint16_t d) {
  const bool version_b = (b >> 11) & 1;
  AppendBits(out, EncodeBlock(a, Offset::A));
  AppendBits(out, EncodeBlock(b, Offset::B));
  AppendBits(out, EncodeBlock(c, version_b ? Offset::CPrime : Offset::C));
  AppendBits(out, EncodeBlock(d, Offset::D));
}

std::uint16_t BlockB(int type, int version, int tp, int pty, int low5) {
  return static_cast<std::uint16_t>(((type & 0xF) << 12) | ((version & 1) << 11) |
                                    ((tp & 1) << 10) | ((pty & 0x1F) << 5) | (low5 & 0x1F));
}

void ClockTimeWords(const ClockTime& ct, int* b_low5, std::uint16_t* c, std::uint16_t* d) {
  *b_low5 = static_cast<int>((ct.mjd >> 15) & 3);
  *c = static_cast<std::uint16_t>(((ct.mjd & 0x7FFF) << 1) | ((ct.hour >> 4) & 1));
  *d = static_cast<std::uint16_t>(((ct.hour & 0xF) << 12) | ((ct.minute & 0x3F) << 6) |
                                  ((ct.negative & 1) << 5) | (ct.half_hours & 0x1F));
}

}  // namespace capture
