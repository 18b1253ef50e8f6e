#include "uecp/request_element.h"

#include "uecp/element_codes.h"

namespace uecp {

RequestElement::RequestElement(std::uint8_t requested_code, std::uint16_t data_set_number,
                               std::uint16_t programme_service_number)
    : requested_code_(requested_code),
      requested_dsn_(data_set_number),
      requested_psn_(data_set_number == kAbsent ? kAbsent : programme_service_number) {
  const auto length =
      static_cast<std::uint16_t>(1 + (requested_dsn_ != kAbsent) + (requested_psn_ != kAbsent));
  SetHeader(kMecRequest, kAbsent, kAbsent, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* RequestElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  *out++ = requested_code_;
  if (requested_dsn_ != kAbsent) *out++ = static_cast<std::uint8_t>(requested_dsn_ & 0xFF);
  if (requested_psn_ != kAbsent) *out = static_cast<std::uint8_t>(requested_psn_ & 0xFF);
  return Buffer();
}

}  // namespace uecp
