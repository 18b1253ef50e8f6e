// Where the bits go. A file gets the capture format brovik reads: a count line, then one
// character per bit. The count is known only at the end, so the line is reserved as eight
// characters (padded with leading spaces, which the count's reader skips) and rewritten when the
// run ends; eight digits are all that reader takes, so a file holds at most 99999998 bits (the
// count is bits + 1, since the reader takes one character fewer than it). A stream (standard
// output) gets the bits without a count, as they come, flushed after every block of input.
#ifndef RDS_DEMOD_BIT_SINK_H_
#define RDS_DEMOD_BIT_SINK_H_

#include <cstdio>
#include <memory>
#include <string>

namespace demod {

constexpr long long kMaxFileBits = 99999998;

class BitSink {
 public:
  virtual ~BitSink() = default;
  // Writes the bits; false when writing failed or (files) the limit was reached, in which case
  // the bits up to the limit are written and limit_reached() is true.
  [[nodiscard]] virtual bool Write(const std::string& bits) = 0;
  // Completes the output (count line, flush); false when that failed.
  [[nodiscard]] virtual bool Close() = 0;
  virtual bool limit_reached() const { return false; }
  long long written() const { return written_; }

 protected:
  long long written_ = 0;
};

// Creates the capture file; null with errno set when it cannot be created.
[[nodiscard]] std::unique_ptr<BitSink> CreateCaptureFile(const std::string& path);
// Bits on a stream left open (standard output), a line break after every 104.
[[nodiscard]] std::unique_ptr<BitSink> StreamTo(std::FILE* stream);

}  // namespace demod

#endif  // RDS_DEMOD_BIT_SINK_H_
