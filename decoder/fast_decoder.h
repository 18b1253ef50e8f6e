// The shipped decoder: streams the capture through a sliding window, keeps the syndrome of the
// search position up to date one bit at a time, and formats the report by hand. Its report is
// byte for byte that of DecodeCaptureReference.
#ifndef RDS_DECODER_FAST_DECODER_H_
#define RDS_DECODER_FAST_DECODER_H_

#include <cstddef>

#include "decoder/byte_io.h"
#include "decoder/exit_code.h"

namespace decoder {

// Buffer sizes: the input is read and the report written in pieces of these sizes.
struct BufferSizes {
  std::size_t input_chunk = std::size_t{1} << 20;
  std::size_t report_buffer = std::size_t{1} << 20;
};

// Reads a capture from `input` and writes its report to `report`. The report is flushed before
// returning; nothing of it is written when the result is kBadCount or kNoSync.
[[nodiscard]] ExitCode DecodeCapture(ByteSource& input, ReportSink& report,
                                     BufferSizes sizes = BufferSizes{});

}  // namespace decoder

#endif  // RDS_DECODER_FAST_DECODER_H_
