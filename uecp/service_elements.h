// Elements that carry one fixed-size service code for a data set (DSN) and programme service
// (PSN): PI, TA/TP, DI, M/S, PIN and PTY. Values wider than their RDS field are masked.
#ifndef RDS_UECP_SERVICE_ELEMENTS_H_
#define RDS_UECP_SERVICE_ELEMENTS_H_

#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

// Programme identification, MEC 0x01: the 16-bit PI code.
class PiElement : public MessageElement {
 public:
  PiElement(std::uint16_t pi_code, std::uint16_t data_set_number,
            std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint16_t pi_code_;
};

// Traffic announcement / traffic programme, MEC 0x03: bit 1 TP, bit 0 TA.
class TaTpElement : public MessageElement {
 public:
  TaTpElement(std::uint8_t ta_tp_flags, std::uint16_t data_set_number,
              std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t ta_tp_flags_;
};

// Decoder information, MEC 0x04: the four DI bits d3..d0.
class DiElement : public MessageElement {
 public:
  DiElement(std::uint8_t di_flags, std::uint16_t data_set_number,
            std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t di_flags_;
};

// Music/speech, MEC 0x05: 1 music, 0 speech.
class MsElement : public MessageElement {
 public:
  MsElement(std::uint8_t music_speech_flag, std::uint16_t data_set_number,
            std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t music_speech_flag_;
};

// Programme item number, MEC 0x06: the 16 bits as RDS codes the PIN (day, hour, minute).
class PinElement : public MessageElement {
 public:
  PinElement(std::uint16_t programme_item_number, std::uint16_t data_set_number,
             std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint16_t programme_item_number_;
};

// Programme type, MEC 0x07: 0 to 31.
class PtyElement : public MessageElement {
 public:
  PtyElement(std::uint8_t programme_type, std::uint16_t data_set_number,
             std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t programme_type_;
};

}  // namespace uecp

#endif  // RDS_UECP_SERVICE_ELEMENTS_H_
