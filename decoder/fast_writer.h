// The report writer of the shipped program: the same bytes as PrintfReportWriter, formatted by
// hand into a large buffer that goes to the sink in big pieces.
#ifndef RDS_DECODER_FAST_WRITER_H_
#define RDS_DECODER_FAST_WRITER_H_

#include <cstdint>
#include <vector>

#include "decoder/block_code.h"
#include "decoder/byte_io.h"
#include "decoder/clock_date.h"

namespace decoder {

class FastReportWriter {
 public:
  explicit FastReportWriter(ReportSink& sink, std::size_t buffer_size = std::size_t{1} << 20);

  void Prefix(std::int64_t position, std::uint32_t block);
  void OffsetField(BlockOffset offset);
  // Receiver mode: the offset field of a block whose burst error was corrected, "X  * " instead
  // of "X  - "; and the line of a stretch that belongs to no block, with dashes where a block's
  // hexadecimal fields stand: "%9d ------- ---- --- -- - skipped %d bits".
  void CorrectedOffsetField(BlockOffset offset);
  void SkipLine(std::int64_t position, std::int64_t bits);
  void EndLine() {
    *out_++ = '\n';
    if (out_ >= flush_mark_) Drain();
  }

  void Pi(std::uint16_t pi);
  void GroupHeader(int type, int version_b, int pty, int tp);
  void BasicTuning(int ta, int music, int di_bits, int segment);
  void TextSegment(int segment);
  void AfList(int expected, const std::int16_t* codes);
  void Ps(const char* text);
  void Radiotext(int flag, const char* text, bool version_b);
  void ClockTime(std::uint32_t date, std::uint32_t time, const CalendarDate& calendar);

  // Writes out what is buffered; false if any write to the sink failed.
  [[nodiscard]] bool Flush();
  bool Failed() const { return failed_; }

 private:
  void Drain();
  void Text(const char* text, std::size_t size);
  template <std::size_t N>
  void Literal(const char (&text)[N]) {
    Text(text, N - 1);
  }
  void Decimal(std::int64_t value, int width, char pad);
  void SmallDecimal(int value, int width);  // 0 <= value < 100, space padded
  void PositionField(std::int64_t position);
  void Hex(std::uint32_t value, int width);
  void PaddedString(const char* text, std::size_t max_length, std::size_t width);

  // The position of the last line as right-aligned decimal text. Lines are 26 bits apart, so
  // adding 26 to the text is cheaper than formatting each position anew.
  static constexpr int kPositionDigits = 20;
  char position_text_[kPositionDigits];
  int position_width_ = 0;
  std::int64_t position_ = -1;

  ReportSink& sink_;
  std::vector<char> buffer_;
  char* out_;
  char* flush_mark_;
  bool failed_ = false;
};

}  // namespace decoder

#endif  // RDS_DECODER_FAST_WRITER_H_
