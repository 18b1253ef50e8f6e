#include "demod/cli.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "demod/bit_sink.h"
#include "demod/demodulator.h"
#include "demod/exit_code.h"
#include "demod/sample_source.h"
#include "rds_version.h"
#include "rdscore/number_text.h"

namespace demod {

namespace {

constexpr char kHelp[] =
    "usage: rds-demod [options] [INPUT [OUTPUT]]\n"
    "  INPUT          WAV/FLAC/... file of the FM multiplex, or - for raw mono samples on\n"
    "                 standard input (needs --rate); default -\n"
    "  OUTPUT         capture file for brovik (count line, then the bits), or - for a bit\n"
    "                 stream on standard output as the signal comes in; default -\n"
    "  --rate HZ      sample rate of raw input, 128000 to 384000\n"
    "  --format F     raw sample format: s16 (signed 16-bit little-endian, default) or f32\n"
    "  --soft-correct correct bad blocks with soft decisions before writing them\n"
    "  --progress     show position, groups and block error rate on standard error\n"
    "                 (the default when standard error is a terminal); --no-progress: never\n"
    "  --help, --version\n";

constexpr std::size_t kChunk = 8192;

struct Options {
  std::string input = "-";
  std::string output = "-";
  double rate = 0;
  RawFormat format = RawFormat::kS16Le;
  bool soft_correct = false;
  int progress = -1;  // −1: when standard error is a terminal
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "rds-demod: %s\nTry 'rds-demod --help'.\n", problem.c_str());
  return kUsage;
}

// Returns −1 when the options are good, else the exit code to end with.
int ParseOptions(int argc, char** argv, Options* options) {
  std::vector<std::string> files;
  bool only_files = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](const char* name) -> const char* {
      const std::string prefix = std::string(name) + "=";
      if (arg.compare(0, prefix.size(), prefix) == 0) return argv[i] + prefix.size();
      if (arg == name && i + 1 < argc) return argv[++i];
      return nullptr;
    };
    if (only_files || arg == "-" || arg.empty() || arg[0] != '-') {
      files.push_back(arg);
    } else if (arg == "--") {
      only_files = true;
    } else if (arg == "--help") {
      std::fputs(kHelp, stdout);
      return kDone;
    } else if (arg == "--version") {
      std::puts("rds-demod " RDS_VERSION);
      return kDone;
    } else if (arg == "--soft-correct") {
      options->soft_correct = true;
    } else if (arg == "--progress") {
      options->progress = 1;
    } else if (arg == "--no-progress") {
      options->progress = 0;
    } else if (arg.rfind("--rate", 0) == 0) {
      const char* text = value("--rate");
      if (text == nullptr || !rds::ParseNumber(text, &options->rate)) return Usage("bad --rate");
    } else if (arg.rfind("--format", 0) == 0) {
      const char* text = value("--format");
      if (text != nullptr && std::strcmp(text, "s16") == 0) {
        options->format = RawFormat::kS16Le;
      } else if (text != nullptr && std::strcmp(text, "f32") == 0) {
        options->format = RawFormat::kF32;
      } else {
        return Usage("--format takes s16 or f32");
      }
    } else {
      return Usage("unknown option '" + arg + "'");
    }
  }
  if (files.size() > 2) return Usage("more than two files named");
  if (!files.empty()) options->input = files[0];
  if (files.size() > 1) options->output = files[1];
  if (options->input == "-" && options->rate == 0) {
    return Usage("raw samples on standard input need --rate HZ");
  }
  if (options->input != "-" && options->rate != 0) {
    return Usage("--rate is for raw input; a file names its own rate");
  }
  return -1;
}

bool RateSupported(double rate) { return rate >= kMinSampleRate && rate <= kMaxSampleRate; }

class Progress {
 public:
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): on or off, then what it shows
  Progress(bool enabled, double rate, long long length)
      : enabled_(enabled), rate_(rate), length_(length) {}

  void Show(long long samples, const Demodulator& demodulator, bool final_line) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!final_line && now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    const BlockCounts& c = demodulator.counts();
    const double seconds = static_cast<double>(samples) / rate_;
    char position[64];
    if (length_ > 0) {
      std::snprintf(position, sizeof position, "%.1f of %.1f s", seconds,
                    static_cast<double>(length_) / rate_);
    } else {
      std::snprintf(position, sizeof position, "%.1f s", seconds);
    }
    const double bler =
        c.blocks > 0 ? 100.0 * static_cast<double>(c.bad_blocks) / static_cast<double>(c.blocks)
                     : 0.0;
    std::fprintf(stderr, "\rrds-demod: %s, %lld groups, block errors %.1f %%%s%s   ", position,
                 c.groups, bler, demodulator.state().pilot ? ", pilot" : "",
                 final_line ? "\n" : "");
    std::fflush(stderr);
  }

 private:
  bool enabled_;
  double rate_;
  long long length_;
  std::chrono::steady_clock::time_point last_{};
};

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

