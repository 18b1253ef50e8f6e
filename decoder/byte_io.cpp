#include "decoder/byte_io.h"

#include <algorithm>
#include <cstring>

namespace decoder {

std::size_t MemorySource::Read(char* buffer, std::size_t capacity) {
  const std::size_t n = std::min({capacity, bytes_.size(), max_read_});
  if (n != 0) std::memcpy(buffer, bytes_.data(), n);
  bytes_.remove_prefix(n);
  return n;
}

bool StringSink::Write(const char* data, std::size_t size) {
  text_.append(data, size);
  return true;
}

std::size_t FileSource::Read(char* buffer, std::size_t capacity) {
  return std::fread(buffer, 1, capacity, file_);
}

bool FileSource::Failed() const { return std::ferror(file_) != 0; }

bool FileSink::Write(const char* data, std::size_t size) {
  return std::fwrite(data, 1, size, file_) == size;
}

bool FileSink::Flush() { return std::fflush(file_) == 0; }

}  // namespace decoder
