#include "uecp/group_elements.h"

#include "uecp/big_endian.h"
#include "uecp/clock_values.h"
#include "uecp/element_codes.h"

namespace uecp {
namespace {

constexpr std::uint16_t kGroup4A = 0x08;

}  // namespace

FreeFormatGroupElement::FreeFormatGroupElement() {
  SetHeader(kMecFreeFormatGroup, kAbsent, kAbsent);
  SetDataLength(6);
  AllocateBuffer();
}

void FreeFormatGroupElement::SetGroup(std::uint16_t group_type_version,
                                      std::uint16_t buffer_configuration,
                                      std::uint16_t block_b_bits, std::uint16_t block_c,
                                      std::uint16_t block_d) {
  group_type_version_ = group_type_version;
  buffer_configuration_ = buffer_configuration;
  block_b_bits_ = block_b_bits;
  block_c_ = block_c;
  block_d_ = block_d;
}

std::uint8_t* FreeFormatGroupElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  *out++ = static_cast<std::uint8_t>(group_type_version_ & 0x1F);
  *out++ = static_cast<std::uint8_t>((buffer_configuration_ & 0x60) | (block_b_bits_ & 0x1F));
  out = PutBigEndian16(out, block_c_);
  PutBigEndian16(out, block_d_);
  return Buffer();
}

CtGroupElement::CtGroupElement() {
  const ClockTimeValues now = current_clock_time();
  mjd_ = now.mjd;
  time_word_ = now.time_word;
  // Group 4A: MJD bits 16..15 in block B, MJD bits 14..0 and the hour's top bit in block C,
  // the rest of the hour, the minute and the offset in block D.
  const auto mjd = static_cast<std::uint32_t>(mjd_);
  const auto word = static_cast<std::uint32_t>(time_word_);
  SetGroup(kGroup4A, 0, static_cast<std::uint16_t>(mjd >> 15),
           static_cast<std::uint16_t>(((mjd << 1) | ((word >> 16) & 1)) & 0xFFFF),
           static_cast<std::uint16_t>(word & 0xFFFF));
}

std::uint8_t* CtGroupElement::Encode() { return FreeFormatGroupElement::Encode(); }

}  // namespace uecp
