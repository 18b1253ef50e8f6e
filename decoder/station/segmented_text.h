// A text that RDS sends a few characters per group: the programme service name (8 characters in
// four segments), the PTY name (8 in two) and radiotext (64 in sixteen, or 32 in 2B groups).
// It keeps which characters have arrived, so that a name is shown whole only when every part of
// it came from the air.
#ifndef RDS_DECODER_STATION_SEGMENTED_TEXT_H_
#define RDS_DECODER_STATION_SEGMENTED_TEXT_H_

#include <cstdint>
#include <string>

namespace decoder {

class SegmentedText {
 public:
  static constexpr int kMaxLength = 64;
  // Radiotext shorter than its full length ends with a carriage return.
  static constexpr std::uint8_t kEndOfText = 0x0D;

  explicit SegmentedText(int length);

  // Stores two characters at `position` (even, below the length). A character that differs from
  // one already received at the same place means that the station has moved on to another text:
  // what had arrived of the old one no longer counts.
  void Store(int position, std::uint8_t first, std::uint8_t second);
  // Forgets everything received, as a change of the text A/B flag asks receivers to.
  void Clear();

  // Characters up to the end of text: the first carriage return received, else the length.
  int End() const;
  // Every character up to the end of text has arrived.
  bool Complete() const;
  bool Empty() const { return received_ == 0; }
  // The characters up to the end of text as UTF-8; positions not yet received are spaces.
  void AppendUtf8(std::string& out) const;
  // Characters [start, start + count) as UTF-8, if all of them have arrived and lie within the
  // text; false otherwise.
  bool AppendRangeUtf8(int start, int count, std::string& out) const;

 private:
  bool Received(int position) const { return (received_ >> position) & 1; }

  int length_;
  std::uint64_t received_ = 0;  // bit n: character n has arrived
  std::uint8_t chars_[kMaxLength] = {};
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_SEGMENTED_TEXT_H_
