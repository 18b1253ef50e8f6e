// Elements that set and steer the encoder's real-time clock. None addresses a data set or
// programme service: each is its element code followed by its data.
#ifndef RDS_UECP_CLOCK_ELEMENTS_H_
#define RDS_UECP_CLOCK_ELEMENTS_H_

#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

// Real-time clock, MEC 0x0D: UTC date and time to the centisecond and the local offset, read
// from the system clock and zone when constructed. Encoded 0D YY MM DD hh mm ss cc oo.
class RtcElement : public MessageElement {
 public:
  RtcElement();
  std::uint8_t* Encode() override;

 private:
  std::uint8_t year_ = 0;  // modulo 100
  std::uint8_t month_ = 0;
  std::uint8_t day_ = 0;
  std::uint8_t hour_ = 0;
  std::uint8_t minute_ = 0;
  std::uint8_t second_ = 0;
  std::uint8_t centisecond_ = 0;
  // -1 when local time is behind UTC by at least half an hour: an offset that truncates to
  // zero half hours is sent as +0, never as -0.
  std::int32_t negative_offset_ = 0;
  std::uint8_t offset_half_hours_ = 0;
};

// Real-time clock correction, MEC 0x09: a 16-bit correction, sent unchanged.
class RtcCorrectionElement : public MessageElement {
 public:
  explicit RtcCorrectionElement(std::uint16_t correction);
  std::uint8_t* Encode() override;

 private:
  std::uint16_t correction_;
};

// Clock-time on/off, MEC 0x19: one byte, sent unchanged.
class CtOnOffElement : public MessageElement {
 public:
  explicit CtOnOffElement(std::uint8_t on_off);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t on_off_;
};

}  // namespace uecp

#endif  // RDS_UECP_CLOCK_ELEMENTS_H_
