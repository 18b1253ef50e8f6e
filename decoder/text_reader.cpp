#include "decoder/text_reader.h"

namespace decoder {

namespace {
constexpr int kNothing = TextReader::kEnd - 1;
}

int TextReader::RawByte() {
  if (pending_ != kNothing) {
    const int c = pending_;
    pending_ = kNothing;
    return c;
  }
  if (begin_ == end_) {
    begin_ = 0;
    end_ = source_.Read(buffer_, sizeof buffer_);
    if (end_ == 0) return kEnd;
  }
  return static_cast<unsigned char>(buffer_[begin_++]);
}

int TextReader::Get() {
  const int c = RawByte();
  if (c != '\r') return c;
  const int next = RawByte();
  if (next == '\n') return '\n';
  pending_ = next;
  return c;
}

std::size_t TextReader::GetLine(char* line, std::size_t size) {
  std::size_t n = 0;
  while (n + 1 < size) {
    const int c = Get();
    if (c == kEnd) break;
    line[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (size != 0) line[n] = '\0';
  return n;
}

}  // namespace decoder
