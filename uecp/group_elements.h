// Free-format RDS groups, MEC 0x24: the encoder transmits the group as given. The clock-time
// group 4A is one of them, filled from the system clock.
#ifndef RDS_UECP_GROUP_ELEMENTS_H_
#define RDS_UECP_GROUP_ELEMENTS_H_

#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

class FreeFormatGroupElement : public MessageElement {
 public:
  FreeFormatGroupElement();

  // group_type_version: group type × 2 + version (0x08 is 4A); buffer_configuration in bits
  // 6..5, taken in place; block_b_bits: the five low bits of block B. Masked when encoded.
  // A frame encodes the element when it is appended, so set the group before that.
  void SetGroup(std::uint16_t group_type_version, std::uint16_t buffer_configuration,
                std::uint16_t block_b_bits, std::uint16_t block_c, std::uint16_t block_d);
  std::uint8_t* Encode() override;

 private:
  std::uint16_t group_type_version_ = 0;
  std::uint16_t buffer_configuration_ = 0;
  std::uint16_t block_b_bits_ = 0;
  std::uint16_t block_c_ = 0;
  std::uint16_t block_d_ = 0;
};

// Clock-time group 4A with the UTC date and time and the local offset of the moment it is
// constructed, taken from one clock reading.
class CtGroupElement : public FreeFormatGroupElement {
 public:
  CtGroupElement();
  std::uint8_t* Encode() override;

  std::int32_t Mjd() const { return mjd_; }
  std::int32_t TimeWord() const { return time_word_; }

 private:
  std::int32_t mjd_ = 0;
  std::int32_t time_word_ = 0;
};

}  // namespace uecp

#endif  // RDS_UECP_GROUP_ELEMENTS_H_
