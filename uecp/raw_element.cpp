#include "uecp/raw_element.h"

#include <algorithm>
#include <utility>

namespace uecp {

RawElement::RawElement(std::uint8_t element_code, std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes)) {
  SetHeader(element_code, kAbsent, kAbsent);
  SetDataLength(static_cast<std::uint16_t>(bytes_.size()));
  AllocateBuffer();
}

std::uint8_t* RawElement::Encode() {
  std::copy(bytes_.begin(), bytes_.end(), MessageElement::Encode());
  return Buffer();
}

}  // namespace uecp
