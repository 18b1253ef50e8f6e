// Radiotext, MEC 0x0A: a configuration byte and up to 64 characters, the length of the RDS
// radiotext buffer. The element carries a MEL.
#ifndef RDS_UECP_RT_ELEMENT_H_
#define RDS_UECP_RT_ELEMENT_H_

#include <array>
#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

constexpr int kMaxRadiotextLength = 64;

class RtElement : public MessageElement {
 public:
  // The configuration byte is (transmissions AND 0x0F) << 1 | (buffer_configuration AND 0x60)
  // | (ab_flag AND 0x01): the buffer configuration is taken in place, so buffer configuration
  // 1 is passed as 0x20. A text longer than 64 characters is cut; an empty (or null) text
  // gives the empty element: MEL 0, neither configuration byte nor text.
  RtElement(const char* text, std::uint8_t transmissions, std::uint8_t buffer_configuration,
            std::uint8_t ab_flag, std::uint16_t data_set_number,
            std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t configuration_ = 0;
  std::array<char, kMaxRadiotextLength + 1> text_{};
};

}  // namespace uecp

#endif  // RDS_UECP_RT_ELEMENT_H_
