// The station as a listener saw it over the whole run, and how well it was received: what the
// summary at the end of a run (or on an interrupt of a stream) prints. The layout is described
// in docs/brovik-station.md.
#ifndef RDS_DECODER_STATION_STATION_SUMMARY_H_
#define RDS_DECODER_STATION_STATION_SUMMARY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "decoder/byte_io.h"
#include "decoder/received_group.h"
#include "decoder/station/station_decoder.h"

namespace decoder {

class StationSummary : public GroupListener {
 public:
  // Changes of PS, radiotext and PTYN kept with their time; later ones are only counted.
  static constexpr std::size_t kMaxChanges = 100;
  static constexpr int kMaxPis = 8;

  explicit StationSummary(Region region = Region::kAuto) : decoder_(region) {}

  void OnGroup(const ReceivedGroup& received) override;
  // Writes the summary; false when the sink did not take all of it.
  [[nodiscard]] bool Write(const ReceptionStats& stats, ReportSink& sink) const;
  // The summary text itself.
  std::string Text(const ReceptionStats& stats) const;

 private:
  struct Change {
    std::string text;  // UTF-8
    double seconds;    // since the start of the capture
  };
  struct Changes {
    std::vector<Change> kept;
    std::int64_t dropped = 0;
    void Add(std::string text, double seconds);
  };
  struct PiTally {
    std::uint16_t pi;
    std::int64_t groups;
  };

  void CountPi(std::uint16_t pi);
  void AppendStation(std::string& out) const;
  void AppendIdentity(std::string& out) const;
  void AppendTexts(std::string& out) const;
  void AppendServices(std::string& out) const;
  void AppendOtherNetworks(std::string& out) const;
  void AppendReception(const ReceptionStats& stats, std::string& out) const;

  StationDecoder decoder_;
  std::string scratch_;

  PiTally pis_[kMaxPis] = {};
  int pi_count_ = 0;
  std::int64_t untallied_pi_groups_ = 0;

  bool has_basic_ = false;  // a group with block B arrived
  bool tp_ = false;
  int pty_ = 0;
  bool has_traffic_flags_ = false;
  bool ta_ = false;
  bool is_music_ = false;
  std::int64_t traffic_groups_ = 0;  // groups that carried TA
  std::int64_t ta_on_groups_ = 0;

  Changes ps_changes_;
  Changes rt_changes_[2];
  Changes ptyn_changes_;

  std::int64_t clock_groups_ = 0;
  ClockTime last_clock_;
  double last_clock_seconds_ = 0;

  std::int64_t groups_ = 0;
  std::int64_t groups_by_code_[32] = {};
  std::int64_t groups_without_type_ = 0;
  std::int64_t groups_with_missing_blocks_ = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_STATION_SUMMARY_H_
