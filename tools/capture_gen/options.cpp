#include "tools/capture_gen/options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "rdscore/number_text.h"

namespace capture {

const char kUsage[] =
    "usage: rds-capture-gen [--bits N | --groups N | --seconds S] [--seed S] [--error-rate R]\n"
    "                       [--offset K] [--crlf] [-o FILE] [--mpx FILE|- [MPX options]]\n"
    "Writes a made-up station's RDS as a bit-stream file (count line, then one character per\n"
    "bit) and, with --mpx, as the FM multiplex a receiver records, from the same first bit.\n"
    "\n"
    "  --bits N        bits of RDS data to write (default 20800, 1..999999998)\n"
    "  --groups N      N whole groups (after the --offset bits) instead\n"
    "  --seconds S     S seconds of air (S x 1187.5 bits) instead\n"
    "  --seed S        random seed for bit errors, offset bits and noise (default 1)\n"
    "  --error-rate R  probability of inverting each bit (default 0)\n"
    "  --offset K      K noise bits before the first group (default 0)\n"
    "  --crlf          end lines with CR LF\n"
    "  -o FILE         bit-stream file (default standard output; none with --mpx)\n"
    "  --mpx FILE|-    write the multiplex: a mono WAV file, or raw little-endian samples on\n"
    "                  standard output with -\n"
    "MPX options:\n"
    "%s"
    "Receiver impairments (MPX only):\n"
    "  --snr DB            white noise: RDS power over the noise in 57 kHz +/- 2.4 kHz\n"
    "  --carrier-offset HZ subcarrier off 57 kHz by HZ (-10..10); the pilot stays at 19 kHz\n"
    "  --clock-ppm PPM     recording clock fast (+) or slow (-) by PPM (-100..100)\n"
    "  --no-pilot          no 19 kHz pilot\n"
    "  --invert            inverted polarity\n"
    "  --level-db DB       level of the whole multiplex, -40..0 dB (default 0)\n"
    "  --level-step T:DB   from T seconds on, the level changes by DB (-40..40)\n"
    "  --gap T:S           silence from T seconds on for S seconds (the bits go on unheard)\n"
    "\n"
    "  -h, --help  show this text\n"
    "  --version   show the version\n"
    "\n"
    "Exit codes: 0 done, 1 a file cannot be written or the audio read, 64 usage error,\n"
    "130 interrupted.\n";

namespace {

constexpr long long kMaxBits = 999999998;

// "AT:VALUE", both numbers.
bool ParsePair(const std::string& text, double* at, double* value) {
  const std::size_t colon = text.find(':');
  return colon != std::string::npos && rds::ParseNumber(text.substr(0, colon), at) &&
         rds::ParseNumber(text.substr(colon + 1), value);
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
  double bits = 20800, seed = 1, offset = 0, groups = -1, seconds = -1;
  int lengths = 0;
  bool mpx_only = false;  // an option that only means something for the multiplex
  ImpairmentSettings& imp = options->impairments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    double number = 0;
    double at = 0;
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else if (arg == "--crlf") {
      options->crlf = true;
    } else if (arg == "--no-pilot" || arg == "--invert") {
      (arg == "--no-pilot" ? options->mpx_settings.pilot : imp.invert) = arg == "--invert";
      mpx_only = true;
    } else if (!has_value) {
      const bool known = arg == "-o" || arg == "--mpx" || rds::IsMpxOption(arg) ||
                         arg == "--bits" || arg == "--seed" || arg == "--error-rate" ||
                         arg == "--offset" || arg == "--groups" || arg == "--seconds" ||
                         arg == "--snr" || arg == "--carrier-offset" || arg == "--clock-ppm" ||
                         arg == "--level-db" || arg == "--level-step" || arg == "--gap";
      *error = known ? arg + " needs a value" : "unknown argument '" + arg + "'";
      return false;
    } else if (arg == "-o") {
      options->out = args[++i];
      options->out_given = true;
    } else if (arg == "--mpx") {
      options->mpx = args[++i];
      if (options->mpx.empty()) {
        *error = "--mpx needs a file name or -";
        return false;
      }
    } else if (rds::IsMpxOption(arg)) {
      if (!rds::ParseMpxOption(arg, args[++i], &options->mpx_settings, error)) return false;
      mpx_only = true;
    } else if (arg == "--bits" || arg == "--seed" || arg == "--error-rate" || arg == "--offset" ||
               arg == "--groups" || arg == "--seconds") {
      double* target = arg == "--bits"      ? &bits
                       : arg == "--seed"    ? &seed
                       : arg == "--offset"  ? &offset
                       : arg == "--groups"  ? &groups
                       : arg == "--seconds" ? &seconds
                                            : &options->error_rate;
      if (!rds::ParseNumber(args[++i], target)) {
        *error = "bad number for " + arg;
        return false;
      }
      if (arg == "--bits" || arg == "--groups" || arg == "--seconds") ++lengths;
    } else if (arg == "--snr") {
      if (!rds::ParseNumber(args[++i], -30, 100, &imp.snr_db)) {
        *error = "--snr needs decibels from -30 to 100";
        return false;
      }
      imp.noise = true;
      mpx_only = true;
    } else if (arg == "--carrier-offset") {
      if (!rds::ParseNumber(args[++i], -10, 10, &imp.carrier_offset_hz)) {
        *error = "--carrier-offset needs hertz from -10 to 10";
        return false;
      }
      mpx_only = true;
    } else if (arg == "--clock-ppm") {
      if (!rds::ParseNumber(args[++i], -100, 100, &imp.clock_ppm)) {
        *error = "--clock-ppm needs parts per million from -100 to 100";
        return false;
      }
      mpx_only = true;
    } else if (arg == "--level-db") {
      if (!rds::ParseNumber(args[++i], -40, 0, &imp.level_db)) {
        *error = "--level-db needs decibels from -40 to 0";
        return false;
      }
      mpx_only = true;
    } else if (arg == "--level-step") {
      if (!ParsePair(args[++i], &at, &number) || at < 0 || number < -40 || number > 40) {
        *error = "--level-step needs SECONDS:DB, seconds from 0 and decibels from -40 to 40";
        return false;
      }
      imp.step = true;
      imp.step_at_seconds = at;
      imp.step_db = number;
      mpx_only = true;
    } else if (arg == "--gap") {
      if (!ParsePair(args[++i], &at, &number) || at < 0 || number <= 0) {
        *error = "--gap needs SECONDS:SECONDS, a start from 0 and a length above 0";
        return false;
      }
      imp.gap = true;
      imp.gap_at_seconds = at;
      imp.gap_seconds = number;
      mpx_only = true;
    } else {
      *error = "unknown argument '" + arg + "'";
      return false;
    }
  }
  if (lengths > 1) {
    *error = "--bits, --groups and --seconds each set the length; give one";
    return false;
  }
  if (groups >= 0) {
    if (groups < 1 || groups > 9e6 || groups != std::floor(groups)) {
      *error = "--groups needs a whole number from 1 to 9000000";
      return false;
    }
    bits = offset + 104 * groups;
  } else if (seconds >= 0) {
    if (!(seconds > 0) || seconds > 8e5) {
      *error = "--seconds needs a number above 0 and up to 800000";
      return false;
    }
    bits = std::max(1.0, std::round(seconds * 1187.5));
  }
  if (bits < 1 || bits > kMaxBits || options->error_rate < 0 || options->error_rate > 1 ||
      offset < 0 || offset > bits || seed < 0 || seed >= 18446744073709551616.0) {
    *error = "value out of range";
    return false;
  }
  if (options->out_given && options->out == options->mpx) {
    *error = "-o and --mpx name the same file; one would overwrite the other";
    return false;
  }
  if (mpx_only && options->mpx.empty()) {
    *error = "the MPX options and impairments need --mpx FILE|-";
    return false;
  }
  options->bits = static_cast<long long>(bits);
  options->offset = static_cast<long long>(offset);
  options->seed = static_cast<std::uint64_t>(seed);
  return true;
}

}  // namespace capture
