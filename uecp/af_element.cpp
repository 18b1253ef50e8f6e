#include "uecp/af_element.h"

#include <cmath>
#include <cstring>

#include "uecp/big_endian.h"
#include "uecp/element_codes.h"

namespace uecp {
namespace {

// Band limits in single precision, the precision callers hand frequencies in: a float 87.6
// compared with a double 87.6 would fall below the band.
constexpr float kFmLowMhz = 87.6f;
constexpr float kFmHighMhz = 107.9f;
constexpr float kLfLowKhz = 153.0f;
constexpr float kLfHighKhz = 279.0f;
constexpr float kMfLowKhz = 531.0f;
constexpr float kMfHighKhz = 1602.0f;
constexpr float kLfMfStepKhz = 9.0f;
constexpr int kFirstMfCode = 16;

// Slack, in 100 kHz channels, for judging a frequency to be halfway between two channels: far
// above the rounding error of a float near 108 MHz (about 1e-4 channels), far below any real
// frequency offset.
constexpr float kHalfwaySlack = 1e-3f;

bool InBand(float f, float low, float high) { return f >= low && f <= high; }

// Appends the AF bytes of one frequency; returns the number appended (0: in no band).
int AppendCodes(float f, std::uint8_t* out) {
  if (InBand(f, kFmLowMhz, kFmHighMhz)) {
    const float channels = (f - kFmLowMhz) * 10.0f;
    out[0] = static_cast<std::uint8_t>(std::floor(channels + 0.5f + kHalfwaySlack) + 1);
    return 1;
  }
  int code = 0;
  if (InBand(f, kLfLowKhz, kLfHighKhz)) {
    code = static_cast<int>(std::floor((f - kLfLowKhz) / kLfMfStepKhz)) + 1;
  } else if (InBand(f, kMfLowKhz, kMfHighKhz)) {
    code = static_cast<int>(std::floor((f - kMfLowKhz) / kLfMfStepKhz)) + kFirstMfCode;
  } else {
    return 0;
  }
  out[0] = kAfLfMfMarker;
  out[1] = static_cast<std::uint8_t>(code);
  return 2;
}

}  // namespace

AfElement::AfElement(std::uint16_t list_header, std::uint8_t frequency_count,
                     const float* frequencies, std::uint16_t data_set_number,
                     std::uint16_t programme_service_number) {
  if (frequency_count > kMaxAlternativeFrequencies) return;
  list_header_ = list_header;
  std::size_t bytes = 0;
  for (int i = 0; frequencies != nullptr && i < frequency_count; ++i) {
    const int appended = AppendCodes(frequencies[i], &code_list_[bytes]);
    if (appended != 0) ++af_count_;
    bytes += static_cast<std::size_t>(appended);
  }
  // The count code and the codes go out in pairs in RDS group 0A; an even number of codes
  // leaves the last pair one short, which the filler completes.
  if (bytes != 0 && bytes % 2 == 0) code_list_[bytes++] = kAfFillerCode;
  code_list_[bytes++] = 0x00;  // closes the list; part of the data and counted in MEL

  const auto length = static_cast<std::uint16_t>(3 + bytes);
  SetHeader(kMecAf, data_set_number, programme_service_number, length);
  SetDataLength(length);
  AllocateBuffer();
}

std::uint8_t* AfElement::Encode() {
  std::uint8_t* out = MessageElement::Encode();
  if (out == nullptr) return nullptr;  // refused for its size: no buffer, nothing to write
  out = PutBigEndian16(out, list_header_);
  *out++ = static_cast<std::uint8_t>(0xE0 + af_count_);
  std::memcpy(out, code_list_.data(), DataLength() - 3u);
  return Buffer();
}

}  // namespace uecp
