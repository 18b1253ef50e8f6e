#include "decoder/fast_writer.h"

#include <cstring>

namespace decoder {

namespace {
// Room kept free behind the flush mark: the longest line is well below it (the longest field, a
// full AF list, has 25 entries of 6 characters).
constexpr std::size_t kLineRoom = 1024;

// "%5.1f " of the frequency of every AF code. (code - 1) / 10 + 87.6 MHz to one decimal is
// 875 + code tenths: the single-precision rounding error is far below the 0.05 that could change
// the printed digit, for every code a list can hold (0..204) and beyond.
struct AfTexts {
  char text[256][6];
};

constexpr AfTexts BuildAfTexts() {
  AfTexts t{};
  for (int code = 0; code < 256; ++code) {
    const int tenths = 875 + code;
    char* p = t.text[code];
    p[0] = tenths >= 1000 ? static_cast<char>('0' + tenths / 1000) : ' ';
    p[1] = static_cast<char>('0' + tenths / 100 % 10);
    p[2] = static_cast<char>('0' + tenths / 10 % 10);
    p[3] = '.';
    p[4] = static_cast<char>('0' + tenths % 10);
    p[5] = ' ';
  }
  return t;
}

constexpr AfTexts kAfTexts = BuildAfTexts();

}  // namespace

FastReportWriter::FastReportWriter(ReportSink& sink, std::size_t buffer_size) : sink_(sink) {
  buffer_.resize(buffer_size < 4 * kLineRoom ? 4 * kLineRoom : buffer_size);
  out_ = buffer_.data();
  flush_mark_ = buffer_.data() + buffer_.size() - kLineRoom;
}

void FastReportWriter::Drain() {
  const auto size = static_cast<std::size_t>(out_ - buffer_.data());
  if (size != 0 && !failed_ && !sink_.Write(buffer_.data(), size)) failed_ = true;
  out_ = buffer_.data();
}

bool FastReportWriter::Flush() {
  Drain();
  return !failed_;
}

void FastReportWriter::Text(const char* text, std::size_t size) {
  std::memcpy(out_, text, size);
  out_ += size;
}

// printf's %<width>d with a space or '0' as `pad`: zero padding goes after the sign.
void FastReportWriter::Decimal(std::int64_t value, int width, char pad) {
  char digits[24];
  int n = 0;
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int fill = width - n - (negative ? 1 : 0);
  if (pad == ' ') {
    for (; fill > 0; --fill) *out_++ = ' ';
    if (negative) *out_++ = '-';
  } else {
    if (negative) *out_++ = '-';
    for (; fill > 0; --fill) *out_++ = '0';
  }
  while (n > 0) *out_++ = digits[--n];
}

void FastReportWriter::SmallDecimal(int value, int width) {
  if (value >= 10) {
    for (; width > 2; --width) *out_++ = ' ';
    *out_++ = static_cast<char>('0' + value / 10);
  } else {
    for (; width > 1; --width) *out_++ = ' ';
  }
  *out_++ = static_cast<char>('0' + value % 10);
}

// printf's %0<width>x.
void FastReportWriter::Hex(std::uint32_t value, int width) {
  static const char kDigits[] = "0123456789abcdef";
  int n = width;
  while (n < 8 && (value >> (4 * n)) != 0) ++n;
  for (int i = n - 1; i >= 0; --i) *out_++ = kDigits[(value >> (4 * i)) & 0xF];
}

// "%9d" of a line position (positive).
void FastReportWriter::PositionField(std::int64_t position) {
  const std::int64_t step = position - position_;
  if (position_ >= 0 && step >= 0 && step < 1000) {
    int carry = static_cast<int>(step);
    for (int i = kPositionDigits - 1; carry != 0; --i) {
      if (i < kPositionDigits - position_width_) {
        position_text_[i] = '0';
        ++position_width_;
      }
      const int digit = position_text_[i] - '0' + carry;
      position_text_[i] = static_cast<char>('0' + digit % 10);
      carry = digit / 10;
    }
  } else {
    auto magnitude = static_cast<std::uint64_t>(position);
    position_width_ = 0;
    do {
      position_text_[kPositionDigits - 1 - position_width_++] =
          static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
  }
  position_ = position;
  for (int pad = 9 - position_width_; pad > 0; --pad) *out_++ = ' ';
  std::memcpy(out_, position_text_ + kPositionDigits - position_width_,
              static_cast<std::size_t>(position_width_));
  out_ += position_width_;
}

// printf's %<width>s of a text that may end early at a zero byte: right-aligned.
void FastReportWriter::PaddedString(const char* text, std::size_t max_length, std::size_t width) {
  const void* zero = std::memchr(text, '\0', max_length);
  const std::size_t length = zero != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(zero) - text)
                                 : max_length;
  if (length < width) {
    std::memset(out_, ' ', width - length);
    out_ += width - length;
  }
  Text(text, length);
}

void FastReportWriter::Prefix(std::int64_t position, std::uint32_t block) {
  if (position > 0) {
    PositionField(position);
  } else {
    Decimal(position, 9, ' ');
  }
  *out_++ = ' ';
  Hex(block, 7);
  *out_++ = ' ';
  Hex(block >> 10, 4);
  *out_++ = ' ';
  Hex(block & 0x3FF, 3);
  *out_++ = ' ';
}

void FastReportWriter::OffsetField(BlockOffset offset) {
  static const char kFields[kOffsetCount + 1][6] = {"?  - ", "A  - ", "B  - ", "C  - ",
                                                    "C' - ", "D  - ", "E  - "};
  std::memcpy(out_, kFields[offset + 1], 5);
  out_ += 5;
}

void FastReportWriter::CorrectedOffsetField(BlockOffset offset) {
  OffsetField(offset);
  out_[-2] = '*';
}

void FastReportWriter::SkipLine(std::int64_t position, std::int64_t bits) {
  PositionField(position);
  Literal(" ------- ---- --- -- - skipped ");
  Decimal(bits, 0, ' ');
  Literal(" bits");
  EndLine();
}

void FastReportWriter::Pi(std::uint16_t pi) {
  Literal("PI=");
  Hex(pi, 4);
  *out_++ = ' ';
}

void FastReportWriter::GroupHeader(int type, int version_b, int pty, int tp) {
  Literal("Group=");
  SmallDecimal(type, 2);
  *out_++ = version_b ? 'B' : 'A';
  Literal(" PTY=");
  SmallDecimal(pty, 2);
  Literal(" TP=");
  *out_++ = tp ? 'O' : 'N';
  *out_++ = ' ';
}

void FastReportWriter::BasicTuning(int ta, int music, int di_bits, int segment) {
  Literal("TA=");
  *out_++ = ta ? 'O' : 'N';
  Literal(" MS=");
  *out_++ = music ? 'M' : 'S';
  Literal(" DI=");
  SmallDecimal(di_bits, 0);
  Literal(" Decode=");
  SmallDecimal(segment, 0);
  *out_++ = ' ';
}

void FastReportWriter::TextSegment(int segment) {
  Literal("Decode=");
  SmallDecimal(segment, 0);
  *out_++ = ' ';
}

void FastReportWriter::AfList(int expected, const std::int16_t* codes) {
  Literal("AF(");
  Decimal(expected, 0, ' ');
  Literal(")=");
  for (int k = 0; k < expected; ++k) {
    std::memcpy(out_, kAfTexts.text[codes[k] & 0xFF], 6);
    out_ += 6;
  }
  *out_++ = ' ';
}

void FastReportWriter::Ps(const char* text) {
  Literal("PS='");
  PaddedString(text, 8, 8);
  *out_++ = '\'';
}

void FastReportWriter::Radiotext(int flag, const char* text, bool version_b) {
  Literal("RT-");
  *out_++ = flag ? 'B' : 'A';
  Literal("='");
  PaddedString(text, 64, version_b ? 32 : 64);
  *out_++ = '\'';
}

void FastReportWriter::ClockTime(std::uint32_t date, std::uint32_t time, const CalendarDate& c) {
  const unsigned offset = time & 0x1F;
  Literal("CT=");
  Hex(date, 5);
  *out_++ = ' ';
  Hex(time, 5);
  Literal(" Day=");
  Decimal(c.day, 2, '0');
  *out_++ = '.';
  Decimal(c.month, 2, '0');
  *out_++ = '.';
  Decimal(c.year, 4, '0');
  Literal(" DayOfWeek=");
  Decimal(c.weekday, 0, ' ');
  Literal(" Week=");
  Decimal(c.week, 2, '0');
  *out_++ = '.';
  Decimal(c.week_year, 4, '0');
  *out_++ = ' ';
  Decimal(time >> 12, 2, '0');
  *out_++ = ':';
  Decimal((time >> 6) & 0x3F, 2, '0');
  *out_++ = (time & 0x20) ? '-' : '+';
  Decimal(offset / 2, 2, '0');
  *out_++ = ':';
  Decimal(std::int64_t{offset % 2} * 30, 2, '0');
}

}  // namespace decoder
