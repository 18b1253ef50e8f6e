#include "uecp/element_description.h"

#include <cstdio>

#include "uecp/element_codes.h"
#include "uecp/response_code.h"

namespace uecp {

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// How an element lies in a message field: which header bytes follow its code, and its data
// length (fixed, or the largest its MEL may say).
struct Shape {
  std::uint8_t code;
  bool has_dsn;
  bool has_psn;
  bool has_mel;
  std::size_t size;
  const char* name;
};

constexpr Shape kShapes[] = {
    {kMecPi, true, true, false, 2, "PI"},
    {kMecPs, true, true, false, 8, "PS"},
    {kMecTaTp, true, true, false, 1, "TA/TP"},
    {kMecDi, true, true, false, 1, "DI"},
    {kMecMs, true, true, false, 1, "MS"},
    {kMecPin, true, true, false, 2, "PIN"},
    {kMecPty, true, true, false, 1, "PTY"},
    {kMecRtcCorrection, false, false, false, 2, "RTC correction"},
    {kMecRt, true, true, true, 65, "RT"},
    {kMecRtc, false, false, false, 8, "RTC"},
    {kMecRdsLevel, false, false, false, 2, "RDS level"},
    {kMecAf, true, true, true, 255, "AF"},
    {kMecGroupSequence, true, false, true, 255, "group sequence"},
    {kMecRequest, false, false, true, 255, "request"},
    {kMecCtOnOff, false, false, false, 1, "CT"},
    {kMecSlowLabelling, true, true, true, 255, "slow labelling"},
    {kMecDataSetSelect, false, false, false, 1, "data set"},
    {kMecRdsOnOff, false, false, false, 1, "RDS on/off"},
    {kMecRdsPhase, false, false, false, 2, "RDS phase"},
    {kMecSiteAddress, false, false, true, 255, "site addresses"},
    {kMecFreeFormatGroup, false, false, false, 6, "free-format group"},
    {kMecEncoderAddress, false, false, true, 255, "encoder addresses"},
    {kMecCommunicationMode, false, false, false, 1, "communication mode"},
    {kMecPtyn, true, true, false, 8, "PTYN"},
};

const Shape* FindShape(std::uint8_t code) {
  for (const Shape& shape : kShapes) {
    if (shape.code == code) return &shape;
  }
  return nullptr;
}

std::string Format(const char* format, unsigned value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Hex8(unsigned value) { return Format("0x%02X", value); }
std::string Hex16(unsigned value) { return Format("0x%04X", value); }
std::string Decimal(long long value) { return std::to_string(value); }
std::string Word(const std::uint8_t* at) {
  return Hex16(static_cast<unsigned>(at[0] << 8 | at[1]));
}
unsigned WordValue(const std::uint8_t* at) { return static_cast<unsigned>(at[0] << 8 | at[1]); }

// Characters as received; bytes outside printable ASCII as \r or \xHH, so a text stays one line.
std::string Characters(const std::uint8_t* data, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t c = data[i];
    if (c == '\\') {
      text += "\\\\";
    } else if (c == 0x0D) {
      text += "\\r";
    } else if (c >= 0x20 && c < 0x7F) {
      text += static_cast<char>(c);
    } else {
      text += Format("\\x%02X", c);
    }
  }
  return text;
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

std::string GroupName(unsigned type_and_version) {
  return Decimal((type_and_version >> 1) & 0x0F) + ((type_and_version & 1U) ? "B" : "A");
}

std::string AfFrequencies(const std::uint8_t* codes, std::size_t size) {
  std::vector<std::string> frequencies;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned code = codes[i];
    if (code >= 1 && code <= 204) {
      const unsigned tenths = 875 + code;
      frequencies.push_back(Decimal(tenths / 10) + "." + Decimal(tenths % 10) + " MHz");
    } else if (code == 250 && i + 1 < size) {
      const unsigned lfmf = codes[++i];
      const unsigned khz = lfmf <= 15 ? 153 + 9 * (lfmf - 1) : 531 + 9 * (lfmf - 16);
      frequencies.push_back(Decimal(khz) + " kHz");
    }
  }
  return Join(frequencies, ", ");
}

void DescribeData(std::uint8_t code, const std::uint8_t* d, std::size_t size,
                  ElementDescription* out) {
  Fields& f = out->fields;
  switch (code) {
    case kMecPi:
      f.emplace_back("pi", Word(d));
      out->text = Word(d).substr(2);
      return;
    case kMecPs:
    case kMecPtyn:
      f.emplace_back(code == kMecPs ? "ps" : "ptyn", Characters(d, size));
      out->text = "\"" + Characters(d, size) + "\"";
      return;
    case kMecTaTp:
      f.emplace_back("tp", Decimal((d[0] >> 1) & 1));
      f.emplace_back("ta", Decimal(d[0] & 1));
      out->text =
          std::string("TP ") + ((d[0] & 2) ? "on" : "off") + ", TA " + ((d[0] & 1) ? "on" : "off");
      return;
    case kMecDi: {
      f.emplace_back("di", Decimal(d[0]));
      static const char* const kBits[] = {"dynamic PTY", "compressed", "artificial head", "stereo"};
      std::vector<std::string> set;
      for (int bit = 0; bit < 4; ++bit) {
        if (d[0] & (8U >> bit)) set.emplace_back(kBits[bit]);
      }
      out->text = set.empty() ? "none" : Join(set, ", ");
      return;
    }
    case kMecMs:
      f.emplace_back("ms", Decimal(d[0]));
      out->text = d[0] == 1 ? "music" : d[0] == 0 ? "speech" : Decimal(d[0]);
      return;
    case kMecPin: {
      const unsigned pin = WordValue(d);
      f.emplace_back("pin", Hex16(pin));
      f.emplace_back("day", Decimal(pin >> 11));
      f.emplace_back("hour", Decimal((pin >> 6) & 0x1F));
      f.emplace_back("minute", Decimal(pin & 0x3F));
      out->text = pin == 0
                      ? "none"
                      : "day " + Decimal(pin >> 11) + ", " + Format("%02u", (pin >> 6) & 0x1F) +
                            ":" + Format("%02u", pin & 0x3F);
      return;
    }
    case kMecPty:
      f.emplace_back("pty", Decimal(d[0]));
      out->text = Decimal(d[0]);
      return;
    case kMecRtcCorrection: {
      const auto ms = static_cast<std::int16_t>(WordValue(d));
      f.emplace_back("correction_ms", Decimal(ms));
      out->text = Decimal(ms) + " ms";
      return;
    }
    case kMecRt: {
      if (size == 0) {
        f.emplace_back("buffer", "empty");
        out->text = "(empty)";
        return;
      }
      static const char* const kBuffer[] = {"replace", "reserved 01", "append", "reserved 11"};
      const unsigned transmissions = (d[0] >> 1) & 0x0FU;
      const char* buffer = kBuffer[(d[0] >> 5) & 0x03U];
      const char* flag = (d[0] & 1) ? "B" : "A";
      f.emplace_back("text", Characters(d + 1, size - 1));
      f.emplace_back("transmissions", Decimal(transmissions));
      f.emplace_back("buffer", buffer);
      f.emplace_back("ab", flag);
      out->text = "\"" + Characters(d + 1, size - 1) + "\" (" + buffer + ", " +
                  Decimal(transmissions) + " transmission(s), flag " + flag + ")";
      return;
    }
    case kMecRtc: {
      const std::string date =
          Format("20%02u", d[0]) + "-" + Format("%02u", d[1]) + "-" + Format("%02u", d[2]);
      const std::string time = Format("%02u", d[3]) + ":" + Format("%02u", d[4]) + ":" +
                               Format("%02u", d[5]) + "." + Format("%02u", d[6]);
      const unsigned half_hours = d[7] & 0x1FU;
      const std::string offset = std::string((d[7] & 0x20U) ? "-" : "+") +
                                 Format("%02u", half_hours / 2) + (half_hours % 2 ? ":30" : ":00");
      f.emplace_back("date", date);
      f.emplace_back("time", time);
      f.emplace_back("offset", offset);
      out->text = date + " " + time + " UTC, local offset " + offset;
      return;
    }
    case kMecRdsLevel:
      f.emplace_back("level_mv", Decimal(WordValue(d)));
      out->text = Decimal(WordValue(d)) + " mV";
      return;
    case kMecAf: {
      if (size < 3) break;
      const unsigned count = d[2] >= 224 ? d[2] - 224U : 0U;
      const std::string list = AfFrequencies(d + 3, size - 3);
      f.emplace_back("list_header", Word(d));
      f.emplace_back("count", Decimal(count));
      f.emplace_back("frequencies", list);
      out->text = count == 0 ? "none" : list;
      return;
    }
    case kMecGroupSequence: {
      std::vector<std::string> groups;
      for (std::size_t i = 0; i < size; ++i) groups.push_back(GroupName(d[i]));
      f.emplace_back("groups", Join(groups, " "));
      out->text = groups.empty() ? "the encoder's own cycle" : Join(groups, " ");
      return;
    }
    case kMecRequest: {
      if (size == 0) break;
      const Shape* requested = FindShape(d[0]);
      f.emplace_back("requested", Hex8(d[0]));
      out->text = requested != nullptr ? requested->name : Hex8(d[0]);
      if (size > 1) {
        f.emplace_back("requested_dsn", Decimal(d[1]));
        out->text += ", DSN " + Decimal(d[1]);
      }
      if (size > 2) {
        f.emplace_back("requested_psn", Decimal(d[2]));
        out->text += ", PSN " + Decimal(d[2]);
      }
      return;
    }
    case kMecCtOnOff:
    case kMecRdsOnOff:
      f.emplace_back(code == kMecCtOnOff ? "ct" : "rds", Decimal(d[0]));
      out->text = d[0] == 1 ? "on" : d[0] == 0 ? "off" : Decimal(d[0]);
      return;
    case kMecSlowLabelling: {
      std::vector<std::string> words;
      std::vector<std::string> meanings;
      for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned word = WordValue(d + i);
        const unsigned variant = (word >> 12) & 0x07U;
        words.push_back(Hex16(word));
        if (variant == 0) {
          meanings.push_back("ECC " + Hex8(word & 0xFFU));
        } else if (variant == 3) {
          meanings.push_back("language " + Hex8(word & 0xFFU));
        } else {
          meanings.push_back("variant " + Decimal(variant) + " " + Format("0x%03X", word & 0xFFFU));
        }
      }
      f.emplace_back("labels", Join(words, " "));
      out->text = meanings.empty() ? "none" : Join(meanings, ", ");
      return;
    }
    case kMecDataSetSelect:
      f.emplace_back("data_set", Decimal(d[0]));
      out->text = "data set " + Decimal(d[0]);
      return;
    case kMecRdsPhase: {
      const unsigned word = WordValue(d);
      const unsigned tenths = word & 0x1FFFU;
      const std::string degrees = Decimal(tenths / 10) + "." + Decimal(tenths % 10);
      f.emplace_back("reference", Decimal(word >> 13));
      f.emplace_back("phase_degrees", degrees);
      out->text = degrees + " degrees against reference " + Decimal(word >> 13);
      return;
    }
    case kMecSiteAddress:
    case kMecEncoderAddress: {
      std::vector<std::string> addresses;
      const std::size_t step = code == kMecSiteAddress ? 2 : 1;
      for (std::size_t i = 0; i + step <= size; i += step) {
        addresses.push_back(Decimal(step == 2 ? WordValue(d + i) : d[i]));
      }
      f.emplace_back("addresses", Join(addresses, " "));
      out->text = addresses.empty() ? "none" : Join(addresses, ", ");
      return;
    }
    case kMecFreeFormatGroup:
      f.emplace_back("group", GroupName(d[0]));
      f.emplace_back("block_b", Hex8(d[1] & 0x1FU));
      f.emplace_back("block_c", Word(d + 2));
      f.emplace_back("block_d", Word(d + 4));
      out->text =
          GroupName(d[0]) + ": " + Hex8(d[1] & 0x1FU) + " " + Word(d + 2) + " " + Word(d + 4);
      return;
    case kMecCommunicationMode: {
      static const char* const kModes[] = {"one-way", "bidirectional, requested response",
                                           "bidirectional, spontaneous response"};
      f.emplace_back("mode", Decimal(d[0]));
      out->text = Decimal(d[0]) + (d[0] < 3 ? std::string(" (") + kModes[d[0]] + ")" : "");
      return;
    }
    default:
      break;
  }
}

