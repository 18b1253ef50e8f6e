// rds-encoder-sim serving UECP senders on TCP, measured as a sender sees it: 1, 4 or 16
// connections, each sending frames (PI and PS in one message field) and waiting for the
// acknowledgement of each before the next, as a bidirectional sender does. The simulator is the
// real program, started once per benchmark.
// Counters: frames/s over all connections (wall time), and the answer latency from the frame's
// send to its whole acknowledgement read back, p50 and p99 in microseconds over every frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/uecp_tcp_sender.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFramesPerSender = 200;  // per connection and iteration

std::vector<std::uint8_t> StationFrame(int sender, std::uint8_t sqc) {
  std::vector<std::uint8_t> message = {0x01, 0,    0,   static_cast<std::uint8_t>(0x10 + sender),
                                       sqc,  0x02, 0,   0,
                                       'B',  'E',  'N', 'C',
                                       'H',  ' ',  ' ', ' '};
  return fuzz::ReferenceFrame(0, sqc, message);
}

// One sender's share of an iteration; latencies in microseconds go to *latencies.
bool RunSender(UecpTcpSender* sender, int id, std::vector<double>* latencies) {
  for (int k = 0; k < kFramesPerSender; ++k) {
    const std::vector<std::uint8_t> frame = StationFrame(id, static_cast<std::uint8_t>(k));
    const auto sent = Clock::now();
    if (!sender->Send(frame)) return false;
    const std::vector<std::uint8_t> answer = sender->ReadFrame();
    latencies->push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
    // Stuffed "18 00" with address 0: STA, 2 address bytes, SQC (1 or 2), MFL, 18 00, CRC, STP.
    if (answer.size() < 10 || answer[answer.size() - 1] != 0xFF) return false;
  }
  return true;
}

double Percentile(std::vector<double>* values, double fraction) {
  if (values->empty()) return 0;
  const auto at = values->begin() +
                  static_cast<std::ptrdiff_t>(fraction * static_cast<double>(values->size() - 1));
  std::nth_element(values->begin(), at, values->end());
  return *at;
}

void BM_TcpSenders(benchmark::State& state) {
  const int connections = static_cast<int>(state.range(0));
  ChildProcess sim(RDS_ENCODER_SIM, {"--tcp", "0"});
  const std::string where = sim.ReadLine();
  std::vector<UecpTcpSender> senders;
  for (int i = 0; i < connections; ++i) {
    senders.emplace_back(where);
    if (!senders.back().ok()) {
      state.SkipWithError(("cannot connect to the simulator at '" + where + "'").c_str());
      return;
    }
  }
  std::vector<std::vector<double>> latencies(static_cast<std::size_t>(connections));
  bool ok = true;
  for (auto _ : state) {
    std::vector<std::thread> threads;
    std::vector<char> done(static_cast<std::size_t>(connections), 0);
    for (int i = 0; i < connections; ++i) {
      const auto slot = static_cast<std::size_t>(i);
      threads.emplace_back(
          [&, i, slot] { done[slot] = RunSender(&senders[slot], i, &latencies[slot]) ? 1 : 0; });
    }
    for (std::thread& thread : threads) thread.join();
    ok = ok && std::all_of(done.begin(), done.end(), [](char d) { return d != 0; });
  }
  if (!ok) {
    state.SkipWithError("a frame went unanswered");
    return;
  }
  std::vector<double> all;
  for (const std::vector<double>& some : latencies) all.insert(all.end(), some.begin(), some.end());
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * connections * kFramesPerSender,
                         benchmark::Counter::kIsRate);
  state.counters["p50_us"] = Percentile(&all, 0.50);
  state.counters["p99_us"] = Percentile(&all, 0.99);
}
BENCHMARK(BM_TcpSenders)->Arg(1)->Arg(4)->Arg(16)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
