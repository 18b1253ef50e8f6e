#include "decoder/stream_bits.h"

#include <initializer_list>

namespace decoder {

namespace {

enum ByteKind : std::uint8_t { kZero, kOne, kLayout, kErasure };

struct ByteKinds {
  ByteKind of[256];
};

constexpr ByteKinds BuildByteKinds() {
  ByteKinds t{};
  for (auto& kind : t.of) kind = kErasure;
  t.of[static_cast<unsigned char>('0')] = kZero;
  t.of[static_cast<unsigned char>('1')] = kOne;
  for (const char c : {'\n', '\r', ' ', '\t'}) t.of[static_cast<unsigned char>(c)] = kLayout;
  return t;
}

constexpr ByteKinds kByteKinds = BuildByteKinds();

}  // namespace

std::size_t StreamBits::Convert(const char* bytes, std::size_t size, std::uint8_t* bits) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const ByteKind kind = kByteKinds.of[static_cast<unsigned char>(bytes[i])];
    if (kind == kLayout) continue;
    if (kind == kErasure) ++erasures_;
    bits[count++] = kind == kOne ? 1 : 0;
  }
  return count;
}

}  // namespace decoder
