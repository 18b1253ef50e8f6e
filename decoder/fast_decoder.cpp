#include "decoder/fast_decoder.h"

#include <cstdint>
#include <new>

#include "decoder/bit_line.h"
#include "decoder/block_code.h"
#include "decoder/fast_writer.h"
#include "decoder/group_decoder.h"

namespace decoder {

namespace {

// Window cells beyond the reported block: the input counts as used up once the bit 77 positions
// after the front block's start has been reached.
constexpr std::int64_t kWindowCells = 77;

// Position of the first block at or after `start` whose syndrome is that of offset A, or -1 when
// none can turn up any more: the bit line is complete and only zero bits are left, whose blocks
// have syndrome 0.
std::int64_t FindBlockA(BitLine& line, std::int64_t start) {
  const std::uint16_t wanted = OffsetSyndromeTable[A];
  std::uint16_t syndrome = FastSyndrome(line.Block(start));
  for (std::int64_t p = start;; ++p) {
    if (syndrome == wanted) return p;
    if (line.Complete() && p >= line.LastOne()) return -1;
    syndrome = NextSyndrome(syndrome, static_cast<unsigned>(line.Bit(p)),
                            static_cast<unsigned>(line.Bit(p + kBlockBits)));
    line.Release(p + 1);
  }
}

ExitCode Run(ByteSource& input, ReportSink& report, BufferSizes sizes) {
  BitLine line(input, sizes.input_chunk);
  std::int32_t bit_count = 0;
  if (!line.ReadCount(&bit_count)) return ExitCode::kFileError;
  if (bit_count < 1) return ExitCode::kBadCount;
  line.Begin(bit_count);

  // A block A followed by a block B; the A itself is never reported. After an A without its B,
  // the search goes on behind that A's 26 bits.
  std::int64_t start = 0;
  std::int64_t position;
  for (;;) {
    const std::int64_t a = FindBlockA(line, start);
    if (line.Failed()) return ExitCode::kFileError;
    if (a < 0) return ExitCode::kNoSync;
    position = a + kBlockBits;
    if (FastSyndrome(line.Block(position)) == OffsetSyndromeTable[B]) break;
    start = position;
  }

  FastReportWriter writer(report, sizes.report_buffer);
  GroupDecoder<FastReportWriter> groups;
  do {
    const std::uint32_t block = line.Block(position);
    const BlockOffset offset = FastOffsetOf(FastSyndrome(block));
    writer.Prefix(position + 1, block);
    writer.OffsetField(offset);
    groups.DecodeBlock(offset, static_cast<std::uint16_t>(block >> 10), writer);
    writer.EndLine();
    position += kBlockBits;
    line.Release(position);
    if (line.Failed() || writer.Failed()) break;
  } while (position + kWindowCells < bit_count);
  const bool written = writer.Flush();
  return written && !line.Failed() ? ExitCode::kDone : ExitCode::kFileError;
}

}  // namespace

ExitCode DecodeCapture(ByteSource& input, ReportSink& report, BufferSizes sizes) {
  try {
    return Run(input, report, sizes);
  } catch (const std::bad_alloc&) {
    return ExitCode::kNoMemory;
  }
}

}  // namespace decoder
