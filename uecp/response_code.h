// The response codes an encoder sends in its message acknowledgement (element 0x18): 0 for a
// message received correctly, otherwise why it refused the message.
#ifndef RDS_UECP_RESPONSE_CODE_H_
#define RDS_UECP_RESPONSE_CODE_H_

#include <cstdint>

#include "uecp/element_codes.h"  // kMecAcknowledgement

namespace uecp {

// "CRC error", "parameter out of range", ...; "unknown response code" for codes UECP does not
// define.
const char* ResponseCodeName(std::uint8_t code);

}  // namespace uecp

#endif  // RDS_UECP_RESPONSE_CODE_H_
