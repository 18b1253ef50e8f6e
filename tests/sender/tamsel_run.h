// Runs the real tamsel executable against a pseudo-terminal that plays the RDS encoder, and
// records what crossed the line and when.
#ifndef RDS_TESTS_SENDER_TAMSEL_RUN_H_
#define RDS_TESTS_SENDER_TAMSEL_RUN_H_

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/pty_pair.h"

namespace tamsel_test {

using Clock = std::chrono::steady_clock;

// One answer of the encoder: bytes sent a while after the frame arrived (the first answer) or
// after the previous answer to the same frame was sent, so that a slow test machine cannot
// merge two pieces.
struct Send {
  std::chrono::milliseconds delay;
  std::string bytes;
};

// The encoder's answers to frame n (counted from 1); none keeps it silent.
using ReplyScript = std::function<std::vector<Send>(int frame_number)>;

struct ReceivedFrame {
  std::string bytes;  // as on the wire, from STA to STP
  Clock::time_point arrival;
};

struct RunRecord {
  int exit_code = -1;
  std::string out;
  std::string err;
  std::vector<ReceivedFrame> frames;
  // When the encoder sent the last byte of its answers to frame n (key n).
  std::map<int, Clock::time_point> replied;
  Clock::time_point exited;
};

// A pseudo-terminal whose master side is the encoder. The slave stays open here for the whole
// run, so the line does not hang up between tamsel's open and close.
class EncoderLine {
 public:
  EncoderLine();
  ~EncoderLine();
  EncoderLine(const EncoderLine&) = delete;
  EncoderLine& operator=(const EncoderLine&) = delete;

  bool ok() const { return pty_.ok() && held_slave_ >= 0; }
  const std::string& path() const { return pty_.slave_path(); }
  int held_slave() const { return held_slave_; }

  // Starts tamsel with args and this environment plus overrides (TZ, RDS_COM1, ...) and answers
  // its frames through script until it exits (or 30 s pass). COM1 is always named in the
  // environment (the override, or else a path that does not exist), so tamsel can never fall
  // back to this machine's real serial ports.
  RunRecord RunTamsel(const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& overrides,
                      const ReplyScript& script);

 private:
  testing_pty::PtyPair pty_;
  int held_slave_ = -1;
};

// A script that never answers.
std::vector<Send> Silent(int frame_number);

}  // namespace tamsel_test

#endif  // RDS_TESTS_SENDER_TAMSEL_RUN_H_
