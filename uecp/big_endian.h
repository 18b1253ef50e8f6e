// UECP sends multi-byte values most significant byte first.
#ifndef RDS_UECP_BIG_ENDIAN_H_
#define RDS_UECP_BIG_ENDIAN_H_

#include <cstdint>

namespace uecp {

// Writes the word high byte first and returns the position behind it.
inline std::uint8_t* PutBigEndian16(std::uint8_t* out, std::uint16_t word) {
  out[0] = static_cast<std::uint8_t>(word >> 8);
  out[1] = static_cast<std::uint8_t>(word & 0xFF);
  return out + 2;
}

}  // namespace uecp

#endif  // RDS_UECP_BIG_ENDIAN_H_
