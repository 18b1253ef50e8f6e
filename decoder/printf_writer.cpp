#include "decoder/printf_writer.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace decoder {

namespace {
const char* OnOff(int bit) { return bit ? "O" : "N"; }
const char* AOrB(int bit) { return bit ? "B" : "A"; }
}  // namespace

// A printf-style function on purpose: the report's fields are defined by their printf formats,
// and the format attribute in the header lets the compiler check every call's arguments.
void PrintfReportWriter::Printf(const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) {
    failed_ = true;
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof buffer) {
    if (!sink_.Write(buffer, static_cast<std::size_t>(n))) failed_ = true;
    return;
  }
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(big.data(), big.size(), format, args);
  va_end(args);
  if (!sink_.Write(big.data(), static_cast<std::size_t>(n))) failed_ = true;
}

void PrintfReportWriter::Prefix(std::int64_t position, std::uint32_t block) {
  Printf("%9lld %07x %04x %03x ", static_cast<long long>(position), static_cast<unsigned>(block),
         static_cast<unsigned>(block >> 10), static_cast<unsigned>(block & 0x3FF));
}

void PrintfReportWriter::OffsetField(BlockOffset offset) {
  if (offset == None) {
    Printf("?  - ");
  } else {
    Printf("%-2.2s - ", OffsetNameTable[offset]);
  }
}

void PrintfReportWriter::EndLine() { Printf("\n"); }

void PrintfReportWriter::Pi(std::uint16_t pi) { Printf("PI=%04x ", static_cast<unsigned>(pi)); }

void PrintfReportWriter::GroupHeader(int type, int version_b, int pty, int tp) {
  Printf("Group=%2d%s ", type, AOrB(version_b));
  Printf("PTY=%2d ", pty);
  Printf("TP=%s ", OnOff(tp));
}

void PrintfReportWriter::BasicTuning(int ta, int music, int di_bits, int segment) {
  Printf("TA=%s MS=%s DI=%d Decode=%d ", OnOff(ta), music ? "M" : "S", di_bits, segment);
}

void PrintfReportWriter::TextSegment(int segment) { Printf("Decode=%d ", segment); }

void PrintfReportWriter::AfList(int expected, const std::int16_t* codes) {
  Printf("AF(%d)=", expected);
  for (int k = 0; k < expected; ++k) {
    // Single precision, as a receiver's C code computes it: int / float + float.
    const float mhz = static_cast<float>(codes[k] - 1) / 10.0f + 87.6f;
    Printf("%5.1f ", mhz);
  }
  Printf(" ");
}

void PrintfReportWriter::Ps(const char* text) { Printf("PS='%8s'", text); }

void PrintfReportWriter::Radiotext(int flag, const char* text, bool version_b) {
  if (version_b) {
    Printf("RT-%s='%32s'", AOrB(flag), text);
  } else {
    Printf("RT-%s='%64s'", AOrB(flag), text);
  }
}

void PrintfReportWriter::ClockTime(std::uint32_t date, std::uint32_t time, const CalendarDate& c) {
  const unsigned offset = time & 0x1F;
  Printf("CT=%05x %05x Day=%02d.%02d.%04d DayOfWeek=%d Week=%02d.%04d %02d:%02d%s%02d:%02d",
         static_cast<unsigned>(date), static_cast<unsigned>(time), c.day, c.month, c.year,
         c.weekday, c.week, c.week_year, static_cast<int>(time >> 12),
         static_cast<int>((time >> 6) & 0x3F), (time & 0x20) ? "-" : "+",
         static_cast<int>(offset / 2), static_cast<int>((offset % 2) * 30));
}

}  // namespace decoder
