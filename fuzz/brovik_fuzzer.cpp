// Fuzz target: brovik's whole pipeline on arbitrary "rds-in.txt" content.
//
// The first input byte chooses how the bytes arrive and leave (read piece sizes, the decoder's
// buffer sizes, a report sink that fails after some bytes); the rest is the file. Two decoders
// written independently of each other, the shipped streaming one and the plain reference one,
// must agree byte for byte on the report and on the exit code, whatever the file holds: any
// count line, any characters on the bit line, CR LF or lone CR, zero bytes, no line end at all.
// Besides, every report line lies 26 bits after the one before and names the offset that a
// syndrome computed here calls for, and a report that cannot be written completely ends in the
// file error, never in success.
//
// Counts above kMaxBits are left out so that every run stays fast: a count only adds zero bits
// past the end of the file, and huge counts have tests of their own.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "decoder/byte_io.h"
#include "decoder/exit_code.h"
#include "decoder/fast_decoder.h"
#include "decoder/reference_decoder.h"
#include "fuzz/block_syndrome.h"
#include "fuzz/fuzz_check.h"

namespace {

using decoder::ExitCode;
using fuzz::Require;

constexpr long kMaxBits = 1L << 15;

// The count as brovik reads it: at most 9 characters of the first line, converted like strtol.
long CountOf(std::string_view file) {
  char line[10] = {};
  for (std::size_t i = 0; i < 9 && i < file.size(); ++i) {
    line[i] = file[i];
    if (file[i] == '\n') break;
  }
  return std::strtol(line, nullptr, 10);
}

// A report file on a disk that fills up after `capacity` bytes.
class FullDiskSink : public decoder::ReportSink {
 public:
  explicit FullDiskSink(std::size_t capacity) : capacity_(capacity) {}
  bool Write(const char* data, std::size_t size) override {
    const std::size_t fits = size < capacity_ - text_.size() ? size : capacity_ - text_.size();
    text_.append(data, fits);
    return fits == size;
  }
  const std::string& Text() const { return text_; }

 private:
  std::size_t capacity_;
  std::string text_;
};

// The offset field a block's syndrome calls for.
const char* OffsetField(std::uint32_t block) {
  switch (fuzz::BlockSyndrome(block)) {
    case 0x3D8:
      return "A  - ";
    case 0x3D4:
      return "B  - ";
    case 0x25C:
      return "C  - ";
    case 0x3CC:
      return "C' - ";
    case 0x258:
      return "D  - ";
    case 0x000:
      return "E  - ";
    default:
      return "?  - ";
  }
}

// Walks the report line by line: each line starts with its position, 26 bits after the one
// before (the first after a whole block A), the block, its information word and check bits, and
// the offset field its syndrome calls for. Received PS and radiotext characters are written as
// they came, line feeds included, so a line is found by its expected start, not by splitting.
void CheckReportLines(const std::string& report) {
  if (report.empty()) return;
  Require(report.back() == '\n', "the report ends with a complete line");
  std::size_t start = 0;
  long position = -1;
  while (start < report.size()) {
    const long found = std::strtol(report.substr(start, 9).c_str(), nullptr, 10);
    Require(position < 0 ? found >= 27 : found == position + 26,
            "lines 26 bits apart, the first after a whole block A");
    position = found;
    unsigned block = 0;
    unsigned info = 0;
    unsigned check = 0;
    char offset[6] = {};
    // The field widths bound every conversion and the count of conversions is checked, so a
    // malformed line fails the property instead of passing unnoticed.
    // NOLINTNEXTLINE(cert-err34-c)
    Require(std::sscanf(report.c_str() + start + 9, " %7x %4x %3x %5c", &block, &info, &check,
                        offset) == 4 &&
                report.compare(start + 9, 1, " ") == 0,
            "a line starts with position, block, information word and check bits");
    Require(block < (1u << 26) && info == block >> 10 && check == (block & 0x3FF),
            "information word and check bits are the block's");
    Require(std::strcmp(offset, OffsetField(block)) == 0, "the offset its syndrome names");

    char next_line[24];
    std::snprintf(next_line, sizeof next_line, "\n%9ld ", position + 26);
    const std::size_t next = report.find(next_line, start);
    if (next == std::string::npos) break;
    start = next + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t setup = data[0];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  if (CountOf(file) > kMaxBits) return 0;

  constexpr std::size_t kReadPieces[4] = {1, 3, 512, SIZE_MAX};
  constexpr std::size_t kChunks[4] = {1, 7, 64, std::size_t{1} << 20};
  constexpr std::size_t kReportBuffers[4] = {1, 13, 100, std::size_t{1} << 20};
  const std::size_t read_piece = kReadPieces[setup & 3];
  const decoder::BufferSizes sizes{kChunks[(setup >> 2) & 3], kReportBuffers[(setup >> 4) & 3]};

  decoder::MemorySource reference_input(file);
  decoder::StringSink reference_report;
  const ExitCode reference = decoder::DecodeCaptureReference(reference_input, reference_report);

  decoder::MemorySource fast_input(file, read_piece);
  decoder::StringSink fast_report;
  const ExitCode fast = decoder::DecodeCapture(fast_input, fast_report, sizes);

  Require(fast == reference, "both decoders end with the same exit code");
  Require(fast_report.Text() == reference_report.Text(), "both decoders write the same report");
  Require(reference == ExitCode::kDone || reference == ExitCode::kBadCount ||
              reference == ExitCode::kNoSync,
          "in memory a run ends done, with a bad count or without synchronisation");
  Require(reference == ExitCode::kDone || reference_report.Text().empty(),
          "a failed run leaves the report empty");
  CheckReportLines(reference_report.Text());

  if ((setup & 0x40) != 0 && reference == ExitCode::kDone) {
    // The disk fills up halfway through the report, one byte before its end, or just fits it.
    const std::string& full = reference_report.Text();
    const std::size_t capacity =
        (setup & 0x80) == 0 ? full.size() / 2 : full.size() - (file.size() % 2);
    decoder::MemorySource input(file, read_piece);
    FullDiskSink disk(capacity);
    const ExitCode outcome = decoder::DecodeCapture(input, disk, sizes);
    Require(outcome == (capacity < full.size() ? ExitCode::kFileError : ExitCode::kDone),
            "a report that does not fit ends in the file error");
    Require(full.compare(0, disk.Text().size(), disk.Text()) == 0,
            "what fits is the start of the report");
  }
  return 0;
}
