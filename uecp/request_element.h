// Message request, MEC 0x17: asks the encoder for the value it holds of one element. The encoder
// answers with a frame holding that element as it would take it. Encoded 17 MEL, the requested
// element code, then the requested element's DSN and PSN where it has them (DSN 0 and PSN 0:
// the data set on air and its main service).
#ifndef RDS_UECP_REQUEST_ELEMENT_H_
#define RDS_UECP_REQUEST_ELEMENT_H_

#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

class RequestElement : public MessageElement {
 public:
  // kAbsent leaves DSN or PSN out; a PSN without a DSN is left out too.
  explicit RequestElement(std::uint8_t requested_code, std::uint16_t data_set_number = kAbsent,
                          std::uint16_t programme_service_number = kAbsent);
  std::uint8_t* Encode() override;

  std::uint8_t RequestedCode() const { return requested_code_; }

 private:
  std::uint8_t requested_code_;
  std::uint16_t requested_dsn_;
  std::uint16_t requested_psn_;
};

}  // namespace uecp

#endif  // RDS_UECP_REQUEST_ELEMENT_H_
