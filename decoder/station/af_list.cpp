#include "decoder/station/af_list.h"

namespace decoder {
namespace {

constexpr int kNoAf = 224;  // count code of an empty list
constexpr int kLastCount = 249;
constexpr int kFiller = 205;
constexpr int kLfMfFollows = 250;

}  // namespace

std::int32_t AfList::FmKiloHertz(int code) {
  return code >= 1 && code <= 204 ? 87600 + (code - 1) * 100 : 0;
}

std::int32_t AfList::LfMfKiloHertz(int code) {
  if (code >= 1 && code <= 15) return 153 + (code - 1) * 9;     // LF, 9 kHz raster
  if (code >= 16 && code <= 135) return 531 + (code - 16) * 9;  // MF, 9 kHz raster
  return 0;
}

bool AfList::AddPair(std::uint8_t first, std::uint8_t second) {
  const bool completed_first = AddCode(first);
  const bool completed_second = AddCode(second);
  return completed_first || completed_second;
}

bool AfList::AddCode(int code) {
  if (code >= kNoAf && code <= kLastCount) {
    expected_ = code - kNoAf;
    pending_size_ = 0;
    lf_mf_next_ = false;
    if (expected_ == 0) {  // the station says it has no alternative frequencies
      size_ = 0;
      known_ = true;
      return true;
    }
    return false;
  }
  if (code == kLfMfFollows) {
    lf_mf_next_ = true;
    return false;
  }
  const std::int32_t khz = lf_mf_next_ ? LfMfKiloHertz(code) : FmKiloHertz(code);
  lf_mf_next_ = false;
  // Fillers, unassigned codes and frequencies before any count code carry nothing.
  if (code == kFiller || khz == 0 || expected_ == 0 || pending_size_ == expected_) return false;
  for (int i = 0; i < pending_size_; ++i) {
    if (pending_[i] == khz) return false;  // a list repeats; each frequency counts once
  }
  pending_[pending_size_++] = khz;
  if (pending_size_ < expected_) return false;
  for (int i = 0; i < pending_size_; ++i) list_[i] = pending_[i];
  size_ = pending_size_;
  known_ = true;
  return true;
}

}  // namespace decoder
