// Command line of rds-encoder-sim.
#ifndef RDS_SIMULATOR_OPTIONS_H_
#define RDS_SIMULATOR_OPTIONS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "rdscore/mpx/mpx_settings.h"
#include "simulator/encoder.h"

namespace sim {

struct Options {
  std::string link;  // symbolic link to the pseudo-terminal
  bool tcp = false;
  bool udp = false;  // datagrams on port instead of a TCP listener
  std::string host = "127.0.0.1";
  int port = 0;
  ReplyConfig reply;
  std::string out;  // bit-stream file written when the run ends
  std::string mpx;  // the air as an MPX recording: a WAV file, or "-" for stdout
  rds::MpxSettings mpx_settings;
  double seconds = 0;         // end after this much air time (0: no limit)
  std::uint64_t groups = 0;   // end after this many groups (0: no limit)
  double hold = 0;            // air seconds kept in the file after the last sender disconnects
  bool keep_running = false;  // go on when the last sender has gone instead of ending
  int site = -1;
  int encoder = -1;
  int frame_timeout_ms = 500;
  bool verbose = false;
  bool help = false;
  bool version = false;
};

// Parses argv; on a usage error returns false with the reason in *error.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

extern const char kUsage[];

// Decodes the escapes \\ \n \r \t \xHH of a --reply text; false on a malformed escape.
bool DecodeEscapes(const std::string& text, std::string* decoded);

}  // namespace sim

#endif  // RDS_SIMULATOR_OPTIONS_H_
