#include "uecp/management_elements.h"

#include "uecp/big_endian.h"
#include "uecp/element_codes.h"

namespace uecp {

namespace {

constexpr std::uint16_t kThirteenBits = 0x1FFF;

}  // namespace

RdsLevelElement::RdsLevelElement(std::uint16_t level_mv) : level_mv_(level_mv & kThirteenBits) {
  SetHeader(kMecRdsLevel, kAbsent, kAbsent);
  SetDataLength(2);
  AllocateBuffer();
}

std::uint8_t* RdsLevelElement::Encode() {
  PutBigEndian16(MessageElement::Encode(), level_mv_);
  return Buffer();
}

RdsPhaseElement::RdsPhaseElement(std::uint8_t reference, std::uint16_t phase_tenths_of_degree)
    : word_(static_cast<std::uint16_t>((reference & 0x07U) << 13 |
                                       (phase_tenths_of_degree & kThirteenBits))) {
  SetHeader(kMecRdsPhase, kAbsent, kAbsent);
  SetDataLength(2);
  AllocateBuffer();
}

std::uint8_t* RdsPhaseElement::Encode() {
  PutBigEndian16(MessageElement::Encode(), word_);
  return Buffer();
}

RdsOnOffElement::RdsOnOffElement(std::uint8_t on_off) : on_off_(on_off) {
  SetHeader(kMecRdsOnOff, kAbsent, kAbsent);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* RdsOnOffElement::Encode() {
  *MessageElement::Encode() = on_off_;
  return Buffer();
}

DataSetSelectElement::DataSetSelectElement(std::uint8_t data_set_number)
    : data_set_number_(data_set_number) {
  SetHeader(kMecDataSetSelect, kAbsent, kAbsent);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* DataSetSelectElement::Encode() {
  *MessageElement::Encode() = data_set_number_;
  return Buffer();
}

CommunicationModeElement::CommunicationModeElement(std::uint8_t mode) : mode_(mode) {
  SetHeader(kMecCommunicationMode, kAbsent, kAbsent);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* CommunicationModeElement::Encode() {
  *MessageElement::Encode() = mode_;
  return Buffer();
}

}  // namespace uecp
