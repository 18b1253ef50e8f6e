// What tamsel prints of each exchange: one line of text (ACK, NACK <code> <reason>, ...) or one
// JSON object per line for logging and monitoring, and the tally that decides the exit code.
#ifndef RDS_SENDER_EXCHANGE_REPORT_H_
#define RDS_SENDER_EXCHANGE_REPORT_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sender/exchange.h"

namespace sender {

class ExchangeReport {
 public:
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): in the order of stdout and stderr
  ExchangeReport(std::FILE* out, std::FILE* err, bool json) : out_(out), err_(err), json_(json) {}

  // Prints the exchange and counts its outcome; false when the output cannot be written.
  [[nodiscard]] bool Add(const ExchangeRecord& record, const std::string& link_label);

  // The exit code for everything added so far: a failed line first, then output failure,
  // frames without an answer, frames refused, and 0 when every frame was answered.
  [[nodiscard]] int ExitCode() const;
  [[nodiscard]] bool LineFailed() const { return line_failed_ != 0; }

 private:
  std::FILE* out_;
  std::FILE* err_;
  bool json_;
  int frames_ = 0;
  int refused_ = 0;
  int unanswered_ = 0;
  int line_failed_ = 0;
  bool output_failed_ = false;
};

// JSON strings must be valid UTF-8; RDS texts are bytes of another character set, so each byte
// above 0x7F is shown as the Latin-1 character of that value.
std::string JsonText(const std::string& bytes);

// "ACK", "NACK 6 parameter out of range", "TEXT 'OK'", ... as the text line starts.
std::string AnswerWords(const Answer& answer);

}  // namespace sender

#endif  // RDS_SENDER_EXCHANGE_REPORT_H_
