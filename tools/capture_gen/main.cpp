// rds-capture-gen: writes a capture in the format brovik reads (a bit count line, then one
// character per bit) from a made-up station's groups, optionally with bit errors.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "tools/capture_gen/station.h"

namespace {

constexpr char kUsage[] =
    "usage: rds-capture-gen [--bits N] [--seed S] [--error-rate R] [--offset K] [--crlf] "
    "[-o FILE]\n"
    "  --bits N        bits of RDS data to write (default 20800, 1..999999998)\n"
    "  --seed S        random seed for bit errors (default 1)\n"
    "  --error-rate R  probability of inverting each bit (default 0)\n"
    "  --offset K      K noise bits before the first group (default 0)\n"
    "  --crlf          end lines with CR LF\n"
    "  -o FILE         output file (default standard output)\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "rds-capture-gen: %s\n%s", problem, kUsage);
  return 64;
}

bool ParseNumber(const char* text, double* value) {
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(text, &end);
  return errno == 0 && end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  double bits = 20800, seed = 1, error_rate = 0, offset = 0;
  bool crlf = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--crlf") {
      crlf = true;
    } else if (arg == "-o" && has_value) {
      path = argv[++i];
    } else if ((arg == "--bits" || arg == "--seed" || arg == "--error-rate" || arg == "--offset") &&
               has_value) {
      double* target = arg == "--bits"     ? &bits
                       : arg == "--seed"   ? &seed
                       : arg == "--offset" ? &offset
                                           : &error_rate;
      if (!ParseNumber(argv[++i], target)) return Usage(("bad number for " + arg).c_str());
    } else {
      return Usage(("unknown argument '" + arg + "'").c_str());
    }
  }
  if (bits < 1 || bits > 999999998 || error_rate < 0 || error_rate > 1 || offset < 0 ||
      offset > bits) {
    return Usage("value out of range");
  }

  std::FILE* out = path != nullptr ? std::fopen(path, "wb") : stdout;
  if (out == nullptr) {
    std::fprintf(stderr, "rds-capture-gen: cannot create '%s': %s\n", path, std::strerror(errno));
    return 1;
  }
  const auto total = static_cast<long long>(bits);
  const char* eol = crlf ? "\r\n" : "\n";
  // N - 1 characters are read from the bit line, so a count one above the bits takes them all.
  std::fprintf(out, "%lld%s", total + 1, eol);

  std::mt19937_64 random(static_cast<std::uint64_t>(seed));
  std::bernoulli_distribution flip(error_rate);
  capture::Station station{capture::StationConfig{}};
  std::string chunk;
  long long written = 0;
  for (long long i = 0; i < static_cast<long long>(offset); ++i) {
    chunk.push_back(random() & 1 ? '1' : '0');
  }
  while (written < total) {
    while (chunk.size() < (1u << 16)) station.AppendNextGroup(chunk);
    const auto take = static_cast<std::size_t>(
        std::min<long long>(static_cast<long long>(chunk.size()), total - written));
    if (error_rate > 0) {
      for (std::size_t i = 0; i < take; ++i) {
        if (flip(random)) chunk[i] = chunk[i] == '1' ? '0' : '1';
      }
    }
    std::fwrite(chunk.data(), 1, take, out);
    written += static_cast<long long>(take);
    chunk.erase(0, take);
  }
  std::fputs(eol, out);
  const bool ok =
      std::fflush(out) == 0 && !std::ferror(out) && (path == nullptr || std::fclose(out) == 0);
  if (!ok) {
    std::fprintf(stderr, "rds-capture-gen: write failed\n");
    return 1;
  }
  return 0;
}
