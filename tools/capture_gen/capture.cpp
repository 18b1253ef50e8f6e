#include "tools/capture_gen/capture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "rdscore/mpx/audio_file.h"
#include "rdscore/mpx/mpx_generator.h"
#include "rdscore/mpx/mpx_writer.h"
#include "rdscore/mpx/rds_modulator.h"
#include "tools/capture_gen/station.h"

namespace capture {

volatile std::sig_atomic_t g_interrupted = 0;

namespace {

constexpr std::size_t kChunkBits = 1U << 16;
constexpr std::size_t kBlockSamples = 1U << 15;

void Say(const std::string& line) { std::fprintf(stderr, "rds-capture-gen: %s\n", line.c_str()); }

std::string Format(const char* format, double a, double b = 0, double c = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

// "12.0 of 60.0 s of air" on one line of a terminal, now and then, for runs that take a while.
class Progress {
 public:
  explicit Progress(double total_seconds)
      : total_(total_seconds), show_(isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

  void Update(double done_seconds) {
    if (!show_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(250)) {
      return;
    }
    last_ = now;
    shown_ = true;
    std::fprintf(stderr, "\rrds-capture-gen: %.1f of %.1f s of air (%.0f %%)", done_seconds, total_,
                 100.0 * done_seconds / total_);
    std::fflush(stderr);
  }
  // Clears the line for the messages that follow.
  void Done() {
    if (shown_) std::fprintf(stderr, "\r\033[K");
    shown_ = false;
  }
  ~Progress() { Done(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

 private:
  using Clock = std::chrono::steady_clock;
  double total_;
  bool show_;
  bool shown_ = false;
  Clock::time_point start_;
  Clock::time_point last_;
};

// The multiplex side: generator, impairments and writer, fed bit by bit.
class MpxChain {
 public:
  // Opens the audio and the output; false (with a message said) when either fails.
  bool Open(const Options& options) {
    settings_ = options.mpx_settings;
    const ImpairmentSettings& imp = options.impairments;
    true_rate_ = settings_.rate * (1.0 + imp.clock_ppm * 1e-6);
    impairments_ = std::make_unique<Impairments>(
        imp, settings_.rate, rds::RdsModulator::MeanPowerForPeak(settings_.rds_level),
        options.seed + 0x9E3779B97F4A7C15ULL);  // a stream apart from the bit errors'
    if (imp.clock_ppm == 0) {
      // Exact when the rate is whole: the last sample falls before the end of the last bit.
      total_samples_ = (options.bits * 2 * settings_.rate + 2374) / 2375;
    } else {
      total_samples_ = static_cast<std::int64_t>(
          std::ceil(static_cast<double>(options.bits) * true_rate_ / rds::kBitRate));
    }
    std::string error;
    std::unique_ptr<rds::AudioSource> audio =
        rds::OpenProgrammeAudio(settings_, true_rate_, &error);
    if (!error.empty()) {
      Say(error);
      return false;
    }
    writer_ = rds::OpenMpxWriter(options.mpx, settings_, total_samples_, &error);
    if (!writer_) {
      Say(error);
      return false;
    }
    rds::MpxTiming timing;
    timing.true_rate = true_rate_;
    timing.carrier_offset_hz = imp.carrier_offset_hz;
    generator_ = std::make_unique<rds::MpxGenerator>(settings_, timing, std::move(audio));
    block_.resize(kBlockSamples);
    return true;
  }

  // Settles the levels before anything is opened; empty or what is wrong.
  static std::string CheckLevels(Options* options) {
    const ImpairmentSettings& imp = options->impairments;
    const Impairments probe(imp, options->mpx_settings.rate,
                            rds::RdsModulator::MeanPowerForPeak(options->mpx_settings.rds_level),
                            0);
    return rds::ResolveLevels(&options->mpx_settings, {probe.NoisePeak(), probe.MaxGain()});
  }

  void PushBits(const char* bits, std::size_t count) {
    rds::RdsModulator& rds = generator_->rds();
    for (std::size_t i = 0; i < count; ++i) rds.PushBit(bits[i] == '1' ? 1 : 0);
  }

  // Writes every sample that is ready (all of them once finishing); false on failure.
  bool Pump(bool finishing) {
    if (finishing) generator_->rds().Finish();
    while (true) {
      const std::int64_t left = total_samples_ - generator_->next_sample();
      const std::int64_t ready = std::min(left, generator_->SamplesReady());
      if (ready <= 0) return true;
      const auto n = static_cast<std::size_t>(std::min<std::int64_t>(ready, kBlockSamples));
      const std::int64_t first = generator_->next_sample();
      generator_->Render(block_.data(), n);
      impairments_->Apply(first, block_.data(), n);
      if (!writer_->Write(block_.data(), n)) {
        Say(writer_->Error());
        return false;
      }
    }
  }

  bool Finish(const Options& options) {
    if (!writer_->Finish()) {
      Say(writer_->Error());
      return false;
    }
    const double peak = writer_->Peak();
    std::string line =
        Format("%.0f bits (%.2f s of air) as MPX at %.0f Hz", static_cast<double>(options.bits),
               static_cast<double>(options.bits) / rds::kBitRate, settings_.rate);
    line += settings_.format == rds::MpxSampleFormat::kFloat ? " (float)" : " (16-bit)";
    line += " to " + writer_->Name();
    line += Format("; peak %.4f of full scale (%.2f dBFS)", peak,
                   peak > 0 ? 20.0 * std::log10(peak) : -999.0);
    if (impairments_->noise_sigma() > 0) {
      line += Format("; noise sigma %.5f for SNR %.1f dB", impairments_->noise_sigma(),
                     options.impairments.snr_db);
    }
    Say(line);
    return true;
  }

  double AirSeconds() const { return static_cast<double>(generator_->next_sample()) / true_rate_; }

 private:
  rds::MpxSettings settings_;
  double true_rate_ = 0;
  std::int64_t total_samples_ = 0;
  std::unique_ptr<Impairments> impairments_;
  std::unique_ptr<rds::MpxWriter> writer_;
  std::unique_ptr<rds::MpxGenerator> generator_;
  std::vector<float> block_;
};

// The bit-stream file, or standard output, or nothing. A regular file this run could not complete
// is removed (a device such as /dev/full is left alone).
class BitFile {
 public:
  BitFile() = default;
  bool Open(const Options& options) {
    if (options.out_given) {
      path_ = options.out;
      file_ = std::fopen(path_.c_str(), "wb");
      if (file_ == nullptr) {
        Say("cannot create '" + path_ + "': " + std::strerror(errno));
        return false;
      }
    } else if (options.mpx.empty()) {
      file_ = stdout;
    }
    return true;
  }
  ~BitFile() {
    if (file_ != nullptr && file_ != stdout) std::fclose(file_);
    struct stat info {};
    if (!done_ && !path_.empty() && stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      std::remove(path_.c_str());
    }
  }
  BitFile(const BitFile&) = delete;
  BitFile& operator=(const BitFile&) = delete;

  void Write(const char* text, std::size_t size) {
    if (file_ != nullptr) std::fwrite(text, 1, size, file_);
  }
  void Put(const std::string& text) { Write(text.data(), text.size()); }

  bool Close() {
    if (file_ == nullptr) return true;
    bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    if (file_ != stdout) ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok) Say("write failed");
    return ok;
  }
  void Keep() { done_ = true; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool done_ = false;
};

}  // namespace

int MakeCapture(const Options& given) {
  Options options = given;
  const bool mpx = !options.mpx.empty();
  if (mpx) {
    const std::string problem = MpxChain::CheckLevels(&options);
    if (!problem.empty()) {
      Say(problem);
      return kExitUsage;
    }
  }
  MpxChain chain;
  if (mpx && !chain.Open(options)) return kExitFile;
  BitFile bit_file;
  if (!bit_file.Open(options)) return kExitFile;

  const long long total = options.bits;
  const char* eol = options.crlf ? "\r\n" : "\n";
  // N - 1 characters are read from the bit line, so a count one above the bits takes them all.
  bit_file.Put(std::to_string(total + 1) + eol);

  std::mt19937_64 random(options.seed);
  std::bernoulli_distribution flip(options.error_rate);
  Station station{StationConfig{}};
  Progress progress(static_cast<double>(total) / rds::kBitRate);
  std::string chunk;
  long long written = 0;
  for (long long i = 0; i < options.offset; ++i) chunk.push_back(random() & 1 ? '1' : '0');
  while (written < total) {
    if (g_interrupted != 0) {
      progress.Done();
      Say("interrupted; nothing is left under the output names");
      return kExitInterrupted;
    }
    while (chunk.size() < kChunkBits) station.AppendNextGroup(chunk);
    const auto take = static_cast<std::size_t>(
        std::min<long long>(static_cast<long long>(chunk.size()), total - written));
    if (options.error_rate > 0) {
      for (std::size_t i = 0; i < take; ++i) {
        if (flip(random)) chunk[i] = chunk[i] == '1' ? '0' : '1';
      }
    }
    bit_file.Write(chunk.data(), take);
    if (mpx) {
      chain.PushBits(chunk.data(), take);
      if (!chain.Pump(false)) {
        progress.Done();
        return kExitFile;
      }
      progress.Update(chain.AirSeconds());
    }
    written += static_cast<long long>(take);
    chunk.erase(0, take);
  }
  bit_file.Put(eol);
  const bool pumped = !mpx || chain.Pump(true);
  progress.Done();
  if (!pumped) return kExitFile;
  if (!bit_file.Close()) return kExitFile;
  if (mpx && !chain.Finish(options)) return kExitFile;
  bit_file.Keep();
  return kExitOk;
}

}  // namespace capture
