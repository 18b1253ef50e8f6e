// A live bit stream as a demodulator writes it: no count line, '0' and '1' are bits, and LF, CR,
// space and tab are layout, ignored, so that line-broken output reads as one stream. Any other
// byte stands where a bit should be but tells nothing of its value: it is an erasure, read as a
// 0 bit and counted, so that one garbled character costs one bit rather than the alignment of
// everything after it.
#ifndef RDS_DECODER_STREAM_BITS_H_
#define RDS_DECODER_STREAM_BITS_H_

#include <cstddef>
#include <cstdint>

namespace decoder {

class StreamBits {
 public:
  // Converts `size` bytes into bits (0 or 1) at `bits`, which has room for `size` of them;
  // returns how many bits they held.
  std::size_t Convert(const char* bytes, std::size_t size, std::uint8_t* bits);

  // Bytes taken as erasures so far.
  std::int64_t Erasures() const { return erasures_; }

 private:
  std::int64_t erasures_ = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_STREAM_BITS_H_