// The acknowledgement has no MEL: "18 00" for a good message, "18 <code> <SQC>" otherwise.
std::optional<ElementDescription> DescribeAcknowledgement(const std::uint8_t* element,
                                                          std::size_t length) {
  if (length < 2 || length != (element[1] == 0 ? 2U : 3U)) return std::nullopt;
  ElementDescription out;
  out.name = "acknowledgement";
  const unsigned code = element[1];
  const std::string name = ResponseCodeName(element[1]);
  out.fields.emplace_back("code", Decimal(code));
  out.fields.emplace_back("response", name);
  out.text = Decimal(code) + " " + name;
  if (code != 0) {
    out.fields.emplace_back("sqc", Decimal(element[2]));
    out.text += " (message SQC " + Hex8(element[2]) + ")";
  }
  return out;
}

}  // namespace

std::size_t ElementSize(const std::uint8_t* field, std::size_t available) {
  if (field == nullptr || available == 0) return 0;
  if (field[0] == kMecAcknowledgement) {
    if (available < 2) return 0;
    const std::size_t size = field[1] == 0 ? 2 : 3;
    return size <= available ? size : 0;
  }
  const Shape* shape = FindShape(field[0]);
  if (shape == nullptr) return 0;
  const std::size_t header = 1U + (shape->has_dsn ? 1U : 0U) + (shape->has_psn ? 1U : 0U);
  std::size_t size = header + shape->size;
  if (shape->has_mel) {
    if (available <= header || field[header] > shape->size) return 0;
    size = header + 1 + field[header];
  }
  return size <= available ? size : 0;
}

std::optional<ElementDescription> DescribeElement(const std::uint8_t* element, std::size_t length) {
  if (element == nullptr || length == 0) return std::nullopt;
  if (element[0] == kMecAcknowledgement) return DescribeAcknowledgement(element, length);
  if (ElementSize(element, length) != length) return std::nullopt;
  const Shape* shape = FindShape(element[0]);
  ElementDescription out;
  out.name = shape->name;
  std::size_t at = 1;
  if (shape->has_dsn) out.fields.emplace_back("dsn", Decimal(element[at++]));
  if (shape->has_psn) out.fields.emplace_back("psn", Decimal(element[at++]));
  if (shape->has_mel) ++at;
  const std::size_t before = out.fields.size();
  DescribeData(element[0], element + at, length - at, &out);
  // A length that leaves no room for what the code needs (an AF list without its count code, a
  // request without the code it asks for) is no element of that code.
  if (out.fields.size() == before) return std::nullopt;
  return out;
}

}  // namespace uecp
