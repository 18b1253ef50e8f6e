#include "sender/get_command.h"

#include <memory>
#include <nlohmann/json.hpp>

#include "sender/element_values.h"
#include "sender/exchange_report.h"
#include "sender/exit_codes.h"
#include "uecp/element_codes.h"
#include "uecp/element_description.h"
#include "uecp/request_element.h"
#include "uecp/response_code.h"
#include "uecp/uecp_frame.h"

namespace sender {
namespace {

struct KnownElement {
  const char* name;
  std::uint8_t code;
  bool addressed;
};

// The elements an encoder holds a value of, by the names the command takes.
constexpr KnownElement kKnownElements[] = {
    {"pi", uecp::kMecPi, true},
    {"ps", uecp::kMecPs, true},
    {"tatp", uecp::kMecTaTp, true},
    {"di", uecp::kMecDi, true},
    {"ms", uecp::kMecMs, true},
    {"pin", uecp::kMecPin, true},
    {"pty", uecp::kMecPty, true},
    {"rtc-correction", uecp::kMecRtcCorrection, false},
    {"rt", uecp::kMecRt, true},
    {"rtc", uecp::kMecRtc, false},
    {"rds-level", uecp::kMecRdsLevel, false},
    {"af", uecp::kMecAf, true},
    {"group-sequence", uecp::kMecGroupSequence, false},
    {"ct", uecp::kMecCtOnOff, false},
    {"slow-labelling", uecp::kMecSlowLabelling, true},
    {"data-set", uecp::kMecDataSetSelect, false},
    {"rds-on-off", uecp::kMecRdsOnOff, false},
    {"rds-phase", uecp::kMecRdsPhase, false},
    {"site-address", uecp::kMecSiteAddress, false},
    {"encoder-address", uecp::kMecEncoderAddress, false},
    {"communication-mode", uecp::kMecCommunicationMode, false},
    {"ptyn", uecp::kMecPtyn, true},
};

// The elements of an answer's message field in words; bytes that make no element stay hex.
std::vector<uecp::ElementDescription> Describe(const std::vector<std::uint8_t>& message) {
  std::vector<uecp::ElementDescription> described;
  std::size_t at = 0;
  while (at < message.size()) {
    const std::size_t size = uecp::ElementSize(message.data() + at, message.size() - at);
    std::optional<uecp::ElementDescription> one;
    if (size != 0) one = uecp::DescribeElement(message.data() + at, size);
    if (!one) {
      described.push_back(
          {"unreadable", HexBytes({message.begin() + static_cast<long>(at), message.end()}), {}});
      break;
    }
    described.push_back(*one);
    at += size;
  }
  return described;
}

}  // namespace

Parsed ParseGetOption(Arguments* args, GetRequest* request, std::string* error) {
  const std::string name = args->Name();
  long* target = name == "--dsn"       ? &request->dsn
                 : name == "--psn"     ? &request->psn
                 : name == "--site"    ? &request->site
                 : name == "--encoder" ? &request->encoder
                                       : nullptr;
  if (target == nullptr) return Parsed::kNotMine;
  std::string value;
  if (!args->TakeValue(&value, error)) return Parsed::kFailed;
  const long high = name == "--site" ? 1023 : name == "--encoder" ? 63 : 255;
  if (!ParseInteger(value, 0, high, target)) {
    *error = name + " needs a number from 0 to " + std::to_string(high) + ", not '" + value + "'";
    return Parsed::kFailed;
  }
  return Parsed::kTaken;
}

bool AddGetElement(const std::string& name, GetRequest* request, std::string* error) {
  std::string folded;
  for (const char c : name) {
    if (c == '/' || c == '_') continue;
    folded.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
  }
  for (const KnownElement& known : kKnownElements) {
    if (folded == known.name) {
      request->items.push_back({name, known.code, known.addressed});
      return true;
    }
  }
  long code = 0;
  if (name.rfind("0x", 0) == 0 && ParseInteger(name, 1, 0xFF, &code)) {
    bool addressed = false;
    for (const KnownElement& known : kKnownElements)
      addressed |= known.code == code && known.addressed;
    request->items.push_back({name, static_cast<std::uint8_t>(code), addressed});
    return true;
  }
  *error = "no element '" + name + "' to ask for (ps, pi, pty, ptyn, rt, af, tatp, ms, di, pin, " +
           "rtc, ct, ... or a code such as 0x02)";
  return false;
}

const char kGetHelp[] =
    "Get (the values the encoder holds): tamsel get [LINE] [ANSWERS] ELEMENT...\n"
    "  ELEMENT: pi ps ptyn pty tatp ms di pin af rt rtc rtc-correction ct rds-level\n"
    "  rds-phase rds-on-off data-set site-address encoder-address communication-mode\n"
    "  group-sequence slow-labelling, or a code 0xNN; --dsn N --psn N --site N --encoder N\n";

int RunGet(const GetRequest& request, Exchanger* exchanger, const std::string& link_label,
           bool json, std::FILE* out, std::FILE* err) {
  // The NACK, no-answer and failure lines are the send commands'; values are printed here.
  ExchangeReport report(out, err, json);
  int without_value = 0;
  bool output_failed = false;
  for (const GetRequest::Item& item : request.items) {
    PlannedFrame planned{
        std::make_unique<uecp::UecpFrame>(static_cast<std::uint16_t>(request.site),
                                          static_cast<std::uint16_t>(request.encoder)),
        {{"request", item.name}}};
    auto element = std::make_unique<uecp::RequestElement>(
        item.code, item.addressed ? static_cast<std::uint16_t>(request.dsn) : uecp::kAbsent,
        item.addressed ? static_cast<std::uint16_t>(request.psn) : uecp::kAbsent);
    static_cast<void>(planned.frame->AddElement(element));  // a request always fits
    const ExchangeRecord record = exchanger->Exchange(&planned);
    if (record.answer.kind != Answer::Kind::kMessage) {
      // An encoder that only acknowledges holds no value for us to show.
      if (record.answer.kind == Answer::Kind::kAck || record.answer.kind == Answer::Kind::kText) {
        ++without_value;
        std::fprintf(err, "tamsel: %s: the encoder answered %s but sent no value\n",
                     item.name.c_str(), AnswerWords(record.answer).c_str());
      }
      if (!report.Add(record, link_label)) return kExitOutputFailed;
      if (report.LineFailed()) break;
      continue;
    }
    std::string lines;
    const auto described = Describe(record.answer.message);
    if (json) {
      nlohmann::json object;
      object["link"] = link_label;
      object["request"] = item.name;
      object["sqc"] = record.sequence_counter;
      object["answer"] = "MESSAGE";
      object["message"] = HexBytes(record.answer.message);
      nlohmann::json elements = nlohmann::json::array();
      for (const uecp::ElementDescription& one : described) {
        nlohmann::json fields = nlohmann::json::object();
        for (const auto& [key, value] : one.fields) fields[key] = JsonText(value);
        elements.push_back(
            {{"element", one.name}, {"text", JsonText(one.text)}, {"fields", fields}});
      }
      object["elements"] = elements;
      object["round_trip_ms"] =
          static_cast<double>(static_cast<long>(record.round_trip_ms * 1000)) / 1000;
      lines = object.dump() + "\n";
    } else {
      for (const uecp::ElementDescription& one : described) {
        lines += one.name + ": " + one.text + "\n";
      }
    }
    if (std::fputs(lines.c_str(), out) < 0 || std::fflush(out) != 0) {
      std::fprintf(err, "tamsel: cannot write to the standard output\n");
      output_failed = true;
      break;
    }
  }
  if (output_failed) return kExitOutputFailed;
  const int code = report.ExitCode();
  if (code == kExitDone && without_value != 0) return kExitNoReply;
  return code;
}

}  // namespace sender