int RunDemod(int argc, char** argv) {
  Options options;
  const int parsed = ParseOptions(argc, argv, &options);
  if (parsed >= 0) return parsed;

  std::unique_ptr<SampleSource> source;
  if (options.input == "-") {
    if (!RateSupported(options.rate)) {
      std::fprintf(stderr, "rds-demod: sample rate %g Hz is outside 128000 to 384000 Hz\n",
                   options.rate);
      return kBadRate;
    }
    source = OpenRawStream(stdin, options.rate, options.format);
  } else {
    OpenResult opened = OpenAudioFile(options.input);
    if (opened.failure != OpenResult::Failure::kNone) {
      const bool cannot_open = opened.failure == OpenResult::Failure::kCannotOpen;
      std::fprintf(stderr, "rds-demod: %s '%s': %s\n",
                   cannot_open ? "cannot open input" : "no audio in", options.input.c_str(),
                   opened.message.c_str());
      return cannot_open ? kIoError : kNotAudio;
    }
    source = std::move(opened.source);
    if (!RateSupported(source->sample_rate())) {
      std::fprintf(stderr, "rds-demod: '%s' has %g samples per second, outside 128000 to 384000\n",
                   options.input.c_str(), source->sample_rate());
      return kBadRate;
    }
    if (opened.channels > 1) {
      std::fprintf(stderr, "rds-demod: '%s' has %d channels; using the first\n",
                   options.input.c_str(), opened.channels);
    }
  }

  std::unique_ptr<BitSink> sink;
  if (options.output == "-") {
    sink = StreamTo(stdout);
  } else {
    if (options.input != "-" && SameFile(options.input, options.output)) {
      std::fprintf(stderr, "rds-demod: input and output are the same file '%s'\n",
                   options.output.c_str());
      return kIoError;
    }
    sink = CreateCaptureFile(options.output);
    if (sink == nullptr) {
      std::fprintf(stderr, "rds-demod: cannot create '%s': %s\n", options.output.c_str(),
                   std::strerror(errno));
      return kIoError;
    }
  }

  DemodulatorOptions demod_options;
  demod_options.sample_rate = source->sample_rate();
  demod_options.soft_correct = options.soft_correct;
  Demodulator demodulator(demod_options);
  Progress progress(options.progress == 1 || (options.progress < 0 && isatty(2) != 0),
                    source->sample_rate(), source->length());

  std::vector<float> samples;
  std::string bits;
  long long position = 0;
  int code = kDone;
  std::string problem;
  bool write_ok = true;
  for (;;) {
    const SourceStatus status = source->Read(kChunk, &samples);
    bits.clear();
    demodulator.Process(samples.data(), samples.size(), &bits);
    position += static_cast<long long>(samples.size());
    if (status != SourceStatus::kOk) {
      demodulator.Finish(&bits);
      if (status == SourceStatus::kTruncated) code = kTruncated;
      if (status == SourceStatus::kReadError) code = kIoError;
      problem = source->problem();
    }
    if (!sink->Write(bits)) {
      write_ok = false;
      break;
    }
    progress.Show(position, demodulator, false);
    if (status != SourceStatus::kOk) break;
  }
  progress.Show(position, demodulator, true);
  const bool limit = sink->limit_reached();
  const bool closed = sink->Close();
  if (limit) {
    std::fprintf(stderr, "rds-demod: stopped at %lld bits, the most a capture file holds\n",
                 kMaxFileBits);
    return closed ? kOutputFull : kIoError;
  }
  if (!write_ok || !closed) {
    std::fprintf(stderr, "rds-demod: cannot write the bits to '%s'\n", options.output.c_str());
    return kIoError;
  }
  if (code == kTruncated) {
    std::fprintf(stderr, "rds-demod: input '%s' breaks off: %s; the bits decoded so far are kept\n",
                 options.input.c_str(), problem.c_str());
  } else if (code == kIoError) {
    std::fprintf(stderr, "rds-demod: cannot read input '%s': %s\n", options.input.c_str(),
                 problem.c_str());
  }
  return code;
}

}  // namespace demod
