// Where a multiplex goes: a WAV file (16-bit PCM or 32-bit float, mono) written under a temporary
// name and renamed into place when complete, so a file under the final name is always whole; or
// raw little-endian samples on standard output, written as they are produced, for a program
// reading the air live. The writer keeps the largest sample magnitude for the closing summary.
#ifndef RDS_RDSCORE_MPX_MPX_WRITER_H_
#define RDS_RDSCORE_MPX_MPX_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "rdscore/mpx/mpx_settings.h"

namespace rds {

class MpxWriter {
 public:
  virtual ~MpxWriter() = default;

  // Writes samples (full scale ±1); false when writing failed (see Error()).
  [[nodiscard]] bool Write(const float* samples, std::size_t count);
  // Completes the recording: a file is closed and renamed into place. False on failure, and then
  // nothing is left under the final name.
  [[nodiscard]] virtual bool Finish() = 0;

  // The largest magnitude written so far, as a fraction of full scale.
  float Peak() const { return peak_; }
  std::int64_t samples() const { return samples_; }
  const std::string& Error() const { return error_; }
  // "FILE" or "standard output", for messages.
  virtual std::string Name() const = 0;

 protected:
  [[nodiscard]] virtual bool WriteSamples(const float* samples, std::size_t count) = 0;
  std::string error_;

 private:
  float peak_ = 0.0F;
  std::int64_t samples_ = 0;
};

// "-" writes raw samples to standard output (signed 16-bit or 32-bit float, little-endian),
// anything else a WAV file: a plain one when at most max_samples (negative: not known) fit into
// the 4 GB a WAV file can hold, otherwise RF64, the WAV format for larger files, which falls back
// to a WAV (extensible) header when the recording stays small. Null with the reason in *error
// when the file cannot be created.
[[nodiscard]] std::unique_ptr<MpxWriter> OpenMpxWriter(const std::string& path,
                                                       const MpxSettings& settings,
                                                       std::int64_t max_samples,
                                                       std::string* error);

// A sample as a 16-bit value: full scale is ±32767, rounded to nearest.
std::int16_t ToPcm16(float sample);

}  // namespace rds

#endif  // RDS_RDSCORE_MPX_MPX_WRITER_H_
