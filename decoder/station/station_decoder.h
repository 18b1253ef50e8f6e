// The station as a listener's receiver builds it up group by group: every group type a receiver
// meets (0A/0B, 1A/1B, 2A/2B, 3A, 4A, 10A, 14A/14B, 15B and RadioText Plus in the group that 3A
// names for it). Both the JSON writer and the summary read groups through it.
#ifndef RDS_DECODER_STATION_STATION_DECODER_H_
#define RDS_DECODER_STATION_STATION_DECODER_H_

#include <cstdint>
#include <string>

#include "decoder/received_group.h"
#include "decoder/station/af_list.h"
#include "decoder/station/clock_time.h"
#include "decoder/station/decoded_group.h"
#include "decoder/station/other_networks.h"
#include "decoder/station/segmented_text.h"

namespace decoder {

// Which programme-type names and call-sign conventions apply. North America (RBDS) gives the
// PTY codes other names and takes PI codes from call letters. kAuto decides by the extended
// country code once a 1A group brought one; until then the station counts as European for the
// names, and its call sign is shown only as a possibility.
enum class Region { kAuto, kEurope, kNorthAmerica };

struct OpenDataApp {
  std::uint16_t aid = 0;
  int group_code = 0;  // the group type carrying it, GroupCodeOf(type, version)
  std::uint16_t message = 0;
};

struct RtPlusTag {
  int content_type = 0;
  int start = 0;
  int length = 0;  // characters, the marker plus one
};

class StationDecoder {
 public:
  static constexpr int kMaxApps = 16;

  explicit StationDecoder(Region region = Region::kAuto) : region_(region) {}

  // Reads one group; the result stays valid until the next call.
  const DecodedGroup& Decode(const ReceivedGroup& group);

  // Whether the North American conventions apply (see Region); RegionKnown() is false while
  // kAuto has not seen an extended country code.
  bool NorthAmerican() const;
  bool RegionKnown() const { return region_ != Region::kAuto || has_ecc_; }
  // The programme-type name of `pty` under the region in force.
  const char* PtyName(int pty) const;

  const SegmentedText& Ps() const { return ps_; }
  const SegmentedText& Radiotext(int version) const { return version == 0 ? rt_2a_ : rt_2b_; }
  const SegmentedText& Ptyn() const { return ptyn_; }
  const AfList& Af() const { return af_; }
  const OtherNetworks& Networks() const { return networks_; }
  int AppCount() const { return app_count_; }
  const OpenDataApp& App(int index) const { return apps_[index]; }
  // 3A groups announcing applications beyond the kMaxApps kept.
  std::int64_t AppsOverflowed() const { return apps_overflowed_; }
  // The RT+ tags of the last RT+ group, and their text from the radiotext they refer to.
  int RtPlusTagCount() const { return rtplus_tag_count_; }
  const RtPlusTag& RtPlusTagAt(int index) const { return rtplus_tags_[index]; }
  bool RtPlusToggle() const { return rtplus_toggle_; }
  bool RtPlusRunning() const { return rtplus_running_; }
  bool AppendRtPlusText(const RtPlusTag& tag, std::string& out) const;

  // Station-wide values as last received; Has...() false until the first.
  bool HasEcc() const { return has_ecc_; }
  int Ecc() const { return ecc_; }
  bool HasLanguage() const { return has_language_; }
  int Language() const { return language_; }
  bool HasPin() const { return has_pin_; }
  std::uint16_t Pin() const { return pin_; }
  // The four DI bits (d3 dynamic PTY .. d0 stereo) once each has arrived.
  bool HasDecoderId() const { return di_received_ == 0xF; }
  int DecoderId() const { return di_bits_; }

 private:
  void DecodeBasicTuning(const ReceivedGroup& group);
  void DecodeProgramItem(const ReceivedGroup& group);
  void DecodeRadiotext(const ReceivedGroup& group);
  void DecodeOdaAnnouncement(const ReceivedGroup& group);
  void DecodePtyn(const ReceivedGroup& group);
  void DecodeOtherNetwork(const ReceivedGroup& group);
  void DecodeRtPlus(const ReceivedGroup& group);
  // Whether the group code may carry an open data application: not one of the types this
  // decoder reads by their fixed meaning.
  static bool OdaCapable(int code);

  Region region_;
  DecodedGroup out_;

  SegmentedText ps_{8};
  std::string last_ps_;
  int di_bits_ = 0;
  int di_received_ = 0;
  AfList af_;

  SegmentedText rt_2a_{64};
  SegmentedText rt_2b_{32};
  int rt_flag_[2] = {-1, -1};  // the A/B flag of each text; -1 before the first
  std::string last_rt_[2];
  int last_rt_version_ = 0;  // the version that last carried radiotext, for RT+

  SegmentedText ptyn_{8};
  int ptyn_flag_ = -1;
  std::string last_ptyn_;

  bool has_ecc_ = false;
  int ecc_ = 0;
  bool has_language_ = false;
  int language_ = 0;
  bool has_pin_ = false;
  std::uint16_t pin_ = 0;

  OpenDataApp apps_[kMaxApps];
  int app_count_ = 0;
  std::int64_t apps_overflowed_ = 0;
  int rtplus_code_ = -1;  // group code RT+ travels in, once announced
  RtPlusTag rtplus_tags_[2];
  int rtplus_tag_count_ = 0;
  bool rtplus_toggle_ = false;
  bool rtplus_running_ = false;

  OtherNetworks networks_;
  std::string scratch_;  // reused to compare texts without allocating per group
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_STATION_DECODER_H_
