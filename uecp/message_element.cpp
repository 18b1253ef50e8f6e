#include "uecp/message_element.h"

#include <initializer_list>

namespace uecp {

MessageElement::~MessageElement() = default;

void MessageElement::SetHeader(std::uint8_t element_code, std::uint16_t data_set_number,
                               std::uint16_t programme_service_number,
                               std::uint16_t element_length) {
  element_code_ = element_code;
  data_set_number_ = data_set_number;
  programme_service_number_ = programme_service_number;
  element_length_ = element_length;
}

void MessageElement::AllocateBuffer() {
  buffer_ = std::make_unique<std::uint8_t[]>(data_length_ + 4u);
}

std::uint8_t* MessageElement::Encode() {
  std::uint8_t* out = buffer_.get();
  if (out == nullptr) return nullptr;
  if (element_code_ != 0) *out++ = element_code_;
  // Absent bytes are skipped without a gap; present ones are sent as their low 8 bits.
  for (const std::uint16_t field : {data_set_number_, programme_service_number_, element_length_}) {
    if (field != kAbsent) *out++ = static_cast<std::uint8_t>(field & 0xFF);
  }
  return out;
}

std::uint16_t MessageElement::EncodedLength() const {
  return static_cast<std::uint16_t>(
      data_length_ + (element_code_ != 0) + (data_set_number_ != kAbsent) +
      (programme_service_number_ != kAbsent) + (element_length_ != kAbsent));
}

}  // namespace uecp
