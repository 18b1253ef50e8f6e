#include "decoder/station/segmented_text.h"

#include "decoder/station/rds_charset.h"

namespace decoder {

SegmentedText::SegmentedText(int length)
    : length_(length < 2 ? 2 : (length > kMaxLength ? kMaxLength : length)) {}

void SegmentedText::Store(int position, std::uint8_t first, std::uint8_t second) {
  if (position < 0 || position + 1 >= length_) return;
  const std::uint8_t pair[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    if (Received(position + i) && chars_[position + i] != pair[i]) {
      received_ = 0;
      break;
    }
  }
  chars_[position] = first;
  chars_[position + 1] = second;
  received_ |= std::uint64_t{3} << position;
}

void SegmentedText::Clear() { received_ = 0; }

int SegmentedText::End() const {
  for (int i = 0; i < length_; ++i) {
    if (Received(i) && chars_[i] == kEndOfText) return i;
  }
  return length_;
}

bool SegmentedText::Complete() const {
  const int end = End();
  const std::uint64_t needed = end == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << end) - 1;
  return received_ != 0 && (received_ & needed) == needed;
}

void SegmentedText::AppendUtf8(std::string& out) const {
  const int end = End();
  std::uint8_t shown[kMaxLength];
  for (int i = 0; i < end; ++i) shown[i] = Received(i) ? chars_[i] : ' ';
  AppendRdsTextAsUtf8(shown, end, out);
}

bool SegmentedText::AppendRangeUtf8(int start, int count, std::string& out) const {
  if (start < 0 || count < 1 || start + count > End()) return false;
  for (int i = start; i < start + count; ++i) {
    if (!Received(i)) return false;
  }
  AppendRdsTextAsUtf8(chars_ + start, count, out);
  return true;
}

}  // namespace decoder
