#include "uecp/name_elements.h"

#include <cstring>

#include "uecp/element_codes.h"

namespace uecp {
namespace {

std::array<char, kNameLength> PaddedName(const char* text) {
  std::array<char, kNameLength> name;
  name.fill(' ');
  for (std::size_t i = 0; text != nullptr && i < name.size() && text[i] != '\0'; ++i) {
    name[i] = text[i];
  }
  return name;
}

void PutName(std::uint8_t* out, const std::array<char, kNameLength>& name) {
  std::memcpy(out, name.data(), name.size());
}

}  // namespace

PsElement::PsElement(const char* text, std::uint16_t data_set_number,
                     std::uint16_t programme_service_number)
    : name_(PaddedName(text)) {
  SetHeader(kMecPs, data_set_number, programme_service_number);
  SetDataLength(kNameLength);
  AllocateBuffer();
}

std::uint8_t* PsElement::Encode() {
  PutName(MessageElement::Encode(), name_);
  return Buffer();
}

PtynElement::PtynElement(const char* text, std::uint16_t data_set_number,
                         std::uint16_t programme_service_number)
    : name_(PaddedName(text)) {
  SetHeader(kMecPtyn, data_set_number, programme_service_number);
  SetDataLength(kNameLength);
  AllocateBuffer();
}

std::uint8_t* PtynElement::Encode() {
  PutName(MessageElement::Encode(), name_);
  return Buffer();
}

}  // namespace uecp
