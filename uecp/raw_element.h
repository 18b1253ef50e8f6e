// An element given as its element code and the bytes that follow it, sent exactly as given: for
// values the typed classes do not build (a clock set to a given instant, a free-format group with
// every bit under the sender's control).
#ifndef RDS_UECP_RAW_ELEMENT_H_
#define RDS_UECP_RAW_ELEMENT_H_

#include <cstdint>
#include <vector>

#include "uecp/message_element.h"

namespace uecp {

class RawElement : public MessageElement {
 public:
  // bytes: everything after the element code (DSN, PSN, MEL as the element has them, and data).
  RawElement(std::uint8_t element_code, std::vector<std::uint8_t> bytes);
  std::uint8_t* Encode() override;

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace uecp

#endif  // RDS_UECP_RAW_ELEMENT_H_
