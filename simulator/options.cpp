#include "simulator/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "rdscore/number_text.h"

namespace sim {

const char kUsage[] =
    "usage: rds-encoder-sim [options]\n"
    "Simulates an RDS encoder that takes UECP frames on a pseudo-terminal (default) or TCP,\n"
    "answers each one and writes what it transmits as a bit-stream file.\n"
    "\n"
    "  --link PATH        make PATH a symbolic link to the pseudo-terminal\n"
    "  --tcp PORT         listen on TCP instead (PORT 0 picks a free port); up to 16 senders\n"
    "                     at once, each answered on its own connection\n"
    "  --udp PORT         take frames in UDP datagrams instead; each source address is a\n"
    "                     sender, answered by datagram (end the run by time or signal)\n"
    "  --bind ADDRESS     address for --tcp or --udp (default 127.0.0.1)\n"
    "  --reply MODE       ack (UECP acknowledgement frames, default), text:STRING (STRING for a\n"
    "                     good frame, \"ERR <code>\" for a bad one; escapes \\r \\n \\t \\\\ "
    "\\xHH),\n"
    "                     or none (one-way, until a communication mode element changes it)\n"
    "  --out FILE         write the air as a bit-stream file (count line, then the bits)\n"
    "  --mpx FILE|-       record the air as an FM multiplex: a mono WAV file, or raw\n"
    "                     little-endian samples on standard output as they go out (-)\n"
    "%s"
    "  --seconds S        end after S seconds of air time\n"
    "  --groups N         end after N groups' time on air\n"
    "  --hold S           when the last sender disconnects, keep S more seconds of air in the "
    "file\n"
    "  --keep-running     go on serving when the last sender has gone instead of ending\n"
    "  --site N           our site address (0-1023); frames for another site are ignored\n"
    "  --encoder N        our encoder address (0-63); frames for another encoder are ignored\n"
    "  --frame-timeout MS refuse a frame left unfinished for MS milliseconds (default 500)\n"
    "  -v, --verbose      log every frame on standard error\n"
    "  -h, --help         show this help\n"
    "  --version          show the version\n"
    "\n"
    "The first line on standard output (standard error with --mpx -) names where senders\n"
    "connect. The run ends when the last sender disconnects, at --seconds or --groups, or on\n"
    "SIGINT/SIGTERM; then FILE is written.\n"
    "Exit codes: 0 done, 1 the transport, a file or the audio failed, 64 usage error.\n";

namespace {

bool ParseInteger(const std::string& text, long low, long high, long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string NotValid(const std::string& option, const char* needs, const std::string& value) {
  std::string text = option;
  text += " needs ";
  text += needs;
  text += ", not '";
  text += value;
  text += "'";
  return text;
}

}  // namespace

bool DecodeEscapes(const std::string& text, std::string* decoded) {
  decoded->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      decoded->push_back(text[i]);
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\':
        decoded->push_back('\\');
        break;
      case 'n':
        decoded->push_back('\n');
        break;
      case 'r':
        decoded->push_back('\r');
        break;
      case 't':
        decoded->push_back('\t');
        break;
      case 'x': {
        const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        decoded->push_back(static_cast<char>(high * 16 + low));
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
  std::string mpx_only;  // an MPX option given, which needs --mpx
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) {
        *error = arg + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    std::string v;
    long number = 0;
    if (arg == "-h" || arg == "--help") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else if (arg == "-v" || arg == "--verbose") {
      options->verbose = true;
    } else if (arg == "--keep-running") {
      options->keep_running = true;
    } else if (arg == "--link") {
      if (!value(&options->link)) return false;
      if (options->link.empty()) {
        *error = "--link needs a path";
        return false;
      }
    } else if (arg == "--tcp" || arg == "--udp") {
      if (!value(&v)) return false;
      if (!ParseInteger(v, 0, 65535, &number)) {
        *error = NotValid(arg, "a port from 0 to 65535", v);
        return false;
      }
      (arg == "--tcp" ? options->tcp : options->udp) = true;
      options->port = static_cast<int>(number);
    } else if (arg == "--bind") {
      if (!value(&options->host)) return false;
    } else if (arg == "--reply") {
      if (!value(&v)) return false;
      if (v == "ack") {
        options->reply.mode = ReplyMode::kAcknowledge;
      } else if (v == "none") {
        options->reply.mode = ReplyMode::kNone;
      } else if (v.rfind("text:", 0) == 0) {
        options->reply.mode = ReplyMode::kText;
        if (!DecodeEscapes(v.substr(5), &options->reply.text)) {
          *error = "--reply text: malformed escape in '" + v.substr(5) + "'";
          return false;
        }
        if (options->reply.text.empty()) {
          // A sender waits for at least one byte per frame.
          *error = "--reply text: needs a non-empty STRING";
          return false;
        }
      } else {
        *error = "--reply takes ack, text:STRING or none, not '" + v + "'";
        return false;
      }
    } else if (arg == "--out") {
      if (!value(&options->out)) return false;
      if (options->out.empty()) {
        *error = "--out needs a file name";
        return false;
      }
    } else if (arg == "--mpx") {
      if (!value(&options->mpx)) return false;
      if (options->mpx.empty()) {
        *error = "--mpx needs a file name or -";
        return false;
      }
    } else if (rds::IsMpxOption(arg)) {
      if (!value(&v) || !rds::ParseMpxOption(arg, v, &options->mpx_settings, error)) return false;
      mpx_only = arg;
    } else if (arg == "--seconds" || arg == "--hold") {
      if (!value(&v)) return false;
      double seconds = 0;
      // A day of air is far more than a bit-stream file can hold anyway.
      if (!rds::ParseNumber(v, 0, 86400, &seconds)) {
        *error = NotValid(arg, "a number of seconds from 0 to 86400", v);
        return false;
      }
      (arg == "--seconds" ? options->seconds : options->hold) = seconds;
    } else if (arg == "--groups") {
      if (!value(&v)) return false;
      if (!ParseInteger(v, 1, 100000000, &number)) {
        *error = NotValid(arg, "a count from 1 to 100000000", v);
        return false;
      }
      options->groups = static_cast<std::uint64_t>(number);
    } else if (arg == "--site" || arg == "--encoder") {
      if (!value(&v)) return false;
      const bool site = arg == "--site";
      if (!ParseInteger(v, 0, site ? 1023 : 63, &number)) {
        *error = NotValid(arg, site ? "a number from 0 to 1023" : "a number from 0 to 63", v);
        return false;
      }
      (arg == "--site" ? options->site : options->encoder) = static_cast<int>(number);
    } else if (arg == "--frame-timeout") {
      if (!value(&v)) return false;
      if (!ParseInteger(v, 1, 60000, &number)) {
        *error = NotValid(arg, "milliseconds from 1 to 60000", v);
        return false;
      }
      options->frame_timeout_ms = static_cast<int>(number);
    } else {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if ((options->tcp || options->udp) && !options->link.empty()) {
    *error = "--link names a pseudo-terminal; it cannot go with --tcp or --udp";
    return false;
  }
  if (options->tcp && options->udp) {
    *error = "--tcp and --udp: choose one";
    return false;
  }
  if (!mpx_only.empty() && options->mpx.empty()) {
    *error = mpx_only + " sets up the MPX recording; it needs --mpx FILE|-";
    return false;
  }
  if (!options->mpx.empty() && options->mpx == options->out) {
    *error = "--out and --mpx name the same file; one would overwrite the other";
    return false;
  }
  if (!options->mpx.empty()) {
    *error = rds::ResolveLevels(&options->mpx_settings, {});
    if (!error->empty()) return false;
  }
  return true;
}

}  // namespace sim
