// Enhanced other networks (EON, groups 14A and 14B): what a station tells about the other
// programmes of its broadcaster, so that a receiver can switch to one of them for traffic
// announcements. Each other network is kept by its PI.
#ifndef RDS_DECODER_STATION_OTHER_NETWORKS_H_
#define RDS_DECODER_STATION_OTHER_NETWORKS_H_

#include <cstdint>

#include "decoder/station/af_list.h"
#include "decoder/station/segmented_text.h"

namespace decoder {

struct OtherNetwork {
  std::uint16_t pi = 0;
  bool tp = false;
  bool has_ta = false;
  bool ta = false;
  int pty = -1;  // -1 until a 14A variant 13 told it
  bool has_pin = false;
  std::uint16_t pin = 0;
  SegmentedText ps{8};
  AfList af;
  // Mapped frequencies (variants 5 to 9): the other network's frequency to tune to when this
  // station is received on `tuned`.
  static constexpr int kMaxMapped = 8;
  int mapped_count = 0;
  std::int32_t tuned_khz[kMaxMapped] = {};
  std::int32_t mapped_khz[kMaxMapped] = {};
};

class OtherNetworks {
 public:
  static constexpr int kMaxNetworks = 32;

  // The network with this PI, made on first sight; nullptr when the table is full (counted in
  // Overflowed()).
  OtherNetwork* Find(std::uint16_t pi);
  int Size() const { return size_; }
  const OtherNetwork& At(int index) const { return networks_[index]; }
  int IndexOf(const OtherNetwork* network) const { return static_cast<int>(network - networks_); }
  // 14A/14B groups about networks beyond the table's room.
  std::int64_t Overflowed() const { return overflowed_; }

  // Stores a mapped frequency pair, replacing an older mapping for the same tuned frequency.
  static void AddMapping(OtherNetwork& network, std::int32_t tuned_khz, std::int32_t mapped_khz);

 private:
  OtherNetwork networks_[kMaxNetworks];
  int size_ = 0;
  std::int64_t overflowed_ = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_OTHER_NETWORKS_H_
