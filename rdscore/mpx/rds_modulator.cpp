#include "rdscore/mpx/rds_modulator.h"

#include <algorithm>

namespace rds {

namespace {
constexpr std::size_t kBlock = 2048;
}

RdsModulator::RdsModulator(const RdsModulatorConfig& config)
    : config_(config),
      shaper_(config.sample_rate / kBitRate),
      carrier_((kSubcarrierHz + config.carrier_offset_hz) / config.sample_rate),
      carrier_block_(kBlock) {
  amplitude_ = static_cast<float>(config_.peak / BiphaseShaper::WorstCasePeak());
}

void RdsModulator::PushGroup(const Group& group) {
  for (const std::uint32_t block : EncodeGroup(group)) {
    for (int bit = kBlockBits - 1; bit >= 0; --bit) PushBit(static_cast<int>((block >> bit) & 1U));
  }
}

void RdsModulator::Render(float* out, std::size_t count) {
  while (count > 0) {
    const std::size_t n = std::min(count, kBlock);
    carrier_.Generate(shaper_.next_sample(), amplitude_, carrier_block_.data(), n);
    shaper_.Render(out, n);
    for (std::size_t i = 0; i < n; ++i) out[i] *= carrier_block_[i];
    out += n;
    count -= n;
  }
}

double RdsModulator::MeanPowerForPeak(double peak) {
  // The amplitude that gives that peak; the carrier's square averages 1/2.
  const double amplitude = peak / BiphaseShaper::WorstCasePeak();
  return amplitude * amplitude * BiphaseShaper::MeanPower() / 2.0;
}

}  // namespace rds
