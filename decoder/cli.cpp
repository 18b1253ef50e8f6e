#include "decoder/cli.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "decoder/byte_io.h"
#include "decoder/exit_code.h"
#include "decoder/fast_decoder.h"

#ifndef BROVIK_VERSION
#define BROVIK_VERSION "unknown"
#endif

namespace decoder {

namespace {

constexpr char kUsage[] =
    "usage: brovik [INPUT [OUTPUT]]\n"
    "Decodes a captured RDS bit stream into a report with one line per 26-bit block.\n"
    "  INPUT   capture: a bit count line, then one character per bit (default rds-in.txt)\n"
    "  OUTPUT  report (default rds-out.txt); '-' means standard input or output\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "Exit codes: 0 done, 1 a file cannot be opened, created, read or written,\n"
    "2 bit count below 1, 3 no memory, 4 no block A followed by a block B (report empty),\n"
    "64 usage error.\n";

struct Options {
  std::string input = "rds-in.txt";
  std::string output = "rds-out.txt";
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
  bool verbose_;
};

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a != "-" && b != "-" && std::filesystem::equivalent(a, b, error) && !error;
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
  if (SameFile(options.input, options.output)) {
    // Creating the report would empty the capture before it is read.
    close_input();
    return Fail(ExitCode::kFileError,
                "input and report are the same file " + Quoted(options.input));
  }
  std::FILE* out = output_is_stdout ? stdout : std::fopen(options.output.c_str(), "w");
  if (out == nullptr) {
    const int error = errno;
    close_input();
    return Fail(ExitCode::kFileError,
                "cannot create report " + Quoted(options.output) + ": " + std::strerror(error));
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
  switch (code) {
    case ExitCode::kBadCount:
      return Fail(code, "bit count below 1 in " + Quoted(options.input) + "; report left empty");
    case ExitCode::kNoMemory:
      return Fail(code, "not enough memory");
    case ExitCode::kNoSync:
      return Fail(code, "no block A followed by a block B in " + Quoted(options.input) +
                            "; report left empty");
    default:
      return static_cast<int>(code);
  }
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
      std::printf("brovik %s\n", BROVIK_VERSION);
      return 0;
    }
    if (!options_ended && arg == "--") {
      options_ended = true;
      continue;
    }
    if (!options_ended && arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "brovik: unknown option '%s'\n%s", arg.c_str(), kUsage);
      return static_cast<int>(ExitCode::kUsage);
    }
    if (positional == 2) {
      std::fprintf(stderr, "brovik: too many arguments\n%s", kUsage);
      return static_cast<int>(ExitCode::kUsage);
    }
    (positional++ == 0 ? options.input : options.output) = arg;
  }
  return run.Decode(options);
}

}  // namespace decoder
