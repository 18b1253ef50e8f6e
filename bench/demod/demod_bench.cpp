// rds-demod's speed and memory.
//   - The demodulator in process on 10 s of multiplex at each tested rate, with and without soft
//     correction: x_real_time is seconds of signal per second of processor time.
//   - The real program, file in and capture out, on 2 and 10 minutes of a 171 kHz recording:
//     x_real_time against its own processor time (which other load on the machine does not
//     stretch), wall_x against wall time, and peak_MB, the program's peak resident memory, which
//     must not grow with the length of the file.
// The multiplex is made here: random data, differentially and biphase coded, shaped, on a 57 kHz
// carrier locked to a 19 kHz pilot, with a little noise.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "demod/demodulator.h"
#include "rdscore/dsp/shaping.h"
#include "rdscore/group.h"

// POSIX says a program declares it; glibc's <unistd.h> does too, but only with _GNU_SOURCE.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Multiplex(double rate, double seconds) {
  const auto count = static_cast<std::size_t>(rate * seconds);
  const double half_bit = rate / (2 * rds::kBitRate);  // samples per half bit
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0, 0.002f);
  std::vector<float> halves(static_cast<std::size_t>(static_cast<double>(count) / half_bit) + 32);
  int level = 1;
  for (std::size_t i = 0; i + 1 < halves.size(); i += 2) {
    if ((random() & 1) != 0) level = -level;
    halves[i] = static_cast<float>(level);
    halves[i + 1] = static_cast<float>(-level);
  }
  std::vector<float> out(count);
  for (std::size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / half_bit;  // in half bits
    double baseband = 0;
    for (long k = static_cast<long>(t) - 8; k <= static_cast<long>(t) + 8; ++k) {
      if (k >= 0)
        baseband += halves[static_cast<std::size_t>(k)] *
                    rds::ShapingImpulse((t - static_cast<double>(k)) / 2);
    }
    const double time = static_cast<double>(n) / rate;
    out[n] = static_cast<float>(0.03 * baseband * std::cos(2 * kPi * 57000 * time) +
                                0.09 * std::cos(2 * kPi * 19000 * time)) +
             noise(random);
  }
  return out;
}

void BM_Demodulator(benchmark::State& state) {
  const auto rate = static_cast<double>(state.range(0));
  const bool soft = state.range(1) != 0;
  constexpr double kSeconds = 10;
  const std::vector<float> mpx = Multiplex(rate, kSeconds);
  std::string bits;
  for (auto _ : state) {
    demod::DemodulatorOptions options;
    options.sample_rate = rate;
    options.soft_correct = soft;
    demod::Demodulator demodulator(options);
    bits.clear();
    for (std::size_t i = 0; i < mpx.size(); i += 8192) {
      demodulator.Process(mpx.data() + i, std::min<std::size_t>(8192, mpx.size() - i), &bits);
    }
    demodulator.Finish(&bits);
    benchmark::DoNotOptimize(bits.data());
  }
  state.counters["x_real_time"] = benchmark::Counter(
      kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bits"] = static_cast<double>(bits.size());
}
BENCHMARK(BM_Demodulator)
    ->ArgsProduct({{128000, 171000, 192000, 228000, 250000, 384000}, {0, 1}})
    ->ArgNames({"rate", "soft"})
    ->Unit(benchmark::kMillisecond);

// A 171 kHz WAV of `minutes` minutes: two minutes of multiplex, repeated, made in a child
// process so that the benchmark itself stays small.
std::string Recording(int minutes) {
  std::string path = "/tmp/rds-demod-bench-" + std::to_string(minutes) + ".wav";
  if (access(path.c_str(), R_OK) == 0) return path;
  const pid_t maker = fork();
  if (maker != 0) {
    waitpid(maker, nullptr, 0);
    return path;
  }
  const std::vector<float> two_minutes = Multiplex(171000, 120);
  SF_INFO info{};
  info.samplerate = 171000;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  for (int m = 0; m < minutes; m += 2) {
    sf_writef_float(file, two_minutes.data(), static_cast<sf_count_t>(two_minutes.size()));
  }
  sf_close(file);
  _exit(0);
}

// VmHWM of a running process in kB (0 once it is gone).
long PeakResidentKb(pid_t pid) {
  std::FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (status == nullptr) return 0;
  char line[256];
  long kb = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    // The kernel writes the number; the count of conversions tells a line of another name.
    if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;  // NOLINT(cert-err34-c)
  }
  std::fclose(status);
  return kb;
}

void BM_Program(benchmark::State& state) {
  const int minutes = static_cast<int>(state.range(0));
  const std::string input = Recording(minutes);
  const std::string output = "/tmp/rds-demod-bench-out.txt";
  long peak_kb = 0;
  double cpu_seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(RDS_DEMOD_PATH), const_cast<char*>(input.c_str()),
                    const_cast<char*>(output.c_str()), nullptr};
    if (posix_spawn(&pid, RDS_DEMOD_PATH, nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start rds-demod");
      return;
    }
    // The kernel's accounting of a child (ru_maxrss) starts from what its parent held when it was
    // started; the program's own peak is the high-water mark of its own address space, read
    // while it runs.
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
      peak_kb = std::max(peak_kb, PeakResidentKb(pid));
      usleep(10000);
    }
    const auto stop = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("rds-demod failed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    cpu_seconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  const double signal = 60.0 * minutes * static_cast<double>(state.iterations());
  state.counters["x_real_time"] = signal / cpu_seconds;
  state.counters["wall_x"] = benchmark::Counter(signal, benchmark::Counter::kIsRate);
  state.counters["peak_MB"] = static_cast<double>(peak_kb) / 1024.0;
  unlink(output.c_str());
}
BENCHMARK(BM_Program)
    ->Arg(2)
    ->Arg(10)
    ->ArgName("minutes")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
