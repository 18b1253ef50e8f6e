#include "decoder/station/json_group_writer.h"

#include <nlohmann/json.hpp>

#include "decoder/station/country_table.h"
#include "decoder/station/json_fields.h"
#include "decoder/station/language_table.h"
#include "decoder/station/rbds_callsign.h"
#include "decoder/station/rtplus_table.h"

namespace decoder {
namespace {

using Value = nlohmann::ordered_json;

// "0A" .. "15B" by group code.
constexpr const char* kGroupNames[32] = {"0A",  "0B",  "1A",  "1B",  "2A",  "2B",  "3A",  "3B",
                                         "4A",  "4B",  "5A",  "5B",  "6A",  "6B",  "7A",  "7B",
                                         "8A",  "8B",  "9A",  "9B",  "10A", "10B", "11A", "11B",
                                         "12A", "12B", "13A", "13B", "14A", "14B", "15A", "15B"};

// The decoder-identification bit a 0A/0B/15B segment carries, by segment.
constexpr const char* kDiNames[4] = {"dynamic_pty", "compressed", "artificial_head", "stereo"};

// "0x12AB", as scripts expect the PI.
std::string PiText(std::uint16_t pi) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return {'0', 'x', kHex[pi >> 12], kHex[(pi >> 8) & 0xF], kHex[(pi >> 4) & 0xF], kHex[pi & 0xF]};
}

void FillKiloHertz(const AfList& list, Value& array) {
  for (int i = 0; i < list.Size(); ++i) array.push_back(list.KiloHertz(i));
}

// The PIN's start as "HH:MM" and its day of the month; false when the fields hold no such time
// (day 0 marks a PIN that carries no start time).
bool PinStart(std::uint16_t pin, int& day, std::string& time) {
  day = pin >> 11;
  const int hour = (pin >> 6) & 0x1F;
  const int minute = pin & 0x3F;
  if (day == 0 || hour > 23 || minute > 59) return false;
  time = {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10), ':',
          static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10)};
  return true;
}

}  // namespace

// json::dump() builds a serializer for every call, which costs an output adapter, a 512-byte
// indentation string and a locale query each time: a third of a group's time. One serializer
// that keeps writing into the line buffer avoids all three. Invalid UTF-8 cannot come from the
// character table; `replace` would keep a line whole if it did.
struct JsonGroupWriter::Json {
  explicit Json(std::string& line)
      : serializer(nlohmann::detail::output_adapter<char>(line), ' ',
                   Value::error_handler_t::replace) {}
  nlohmann::detail::serializer<Value> serializer;
  Value bodies[32] = {};  // the group's own fields, by group code
};

JsonGroupWriter::JsonGroupWriter(ReportSink& sink, Region region)
    : sink_(sink), decoder_(region), json_(std::make_unique<Json>(line_)) {
  for (Value& body : json_->bodies) body = Value::object();
}

JsonGroupWriter::~JsonGroupWriter() = default;

bool JsonGroupWriter::HeaderKey::operator==(const HeaderKey& other) const {
  return has_pi == other.has_pi && pi == other.pi && code == other.code && tp == other.tp &&
         pty == other.pty && north_american == other.north_american;
}

const std::string& JsonGroupWriter::Text(const SegmentedText& text) {
  text_.clear();
  text.AppendUtf8(text_);
  return text_;
}

const std::string& JsonGroupWriter::Header(const DecodedGroup& group) {
  HeaderKey key;
  key.has_pi = group.has_pi;
  key.pi = group.pi;
  key.north_american = decoder_.NorthAmerican();
  if (group.has_type) {
    key.code = group.code;
    key.tp = group.tp;
    key.pty = group.pty;
  }
  CachedHeader& cached = headers_[group.has_type ? group.code : 32];
  if (cached.valid && cached.key == key) return cached.text;
  Value header = Value::object();
  if (group.has_pi) header["pi"] = PiText(group.pi);
  if (group.has_type) {
    header["group"] = kGroupNames[group.code];
    header["tp"] = group.tp;
    header["prog_type"] = decoder_.PtyName(group.pty);
  }
  if (group.has_pi && key.north_american) {
    const RbdsPi rbds = DescribeRbdsPi(group.pi);
    if (rbds.kind == RbdsPiKind::kCallSign) {
      header[rbds.uncertain ? "callsign_uncertain" : "callsign"] = rbds.letters;
    }
  }
  cached.text = header.dump(-1, ' ', false, Value::error_handler_t::replace);
  cached.text.pop_back();  // the closing brace: the group's own fields follow
  cached.key = key;
  cached.valid = true;
  return cached.text;
}

void JsonGroupWriter::OnGroup(const ReceivedGroup& received) {
  const DecodedGroup& group = decoder_.Decode(received);
  if (failed_ || (!group.has_pi && !group.has_type)) return;
  line_ = Header(group);
  if (group.has_type) {
    Value& body = json_->bodies[group.code];
    bool empty = false;
    {
      JsonFields fields(body);
      AddBasicTuning(group, fields);
      AddProgramItem(group, fields);
      AddRadiotext(group, fields);
      AddOdaAnnouncement(group, fields);
      if (group.Has(DecodedGroup::kClockTime)) {
        text_.clear();
        AppendRfc3339(group.clock, text_);
        fields.Set("clock_time", text_);
      }
      if (group.Has(DecodedGroup::kPtynComplete)) {
        fields.Set("prog_type_name", Text(decoder_.Ptyn()));
      }
      if (group.Has(DecodedGroup::kRtPlus)) AddRtPlus(fields);
      if (group.Has(DecodedGroup::kOtherNetwork)) AddOtherNetwork(group, fields);
      empty = fields.Empty();
    }
    if (!empty) {
      // The group's fields serialized as an object of their own, whose opening brace becomes
      // the comma after the line start.
      const std::size_t open_brace = line_.size();
      json_->serializer.dump(body, false, false, 0);
      line_[open_brace] = ',';
      line_.pop_back();
    }
  }
  line_ += "}\n";
  if (!sink_.Write(line_.data(), line_.size())) failed_ = true;
}

