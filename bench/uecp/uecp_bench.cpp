// Costs of assembling UECP frames: the CRC, building a full frame, and the sender's whole
// per-frame cycle (elements created, appended, built, deleted).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "uecp/uecp.h"

namespace {

void BM_Crc16FullFrame(benchmark::State& state) {
  std::array<std::uint8_t, 259> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  for (auto _ : state) {
    benchmark::DoNotOptimize(uecp::uecp_crc16(bytes.data(), static_cast<int>(bytes.size())));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 259);
}
BENCHMARK(BM_Crc16FullFrame);

// Hands an element to the frame, which owns it from then on. A refusal would measure a frame
// other than the one named, so it ends the benchmark with an error.
template <typename Element>
bool Add(uecp::UecpFrame& frame, std::unique_ptr<Element> element, benchmark::State& state) {
  if (frame.AddElement(element)) return true;
  state.SkipWithError("the frame refused an element");
  return false;
}

// A frame with a full 255-byte message field; fill_byte 0xFF makes every byte need stuffing.
void BM_BuildFullFrame(benchmark::State& state) {
  const std::string text(64, static_cast<char>(state.range(0)));
  uecp::UecpFrame frame(0x3FF, 0x3F);
  for (int i = 0; i < 3; ++i) {
    if (!Add(frame, std::make_unique<uecp::RtElement>(text.c_str(), 0, 0, 0, 0, 0), state)) return;
  }
  const std::string rest = text.substr(0, 43);
  if (!Add(frame, std::make_unique<uecp::RtElement>(rest.c_str(), 0, 0, 0, 0, 0), state)) return;
  for (auto _ : state) {
    frame.Build();
    benchmark::DoNotOptimize(frame.StuffedData());
  }
  state.counters["stuffed_bytes"] = frame.StuffedLength();
}
BENCHMARK(BM_BuildFullFrame)->Arg('x')->Arg(0xFF);

void BM_SenderFrameCycle(benchmark::State& state) {
  const float af[] = {88.1f, 107.5f};
  for (auto _ : state) {
    // Allocated per frame, as tamsel does.
    auto frame = std::make_unique<uecp::UecpFrame>(0, 0);
    if (!Add(*frame, std::make_unique<uecp::AfElement>(0, 2, af, 0, 0), state)) return;
    frame->Build();
    benchmark::DoNotOptimize(frame->StuffedData());
  }
}
BENCHMARK(BM_SenderFrameCycle);

void BM_CtGroupElement(benchmark::State& state) {
  for (auto _ : state) {
    uecp::CtGroupElement group;
    benchmark::DoNotOptimize(group.Encode());
  }
}
BENCHMARK(BM_CtGroupElement);

}  // namespace
