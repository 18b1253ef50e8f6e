#include "uecp/clock_elements.h"

#include <cstdlib>
#include <initializer_list>

#include "platform/clock.h"
#include "uecp/big_endian.h"
#include "uecp/clock_values.h"
#include "uecp/element_codes.h"

namespace uecp {

RtcElement::RtcElement() {
  SetHeader(kMecRtc, kAbsent, kAbsent);
  SetDataLength(8);

  win::SYSTEMTIME utc{};
  win::GetSystemTime(&utc);
  year_ = static_cast<std::uint8_t>(utc.wYear % 100);
  month_ = static_cast<std::uint8_t>(utc.wMonth);
  day_ = static_cast<std::uint8_t>(utc.wDay);
  hour_ = static_cast<std::uint8_t>(utc.wHour);
  minute_ = static_cast<std::uint8_t>(utc.wMinute);
  second_ = static_cast<std::uint8_t>(utc.wSecond);
  centisecond_ = static_cast<std::uint8_t>(utc.wMilliseconds / 10);

  win::TIME_ZONE_INFORMATION zone{};
  const win::DWORD zone_result = win::GetTimeZoneInformation(&zone);
  const std::int32_t offset = local_offset_minutes(zone_result, zone);
  offset_half_hours_ = static_cast<std::uint8_t>((std::abs(offset) / 30) & 0x1F);
  negative_offset_ = offset < 0 && offset_half_hours_ != 0 ? -1 : 0;

  AllocateBuffer();
}

std::uint8_t* RtcElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  for (const std::uint8_t value : {year_, month_, day_, hour_, minute_, second_, centisecond_}) {
    *out++ = value;
  }
  *out = static_cast<std::uint8_t>((negative_offset_ != 0 ? 0x20 : 0x00) | offset_half_hours_);
  return Buffer();
}

RtcCorrectionElement::RtcCorrectionElement(std::uint16_t correction) : correction_(correction) {
  SetHeader(kMecRtcCorrection, kAbsent, kAbsent);
  SetDataLength(2);
  AllocateBuffer();
}

std::uint8_t* RtcCorrectionElement::Encode() {
  PutBigEndian16(MessageElement::Encode(), correction_);
  return Buffer();
}

CtOnOffElement::CtOnOffElement(std::uint8_t on_off) : on_off_(on_off) {
  SetHeader(kMecCtOnOff, kAbsent, kAbsent);
  SetDataLength(1);
  AllocateBuffer();
}

std::uint8_t* CtOnOffElement::Encode() {
  *MessageElement::Encode() = on_off_;
  return Buffer();
}

}  // namespace uecp
