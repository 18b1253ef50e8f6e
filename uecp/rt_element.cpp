#include "uecp/rt_element.h"

#include <cstring>

#include "uecp/element_codes.h"

namespace uecp {

RtElement::RtElement(const char* text, std::uint8_t transmissions,
                     std::uint8_t buffer_configuration, std::uint8_t ab_flag,
                     std::uint16_t data_set_number, std::uint16_t programme_service_number) {
  std::uint16_t length = 0;
  if (text != nullptr && text[0] != '\0') {
    configuration_ = static_cast<std::uint8_t>((transmissions & 0x0F) << 1 |
                                               (buffer_configuration & 0x60) | (ab_flag & 0x01));
    std::size_t kept = 0;
    while (kept < kMaxRadiotextLength && text[kept] != '\0') {
      text_[kept] = text[kept];
      ++kept;
    }
    text_[kept] = '\0';
    length = static_cast<std::uint16_t>(1 + kept);
  }
  SetHeader(kMecRt, data_set_number, programme_service_number, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* RtElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  if (DataLength() != 0) {
    *out++ = configuration_;
    std::memcpy(out, text_.data(), DataLength() - 1u);
  }
  return Buffer();
}

}  // namespace uecp
