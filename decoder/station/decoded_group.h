// What one received group told, as the station decoder read it: the header fields of blocks A
// and B and a set of flags naming the other fields the group carried or completed. The texts and
// lists themselves stay in the decoder's state (StationDecoder), so reading a group copies
// nothing.
#ifndef RDS_DECODER_STATION_DECODED_GROUP_H_
#define RDS_DECODER_STATION_DECODED_GROUP_H_

#include <cstdint>

#include "decoder/station/clock_time.h"

namespace decoder {

// Group type × 2 + version bit, as block B carries it in its top five bits.
constexpr int GroupCodeOf(int type, bool version_b) { return type * 2 + (version_b ? 1 : 0); }

struct DecodedGroup {
  enum Field : std::uint32_t {
    kTrafficFlags = 1u << 0,      // ta, is_music (0A, 0B, 15B)
    kDecoderId = 1u << 1,         // di_segment, di_bit
    kPsSegment = 1u << 2,         // two PS characters arrived
    kPsComplete = 1u << 3,        // the PS is whole after this group
    kPsNew = 1u << 4,             // ... and differs from the last whole name
    kAfList = 1u << 5,            // this group completed the AF list
    kRadiotextSegment = 1u << 6,  // radiotext characters arrived (radiotext_version says which)
    kRadiotextComplete = 1u << 7,
    kRadiotextNew = 1u << 8,
    kPin = 1u << 9,         // pin
    kEcc = 1u << 10,        // ecc
    kLanguage = 1u << 11,   // language
    kLinkage = 1u << 12,    // linkage (the linkage actuator of 1A)
    kOda = 1u << 13,        // oda_index: a 3A group announced an open data application
    kClockTime = 1u << 14,  // clock
    kPtynComplete = 1u << 15,
    kPtynNew = 1u << 16,
    kRtPlus = 1u << 17,        // RadioText Plus tags
    kOtherNetwork = 1u << 18,  // eon_index, eon_variant
  };

  bool has_pi = false;  // from block A, or from block C' of a version-B group
  std::uint16_t pi = 0;
  bool has_type = false;  // block B arrived; without it nothing else of the group can be read
  int code = 0;           // GroupCodeOf(type, version)
  bool tp = false;
  int pty = 0;
  std::uint32_t fields = 0;

  bool ta = false;
  bool is_music = false;
  int di_segment = 0;  // 0 dynamic PTY, 1 compressed, 2 artificial head, 3 stereo
  bool di_bit = false;
  std::uint16_t pin = 0;
  int ecc = 0;
  int language = 0;
  bool linkage = false;
  int radiotext_version = 0;  // 0 for 2A, 1 for 2B
  int oda_index = 0;
  ClockTime clock;
  int eon_index = 0;
  // 14A variant 0..15, kEon14B for a 14B group, kEonNoVariant for a 14A group without block C
  int eon_variant = 0;
  bool eon_af_complete = false;  // variant 4 completed the other network's AF list
  static constexpr int kEon14B = 16;
  static constexpr int kEonNoVariant = -1;

  bool Has(Field field) const { return (fields & field) != 0; }
  int Type() const { return code >> 1; }
  bool VersionB() const { return (code & 1) != 0; }
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_DECODED_GROUP_H_
