// The UECP frame check: CRC-CCITT (x^16 + x^12 + x^5 + 1), most significant bit first, initial
// value 0xFFFF, result inverted.
#ifndef RDS_UECP_CRC_H_
#define RDS_UECP_CRC_H_

#include <cstdint>

namespace uecp {

// CRC over count bytes; a count of 0 or less gives 0x0000. Over the ASCII digits "123456789" it
// gives 0xD64E.
std::uint16_t uecp_crc16(const std::uint8_t* data, int count);

}  // namespace uecp

#endif  // RDS_UECP_CRC_H_
