#include "uecp/sequence_elements.h"

#include <algorithm>

#include "uecp/big_endian.h"
#include "uecp/element_codes.h"

namespace uecp {

GroupSequenceElement::GroupSequenceElement(const std::vector<std::uint8_t>& groups,
                                           std::uint16_t data_set_number) {
  const std::size_t kept = std::min(groups.size(), kMaxGroupSequence);
  for (std::size_t i = 0; i < kept; ++i) {
    groups_.push_back(static_cast<std::uint8_t>(groups[i] & 0x1F));
  }
  const auto length = static_cast<std::uint16_t>(kept);
  SetHeader(kMecGroupSequence, data_set_number, kAbsent, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* GroupSequenceElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  std::copy(groups_.begin(), groups_.end(), out);
  return Buffer();
}

SlowLabellingElement::SlowLabellingElement(const std::vector<std::uint16_t>& labels,
                                           std::uint16_t data_set_number,
                                           std::uint16_t programme_service_number)
    : labels_(labels.begin(), labels.begin() + static_cast<std::ptrdiff_t>(
                                                   std::min(labels.size(), kMaxSlowLabels))) {
  const auto length = static_cast<std::uint16_t>(2 * labels_.size());
  SetHeader(kMecSlowLabelling, data_set_number, programme_service_number, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* SlowLabellingElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  for (const std::uint16_t label : labels_) out = PutBigEndian16(out, label);
  return Buffer();
}

std::uint16_t SlowLabellingElement::CountryCodeLabel(std::uint8_t extended_country_code,
                                                     std::uint8_t paging) {
  return static_cast<std::uint16_t>((paging & 0x0FU) << 8 | extended_country_code);
}

std::uint16_t SlowLabellingElement::LanguageLabel(std::uint8_t language_code) {
  return static_cast<std::uint16_t>(0x3000U | language_code);
}

}  // namespace uecp
