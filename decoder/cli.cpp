#include "decoder/cli.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "decoder/burst_corrector.h"
#include "decoder/byte_io.h"
#include "decoder/exit_code.h"
#include "decoder/fast_decoder.h"
#include "decoder/live_source.h"
#include "decoder/received_group.h"
#include "decoder/receiver_run.h"
#include "decoder/station_outputs.h"
#include "rds_version.h"

namespace decoder {

namespace {

constexpr char kUsage[] =
    "usage: brovik [INPUT [OUTPUT]]\n"
    "       brovik [--receiver [--max-burst N]] [--stream] [--json[=FILE]] [--summary[=FILE]]\n"
    "              [--rbds] [INPUT [OUTPUT]]\n"
    "Decodes a captured RDS bit stream into a report with one line per 26-bit block.\n"
    "  INPUT   capture: a bit count line, then one character per bit (default rds-in.txt)\n"
    "  OUTPUT  report (default rds-out.txt); '-' means standard input or output\n"
    "  --receiver     correct burst errors, re-synchronise after a slip; a corrected block\n"
    "                 shows '*' for '-' after its offset name, a skipped stretch the line\n"
    "                 '------- ---- --- -- - skipped N bits'\n"
    "  --max-burst N  longest burst corrected, 1 to 5 bits (default 2; with --receiver)\n"
    "  --stream       INPUT is a live stream of 0/1 without a count line (white space\n"
    "                 ignored, other bytes read as 0 bits), default standard input and\n"
    "                 output; the report grows as bits arrive; SIGINT/SIGTERM end it\n"
    "  --json[=FILE]     one JSON object per decoded group, one per line, to FILE or\n"
    "                    standard output\n"
    "  --summary[=FILE]  the station and its reception at the end (or on SIGINT/SIGTERM\n"
    "                    of a stream), to FILE or standard output\n"
    "                    With --json or --summary the block report is written only when\n"
    "                    OUTPUT is named.\n"
    "  --rbds     North American station: RBDS programme types and call signs\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "Exit codes: 0 done (also a stream ended by SIGINT/SIGTERM), 1 a file cannot be\n"
    "opened, created, read or written, 2 bit count below 1, 3 no memory, 4 no\n"
    "synchronisation found (report empty), 64 usage error.\n"
    "Receiver mode in full: docs/brovik-receiver.md; JSON and summary: docs/brovik-station.md\n";

struct Options {
  std::string input;   // empty: the default of the input kind
  std::string output;  // likewise
  bool receiver = false;
  bool stream = false;
  int max_burst = 0;  // 0: not given
  StationOutputOptions station;
  // Whether the block report is written: always, unless only the station view was asked for
  // and no OUTPUT was named.
  bool report = true;
};

class Run {
 public:
  explicit Run(bool verbose) : verbose_(verbose) {}

  int Fail(ExitCode code, const std::string& message) const {
    if (verbose_) std::fprintf(stderr, "brovik: %s\n", message.c_str());
    return static_cast<int>(code);
  }

  int Decode(const Options& options) const;

 private:
  int DecodeAsReceiver(const Options& options, std::FILE* in, std::FILE* out) const;
  int Outcome(ExitCode code, const Options& options) const;

