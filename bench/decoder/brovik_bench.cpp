// brovik's throughput and memory on a clean 50 Mbit capture (about 12 hours of RDS on air),
// generated once per run into a scratch directory:
//   - the real program, file in and report out, timed from start to exit, its peak resident
//     memory taken from the kernel's accounting of the child;
//   - the decoding core in process, report to a file and report discarded;
//   - the reference decoder on a 5 Mbit capture, to show what the fast path buys;
//   - receiver mode (burst correction and re-synchronisation) the same ways: program, core with
//     the report to a file and discarded.
// Counters: Mbit/s of capture against wall time; for the program also cpu_Mbit/s (against its
// own processor time, which other load on the machine does not stretch), peak_MB and input_MB.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "decoder/byte_io.h"
#include "decoder/fast_decoder.h"
#include "decoder/receiver_run.h"
#include "decoder/reference_decoder.h"
#include "tools/capture_gen/station.h"

// POSIX says a program declares it; glibc's <unistd.h> does too, but only with _GNU_SOURCE.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace {

constexpr long long kBigBits = 50'000'000;
constexpr long long kSmallBits = 5'000'000;

class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/brovik-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  ~Scratch() {
    for (const char* name : {"big.txt", "small.txt", "report.txt"}) unlink(Path(name).c_str());
    rmdir(dir_.c_str());
  }
  std::string Path(const char* name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

Scratch& Dir() {
  static Scratch scratch;
  return scratch;
}

// Writes a capture of `bits` bits from the made-up station, streaming, so the benchmark's own
// memory stays small.
std::string Capture(const char* name, long long bits) {
  std::string path = Dir().Path(name);
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return path;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  std::fprintf(out, "%lld\n", bits + 1);
  capture::Station station{capture::StationConfig{}};
  std::string chunk;
  long long written = 0;
  while (written < bits) {
    while (chunk.size() < (1u << 20)) station.AppendNextGroup(chunk);
    const auto take = static_cast<std::size_t>(
        std::min<long long>(static_cast<long long>(chunk.size()), bits - written));
    std::fwrite(chunk.data(), 1, take, out);
    written += static_cast<long long>(take);
    chunk.erase(0, take);
  }
  std::fputs("\n", out);
  std::fclose(out);
  return path;
}

void SetRate(benchmark::State& state, long long bits) {
  state.counters["Mbit/s"] =
      benchmark::Counter(static_cast<double>(bits) / 1e6 * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

void BM_BrovikProgram(benchmark::State& state, const char* option) {
  const std::string input = Capture("big.txt", kBigBits);
  const std::string report = Dir().Path("report.txt");
  long peak_kb = 0;
  double cpu_seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    std::vector<char*> argv = {const_cast<char*>(BROVIK_PATH)};
    if (option != nullptr) argv.push_back(const_cast<char*>(option));
    argv.push_back(const_cast<char*>(input.c_str()));
    argv.push_back(const_cast<char*>(report.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid, BROVIK_PATH, nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start brovik");
      return;
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const auto stop = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("brovik failed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    peak_kb = std::max(peak_kb, usage.ru_maxrss);
    cpu_seconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  SetRate(state, kBigBits);
  // Processor time of the child alone: what the run costs when the machine is not shared.
  state.counters["cpu_Mbit/s"] =
      static_cast<double>(kBigBits) / 1e6 * static_cast<double>(state.iterations()) / cpu_seconds;
  state.counters["peak_MB"] = static_cast<double>(peak_kb) / 1024.0;
  state.counters["input_MB"] = static_cast<double>(kBigBits) / 1e6;
}
BENCHMARK_CAPTURE(BM_BrovikProgram, fixed_report, nullptr)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_BrovikProgram, receiver, "--receiver")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

class NullSink : public decoder::ReportSink {
 public:
  bool Write(const char*, std::size_t size) override {
    bytes += size;
    return true;
  }
  std::size_t bytes = 0;
};

// The fixed report's decoder, or the receiver's block layer in receiver mode.
decoder::ExitCode Decode(bool receiver, decoder::ByteSource& source, decoder::ReportSink& sink) {
  if (!receiver) return decoder::DecodeCapture(source, sink);
  return decoder::RunReceiver(decoder::ReceiverRunOptions{}, source, &sink, {}, nullptr);
}

void BM_DecodeCaptureToFile(benchmark::State& state, bool receiver) {
  const std::string input = Capture("big.txt", kBigBits);
  for (auto _ : state) {
    std::FILE* in = std::fopen(input.c_str(), "rb");
    std::FILE* out = std::fopen(Dir().Path("report.txt").c_str(), "w");
    decoder::FileSource source(in);
    decoder::FileSink sink(out);
    const decoder::ExitCode code = Decode(receiver, source, sink);
    std::fclose(in);
    std::fclose(out);
    if (code != decoder::ExitCode::kDone) state.SkipWithError("decoding failed");
  }
  SetRate(state, kBigBits);
}
BENCHMARK_CAPTURE(BM_DecodeCaptureToFile, fixed_report, false)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_DecodeCaptureToFile, receiver, true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_DecodeCaptureDiscardingReport(benchmark::State& state, bool receiver) {
  const std::string input = Capture("big.txt", kBigBits);
  for (auto _ : state) {
    std::FILE* in = std::fopen(input.c_str(), "rb");
    decoder::FileSource source(in);
    NullSink sink;
    const decoder::ExitCode code = Decode(receiver, source, sink);
    std::fclose(in);
    if (code != decoder::ExitCode::kDone) state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(sink.bytes);
  }
  SetRate(state, kBigBits);
}
BENCHMARK_CAPTURE(BM_DecodeCaptureDiscardingReport, fixed_report, false)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_DecodeCaptureDiscardingReport, receiver, true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_ReferenceDiscardingReport(benchmark::State& state) {
  const std::string input = Capture("small.txt", kSmallBits);
  for (auto _ : state) {
    std::FILE* in = std::fopen(input.c_str(), "rb");
    decoder::FileSource source(in);
    NullSink sink;
    const decoder::ExitCode code = decoder::DecodeCaptureReference(source, sink);
    std::fclose(in);
    if (code != decoder::ExitCode::kDone) state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(sink.bytes);
  }
  SetRate(state, kSmallBits);
}
BENCHMARK(BM_ReferenceDiscardingReport)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
