#include "decoder/station/station_decoder.h"

#include "decoder/station/country_table.h"
#include "decoder/station/pty_table.h"
#include "decoder/station/rtplus_table.h"

namespace decoder {
namespace {

constexpr int kCode0A = GroupCodeOf(0, false);
constexpr int kCode0B = GroupCodeOf(0, true);
constexpr int kCode1A = GroupCodeOf(1, false);
constexpr int kCode1B = GroupCodeOf(1, true);
constexpr int kCode2A = GroupCodeOf(2, false);
constexpr int kCode2B = GroupCodeOf(2, true);
constexpr int kCode3A = GroupCodeOf(3, false);
constexpr int kCode4A = GroupCodeOf(4, false);
constexpr int kCode10A = GroupCodeOf(10, false);
constexpr int kCode14A = GroupCodeOf(14, false);
constexpr int kCode14B = GroupCodeOf(14, true);
constexpr int kCode15B = GroupCodeOf(15, true);

constexpr int kBlockA = 0, kBlockB = 1, kBlockC = 2, kBlockD = 3;

std::uint8_t High(std::uint16_t word) { return static_cast<std::uint8_t>(word >> 8); }
std::uint8_t Low(std::uint16_t word) { return static_cast<std::uint8_t>(word & 0xFF); }

// True when `text` is whole and reads other than `last`, which then takes the new reading.
bool TakeNewText(const SegmentedText& text, std::string& last, std::string& scratch) {
  scratch.clear();
  text.AppendUtf8(scratch);
  if (scratch == last) return false;
  last = scratch;
  return true;
}

}  // namespace

bool StationDecoder::NorthAmerican() const {
  if (region_ == Region::kAuto)
    return has_ecc_ && IsNorthAmericanEcc(static_cast<std::uint8_t>(ecc_));
  return region_ == Region::kNorthAmerica;
}

const char* StationDecoder::PtyName(int pty) const {
  return NorthAmerican() ? RbdsPtyName(pty) : RdsPtyName(pty);
}

const DecodedGroup& StationDecoder::Decode(const ReceivedGroup& group) {
  out_ = DecodedGroup{};
  if (group.Has(kBlockA)) {
    out_.has_pi = true;
    out_.pi = group.info[kBlockA];
  } else if (group.Has(kBlockC) && group.third_is_c_prime) {
    out_.has_pi = true;
    out_.pi = group.info[kBlockC];
  }
  if (!group.Has(kBlockB)) return out_;
  const std::uint16_t b = group.info[kBlockB];
  out_.has_type = true;
  out_.code = b >> 11;
  out_.tp = (b >> 10) & 1;
  out_.pty = (b >> 5) & 0x1F;
  if (!out_.has_pi && out_.VersionB() && group.Has(kBlockC)) {
    out_.has_pi = true;
    out_.pi = group.info[kBlockC];
  }
  switch (out_.code) {
    case kCode0A:
    case kCode0B:
    case kCode15B:
      DecodeBasicTuning(group);
      break;
    case kCode1A:
    case kCode1B:
      DecodeProgramItem(group);
      break;
    case kCode2A:
    case kCode2B:
      DecodeRadiotext(group);
      break;
    case kCode3A:
      DecodeOdaAnnouncement(group);
      break;
    case kCode4A:
      if (group.Has(kBlockC) && group.Has(kBlockD) &&
          DecodeClockTime(b, group.info[kBlockC], group.info[kBlockD], out_.clock)) {
        out_.fields |= DecodedGroup::kClockTime;
      }
      break;
    case kCode10A:
      DecodePtyn(group);
      break;
    case kCode14A:
    case kCode14B:
      DecodeOtherNetwork(group);
      break;
    default:
      if (out_.code == rtplus_code_) DecodeRtPlus(group);
      break;
  }
  return out_;
}

void StationDecoder::DecodeBasicTuning(const ReceivedGroup& group) {
  const std::uint16_t b = group.info[kBlockB];
  const int segment = b & 3;
  out_.fields |= DecodedGroup::kTrafficFlags | DecodedGroup::kDecoderId;
  out_.ta = (b >> 4) & 1;
  out_.is_music = (b >> 3) & 1;
  out_.di_segment = segment;
  out_.di_bit = (b >> 2) & 1;
  // Segment 0 carries d3 (dynamic PTY), segment 3 d0 (stereo).
  const int bit = 3 - segment;
  di_bits_ = (di_bits_ & ~(1 << bit)) | (out_.di_bit ? 1 << bit : 0);
  di_received_ |= 1 << bit;
  if (out_.code == kCode15B) return;  // its block D repeats block B

  if (out_.code == kCode0A && group.Has(kBlockC)) {
    const std::uint16_t c = group.info[kBlockC];
    if (af_.AddPair(High(c), Low(c))) out_.fields |= DecodedGroup::kAfList;
  }
  if (!group.Has(kBlockD)) return;
  const std::uint16_t d = group.info[kBlockD];
  ps_.Store(2 * segment, High(d), Low(d));
  out_.fields |= DecodedGroup::kPsSegment;
  if (!ps_.Complete()) return;
  out_.fields |= DecodedGroup::kPsComplete;
  if (TakeNewText(ps_, last_ps_, scratch_)) out_.fields |= DecodedGroup::kPsNew;
}

void StationDecoder::DecodeProgramItem(const ReceivedGroup& group) {
  if (out_.code == kCode1A && group.Has(kBlockC)) {
    const std::uint16_t c = group.info[kBlockC];
    out_.linkage = (c >> 15) & 1;
    out_.fields |= DecodedGroup::kLinkage;
    const int variant = (c >> 12) & 7;
    if (variant == 0) {
      has_ecc_ = true;
      ecc_ = c & 0xFF;
      out_.ecc = ecc_;
      out_.fields |= DecodedGroup::kEcc;
    } else if (variant == 3) {
      has_language_ = true;
      language_ = c & 0xFFF;
      out_.language = language_;
      out_.fields |= DecodedGroup::kLanguage;
    }
  }
  if (group.Has(kBlockD)) {
    has_pin_ = true;
    pin_ = group.info[kBlockD];
    out_.pin = pin_;
    out_.fields |= DecodedGroup::kPin;
  }
}

void StationDecoder::DecodeRadiotext(const ReceivedGroup& group) {
  const std::uint16_t b = group.info[kBlockB];
  const int version = out_.code & 1;
  SegmentedText& text = version == 0 ? rt_2a_ : rt_2b_;
  // A new A/B flag announces a new text: what is on the display goes.
  const int flag = (b >> 4) & 1;
  if (rt_flag_[version] != flag) {
    text.Clear();
    rt_flag_[version] = flag;
  }
  const int segment = b & 0xF;
  bool stored = false;
  if (version == 0) {
    if (group.Has(kBlockC)) {
      text.Store(4 * segment, High(group.info[kBlockC]), Low(group.info[kBlockC]));
      stored = true;
    }
    if (group.Has(kBlockD)) {
      text.Store(4 * segment + 2, High(group.info[kBlockD]), Low(group.info[kBlockD]));
      stored = true;
    }
  } else if (group.Has(kBlockD)) {
    text.Store(2 * segment, High(group.info[kBlockD]), Low(group.info[kBlockD]));
    stored = true;
  }
  if (!stored) return;
  out_.radiotext_version = version;
  last_rt_version_ = version;
  out_.fields |= DecodedGroup::kRadiotextSegment;
  if (!text.Complete()) return;
  out_.fields |= DecodedGroup::kRadiotextComplete;
  if (TakeNewText(text, last_rt_[version], scratch_)) out_.fields |= DecodedGroup::kRadiotextNew;
}

bool StationDecoder::OdaCapable(int code) {
  switch (code) {
    case kCode0A:
    case kCode0B:
    case kCode1A:
    case kCode1B:
    case kCode2A:
    case kCode2B:
    case kCode3A:
    case kCode4A:
    case kCode10A:
    case kCode14A:
    case kCode14B:
    case kCode15B:
      return false;
    default:
      return true;
  }
}

void StationDecoder::DecodeOdaAnnouncement(const ReceivedGroup& group) {
  if (!group.Has(kBlockD)) return;  // without the AID the announcement names nothing
  OpenDataApp app;
  app.aid = group.info[kBlockD];
  app.group_code = group.info[kBlockB] & 0x1F;
  app.message = group.Has(kBlockC) ? group.info[kBlockC] : 0;
  int index = 0;
  while (index < app_count_ && apps_[index].aid != app.aid) ++index;
  if (index == kMaxApps) {
    ++apps_overflowed_;
    return;
  }
  if (index == app_count_) ++app_count_;
  apps_[index] = app;
  out_.oda_index = index;
  out_.fields |= DecodedGroup::kOda;
  if (app.aid == kRtPlusAid && OdaCapable(app.group_code)) rtplus_code_ = app.group_code;
}

void StationDecoder::DecodePtyn(const ReceivedGroup& group) {
  const std::uint16_t b = group.info[kBlockB];
  const int flag = (b >> 4) & 1;
  if (ptyn_flag_ != flag) {
    ptyn_.Clear();
    ptyn_flag_ = flag;
  }
  const int segment = b & 1;
  if (group.Has(kBlockC)) {
    ptyn_.Store(4 * segment, High(group.info[kBlockC]), Low(group.info[kBlockC]));
  }
  if (group.Has(kBlockD)) {
    ptyn_.Store(4 * segment + 2, High(group.info[kBlockD]), Low(group.info[kBlockD]));
  }
  if (!ptyn_.Complete()) return;
  out_.fields |= DecodedGroup::kPtynComplete;
  if (TakeNewText(ptyn_, last_ptyn_, scratch_)) out_.fields |= DecodedGroup::kPtynNew;
}

void StationDecoder::DecodeOtherNetwork(const ReceivedGroup& group) {
  if (!group.Has(kBlockD)) return;  // block D names the other network
  OtherNetwork* network = networks_.Find(group.info[kBlockD]);
  if (network == nullptr) return;
  const std::uint16_t b = group.info[kBlockB];
  network->tp = (b >> 4) & 1;
  out_.eon_index = networks_.IndexOf(network);
  out_.fields |= DecodedGroup::kOtherNetwork;
  if (out_.code == kCode14B) {
    network->has_ta = true;
    network->ta = (b >> 3) & 1;
    out_.eon_variant = DecodedGroup::kEon14B;
    return;
  }
  if (!group.Has(kBlockC)) {
    out_.eon_variant = DecodedGroup::kEonNoVariant;
    return;
  }
  const int variant = b & 0xF;
  const std::uint16_t c = group.info[kBlockC];
  out_.eon_variant = variant;
  switch (variant) {
    case 0:
    case 1:
    case 2:
    case 3:
      network->ps.Store(2 * variant, High(c), Low(c));
      break;
    case 4:
      out_.eon_af_complete = network->af.AddPair(High(c), Low(c));
      break;
    case 5:
    case 6:
    case 7:
    case 8:
    case 9: {
      // 5 to 8: an FM frequency of this station and the other network's FM frequency there;
      // 9: the same with the other network on LF/MF.
      const std::int32_t tuned = AfList::FmKiloHertz(High(c));
      const std::int32_t mapped =
          variant == 9 ? AfList::LfMfKiloHertz(Low(c)) : AfList::FmKiloHertz(Low(c));
      if (tuned != 0 && mapped != 0) OtherNetworks::AddMapping(*network, tuned, mapped);
      break;
    }
    case 13:
      network->pty = c >> 11;
      network->has_ta = true;
      network->ta = c & 1;
      break;
    case 14:
      network->has_pin = true;
      network->pin = c;
      break;
    default:  // linkage information and unassigned variants
      break;
  }
}

void StationDecoder::DecodeRtPlus(const ReceivedGroup& group) {
  if (!group.Has(kBlockC) || !group.Has(kBlockD)) return;
  const std::uint16_t b = group.info[kBlockB];
  const std::uint16_t c = group.info[kBlockC];
  const std::uint16_t d = group.info[kBlockD];
  rtplus_toggle_ = (b >> 4) & 1;
  rtplus_running_ = (b >> 3) & 1;
  // Two tags in 37 bits: type (6), start (6), length (6) and type (6), start (6), length (5).
  const RtPlusTag tags[2] = {
      {(b & 7) << 3 | c >> 13, (c >> 7) & 0x3F, ((c >> 1) & 0x3F) + 1},
      {(c & 1) << 5 | d >> 11, (d >> 5) & 0x3F, (d & 0x1F) + 1},
  };
  rtplus_tag_count_ = 0;
  for (const RtPlusTag& tag : tags) {
    if (tag.content_type != 0) rtplus_tags_[rtplus_tag_count_++] = tag;  // 0: no tag
  }
  out_.fields |= DecodedGroup::kRtPlus;
}

bool StationDecoder::AppendRtPlusText(const RtPlusTag& tag, std::string& out) const {
  return Radiotext(last_rt_version_).AppendRangeUtf8(tag.start, tag.length, out);
}

}  // namespace decoder
