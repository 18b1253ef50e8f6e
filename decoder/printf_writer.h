// The straightforward report writer: every field through snprintf with its format string. It is
// the yardstick for FastReportWriter, which must produce the same bytes.
#ifndef RDS_DECODER_PRINTF_WRITER_H_
#define RDS_DECODER_PRINTF_WRITER_H_

#include <cstdint>

#include "decoder/block_code.h"
#include "decoder/byte_io.h"
#include "decoder/clock_date.h"

namespace decoder {

class PrintfReportWriter {
 public:
  explicit PrintfReportWriter(ReportSink& sink) : sink_(sink) {}

  // Line skeleton: position of the first bit (1-based), raw block, information word, check bits;
  // then the offset name in two columns, or "?" when no offset matched.
  void Prefix(std::int64_t position, std::uint32_t block);
  void OffsetField(BlockOffset offset);
  void EndLine();

  void Pi(std::uint16_t pi);
  void GroupHeader(int type, int version_b, int pty, int tp);
  void BasicTuning(int ta, int music, int di_bits, int segment);
  void TextSegment(int segment);
  void AfList(int expected, const std::int16_t* codes);
  void Ps(const char* text);
  void Radiotext(int flag, const char* text, bool version_b);
  void ClockTime(std::uint32_t date, std::uint32_t time, const CalendarDate& calendar);

  [[nodiscard]] bool Flush() { return !failed_; }

 private:
  void Printf(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  ReportSink& sink_;
  bool failed_ = false;
};

}  // namespace decoder

#endif  // RDS_DECODER_PRINTF_WRITER_H_
