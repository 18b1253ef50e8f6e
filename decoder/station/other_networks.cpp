#include "decoder/station/other_networks.h"

namespace decoder {

OtherNetwork* OtherNetworks::Find(std::uint16_t pi) {
  for (int i = 0; i < size_; ++i) {
    if (networks_[i].pi == pi) return &networks_[i];
  }
  if (size_ == kMaxNetworks) {
    ++overflowed_;
    return nullptr;
  }
  OtherNetwork& network = networks_[size_++];
  network.pi = pi;
  return &network;
}

void OtherNetworks::AddMapping(OtherNetwork& network, std::int32_t tuned_khz,
                               std::int32_t mapped_khz) {
  for (int i = 0; i < network.mapped_count; ++i) {
    if (network.tuned_khz[i] == tuned_khz) {
      network.mapped_khz[i] = mapped_khz;
      return;
    }
  }
  if (network.mapped_count == OtherNetwork::kMaxMapped) return;  // keeps the first eight
  network.tuned_khz[network.mapped_count] = tuned_khz;
  network.mapped_khz[network.mapped_count] = mapped_khz;
  ++network.mapped_count;
}

}  // namespace decoder
