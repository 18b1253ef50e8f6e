// The simulator's air as an MPX recording: every group that goes on air is modulated at once and
// written, sample-aligned with the bit-stream file (same groups, the first sample at the start of
// the first bit). With "-" the samples go to standard output as the air goes out, so another
// program can listen live.
#ifndef RDS_SIMULATOR_AIR_RECORDER_H_
#define RDS_SIMULATOR_AIR_RECORDER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rdscore/group.h"
#include "rdscore/mpx/mpx_generator.h"
#include "rdscore/mpx/mpx_settings.h"
#include "rdscore/mpx/mpx_writer.h"

namespace sim {

class AirRecorder {
 public:
  // Opens the programme audio and the output (settings' levels already settled); max_groups is
  // the most the run can air (0: no limit). Null with the reason in *error.
  static std::unique_ptr<AirRecorder> Open(const std::string& path,
                                           const rds::MpxSettings& settings,
                                           std::uint64_t max_groups, std::string* error);

  // Puts a group on air at a level (1: the settings' RDS level) and a phase against the pilot's
  // third harmonic. A level the multiplex has no room for is held at the most it has (see
  // Finish). After a failed write nothing more is written; Failed() tells.
  void Add(const rds::Group& group, double level = 1.0, double phase_degrees = 0.0);
  // A group's time with RDS off: pilot and programme audio only.
  void AddSilence();
  bool Failed() const { return !writer_->Error().empty(); }

  // Writes the air's last samples and completes the file; false with Error() on failure.
  // *summary gets what went out: rate, format, where, the peak.
  bool Finish(std::string* summary);
  const std::string& Error() const { return writer_->Error(); }

 private:
  AirRecorder(const rds::MpxSettings& settings, std::unique_ptr<rds::MpxWriter> writer,
              std::unique_ptr<rds::AudioSource> audio);
  void Pump();

  rds::MpxSettings settings_;
  std::unique_ptr<rds::MpxWriter> writer_;
  rds::MpxGenerator generator_;
  std::uint64_t groups_ = 0;
  double max_level_ = 1.0;  // the most the RDS level can rise before the sum passes full scale
  bool level_held_ = false;
  std::int64_t end_ = -1;  // samples in all, once the air has ended
  std::vector<float> block_;
};

}  // namespace sim

#endif  // RDS_SIMULATOR_AIR_RECORDER_H_
