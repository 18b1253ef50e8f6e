#include "simulator/air_recorder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "rdscore/mpx/audio_file.h"

namespace sim {

namespace {

constexpr std::size_t kBlock = 8192;
constexpr double kPi = 3.14159265358979323846;

rds::MpxTiming Timing(const rds::MpxSettings& settings) {
  rds::MpxTiming timing;
  timing.true_rate = settings.rate;
  return timing;
}

// Samples in `groups` groups of air: the last falls before the end of the last bit.
std::int64_t SamplesIn(std::uint64_t groups, const rds::MpxSettings& settings) {
  const auto bits = static_cast<std::int64_t>(groups) * rds::kGroupBits;
  return (bits * 2 * settings.rate + rds::kBitRateTimesTwo - 1) / rds::kBitRateTimesTwo;
}

}  // namespace

std::unique_ptr<AirRecorder> AirRecorder::Open(const std::string& path,
                                               const rds::MpxSettings& settings,
                                               std::uint64_t max_groups, std::string* error) {
  std::unique_ptr<rds::AudioSource> audio = rds::OpenProgrammeAudio(settings, settings.rate, error);
  if (!error->empty()) return nullptr;
  std::unique_ptr<rds::MpxWriter> writer = rds::OpenMpxWriter(
      path, settings, max_groups == 0 ? -1 : SamplesIn(max_groups, settings), error);
  if (!writer) return nullptr;
  return std::unique_ptr<AirRecorder>(
      new AirRecorder(settings, std::move(writer), std::move(audio)));
}

AirRecorder::AirRecorder(const rds::MpxSettings& settings, std::unique_ptr<rds::MpxWriter> writer,
                         std::unique_ptr<rds::AudioSource> audio)
    : settings_(settings),
      writer_(std::move(writer)),
      generator_(settings, Timing(settings), std::move(audio)),
      block_(kBlock) {
  // The parts were checked to fit full scale at the settings' RDS level; a higher level may take
  // only what the pilot and the audio leave.
  const double pilot = settings.pilot ? settings.pilot_level : 0.0;
  const double audio_level = settings.audio.empty() ? 0.0 : settings.audio_level;
  if (settings.rds_level > 0)
    max_level_ = std::max(1.0, (1.0 - pilot - audio_level) / settings.rds_level);
}

void AirRecorder::Add(const rds::Group& group, double level, double phase_degrees) {
  if (Failed()) return;
  if (level > max_level_) {
    level = max_level_;
    level_held_ = true;
  }
  if (level == 1.0 && phase_degrees == 0.0) {
    generator_.rds().PushGroup(group);
  } else {
    generator_.rds().PushGroup(group, level, phase_degrees * kPi / 180.0);
  }
  ++groups_;
  Pump();
}

void AirRecorder::AddSilence() {
  if (Failed()) return;
  generator_.rds().PushSilentGroup();
  ++groups_;
  Pump();
}

void AirRecorder::Pump() {
  while (!Failed()) {
    std::int64_t ready = generator_.SamplesReady();
    if (end_ >= 0) ready = std::min(ready, end_ - generator_.next_sample());
    if (ready <= 0) return;
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(ready, kBlock));
    generator_.Render(block_.data(), n);
    writer_->Write(block_.data(), n);
  }
}

bool AirRecorder::Finish(std::string* summary) {
  generator_.rds().Finish();
  end_ = SamplesIn(groups_, settings_);
  Pump();
  if (Failed() || !writer_->Finish()) return false;
  const double peak = writer_->Peak();
  char text[200];
  std::snprintf(text, sizeof text, "MPX at %d Hz (%s) to %s, peak %.4f of full scale (%.2f dBFS)",
                settings_.rate,
                settings_.format == rds::MpxSampleFormat::kFloat ? "float" : "16-bit",
                writer_->Name().c_str(), peak, peak > 0 ? 20.0 * std::log10(peak) : -999.0);
  *summary = text;
  if (level_held_) {
    std::snprintf(text, sizeof text,
                  "; the RDS level was held at %.0f %% of its own, the most the "
                  "multiplex has room for",
                  100.0 * max_level_);
    *summary += text;
  }
  return true;
}

}  // namespace sim
