// The modulator's speed in seconds of air per second of one core: the RDS component alone, and
// the whole multiplex (pilot, RDS, a test tone), at the rates SDR receivers record.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "rdscore/mpx/mpx_generator.h"
#include "rdscore/mpx/programme_audio.h"
#include "rdscore/mpx/rds_modulator.h"

namespace {

constexpr int kBitsPerRun = 1187 * 4;  // about four seconds of air

std::vector<int> RandomBits() {
  std::mt19937 random(1);
  std::vector<int> bits(kBitsPerRun);
  for (int& bit : bits) bit = static_cast<int>(random() & 1U);
  return bits;
}

// Pushes the bits and renders every sample they make, block by block as the programs do.
template <typename Source>
void Run(Source* source, const std::vector<int>& bits, std::vector<float>* block) {
  std::size_t next = 0;
  while (next < bits.size()) {
    for (int i = 0; i < 104 && next < bits.size(); ++i) source->rds().PushBit(bits[next++]);
    std::int64_t ready = source->SamplesReady();
    while (ready > 0) {
      const auto n = static_cast<std::size_t>(
          std::min<std::int64_t>(ready, static_cast<std::int64_t>(block->size())));
      source->Render(block->data(), n);
      benchmark::DoNotOptimize(block->data());
      ready -= static_cast<std::int64_t>(n);
    }
  }
}

// Adapts the bare modulator to the generator's shape.
struct RdsOnly {
  explicit RdsOnly(double rate)
      : modulator([rate] {
          rds::RdsModulatorConfig config;
          config.sample_rate = rate;
          return config;
        }()) {}
  rds::RdsModulator& rds() { return modulator; }
  std::int64_t SamplesReady() const { return modulator.SamplesReady(); }
  void Render(float* out, std::size_t n) { modulator.Render(out, n); }
  rds::RdsModulator modulator;
};

void BM_RdsComponent(benchmark::State& state) {
  const auto bits = RandomBits();
  std::vector<float> block(32768);
  for (auto _ : state) {
    RdsOnly source(static_cast<double>(state.range(0)));
    Run(&source, bits, &block);
  }
  state.counters["x_real_time"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBitsPerRun / 1187.5, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RdsComponent)->Arg(171000)->Arg(192000)->Arg(228000)->Unit(benchmark::kMillisecond);

void BM_Multiplex(benchmark::State& state) {
  const auto bits = RandomBits();
  std::vector<float> block(32768);
  rds::MpxSettings settings;
  settings.rate = static_cast<int>(state.range(0));
  settings.audio_level = 0.5;
  rds::MpxTiming timing;
  timing.true_rate = settings.rate;
  for (auto _ : state) {
    rds::MpxGenerator source(settings, timing,
                             std::make_unique<rds::ToneAudio>(1000.0, 0.5, settings.rate));
    Run(&source, bits, &block);
  }
  state.counters["x_real_time"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBitsPerRun / 1187.5, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Multiplex)->Arg(171000)->Arg(228000)->Unit(benchmark::kMillisecond);

}  // namespace