  bool verbose_;
};

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a != "-" && b != "-" && std::filesystem::equivalent(a, b, error) && !error;
}

// The fixed report comes from the fast decoder; everything else runs the receiver's block layer,
// whose plain mode (no --receiver) still writes the fixed report byte for byte, so that options
// wanting its groups (listeners) can have them with either report.
bool NeedsBlockLayer(const Options& options) {
  return options.receiver || options.stream || options.station.json || options.station.summary;
}

int Run::Decode(const Options& options) const {
  const bool input_is_stdin = options.input == "-";
  const bool output_is_stdout = options.output == "-";

  std::FILE* in = input_is_stdin ? stdin : std::fopen(options.input.c_str(), "rb");
  if (in == nullptr) {
    return Fail(ExitCode::kFileError,
                "cannot open input " + Quoted(options.input) + ": " + std::strerror(errno));
  }
  auto close_input = [&] {
    if (!input_is_stdin) std::fclose(in);
  };
  // A directory opens for reading here but yields no capture; finding out only when reading
  // would already have emptied an earlier report. Refuse it as an input that cannot be opened.
  struct stat input_status {};
  if (fstat(fileno(in), &input_status) == 0 && S_ISDIR(input_status.st_mode)) {
    close_input();
    return Fail(ExitCode::kFileError,
                "cannot open input " + Quoted(options.input) + ": " + std::strerror(EISDIR));
  }
  // Creating an output would empty the capture before it is read.
  for (const std::string* output :
       {&options.output, &options.station.json_path, &options.station.summary_path}) {
    if (SameFile(options.input, *output)) {
      close_input();
      return Fail(ExitCode::kFileError,
                  "input and output are the same file " + Quoted(options.input));
    }
  }
  if (!options.report) {
    const int code = DecodeAsReceiver(options, in, nullptr);
    close_input();
    return code;
  }
  std::FILE* out = output_is_stdout ? stdout : std::fopen(options.output.c_str(), "w");
  if (out == nullptr) {
    const int error = errno;
    close_input();
    return Fail(ExitCode::kFileError,
                "cannot create report " + Quoted(options.output) + ": " + std::strerror(error));
  }
  if (NeedsBlockLayer(options)) {
    const int code = DecodeAsReceiver(options, in, out);
    close_input();
    const bool closed = output_is_stdout || std::fclose(out) == 0;
    if (!closed && code == 0) {
      return Fail(ExitCode::kFileError, "cannot write report " + Quoted(options.output));
    }
    return code;
  }

  FileSource source(in);
  FileSink sink(out);
  ExitCode code = DecodeCapture(source, sink);
  const bool read_failed = source.Failed();
  close_input();
  const bool flushed = std::fflush(out) == 0 && !std::ferror(out);
  const bool closed = output_is_stdout || std::fclose(out) == 0;

  if (read_failed) return Fail(ExitCode::kFileError, "cannot read input " + Quoted(options.input));
  if (!flushed || !closed || code == ExitCode::kFileError) {
    return Fail(ExitCode::kFileError, "cannot write report " + Quoted(options.output));
  }
  return Outcome(code, options);
}

int Run::DecodeAsReceiver(const Options& options, std::FILE* in, std::FILE* out) const {
  ReceiverRunOptions run;
  run.receiver.mode =
      options.receiver ? ReceiverConfig::Mode::kReceiver : ReceiverConfig::Mode::kPlain;
  run.receiver.max_burst = options.max_burst;
  run.stream = options.stream;
  run.flush_every_group = options.stream && out != nullptr && IsLive(out);

  StationOutputOptions station = options.station;
  station.live = options.stream;
  StationOutputs outputs(station);
  std::string error;
  if (!outputs.Open(&error)) return Fail(ExitCode::kFileError, error);
  ReceptionStats stats;

  FileSink sink(out != nullptr ? out : stdout);
  FileSource file_source(in);
  LiveSource live_source(fileno(in));
  ByteSource& source = options.stream ? static_cast<ByteSource&>(live_source) : file_source;
  if (options.stream) StopReadingOnSignals();
  ExitCode code =
      RunReceiver(run, source, out != nullptr ? &sink : nullptr, outputs.Listeners(), &stats);
  const bool interrupted = options.stream && LiveSource::Interrupted();

  if (source.Failed())
    return Fail(ExitCode::kFileError, "cannot read input " + Quoted(options.input));
  const bool flushed = out == nullptr || (std::fflush(out) == 0 && !std::ferror(out));
  if (!flushed || code == ExitCode::kFileError) {
    return Fail(ExitCode::kFileError, "cannot write report " + Quoted(options.output));
  }
  // The summary tells what was received even when no synchronisation was found.
  if (!outputs.Finish(stats, &error)) return Fail(ExitCode::kFileError, error);
  if (stats.erased_bits != 0 && verbose_) {
    std::fprintf(stderr,
                 "brovik: %lld bytes of %s were neither 0, 1 nor white space; each was read as a "
                 "0 bit\n",
                 static_cast<long long>(stats.erased_bits), Quoted(options.input).c_str());
  }
  // Stopped by the user: the report holds what had arrived, as asked.
  if (interrupted) return 0;
  return Outcome(code, options);
}

int Run::Outcome(ExitCode code, const Options& options) const {
  switch (code) {
    case ExitCode::kBadCount:
      return Fail(code, "bit count below 1 in " + Quoted(options.input) + "; report left empty");
    case ExitCode::kNoMemory:
      return Fail(code, "not enough memory");
    case ExitCode::kNoSync:
      return Fail(code, (options.receiver ? "no two blocks in sequence in "
                                          : "no block A followed by a block B in ") +
                            Quoted(options.input) + "; report left empty");
    default:
      return static_cast<int>(code);
  }
}

// The value of --max-burst: a whole number from 1 to kMaxCorrectableBurst, or 0 when it is not.
int ParseMaxBurst(const std::string& text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kMaxCorrectableBurst) return 0;
  return text[0] - '0';
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "brovik: %s\n%s", message.c_str(), kUsage);
  return static_cast<int>(ExitCode::kUsage);
}

}  // namespace

