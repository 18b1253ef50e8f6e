// Elements that shape what a data set sends beside its service codes: the cycle of group types
// and the slow-labelling codes of 1A groups. Both carry a MEL and a list.
#ifndef RDS_UECP_SEQUENCE_ELEMENTS_H_
#define RDS_UECP_SEQUENCE_ELEMENTS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "uecp/message_element.h"

namespace uecp {

constexpr std::size_t kMaxGroupSequence = 64;
constexpr std::size_t kMaxSlowLabels = 8;

// Group sequence, MEC 0x16, for a data set (DSN; no PSN): the group types the encoder sends in
// turn, one byte each as group type × 2 + version (0x00 is 0A, 0x04 2A, 0x14 10A), masked to
// 5 bits. Longer lists are cut; an empty list asks for the encoder's own cycle.
class GroupSequenceElement : public MessageElement {
 public:
  GroupSequenceElement(const std::vector<std::uint8_t>& groups, std::uint16_t data_set_number);
  std::uint8_t* Encode() override;

 private:
  std::vector<std::uint8_t> groups_;
};

// Slow labelling, MEC 0x1A: the words block 3 of 1A groups carries, sent in turn, two bytes each:
// bit 15 the linkage actuator, bits 14..12 the variant (0: paging and extended country code,
// 3: language), bits 11..0 its data. Longer lists are cut.
class SlowLabellingElement : public MessageElement {
 public:
  SlowLabellingElement(const std::vector<std::uint16_t>& labels, std::uint16_t data_set_number,
                       std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

  // The word of variant 0: paging bits 11..8 and the extended country code.
  static std::uint16_t CountryCodeLabel(std::uint8_t extended_country_code,
                                        std::uint8_t paging = 0);
  // The word of variant 3: the language code.
  static std::uint16_t LanguageLabel(std::uint8_t language_code);

 private:
  std::vector<std::uint16_t> labels_;
};

}  // namespace uecp

#endif  // RDS_UECP_SEQUENCE_ELEMENTS_H_
