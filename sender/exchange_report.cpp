#include "sender/exchange_report.h"

#include <nlohmann/json.hpp>

#include "sender/element_values.h"
#include "sender/exit_codes.h"
#include "uecp/response_code.h"

namespace sender {
namespace {

const char* KindName(Answer::Kind kind) {
  switch (kind) {
    case Answer::Kind::kAck:
      return "ACK";
    case Answer::Kind::kNack:
      return "NACK";
    case Answer::Kind::kText:
      return "TEXT";
    case Answer::Kind::kMessage:
      return "MESSAGE";
    case Answer::Kind::kOneWay:
      return "SENT";
    case Answer::Kind::kNoAnswer:
      return "NO ANSWER";
    case Answer::Kind::kGarbled:
      return "GARBLED";
    case Answer::Kind::kLineFailed:
      return "FAILED";
  }
  return "?";
}

}  // namespace

std::string JsonText(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text.push_back(c);
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

std::string AnswerWords(const Answer& answer) {
  std::string words = KindName(answer.kind);
  switch (answer.kind) {
    case Answer::Kind::kNack:
      words += " " + std::to_string(answer.code) + " " + uecp::ResponseCodeName(answer.code);
      break;
    case Answer::Kind::kText:
      words += " '" + answer.text + "'";
      break;
    case Answer::Kind::kMessage:
      words += " " + HexBytes(answer.message);
      break;
    case Answer::Kind::kGarbled:
    case Answer::Kind::kLineFailed:
      words += ": " + answer.text;
      break;
    default:
      break;
  }
  return words;
}

bool ExchangeReport::Add(const ExchangeRecord& record, const std::string& link_label) {
  ++frames_;
  switch (record.answer.kind) {
    case Answer::Kind::kNack:
      ++refused_;
      break;
    case Answer::Kind::kNoAnswer:
    case Answer::Kind::kGarbled:
      ++unanswered_;
      break;
    case Answer::Kind::kLineFailed:
      ++line_failed_;
      break;
    default:
      break;
  }
  for (const std::string& note : record.notes) {
    std::fprintf(err_, "tamsel: %s\n", note.c_str());
  }
  if (record.answer.kind == Answer::Kind::kLineFailed) {
    std::fprintf(err_, "tamsel: %s\n", record.answer.text.c_str());
  } else if (record.answer.kind == Answer::Kind::kNoAnswer ||
             record.answer.kind == Answer::Kind::kGarbled) {
    std::fprintf(err_, "tamsel: no %sanswer to the frame with SQC %u from %s after %d %s\n",
                 record.answer.kind == Answer::Kind::kGarbled ? "readable " : "",
                 record.sequence_counter, link_label.c_str(), record.attempts,
                 record.attempts == 1 ? "try" : "tries");
  }

  std::string line;
  if (json_) {
    nlohmann::json object;
    object["link"] = link_label;
    object["sqc"] = record.sequence_counter;
    object["frame"] = HexBytes(record.bytes);
    nlohmann::json elements = nlohmann::json::array();
    for (const auto& [name, value] : record.elements) {
      elements.push_back({{"element", name}, {"value", JsonText(value)}});
    }
    object["elements"] = elements;
    object["answer"] = KindName(record.answer.kind);
    if (record.answer.kind == Answer::Kind::kNack) {
      object["code"] = record.answer.code;
      object["reason"] = uecp::ResponseCodeName(record.answer.code);
    }
    if (record.answer.kind == Answer::Kind::kText) object["text"] = JsonText(record.answer.text);
    if (record.answer.kind == Answer::Kind::kMessage) {
      object["message"] = HexBytes(record.answer.message);
    }
    if (record.answer.kind == Answer::Kind::kGarbled ||
        record.answer.kind == Answer::Kind::kLineFailed) {
      object["detail"] = JsonText(record.answer.text);
    }
    object["attempts"] = record.attempts;
    if (record.answer.kind != Answer::Kind::kOneWay &&
        record.answer.kind != Answer::Kind::kLineFailed &&
        record.answer.kind != Answer::Kind::kNoAnswer) {
      object["round_trip_ms"] =
          static_cast<double>(static_cast<long>(record.round_trip_ms * 1000)) / 1000;
    }
    line = object.dump();
  } else {
    line = AnswerWords(record.answer) + " (SQC " + std::to_string(record.sequence_counter) + ":";
    const char* separator = " ";
    for (const auto& [name, value] : record.elements) {
      line.append(separator).append(name).append(" '").append(value).append("'");
      separator = ", ";
    }
    if (record.answer.kind != Answer::Kind::kOneWay &&
        record.answer.kind != Answer::Kind::kLineFailed &&
        record.answer.kind != Answer::Kind::kNoAnswer) {
      char time[32];
      std::snprintf(time, sizeof time, "; %.1f ms", record.round_trip_ms);
      line += time;
    }
    line += ")";
  }
  line += "\n";
  // Each line as it comes, also into a pipe or a log file.
  if (std::fputs(line.c_str(), out_) < 0 || std::fflush(out_) != 0) {
    if (!output_failed_) std::fprintf(err_, "tamsel: cannot write to the standard output\n");
    output_failed_ = true;
    return false;
  }
  return true;
}

int ExchangeReport::ExitCode() const {
  if (line_failed_ != 0) return kExitLineFailed;
  if (output_failed_) return kExitOutputFailed;
  if (unanswered_ != 0) return kExitNoReply;
  if (refused_ != 0) return kExitRefused;
  return kExitDone;
}

}  // namespace sender
