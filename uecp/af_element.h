// Alternative frequencies, MEC 0x13: a list header word, the RDS number-of-AFs code (224 + n)
// and the AF codes of up to 25 frequencies (RDS method A). The element carries a MEL.
#ifndef RDS_UECP_AF_ELEMENT_H_
#define RDS_UECP_AF_ELEMENT_H_

#include <array>
#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

// RDS can announce at most 25 alternative frequencies in one list.
constexpr int kMaxAlternativeFrequencies = 25;
constexpr std::uint8_t kAfFillerCode = 0xCD;  // 205
constexpr std::uint8_t kAfLfMfMarker = 0xFA;  // 250: an LF/MF code follows

class AfElement : public MessageElement {
 public:
  // Frequencies in one array: FM in MHz (87.6 to 107.9), LF and MF in kHz (153 to 279, 531 to
  // 1602); values in no band (or NaN) are skipped and not counted. More than 25 frequencies
  // make an empty element without element code or buffer: it encodes to nothing and adds no
  // bytes to a frame. A null array counts as no frequencies.
  //
  // An FM frequency is rounded to the nearest 100 kHz channel. A frequency that lies halfway
  // between two channels (written as x.x5 MHz) goes to the upper one; single precision cannot
  // hold those values exactly, so "halfway" is judged to within 100 Hz.
  AfElement(std::uint16_t list_header, std::uint8_t frequency_count, const float* frequencies,
            std::uint16_t data_set_number, std::uint16_t programme_service_number);
  std::uint8_t* Encode() override;

  // Frequencies that made it into the list.
  std::uint8_t AfCount() const { return af_count_; }

 private:
  std::uint16_t list_header_ = 0;
  std::uint8_t af_count_ = 0;
  // Two bytes per LF/MF frequency, the filler and the closing 0x00.
  std::array<std::uint8_t, 2 * kMaxAlternativeFrequencies + 2> code_list_{};
};

}  // namespace uecp

#endif  // RDS_UECP_AF_ELEMENT_H_
