// Helpers shared by the decoder tests: captures built from encoded blocks, and both decoders run
// in memory.
#ifndef RDS_TESTS_DECODER_CAPTURE_HELPERS_H_
#define RDS_TESTS_DECODER_CAPTURE_HELPERS_H_

#include <cstdint>
#include <string>

#include "decoder/byte_io.h"
#include "decoder/exit_code.h"
#include "decoder/fast_decoder.h"
#include "decoder/receiver_run.h"
#include "decoder/reference_decoder.h"
#include "rdscore/group.h"

namespace decoder_test {

using rds::Offset;

// Bit characters of one encoded block.
inline std::string Bits(std::uint16_t info, Offset offset) {
  std::string out;
  const std::uint32_t block = rds::EncodeBlock(info, offset);
  for (int bit = rds::kBlockBits - 1; bit >= 0; --bit)
    out.push_back((block >> bit) & 1U ? '1' : '0');
  return out;
}

// Bit characters of a whole group (C' when block B says version B).
inline std::string Group(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
  std::string out;
  rds::AppendGroupBits(rds::Group{{a, b, c, d}}, &out);
  return out;
}

// The same bits with bit `index` (0 = first character) inverted.
inline std::string Flip(std::string bits, std::size_t index) {
  bits[index] = bits[index] == '1' ? '0' : '1';
  return bits;
}

struct Result {
  decoder::ExitCode code;
  std::string report;
};

inline Result RunFast(const std::string& capture, decoder::BufferSizes sizes = {},
                      std::size_t max_read = SIZE_MAX) {
  decoder::MemorySource source(capture, max_read);
  decoder::StringSink sink;
  const decoder::ExitCode code = decoder::DecodeCapture(source, sink, sizes);
  return {code, sink.Text()};
}

inline Result RunReference(const std::string& capture) {
  decoder::MemorySource source(capture);
  decoder::StringSink sink;
  const decoder::ExitCode code = decoder::DecodeCaptureReference(source, sink);
  return {code, sink.Text()};
}

// The receiver's block layer in its plain configuration, writing its report.
inline Result RunPlain(const std::string& capture, std::size_t max_read = SIZE_MAX) {
  decoder::ReceiverRunOptions options;
  options.receiver.mode = decoder::ReceiverConfig::Mode::kPlain;
  decoder::MemorySource source(capture, max_read);
  decoder::StringSink sink;
  const decoder::ExitCode code = decoder::RunReceiver(options, source, &sink, {}, nullptr);
  return {code, sink.Text()};
}

}  // namespace decoder_test

#endif  // RDS_TESTS_DECODER_CAPTURE_HELPERS_H_
