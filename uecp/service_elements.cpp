#include "uecp/service_elements.h"

#include "uecp/big_endian.h"
#include "uecp/element_codes.h"

namespace uecp {

PiElement::PiElement(std::uint16_t pi_code, std::uint16_t data_set_number,
                     std::uint16_t programme_service_number)
    : pi_code_(pi_code) {
  SetHeader(kMecPi, data_set_number, programme_service_number);
  SetDataLength(2);
  AllocateBuffer();
}

std::uint8_t* PiElement::Encode() {
  PutBigEndian16(MessageElement::Encode(), pi_code_);
  return Buffer();
}

TaTpElement::TaTpElement(std::uint8_t ta_tp_flags, std::uint16_t data_set_number,
                         std::uint16_t programme_service_number)
    : ta_tp_flags_(ta_tp_flags & 0x03) {
  SetHeader(kMecTaTp, data_set_number, programme_service_number);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* TaTpElement::Encode() {
  *MessageElement::Encode() = ta_tp_flags_;
  return Buffer();
}

DiElement::DiElement(std::uint8_t di_flags, std::uint16_t data_set_number,
                     std::uint16_t programme_service_number)
    : di_flags_(di_flags & 0x0F) {
  SetHeader(kMecDi, data_set_number, programme_service_number);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* DiElement::Encode() {
  *MessageElement::Encode() = di_flags_;
  return Buffer();
}

MsElement::MsElement(std::uint8_t music_speech_flag, std::uint16_t data_set_number,
                     std::uint16_t programme_service_number)
    : music_speech_flag_(music_speech_flag & 0x01) {
  SetHeader(kMecMs, data_set_number, programme_service_number);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* MsElement::Encode() {
  *MessageElement::Encode() = music_speech_flag_;
  return Buffer();
}

PinElement::PinElement(std::uint16_t programme_item_number, std::uint16_t data_set_number,
                       std::uint16_t programme_service_number)
    : programme_item_number_(programme_item_number) {
  SetHeader(kMecPin, data_set_number, programme_service_number);
  SetDataLength(2);
  AllocateBuffer();
}

std::uint8_t* PinElement::Encode() {
  PutBigEndian16(MessageElement::Encode(), programme_item_number_);
  return Buffer();
}

PtyElement::PtyElement(std::uint8_t programme_type, std::uint16_t data_set_number,
                       std::uint16_t programme_service_number)
    : programme_type_(programme_type & 0x1F) {
  SetHeader(kMecPty, data_set_number, programme_service_number);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* PtyElement::Encode() {
  *MessageElement::Encode() = programme_type_;
  return Buffer();
}

}  // namespace uecp
