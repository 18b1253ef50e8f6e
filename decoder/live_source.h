// Reading a live bit stream from a file descriptor (standard input, a pipe, a FIFO or a file):
// each Read returns whatever is available at once instead of waiting for a full buffer, so a
// pipe's groups are decoded as they arrive. SIGINT and SIGTERM can be set to end the reading
// cleanly instead of the process, so that the report and the listeners are finished.
#ifndef RDS_DECODER_LIVE_SOURCE_H_
#define RDS_DECODER_LIVE_SOURCE_H_

#include <sys/stat.h>

#include <cstddef>
#include <cstdio>

#include "decoder/byte_io.h"

namespace decoder {

class LiveSource : public ByteSource {
 public:
  // `fd` stays open; the caller closes it.
  explicit LiveSource(int fd) : fd_(fd) {}

  // Blocks until some bytes are available, the input ends, or a stop signal arrived (then 0).
  [[nodiscard]] std::size_t Read(char* buffer, std::size_t capacity) override;
  bool Failed() const override { return failed_; }

  // A stop signal ended the reading.
  static bool Interrupted();

 private:
  int fd_;
  bool failed_ = false;
};

// From now on SIGINT and SIGTERM end every LiveSource's reading (Read returns 0 and Interrupted()
// is true) instead of the process. On Windows a blocked read ends with the next input; a second
// Ctrl+C ends the process, as the C runtime resets the handler once it has run.
void StopReadingOnSignals();

// A pipe or terminal rather than a file, where a reader waits for each line to come.
inline bool IsLive(std::FILE* file) {
  struct stat status {};
  return fstat(fileno(file), &status) == 0 && !S_ISREG(status.st_mode);
}

}  // namespace decoder

#endif  // RDS_DECODER_LIVE_SOURCE_H_
