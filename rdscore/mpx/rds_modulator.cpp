#include "rdscore/mpx/rds_modulator.h"

#include <algorithm>
#include <cmath>

namespace rds {

namespace {
constexpr std::size_t kBlock = 2048;
}

RdsModulator::RdsModulator(const RdsModulatorConfig& config)
    : config_(config),
      shaper_(config.sample_rate / kBitRate),
      quadrature_(config.sample_rate / kBitRate),
      carrier_((kSubcarrierHz + config.carrier_offset_hz) / config.sample_rate),
      quadrature_carrier_((kSubcarrierHz + config.carrier_offset_hz) / config.sample_rate, 0.25),
      carrier_block_(kBlock),
      quadrature_block_(kBlock) {
  amplitude_ = static_cast<float>(config_.peak / BiphaseShaper::WorstCasePeak());
}

void RdsModulator::PushGroup(const Group& group) {
  for (const std::uint32_t block : EncodeGroup(group)) {
    for (int bit = kBlockBits - 1; bit >= 0; --bit) PushBit(static_cast<int>((block >> bit) & 1U));
  }
}

void RdsModulator::PushGroup(const Group& group, double level, double phase_radians) {
  const auto in_phase = static_cast<float>(level * std::cos(phase_radians));
  const auto quadrature = static_cast<float>(level * std::sin(phase_radians));
  if (quadrature != 0.0F) quadrature_used_ = true;
  for (const std::uint32_t block : EncodeGroup(group)) {
    for (int bit = kBlockBits - 1; bit >= 0; --bit) {
      const float symbol =
          differential_.Next(static_cast<int>((block >> bit) & 1U)) != 0 ? 1.0F : -1.0F;
      shaper_.Push(symbol * in_phase);
      quadrature_.Push(symbol * quadrature);
    }
  }
}

void RdsModulator::PushSilentGroup() {
  for (int bit = 0; bit < kGroupBits; ++bit) {
    shaper_.Push(0.0F);
    quadrature_.Push(0.0F);
  }
}

void RdsModulator::Render(float* out, std::size_t count) {
  while (count > 0) {
    const std::size_t n = std::min(count, kBlock);
    const std::int64_t first = shaper_.next_sample();
    carrier_.Generate(first, amplitude_, carrier_block_.data(), n);
    shaper_.Render(out, n);
    for (std::size_t i = 0; i < n; ++i) out[i] *= carrier_block_[i];
    if (quadrature_used_) {
      float* data = quadrature_block_.data();
      quadrature_.Render(data, n);
      quadrature_carrier_.Generate(first, amplitude_, carrier_block_.data(), n);
      for (std::size_t i = 0; i < n; ++i) out[i] += data[i] * carrier_block_[i];
    } else {
      quadrature_.Skip(n);
    }
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
