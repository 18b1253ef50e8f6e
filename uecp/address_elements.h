// Elements that give the encoder its addresses: the site addresses (10 bits) and encoder
// addresses (6 bits) it answers to from then on. Each carries a MEL and a list: the list replaces
// the encoder's addresses of that kind. Address 0 in a frame's header reaches every encoder, so
// it has no place in a list; it is sent as given all the same.
#ifndef RDS_UECP_ADDRESS_ELEMENTS_H_
#define RDS_UECP_ADDRESS_ELEMENTS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "uecp/message_element.h"

namespace uecp {

// An encoder keeps a handful of addresses of each kind; longer lists are cut.
constexpr std::size_t kMaxAddressesPerElement = 8;

// Set site address, MEC 0x23: each address as two bytes, masked to 10 bits.
class SiteAddressElement : public MessageElement {
 public:
  explicit SiteAddressElement(const std::vector<std::uint16_t>& site_addresses);
  std::uint8_t* Encode() override;

 private:
  std::vector<std::uint16_t> addresses_;
};

// Set encoder address, MEC 0x27: each address as one byte, masked to 6 bits.
class EncoderAddressElement : public MessageElement {
 public:
  explicit EncoderAddressElement(const std::vector<std::uint8_t>& encoder_addresses);
  std::uint8_t* Encode() override;

 private:
  std::vector<std::uint8_t> addresses_;
};

}  // namespace uecp

#endif  // RDS_UECP_ADDRESS_ELEMENTS_H_
