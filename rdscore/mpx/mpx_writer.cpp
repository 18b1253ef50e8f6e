#include "rdscore/mpx/mpx_writer.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace rds {

namespace {

class WavWriter : public MpxWriter {
 public:
  WavWriter(std::string path, SNDFILE* file, MpxSampleFormat format)
      : path_(std::move(path)), file_(file), format_(format) {}
  ~WavWriter() override {
    if (file_ != nullptr) {
      sf_close(file_);
      std::remove(Temporary(path_).c_str());
    }
  }
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  static std::string Temporary(const std::string& path) { return path + ".part"; }

  std::string Name() const override { return path_; }

  bool Finish() override {
    if (file_ == nullptr) return false;
    const int closed = sf_close(file_);
    file_ = nullptr;
    const std::string temporary = Temporary(path_);
    if (closed != 0) {
      error_ = "cannot complete " + temporary + ": " + sf_error_number(closed);
      std::remove(temporary.c_str());
      return false;
    }
    if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
      error_ = "cannot rename " + temporary + " to " + path_ + ": " + std::strerror(errno);
      std::remove(temporary.c_str());
      return false;
    }
    return true;
  }

 protected:
  bool WriteSamples(const float* samples, std::size_t count) override {
    if (file_ == nullptr) return false;
    sf_count_t written = 0;
    if (format_ == MpxSampleFormat::kFloat) {
      written = sf_write_float(file_, samples, static_cast<sf_count_t>(count));
    } else {
      pcm_.resize(count);
      std::transform(samples, samples + count, pcm_.begin(), ToPcm16);
      written = sf_write_short(file_, pcm_.data(), static_cast<sf_count_t>(count));
    }
    if (written != static_cast<sf_count_t>(count)) {
      error_ = "cannot write " + Temporary(path_) + ": " + sf_strerror(file_);
      return false;
    }
    return true;
  }

 private:
  std::string path_;
  SNDFILE* file_;
  MpxSampleFormat format_;
  std::vector<short> pcm_;
};

class RawWriter : public MpxWriter {
 public:
  explicit RawWriter(MpxSampleFormat format) : format_(format) {}

  std::string Name() const override { return "standard output"; }
  bool Finish() override { return error_.empty(); }

 protected:
  bool WriteSamples(const float* samples, std::size_t count) override {
    // Little-endian whatever the machine, byte by byte.
    bytes_.clear();
    for (std::size_t i = 0; i < count; ++i) {
      if (format_ == MpxSampleFormat::kFloat) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &samples[i], sizeof bits);
        for (int shift = 0; shift < 32; shift += 8) {
          bytes_.push_back(static_cast<unsigned char>(bits >> shift));
        }
      } else {
        const auto value = static_cast<std::uint16_t>(ToPcm16(samples[i]));
        bytes_.push_back(static_cast<unsigned char>(value));
        bytes_.push_back(static_cast<unsigned char>(value >> 8));
      }
    }
    // Flushed at once: a live reader hears the air as it goes out.
    if (std::fwrite(bytes_.data(), 1, bytes_.size(), stdout) != bytes_.size() ||
        std::fflush(stdout) != 0) {
      error_ = std::string("cannot write the MPX to standard output: ") + std::strerror(errno);
      return false;
    }
    return true;
  }

 private:
  MpxSampleFormat format_;
  std::vector<unsigned char> bytes_;
};

}  // namespace

std::int16_t ToPcm16(float sample) {
  const float clamped = std::clamp(sample, -1.0F, 1.0F);
  return static_cast<std::int16_t>(std::lrint(clamped * 32767.0F));
}

bool MpxWriter::Write(const float* samples, std::size_t count) {
  if (!error_.empty()) return false;
  for (std::size_t i = 0; i < count; ++i) peak_ = std::max(peak_, std::fabs(samples[i]));
  samples_ += static_cast<std::int64_t>(count);
  return WriteSamples(samples, count);
}

std::unique_ptr<MpxWriter> OpenMpxWriter(const std::string& path, const MpxSettings& settings,
                                         std::int64_t max_samples, std::string* error) {
  if (path == "-") return std::make_unique<RawWriter>(settings.format);
  const bool is_float = settings.format == MpxSampleFormat::kFloat;
  // The data chunk's size is a 32-bit count of bytes; a little room is left for the header.
  constexpr std::int64_t kWavBytes = 0xFFFFFFFFLL - 4096;
  const bool fits_wav = max_samples >= 0 && max_samples * (is_float ? 4 : 2) <= kWavBytes;
  SF_INFO info{};
  info.samplerate = settings.rate;
  info.channels = 1;
  info.format =
      (fits_wav ? SF_FORMAT_WAV : SF_FORMAT_RF64) | (is_float ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
  const std::string temporary = WavWriter::Temporary(path);
  errno = 0;
  SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    const int system_error = errno;
    *error = "cannot create " + temporary + ": " +
             (system_error != 0 ? std::strerror(system_error) : sf_strerror(nullptr));
    return nullptr;
  }
  if (!fits_wav) sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  return std::make_unique<WavWriter>(path, file, settings.format);
}

}  // namespace rds
