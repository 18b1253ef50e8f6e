// One JSON object per decoded group, one per line (newline-delimited JSON), with the field names
// that scripts written for other RDS decoders already read: "pi", "group", "tp", "prog_type",
// "ps", "radiotext", "alt_frequencies_a", "clock_time", ... (docs/brovik-station.md lists them
// by group type).
#ifndef RDS_DECODER_STATION_JSON_GROUP_WRITER_H_
#define RDS_DECODER_STATION_JSON_GROUP_WRITER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "decoder/byte_io.h"
#include "decoder/received_group.h"
#include "decoder/station/station_decoder.h"

namespace decoder {

class JsonFields;

class JsonGroupWriter : public GroupListener {
 public:
  explicit JsonGroupWriter(ReportSink& sink, Region region = Region::kAuto);
  ~JsonGroupWriter() override;
  JsonGroupWriter(const JsonGroupWriter&) = delete;
  JsonGroupWriter& operator=(const JsonGroupWriter&) = delete;

  // Writes the group's line. A group without block B gives a line with the PI alone; a group
  // with neither PI nor block B gives none.
  void OnGroup(const ReceivedGroup& received) override;
  // A write to the sink failed; later groups are still decoded but no longer written.
  bool Failed() const { return failed_; }

 private:
  struct Json;  // the JSON values and the serializer, kept from group to group

  // The serialized start of the line: PI, group type, TP, PTY (and the call sign in North
  // America), without the closing brace. These repeat from group to group of a type, so each
  // type's start is serialized once and reused while they stay the same.
  const std::string& Header(const DecodedGroup& group);
  void AddBasicTuning(const DecodedGroup& group, JsonFields& fields);
  void AddProgramItem(const DecodedGroup& group, JsonFields& fields);
  void AddRadiotext(const DecodedGroup& group, JsonFields& fields);
  void AddOdaAnnouncement(const DecodedGroup& group, JsonFields& fields);
  void AddRtPlus(JsonFields& fields);
  void AddOtherNetwork(const DecodedGroup& group, JsonFields& fields);
  // The text's UTF-8 in text_, for assigning to a field.
  const std::string& Text(const SegmentedText& text);

  struct HeaderKey {
    bool has_pi = false;
    std::uint16_t pi = 0;
    int code = -1;  // -1: no block B
    bool tp = false;
    int pty = 0;
    bool north_american = false;
    bool operator==(const HeaderKey& other) const;
  };
  struct CachedHeader {
    bool valid = false;
    HeaderKey key;
    std::string text;
  };

  ReportSink& sink_;
  StationDecoder decoder_;
  std::string text_;
  std::string line_;
  std::unique_ptr<Json> json_;
  CachedHeader headers_[33];  // by group code; the last for groups without block B
  bool failed_ = false;
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_JSON_GROUP_WRITER_H_
