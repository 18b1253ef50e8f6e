#include "uecp/address_elements.h"

#include <algorithm>

#include "uecp/big_endian.h"
#include "uecp/element_codes.h"

namespace uecp {

SiteAddressElement::SiteAddressElement(const std::vector<std::uint16_t>& site_addresses) {
  const std::size_t kept = std::min(site_addresses.size(), kMaxAddressesPerElement);
  for (std::size_t i = 0; i < kept; ++i) addresses_.push_back(site_addresses[i] & 0x3FF);
  const auto length = static_cast<std::uint16_t>(2 * kept);
  SetHeader(kMecSiteAddress, kAbsent, kAbsent, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* SiteAddressElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  for (const std::uint16_t address : addresses_) out = PutBigEndian16(out, address);
  return Buffer();
}

EncoderAddressElement::EncoderAddressElement(const std::vector<std::uint8_t>& encoder_addresses) {
  const std::size_t kept = std::min(encoder_addresses.size(), kMaxAddressesPerElement);
  for (std::size_t i = 0; i < kept; ++i) {
    addresses_.push_back(static_cast<std::uint8_t>(encoder_addresses[i] & 0x3F));
  }
  const auto length = static_cast<std::uint16_t>(kept);
  SetHeader(kMecEncoderAddress, kAbsent, kAbsent, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* EncoderAddressElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  std::copy(addresses_.begin(), addresses_.end(), out);
  return Buffer();
}

}  // namespace uecp
