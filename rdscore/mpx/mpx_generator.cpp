#include "rdscore/mpx/mpx_generator.h"

#include <algorithm>
#include <utility>

namespace rds {

namespace {

constexpr std::size_t kBlock = 2048;

RdsModulatorConfig ModulatorConfig(const MpxSettings& settings, const MpxTiming& timing) {
  RdsModulatorConfig config;
  config.sample_rate = timing.true_rate;
  config.peak = settings.rds_level;
  config.carrier_offset_hz = timing.carrier_offset_hz;
  return config;
}

}  // namespace

MpxGenerator::MpxGenerator(const MpxSettings& settings, const MpxTiming& timing,
                           std::unique_ptr<AudioSource> audio)
    : rds_(ModulatorConfig(settings, timing)),
      pilot_level_(settings.pilot ? static_cast<float>(settings.pilot_level) : 0.0F),
      pilot_(kPilotHz / timing.true_rate),
      audio_(std::move(audio)),
      block_(kBlock) {}

void MpxGenerator::Render(float* out, std::size_t count) {
  while (count > 0) {
    const std::size_t n = std::min(count, kBlock);
    const std::int64_t first = rds_.next_sample();
    rds_.Render(out, n);
    if (pilot_level_ > 0.0F) {
      pilot_.Generate(first, pilot_level_, block_.data(), n);
      for (std::size_t i = 0; i < n; ++i) out[i] += block_[i];
    }
    if (audio_) audio_->Add(out, n);
    out += n;
    count -= n;
  }
}

}  // namespace rds
