#include "demod/bit_sink.h"

#include <cstddef>

namespace demod {

namespace {

constexpr char kReservedCountLine[] = "        \n";  // eight characters and the newline

class CaptureFile : public BitSink {
 public:
  explicit CaptureFile(std::FILE* file) : file_(file) {
    ok_ = std::fputs(kReservedCountLine, file_) >= 0;
  }
  ~CaptureFile() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;

  bool Write(const std::string& bits) override {
    std::size_t take = bits.size();
    if (written_ + static_cast<long long>(take) > kMaxFileBits) {
      take = static_cast<std::size_t>(kMaxFileBits - written_);
      limit_reached_ = true;
    }
    if (take > 0 && std::fwrite(bits.data(), 1, take, file_) != take) ok_ = false;
    written_ += static_cast<long long>(take);
    return ok_ && !limit_reached_;
  }

  bool Close() override {
    // The bit line ends with a newline; the count covers the bits and one more, because the
    // reader takes one character fewer than the count.
    ok_ = ok_ && std::fputc('\n', file_) != EOF && std::fflush(file_) == 0 &&
          std::fseek(file_, 0, SEEK_SET) == 0 && std::fprintf(file_, "%8lld", written_ + 1) == 8;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok_ && closed;
  }
  bool limit_reached() const override { return limit_reached_; }

 private:
  std::FILE* file_;
  bool ok_ = true;
  bool limit_reached_ = false;
};

class BitStream : public BitSink {
 public:
  explicit BitStream(std::FILE* stream) : stream_(stream) {}

  bool Write(const std::string& bits) override {
    for (const char bit : bits) {
      line_.push_back(bit);
      if (++column_ == 104) {
        line_.push_back('\n');
        column_ = 0;
      }
    }
    written_ += static_cast<long long>(bits.size());
    const bool ok = std::fwrite(line_.data(), 1, line_.size(), stream_) == line_.size() &&
                    std::fflush(stream_) == 0;
    line_.clear();
    return ok;
  }
  bool Close() override {
    return (column_ == 0 || std::fputc('\n', stream_) != EOF) && std::fflush(stream_) == 0;
  }

 private:
  std::FILE* stream_;
  std::string line_;
  int column_ = 0;
};

}  // namespace

std::unique_ptr<BitSink> CreateCaptureFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return nullptr;
  return std::make_unique<CaptureFile>(file);
}

std::unique_ptr<BitSink> StreamTo(std::FILE* stream) { return std::make_unique<BitStream>(stream); }

}  // namespace demod
