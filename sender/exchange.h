// One frame's exchange with the encoder: number it (SQC 1..255 in turn), send it, and wait for
// the acknowledgement (element 0x18) that names it, sending it again when none comes in time.
// A TCP connection the encoder drops is made again and the frame sent again, so no frame is lost
// without a word: each ends answered, refused, unanswered or with the line's failure.
#ifndef RDS_SENDER_EXCHANGE_H_
#define RDS_SENDER_EXCHANGE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sender/arguments.h"
#include "sender/element_options.h"
#include "sender/frame_damage.h"
#include "sender/link.h"
#include "uecp/frame_reader.h"

namespace sender {

struct ExchangeSettings {
  // Wait for acknowledgements; unset (-1) means: yes on serial and TCP, no on UDP.
  int ack = -1;
  long retries = 2;
  double timeout_seconds = 5.0;
  bool json = false;
  // Test aid, not in --help (--test-damage KIND): every frame goes out damaged.
  FrameDamage damage = FrameDamage::kNone;
};

// Parses --ack, --no-ack, --retries, --timeout, --json and the hidden --test-damage.
[[nodiscard]] Parsed ParseExchangeOption(Arguments* args, ExchangeSettings* settings,
                                         std::string* error);
extern const char kExchangeOptionsHelp[];

struct Answer {
  enum class Kind {
    kAck,         // 18 00 for our SQC
    kNack,        // 18 <code> <our SQC>, or "ERR <code>" from a text encoder
    kText,        // a plain-text answer
    kMessage,     // a UECP frame with other elements (the answer to a request)
    kOneWay,      // sent; no answer expected
    kNoAnswer,    // none in time, after every retry
    kGarbled,     // only bytes that are neither a frame nor text came back
    kLineFailed,  // the line failed and could not be opened again
  };
  Kind kind = Kind::kNoAnswer;
  std::uint8_t code = 0;              // kNack
  std::string text;                   // kText; kGarbled: the bytes in hex; kLineFailed: why
  std::vector<std::uint8_t> message;  // kMessage: its message field
};

struct ExchangeRecord {
  std::uint8_t sequence_counter = 0;
  std::vector<std::uint8_t> bytes;                            // as sent on the line
  std::vector<std::pair<std::string, std::string>> elements;  // name, value
  Answer answer;
  int attempts = 0;
  double round_trip_ms = 0;        // from the last sending to the answer
  std::vector<std::string> notes;  // reconnections, stray answers
};

class Exchanger {
 public:
  // The link must outlive the exchanger.
  Exchanger(Link* link, const ExchangeSettings& settings);

  // Sends the frame and waits for its answer as the settings say.
  ExchangeRecord Exchange(PlannedFrame* frame);

  [[nodiscard]] bool ExpectsAnswers() const { return ack_; }

 private:
  enum class WaitResult { kAnswered, kTimeout, kDropped, kFailed };

  WaitResult WaitForAnswer(std::uint8_t sequence, ExchangeRecord* record);
  // Judges one item from the line; true when it answers our frame.
  bool Judge(const uecp::StreamItem& item, std::uint8_t sequence, ExchangeRecord* record);
  // Reads and drops what came in unasked, when answers are not awaited.
  void DiscardUnread();
  [[nodiscard]] bool SendWithReconnect(const std::vector<std::uint8_t>& bytes,
                                       ExchangeRecord* record);

  Link* link_;
  ExchangeSettings settings_;
  bool ack_;
  std::uint8_t next_sequence_ = 1;
  uecp::FrameReader reader_;
  std::string garbled_;  // unreadable answer bytes seen for the frame being exchanged
};

}  // namespace sender

#endif  // RDS_SENDER_EXCHANGE_H_
