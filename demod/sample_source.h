// Where the multiplex comes from: an audio file that libsndfile reads (WAV, FLAC, …), or raw
// mono samples on a stream (signed 16-bit little-endian or 32-bit float) at a rate the user
// names. Both deliver float samples in blocks and tell apart a clean end from one that breaks off.
#ifndef RDS_DEMOD_SAMPLE_SOURCE_H_
#define RDS_DEMOD_SAMPLE_SOURCE_H_

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace demod {

enum class SourceStatus {
  kOk,         // samples delivered (or a clean end when none were)
  kEnd,        // all samples read
  kTruncated,  // the input ends inside a sample or before its header says it should
  kReadError,  // the system could not read it
};

class SampleSource {
 public:
  virtual ~SampleSource() = default;
  // Reads up to `max` samples of the first channel into `out` (resized to what was read).
  virtual SourceStatus Read(std::size_t max, std::vector<float>* out) = 0;
  virtual double sample_rate() const = 0;
  // Samples in the whole input when known (files), else −1.
  virtual long long length() const { return -1; }
  // More about a kTruncated or kReadError status.
  virtual std::string problem() const { return problem_; }

 protected:
  std::string problem_;
};

enum class RawFormat { kS16Le, kF32 };

// Opening results: a source, or the reason there is none.
struct OpenResult {
  std::unique_ptr<SampleSource> source;
  enum class Failure { kNone, kCannotOpen, kNotAudio, kEmpty } failure = Failure::kNone;
  std::string message;
  int channels = 1;
};

OpenResult OpenAudioFile(const std::string& path);
// Raw samples from `stream` (not closed), which must be in binary mode.
[[nodiscard]] std::unique_ptr<SampleSource> OpenRawStream(std::FILE* stream, double sample_rate,
                                                          RawFormat format);

}  // namespace demod

#endif  // RDS_DEMOD_SAMPLE_SOURCE_H_
