#include "decoder/reference_decoder.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "decoder/block_sync.h"
#include "decoder/group_decoder.h"
#include "decoder/printf_writer.h"
#include "decoder/text_reader.h"

namespace decoder {

namespace {

// The count line holds at most 9 characters, so its value always fits 32 bits.
constexpr std::size_t kCountLineSize = 10;

ExitCode Run(ByteSource& input, ReportSink& report) {
  TextReader reader(input);
  char count_line[kCountLineSize];
  // The length is of no use: strtol stops at the line's end, and a read error shows in Failed().
  static_cast<void>(reader.GetLine(count_line, sizeof count_line));
  if (reader.Failed()) return ExitCode::kFileError;
  const auto bit_count = static_cast<std::int32_t>(std::strtol(count_line, nullptr, 10));
  if (bit_count < 1) return ExitCode::kBadCount;

  // The bit line: at most N - 1 characters, up to and including the first newline.
  std::vector<char> bit_text;
  while (static_cast<std::int64_t>(bit_text.size()) < std::int64_t{bit_count} - 1) {
    const int c = reader.Get();
    if (c == TextReader::kEnd) break;
    bit_text.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (reader.Failed()) return ExitCode::kFileError;

  BlockSync sync(std::move(bit_text), bit_count);
  sync.Reset();
  sync.Fill();
  sync.Evaluate();
  do {
    if (!sync.SyncTo(A)) return ExitCode::kNoSync;
    sync.Advance(kBlockBits);  // the block A itself is never reported
    sync.Evaluate();
  } while (sync.FrontSyndrome() != OffsetSyndromeTable[B]);

  PrintfReportWriter writer(report);
  GroupDecoder<PrintfReportWriter> groups;
  do {
    const std::uint32_t block = sync.FrontBlock();
    const BlockOffset offset = BlockSync::OffsetOf(sync.FrontSyndrome());
    writer.Prefix(std::int64_t{sync.Discarded()} + 1, block);
    writer.OffsetField(offset);
    groups.DecodeBlock(offset, static_cast<std::uint16_t>(block >> 10), writer);
    writer.EndLine();
    sync.Advance(kBlockBits);
    sync.Evaluate();
  } while (!sync.AtEnd());
  return writer.Flush() ? ExitCode::kDone : ExitCode::kFileError;
}

}  // namespace

ExitCode DecodeCaptureReference(ByteSource& input, ReportSink& report) {
  try {
    return Run(input, report);
  } catch (const std::bad_alloc&) {
    return ExitCode::kNoMemory;
  }
}

}  // namespace decoder
