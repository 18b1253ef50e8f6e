// The station view's speed: groups per second through the JSON writer (every group becomes a
// line) and through the summary, on one minute of a busy made-up station (PS and AF in 0A,
// 64-character radiotext in 2A, PIN and ECC in 1A, an RT+ announcement in 3A and its tags in 11A,
// PTYN in 10A, other networks in 14A, clock time in 4A), replayed over and over.
// Counters: groups/s, and Mbit/s of capture that rate stands for (104 bits a group), both against
// the processor time of the benchmark (the wall-clock time is in the Time column).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "decoder/byte_io.h"
#include "decoder/received_group.h"
#include "decoder/station/json_group_writer.h"
#include "decoder/station/station_summary.h"

namespace {

constexpr std::uint16_t kPi = 0xD3A1;
constexpr int kGroupsPerMinute = 688;
constexpr char kPs[] = "BROVIK  ";
constexpr char kRadiotext[] = "Now playing: The Artist - A Title That Fills The Whole Radiotext!";
constexpr char kPtyn[] = "TRANCE  ";

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the words in the order of the blocks
decoder::ReceivedGroup Group(int type, bool version_b, int low_bits, std::uint16_t c,
                             std::uint16_t d) {
  decoder::ReceivedGroup group;
  const int b = type << 12 | (version_b ? 1 << 11 : 0) | 1 << 10 | 10 << 5 | (low_bits & 0x1F);
  group.info = {kPi, static_cast<std::uint16_t>(b), c, d};
  group.status.fill(decoder::BlockStatus::kClean);
  return group;
}

std::uint16_t Chars(const char* text, int at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(text[at]) << 8 |
                                    static_cast<unsigned char>(text[at + 1]));
}

std::vector<decoder::ReceivedGroup> OneMinute() {
  static constexpr std::uint16_t kAfPairs[] = {0xE537, 0x5BCC, 0x9601, 0x2905};  // 5 frequencies
  std::vector<decoder::ReceivedGroup> groups;
  int ps_segment = 0, rt_segment = 0, af_pair = 0, extra = 0;
  for (int i = 0; i < kGroupsPerMinute; ++i) {
    if (i == 0) {
      groups.push_back(Group(4, false, 1, 0xD95C, 0x4B42));  // 4A clock time
    } else if (i % 10 == 4) {
      groups.push_back(Group(2, false, rt_segment, Chars(kRadiotext, 4 * rt_segment),
                             Chars(kRadiotext, 4 * rt_segment + 2)));
      rt_segment = (rt_segment + 1) % 16;
    } else if (i % 10 == 9) {
      switch (extra++ % 5) {
        case 0:
          groups.push_back(Group(1, false, 0, 0x00E0, 0x6200));  // ECC E0, PIN
          break;
        case 1:
          groups.push_back(Group(3, false, 22, 0x0000, 0x4BD7));  // RT+ in 11A
          break;
        case 2:  // RT+: item.artist at 13 (10 chars), item.title at 26 (38 chars)
          groups.push_back(Group(11, false, 0x08, 0x8692, 0x2345));
          break;
        case 3:
          groups.push_back(Group(10, false, extra & 1, Chars(kPtyn, 4 * (extra & 1)),
                                 Chars(kPtyn, 4 * (extra & 1) + 2)));
          break;
        default:
          groups.push_back(Group(14, false, extra % 4, Chars(kPs, 2 * (extra % 4)), 0xD3A2));
          break;
      }
    } else {
      groups.push_back(
          Group(0, false, ps_segment | 0x08, kAfPairs[af_pair], Chars(kPs, 2 * ps_segment)));
      ps_segment = (ps_segment + 1) % 4;
      af_pair = (af_pair + 1) % 4;
    }
  }
  return groups;
}

class NullSink : public decoder::ReportSink {
 public:
  bool Write(const char*, std::size_t size) override {
    bytes += size;
    return true;
  }
  std::size_t bytes = 0;
};

void SetRates(benchmark::State& state, std::size_t groups_per_iteration) {
  const double groups =
      static_cast<double>(groups_per_iteration) * static_cast<double>(state.iterations());
  state.counters["groups/s"] = benchmark::Counter(groups, benchmark::Counter::kIsRate);
  state.counters["Mbit/s"] = benchmark::Counter(groups * 104 / 1e6, benchmark::Counter::kIsRate);
}

void BM_JsonGroupWriter(benchmark::State& state) {
  const std::vector<decoder::ReceivedGroup> minute = OneMinute();
  NullSink sink;
  decoder::JsonGroupWriter writer(sink);
  for (auto _ : state) {
    for (const decoder::ReceivedGroup& group : minute) writer.OnGroup(group);
  }
  if (writer.Failed()) state.SkipWithError("write failed");
  SetRates(state, minute.size());
  state.counters["bytes/group"] =
      static_cast<double>(sink.bytes) /
      (static_cast<double>(minute.size()) * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_JsonGroupWriter)->Unit(benchmark::kMillisecond);

// The same through stdio, as the program writes a file: one fwrite per line.
void BM_JsonGroupWriterThroughStdio(benchmark::State& state) {
  const std::vector<decoder::ReceivedGroup> minute = OneMinute();
  std::FILE* out = std::fopen("/dev/null", "w");
  if (out == nullptr) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  decoder::FileSink sink(out);
  decoder::JsonGroupWriter writer(sink);
  for (auto _ : state) {
    for (const decoder::ReceivedGroup& group : minute) writer.OnGroup(group);
  }
  std::fclose(out);
  if (writer.Failed()) state.SkipWithError("write failed");
  SetRates(state, minute.size());
}
BENCHMARK(BM_JsonGroupWriterThroughStdio)->Unit(benchmark::kMillisecond);

void BM_StationSummary(benchmark::State& state) {
  const std::vector<decoder::ReceivedGroup> minute = OneMinute();
  decoder::StationSummary summary;
  for (auto _ : state) {
    for (const decoder::ReceivedGroup& group : minute) summary.OnGroup(group);
  }
  SetRates(state, minute.size());
}
BENCHMARK(BM_StationSummary)->Unit(benchmark::kMillisecond);

}  // namespace