int RunBrovik(int argc, char** argv) {
  Options options;
  int positional = 0;
  bool options_ended = false;
  const Run run(argc > 1);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!options_ended && arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!options_ended && arg == "--version") {
      std::fputs("brovik " RDS_VERSION "\n", stdout);
      return 0;
    }
    if (!options_ended && arg == "--") {
      options_ended = true;
      continue;
    }
    if (!options_ended && arg == "--receiver") {
      options.receiver = true;
      continue;
    }
    if (!options_ended && arg == "--stream") {
      options.stream = true;
      continue;
    }
    if (!options_ended && arg == "--rbds") {
      options.station.north_america = true;
      continue;
    }
    if (!options_ended && (arg == "--json" || arg.rfind("--json=", 0) == 0)) {
      options.station.json = true;
      if (arg != "--json") options.station.json_path = arg.substr(std::strlen("--json="));
      if (options.station.json_path.empty()) return UsageError("--json= needs a file name");
      continue;
    }
    if (!options_ended && (arg == "--summary" || arg.rfind("--summary=", 0) == 0)) {
      options.station.summary = true;
      if (arg != "--summary") options.station.summary_path = arg.substr(std::strlen("--summary="));
      if (options.station.summary_path.empty()) return UsageError("--summary= needs a file name");
      continue;
    }
    if (!options_ended && (arg == "--max-burst" || arg.rfind("--max-burst=", 0) == 0)) {
      std::string value;
      if (arg == "--max-burst") {
        if (i + 1 == argc) return UsageError("--max-burst needs a value");
        value = argv[++i];
      } else {
        value = arg.substr(std::strlen("--max-burst="));
      }
      options.max_burst = ParseMaxBurst(value);
      if (options.max_burst == 0) {
        return UsageError("--max-burst takes a whole number from 1 to 5, not '" + value + "'");
      }
      continue;
    }
    if (!options_ended && arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option '" + arg + "'");
    }
    if (positional == 2) return UsageError("too many arguments");
    (positional++ == 0 ? options.input : options.output) = arg;
  }
  if (options.max_burst != 0 && !options.receiver) {
    return UsageError("--max-burst corrects blocks in receiver mode only: add --receiver");
  }
  if (options.max_burst == 0) options.max_burst = 2;
  // A live stream comes through a pipe and its report is watched as it grows.
  const char* default_input = options.stream ? "-" : "rds-in.txt";
  const char* default_output = options.stream ? "-" : "rds-out.txt";
  if (positional < 1) options.input = default_input;
  if (positional < 2) options.output = default_output;
  const bool station_view = options.station.json || options.station.summary;
  options.report = !station_view || positional == 2;
  if (options.report && options.output == "-" && options.station.json &&
      options.station.json_path == "-") {
    return UsageError("the report and the JSON lines cannot both go to standard output");
  }
  return run.Decode(options);
}

}  // namespace decoder
