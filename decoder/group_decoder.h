// Decoding of the information words of reported blocks into report fields, with the state that
// RDS receivers keep across groups: the group type of the last block B, the programme service
// name, both radiotexts, the alternative-frequency list, the decoder-identification bits and the
// parts of the clock time.
//
// Blocks are read one at a time in the light of the last block B; the order A, B, C, D is never
// checked, so a lost block B leaves the following C and D to be read by the group type before it.
//
// The decoder is written once and formats through a report writer (PrintfReportWriter or
// FastReportWriter): both produce the same bytes.
#ifndef RDS_DECODER_GROUP_DECODER_H_
#define RDS_DECODER_GROUP_DECODER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "decoder/block_code.h"
#include "decoder/clock_date.h"

namespace decoder {

// Group type × 2 + version bit, the top five bits of block B.
using GroupCode = std::uint16_t;
constexpr GroupCode kGroup0A = 0, kGroup0B = 1, kGroup2A = 4, kGroup2B = 5, kGroup4A = 8;

constexpr int kPsLength = 8;
constexpr int kRadiotextLength = 64;
constexpr int kMaxAfCodes = 25;

template <typename Writer>
class GroupDecoder {
 public:
  GroupDecoder() {
    std::memset(ps_, ' ', kPsLength);
    ps_[kPsLength] = '\0';
    for (auto& text : radiotext_) {
      std::memset(text, ' ', kRadiotextLength);
      text[kRadiotextLength] = '\0';
    }
  }

  void DecodeBlock(BlockOffset offset, std::uint16_t info, Writer& out) {
    switch (offset) {
      case A:
        out.Pi(info);
        break;
      case B:
        DecodeB(info, out);
        break;
      case C:
      case CPrime:
        DecodeC(info, out);
        break;
      case D:
        DecodeD(info, out);
        break;
      default:  // E or no offset: nothing to decode
        break;
    }
  }

 private:
  void DecodeB(std::uint16_t info, Writer& out) {
    group_ = static_cast<GroupCode>(info >> 11);
    out.GroupHeader(info >> 12, (info >> 11) & 1, (info >> 5) & 0x1F, (info >> 10) & 1);
    switch (group_) {
      case kGroup0A:
      case kGroup0B:
        ps_segment_ = static_cast<std::int16_t>(info & 3);
        if (ps_segment_ == 0) di_bits_ = 0;
        di_bits_ = static_cast<std::int16_t>(di_bits_ | ((info >> 2) & 1) << ps_segment_);
        out.BasicTuning((info >> 4) & 1, (info >> 3) & 1, di_bits_, ps_segment_);
        break;
      case kGroup2A:
      case kGroup2B:
        text_flag_ = static_cast<std::int16_t>((info >> 4) & 1);
        text_segment_ = static_cast<std::int16_t>(info & 0xF);
        out.TextSegment(text_segment_);
        break;
      case kGroup4A:
        ct_date_ = static_cast<std::uint32_t>(info & 3) << 15;
        ct_time_ = 0;
        break;
      default:
        break;
    }
  }

  void DecodeC(std::uint16_t info, Writer& out) {
    switch (group_) {
      case kGroup0A:
        DecodeAf(info >> 8);
        DecodeAf(info & 0xFF);
        if (af_expected_ != 0) out.AfList(af_expected_, af_codes_);
        break;
      case kGroup0B:
        out.Pi(info);
        break;
      case kGroup2A:
        StoreText(radiotext_[text_flag_] + std::ptrdiff_t{4} * text_segment_, info);
        out.Radiotext(text_flag_, radiotext_[text_flag_], false);
        break;
      case kGroup4A:
        ct_date_ |= static_cast<std::uint32_t>(info >> 1);
        ct_time_ |= static_cast<std::uint32_t>(info & 1) << 16;
        break;
      default:
        break;
    }
  }

  void DecodeD(std::uint16_t info, Writer& out) {
    switch (group_) {
      case kGroup0A:
      case kGroup0B:
        StoreText(ps_ + std::ptrdiff_t{2} * ps_segment_, info);
        out.Ps(ps_);
        break;
      case kGroup2A:
        StoreText(radiotext_[text_flag_] + std::ptrdiff_t{4} * text_segment_ + 2, info);
        out.Radiotext(text_flag_, radiotext_[text_flag_], false);
        break;
      case kGroup2B:
        StoreText(radiotext_[text_flag_] + std::ptrdiff_t{2} * text_segment_, info);
        out.Radiotext(text_flag_, radiotext_[text_flag_], true);
        break;
      case kGroup4A:
        ct_time_ |= info;
        out.ClockTime(ct_date_, ct_time_, ConvertModifiedJulianDay(ct_date_));
        break;
      default:
        break;
    }
  }

  // One code of an AF pair (method A). A count code 225..249 starts a new list; frequency codes
  // 1..204 fill it once a count is known. Codes past the 25 entries a list can hold are dropped,
  // as are fillers, LF/MF markers and the other unassigned codes.
  void DecodeAf(int code) {
    if (code >= 225 && code <= 249) {
      af_expected_ = static_cast<std::int16_t>(code - 224);
      af_stored_ = 0;
    } else if (af_expected_ > 0 && code >= 1 && code <= 204 && af_stored_ < kMaxAfCodes) {
      af_codes_[af_stored_++] = static_cast<std::int16_t>(code);
    }
  }

  // Two characters, high byte first, stored as received: a zero byte ends the written text early.
  static void StoreText(char* at, std::uint16_t info) {
    at[0] = static_cast<char>(info >> 8);
    at[1] = static_cast<char>(info & 0xFF);
  }

  // 16-bit state fields. The AF count follows the list directly, so a write past the list would
  // corrupt the count visibly instead of vanishing into padding.
  GroupCode group_ = 0;
  std::int16_t di_bits_ = 0;
  std::int16_t ps_segment_ = 0;
  char ps_[kPsLength + 1];
  std::int16_t text_flag_ = 0;
  std::int16_t text_segment_ = 0;
  char radiotext_[2][kRadiotextLength + 1];
  std::int16_t af_codes_[kMaxAfCodes] = {};
  std::int16_t af_stored_ = 0;
  std::int16_t af_expected_ = 0;
  std::uint32_t ct_date_ = 0;
  std::uint32_t ct_time_ = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_GROUP_DECODER_H_
