#include "demod/sample_source.h"

#include <sndfile.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace demod {

namespace {

class AudioFileSource : public SampleSource {
 public:
  AudioFileSource(SNDFILE* file, const SF_INFO& info) : file_(file), info_(info) {}
  ~AudioFileSource() override { sf_close(file_); }
  AudioFileSource(const AudioFileSource&) = delete;
  AudioFileSource& operator=(const AudioFileSource&) = delete;

  SourceStatus Read(std::size_t max, std::vector<float>* out) override {
    const auto channels = static_cast<std::size_t>(info_.channels);
    sf_count_t got = 0;
    if (channels == 1) {
      out->resize(max);
      got = sf_readf_float(file_, out->data(), static_cast<sf_count_t>(max));
      out->resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    } else {
      frames_.resize(max * channels);
      got = sf_readf_float(file_, frames_.data(), static_cast<sf_count_t>(max));
      out->resize(got > 0 ? static_cast<std::size_t>(got) : 0);
      for (std::size_t i = 0; i < out->size(); ++i) (*out)[i] = frames_[i * channels];
    }
    read_ += got > 0 ? got : 0;
    if (got > 0) return SourceStatus::kOk;
    if (sf_error(file_) != SF_ERR_NO_ERROR) {
      problem_ = sf_strerror(file_);
      return SourceStatus::kReadError;
    }
    // libsndfile trims a header's length to the data present and only logs it; the header's own
    // promise is checked here so that a cut file is not taken for a whole one.
    if (read_ < info_.frames) {
      problem_ = "the file ends after " + std::to_string(read_) + " of " +
                 std::to_string(info_.frames) + " samples";
      return SourceStatus::kTruncated;
    }
    char log[4096];
    sf_command(file_, SFC_GET_LOG_INFO, log, sizeof log);
    if (std::strstr(log, "runcated") != nullptr || std::strstr(log, "should be") != nullptr) {
      problem_ = "the file is shorter than its header says";
      return SourceStatus::kTruncated;
    }
    return SourceStatus::kEnd;
  }
  double sample_rate() const override { return info_.samplerate; }
  long long length() const override { return info_.frames; }

 private:
  SNDFILE* file_;
  SF_INFO info_;
  std::vector<float> frames_;
  sf_count_t read_ = 0;
};

class RawSource : public SampleSource {
 public:
  RawSource(std::FILE* stream, double sample_rate, RawFormat format)
      : stream_(stream), sample_rate_(sample_rate), format_(format) {}

  SourceStatus Read(std::size_t max, std::vector<float>* out) override {
    const std::size_t width = format_ == RawFormat::kS16Le ? 2 : 4;
    bytes_.resize(max * width);
    // Bytes of a sample cut by the previous read come first.
    std::memcpy(bytes_.data(), carry_, carry_size_);
    const std::size_t got = carry_size_ + std::fread(bytes_.data() + carry_size_, 1,
                                                     bytes_.size() - carry_size_, stream_);
    const std::size_t samples = got / width;
    carry_size_ = got % width;
    std::memcpy(carry_, bytes_.data() + samples * width, carry_size_);
    out->resize(samples);
    const unsigned char* b = bytes_.data();
    for (std::size_t i = 0; i < samples; ++i, b += width) {
      if (format_ == RawFormat::kS16Le) {
        const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | (b[1] << 8)));
        (*out)[i] = static_cast<float>(v) * (1.0f / 32768.0f);
      } else {
        const std::uint32_t u = static_cast<std::uint32_t>(b[0]) | (std::uint32_t{b[1]} << 8) |
                                (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
        float v;
        std::memcpy(&v, &u, sizeof v);
        // A NaN or infinity would poison every filter after it; such a sample counts as silence.
        (*out)[i] = std::isfinite(v) ? v : 0.0f;
      }
    }
    if (samples > 0) return SourceStatus::kOk;
    if (std::ferror(stream_)) {
      problem_ = std::strerror(errno);
      return SourceStatus::kReadError;
    }
    if (got == 0 || std::feof(stream_)) {
      if (carry_size_ == 0) return SourceStatus::kEnd;
      problem_ = "the input ends inside a sample (" + std::to_string(carry_size_) + " of " +
                 std::to_string(width) + " bytes)";
      return SourceStatus::kTruncated;
    }
    return SourceStatus::kOk;
  }
  double sample_rate() const override { return sample_rate_; }

 private:
  std::FILE* stream_;
  double sample_rate_;
  RawFormat format_;
  std::vector<unsigned char> bytes_;
  unsigned char carry_[4] = {};
  std::size_t carry_size_ = 0;
};

}  // namespace

OpenResult OpenAudioFile(const std::string& path) {
  OpenResult result;
  std::error_code ec;
  // libsndfile says "not a recognised format" for a directory or a missing file; the system's
  // reason is the more useful message.
  if (std::filesystem::is_directory(path, ec)) {
    result.failure = OpenResult::Failure::kCannotOpen;
    result.message = "Is a directory";
    return result;
  }
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  if (probe == nullptr) {
    result.failure = OpenResult::Failure::kCannotOpen;
    result.message = std::strerror(errno);
    return result;
  }
  const bool empty = std::fgetc(probe) == EOF;
  std::fclose(probe);
  if (empty) {
    result.failure = OpenResult::Failure::kEmpty;
    result.message = "the file is empty";
    return result;
  }
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    result.failure = OpenResult::Failure::kNotAudio;
    result.message = sf_strerror(nullptr);
    return result;
  }
  if (info.frames == 0) {
    sf_close(file);
    result.failure = OpenResult::Failure::kEmpty;
    result.message = "the file holds no samples";
    return result;
  }
  result.channels = info.channels;
  result.source = std::make_unique<AudioFileSource>(file, info);
  return result;
}

std::unique_ptr<SampleSource> OpenRawStream(std::FILE* stream, double sample_rate,
                                            RawFormat format) {
  return std::make_unique<RawSource>(stream, sample_rate, format);
}

}  // namespace demod
