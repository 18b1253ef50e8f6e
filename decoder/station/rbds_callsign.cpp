#include "decoder/station/rbds_callsign.h"

namespace decoder {
namespace {

constexpr int kFirstK = 0x1000;  // KAAA before the follow-up rules
constexpr int kFirstW = 0x54A8;  // WAAA
constexpr int kLastW = 0x994F;   // WZZZ
constexpr int kFirstThreeLetter = 0x9950;
constexpr int kLastThreeLetter = 0x9EFF;

// Undoes the two follow-up rules of the call-letter conversion, last one first: a value dy00 was
// sent as AFdy, and a value d0xy (second digit zero) as Adxy. d000 went through both (AFAd).
int UndoFollowUpRules(int pi) {
  int value = pi;
  if ((value >> 8) == 0xAF) value = (value & 0xFF) << 8;
  if ((value >> 12) == 0xA) value = ((value >> 8) & 0xF) << 12 | (value & 0xFF);
  return value;
}

}  // namespace

RbdsPi DescribeRbdsPi(std::uint16_t pi) {
  RbdsPi result;
  const int first_digit = pi >> 12;
  if (pi >= kFirstThreeLetter && pi <= kLastThreeLetter) {
    result.kind = RbdsPiKind::kThreeLetterCall;
    return result;
  }
  if ((first_digit == 0xB || first_digit == 0xD || first_digit == 0xE) && (pi & 0xFF) != 0) {
    result.kind = RbdsPiKind::kLinkedNetwork;
    result.coverage_area = (pi >> 8) & 0xF;
    return result;
  }
  const int value = UndoFollowUpRules(pi);
  if (value < kFirstK || value > kLastW) return result;
  // The three letters after K or W count in base 26 from the first call sign of each range.
  int n = value - (value >= kFirstW ? kFirstW : kFirstK);
  result.kind = RbdsPiKind::kCallSign;
  result.letters[0] = value >= kFirstW ? 'W' : 'K';
  result.letters[1] = static_cast<char>('A' + n / 676);
  n %= 676;
  result.letters[2] = static_cast<char>('A' + n / 26);
  result.letters[3] = static_cast<char>('A' + n % 26);
  result.uncertain = first_digit == 1;
  return result;
}

}  // namespace decoder