// The field order puts the fields every group of a type has first and the occasional ones
// last, so that the occasional ones cost little when they come and go.
void JsonGroupWriter::AddBasicTuning(const DecodedGroup& group, JsonFields& fields) {
  if (group.Has(DecodedGroup::kTrafficFlags)) {
    fields.Set("ta", group.ta);
    fields.Set("is_music", group.is_music);
  }
  if (group.Has(DecodedGroup::kDecoderId)) {
    JsonFields di = fields.Object("di");
    di.Set(kDiNames[group.di_segment], group.di_bit);
  }
  if (group.Has(DecodedGroup::kPsSegment)) {
    fields.Set("partial_ps", Text(decoder_.Ps()));
    if (group.Has(DecodedGroup::kPsComplete)) fields.Set("ps", text_);
  }
  if (group.Has(DecodedGroup::kAfList))
    FillKiloHertz(decoder_.Af(), fields.Array("alt_frequencies_a"));
}

void JsonGroupWriter::AddProgramItem(const DecodedGroup& group, JsonFields& fields) {
  if (group.Has(DecodedGroup::kLinkage)) fields.Set("has_linkage", group.linkage);
  if (group.Has(DecodedGroup::kPin)) {
    fields.Set("prog_item_number", static_cast<int>(group.pin));
    int day = 0;
    if (PinStart(group.pin, day, text_)) {
      JsonFields started = fields.Object("prog_item_started");
      started.Set("day", day);
      started.Set("time", text_);
    }
  }
  if (group.Has(DecodedGroup::kEcc)) {
    fields.Set("ecc", group.ecc);
    const char* country =
        group.has_pi ? CountryCode(group.pi, static_cast<std::uint8_t>(group.ecc)) : nullptr;
    if (country != nullptr) fields.Set("country", country);
  }
  if (group.Has(DecodedGroup::kLanguage)) {
    const char* name = LanguageName(group.language);
    fields.Set("language", name != nullptr ? name : "Unassigned");
  }
}

void JsonGroupWriter::AddRadiotext(const DecodedGroup& group, JsonFields& fields) {
  if (!group.Has(DecodedGroup::kRadiotextSegment)) return;
  fields.Set("partial_radiotext", Text(decoder_.Radiotext(group.radiotext_version)));
  if (group.Has(DecodedGroup::kRadiotextComplete)) fields.Set("radiotext", text_);
}

void JsonGroupWriter::AddOdaAnnouncement(const DecodedGroup& group, JsonFields& fields) {
  if (!group.Has(DecodedGroup::kOda)) return;
  const OpenDataApp& app = decoder_.App(group.oda_index);
  const char* name = OdaApplicationName(app.aid);
  JsonFields oda = fields.Object("open_data_app");
  oda.Set("aid", PiText(app.aid));
  oda.Set("app_name", name != nullptr ? name : "Unknown");
  oda.Set("oda_group", kGroupNames[app.group_code]);
}

void JsonGroupWriter::AddRtPlus(JsonFields& fields) {
  JsonFields rtplus = fields.Object("radiotext_plus");
  rtplus.Set("item_toggle", decoder_.RtPlusToggle() ? 1 : 0);
  rtplus.Set("item_running", decoder_.RtPlusRunning());
  Value& tags = rtplus.Array("tags");
  for (int i = 0; i < decoder_.RtPlusTagCount(); ++i) {
    const RtPlusTag& tag = decoder_.RtPlusTagAt(i);
    Value entry = Value::object();
    entry["content-type"] = RtPlusContentTypeName(tag.content_type);
    entry["start"] = tag.start;
    entry["length"] = tag.length;
    text_.clear();
    if (decoder_.AppendRtPlusText(tag, text_)) entry["data"] = text_;
    tags.push_back(std::move(entry));
  }
}

void JsonGroupWriter::AddOtherNetwork(const DecodedGroup& group, JsonFields& fields) {
  const OtherNetwork& network = decoder_.Networks().At(group.eon_index);
  JsonFields on = fields.Object("other_network");
  on.Set("pi", PiText(network.pi));
  on.Set("tp", network.tp);
  const int variant = group.eon_variant;
  if (variant == DecodedGroup::kEon14B) {
    on.Set("ta", network.ta);
  } else if (variant >= 0 && variant <= 3) {
    on.Set("partial_ps", Text(network.ps));
    if (network.ps.Complete()) on.Set("ps", text_);
  } else if (variant == 4 && group.eon_af_complete) {
    FillKiloHertz(network.af, on.Array("alt_frequencies_a"));
  } else if (variant >= 5 && variant <= 9) {
    Value& mapped = on.Array("mapped_frequencies");
    for (int i = 0; i < network.mapped_count; ++i) {
      Value pair = Value::object();
      pair["tuned_frequency"] = network.tuned_khz[i];
      pair["mapped_frequency"] = network.mapped_khz[i];
      mapped.push_back(std::move(pair));
    }
  } else if (variant == 13) {
    on.Set("prog_type", decoder_.PtyName(network.pty));
    on.Set("ta", network.ta);
  } else if (variant == 14) {
    on.Set("prog_item_number", static_cast<int>(network.pin));
  }
}

}  // namespace decoder
