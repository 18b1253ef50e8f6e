// The two eight-character names of a programme service: the programme service name (PS) and
// the programme type name (PTYN). Receivers show exactly eight characters, so a text is cut or
// padded with spaces to eight; bytes are sent as given (the frame stuffs 0xFD..0xFF).
#ifndef RDS_UECP_NAME_ELEMENTS_H_
#define RDS_UECP_NAME_ELEMENTS_H_

#include <array>
#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

constexpr int kNameLength = 8;

// Programme service name, MEC 0x02. A null text counts as empty.
class PsElement : public MessageElement {
 public:
  PsElement(const char* text, std::uint16_t data_set_number,
            std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::array<char, kNameLength> name_;
};

// Programme type name, MEC 0x3E. A null text counts as empty.
class PtynElement : public MessageElement {
 public:
  PtynElement(const char* text, std::uint16_t data_set_number,
              std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::array<char, kNameLength> name_;
};

}  // namespace uecp

#endif  // RDS_UECP_NAME_ELEMENTS_H_
