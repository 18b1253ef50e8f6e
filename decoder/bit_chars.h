// Bit characters eight at a time: a byte equal to '1' is a one, any other byte a zero. Capture
// text holds one character per bit, and testing eight of them with a few word operations instead
// of eight compares is what keeps the decoders' inner loops fast.
#ifndef RDS_DECODER_BIT_CHARS_H_
#define RDS_DECODER_BIT_CHARS_H_

#include <cstdint>
#include <cstring>

namespace decoder {

// Whether eight characters loaded as one little-endian word come out in stream order.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kEightAtOnce = false;
#else
constexpr bool kEightAtOnce = true;
#endif

// Eight characters (first at the lowest address) to eight bits, the first character as the most
// significant bit. Little-endian loads only (kEightAtOnce).
inline std::uint32_t OnesOf8(const char* chars) {
  std::uint64_t word;
  std::memcpy(&word, chars, sizeof word);
  const std::uint64_t diff = word ^ 0x3131313131313131u;  // zero where the byte is '1'
  const std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
  const std::uint64_t zero = ~(((diff & low7) + low7) | diff | low7);  // high bit of zero bytes
  return static_cast<std::uint32_t>(((zero >> 7) * 0x8040201008040201u) >> 56);
}

}  // namespace decoder

#endif  // RDS_DECODER_BIT_CHARS_H_
