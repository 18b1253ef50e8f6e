#include "uecp/crc.h"

namespace uecp {

std::uint16_t uecp_crc16(const std::uint8_t* data, int count) {
  if (data == nullptr || count <= 0) return 0x0000;
  unsigned crc = 0xFFFF;
  for (int i = 0; i < count; ++i) {
    // One byte of the polynomial division at a time: the shifts by 4, 12 and 5 are the terms
    // x^12 and x^5 of the generator applied to the byte's contribution, without a table.
    crc = ((crc << 8) | (crc >> 8)) & 0xFFFF;
    crc ^= data[i];
    crc ^= (crc & 0xFF) >> 4;
    crc ^= ((crc & 0xFF) << 12) ^ ((crc & 0xFF) << 5);
    crc &= 0xFFFF;
  }
  return static_cast<std::uint16_t>(crc ^ 0xFFFF);
}

}  // namespace uecp
