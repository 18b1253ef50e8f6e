// Character-at-a-time reading of a capture as a text stream: a CR directly followed by LF reads
// as one newline on every platform (a capture written on Windows reads the same on Linux); a CR
// alone stays a CR. Used by the reference decoder, which reads its lines the way fgets does.
#ifndef RDS_DECODER_TEXT_READER_H_
#define RDS_DECODER_TEXT_READER_H_

#include <cstddef>

#include "decoder/byte_io.h"

namespace decoder {

class TextReader {
 public:
  static constexpr int kEnd = -1;

  explicit TextReader(ByteSource& source) : source_(source) {}

  // The next character after CR LF translation, or kEnd.
  int Get();

  // Like fgets with `size`: reads at most size - 1 characters, stopping after the first newline,
  // and stores them zero-terminated in `line` (size bytes). Returns the number of characters read.
  [[nodiscard]] std::size_t GetLine(char* line, std::size_t size);

  bool Failed() const { return source_.Failed(); }

 private:
  int RawByte();

  ByteSource& source_;
  char buffer_[4096];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  int pending_ = kEnd - 1;  // a byte read ahead after a CR, or nothing
};

}  // namespace decoder

#endif  // RDS_DECODER_TEXT_READER_H_
