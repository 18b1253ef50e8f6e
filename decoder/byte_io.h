// Where the decoder's bytes come from and where its report goes. The decoding core sees only
// these two interfaces, so tests and fuzzers drive it in memory and the program drives it with
// files.
#ifndef RDS_DECODER_BYTE_IO_H_
#define RDS_DECODER_BYTE_IO_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace decoder {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `capacity` bytes into `buffer`; returns how many. 0 means end of input or a read
  // error; Failed() tells the two apart.
  [[nodiscard]] virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
  virtual bool Failed() const { return false; }
};

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Appends the bytes to the report; false when they could not all be written.
  [[nodiscard]] virtual bool Write(const char* data, std::size_t size) = 0;
  // Passes what was written on to its destination now (a live report); false on failure.
  [[nodiscard]] virtual bool Flush() { return true; }
};

class MemorySource : public ByteSource {
 public:
  // `max_read` limits each Read, to drive readers through short reads as pipes deliver them.
  explicit MemorySource(std::string_view bytes, std::size_t max_read = SIZE_MAX)
      : bytes_(bytes), max_read_(max_read) {}
  [[nodiscard]] std::size_t Read(char* buffer, std::size_t capacity) override;

 private:
  std::string_view bytes_;
  std::size_t max_read_;
};

class StringSink : public ReportSink {
 public:
  [[nodiscard]] bool Write(const char* data, std::size_t size) override;
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// A stdio stream that the caller opened and closes.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  [[nodiscard]] std::size_t Read(char* buffer, std::size_t capacity) override;
  bool Failed() const override;

 private:
  std::FILE* file_;
};

class FileSink : public ReportSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  [[nodiscard]] bool Write(const char* data, std::size_t size) override;
  [[nodiscard]] bool Flush() override;

 private:
  std::FILE* file_;
};

}  // namespace decoder

#endif  // RDS_DECODER_BYTE_IO_H_
