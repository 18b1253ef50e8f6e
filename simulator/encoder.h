// The simulated encoder without any I/O: UECP bytes in, replies out, state kept, groups chosen
// for air. The run loop feeds it from a transport and paces its groups in air time.
#ifndef RDS_SIMULATOR_ENCODER_H_
#define RDS_SIMULATOR_ENCODER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rdscore/group.h"
#include "simulator/encoder_state.h"
#include "simulator/group_scheduler.h"
#include "simulator/uecp_link.h"

namespace sim {

enum class ReplyMode {
  kAcknowledge,  // a UECP frame with message acknowledgement element 0x18
  kText,         // plain text, as some encoders answer
  kNone,         // one-way encoders never answer
};

struct ReplyConfig {
  ReplyMode mode = ReplyMode::kAcknowledge;
  std::string text;  // sent for a good frame in text mode; a bad one gets "ERR <code>"
};

// The reply bytes to a received frame (or to a refused one) under a reply mode.
std::vector<std::uint8_t> MakeReply(const ReplyConfig& config, const FrameEvent& frame,
                                    ResponseCode code);

// What goes on air in one group slot.
struct AirSlot {
  bool rds_on = true;  // false: no group and no subcarrier in this slot
  rds::Group group;
  double level = 1.0;          // the subcarrier's level against its level at switch-on
  double phase_degrees = 0.0;  // the subcarrier's phase against the pilot's third harmonic
};

struct EncoderStats {
  std::size_t frames_good = 0;
  std::size_t frames_refused = 0;
  std::size_t frames_ignored = 0;  // addressed to another encoder
};

class Encoder {
 public:
  using Log = std::function<void(const std::string&)>;

  Encoder(ReplyConfig reply, EncoderState initial);

  // Our address: frames for another site or encoder are neither applied nor answered. A
  // negative value accepts every address; 0 in a frame always means every encoder. The site
  // and encoder address elements replace them later.
  struct Address {
    int site = -1;
    int encoder = -1;
  };
  void SetAddress(Address address);
  void SetLog(Log log) { log_ = std::move(log); }

  // Handles received bytes at system time now_ms; reply bytes go to the end of *replies.
  void Receive(const std::vector<std::uint8_t>& bytes, std::int64_t now_ms,
               std::vector<std::uint8_t>* replies) {
    Receive(&deframer_, bytes, now_ms, replies);
  }
  // Refuses a frame the sender left unfinished; true when there was one.
  bool ExpireFrame(std::vector<std::uint8_t>* replies) { return ExpireFrame(&deframer_, replies); }
  bool InFrame() const { return deframer_.InFrame(); }

  // The same for one of several senders: each brings its own deframer, so that half a frame from
  // one never mixes with the bytes of another, while every frame acts on the one state.
  void Receive(Deframer* line, const std::vector<std::uint8_t>& bytes, std::int64_t now_ms,
               std::vector<std::uint8_t>* replies);
  bool ExpireFrame(Deframer* line, std::vector<std::uint8_t>* replies);

  // What goes on air in the slot that starts at system time now_ms.
  AirSlot NextSlot(std::int64_t now_ms);
  // The slot's group (all-zero blocks while RDS is off).
  rds::Group NextGroup(std::int64_t now_ms) { return NextSlot(now_ms).group; }

  const EncoderState& state() const { return state_; }
  const EncoderStats& stats() const { return stats_; }
  std::size_t SkippedBytes() const { return deframer_.SkippedBytes(); }

 private:
  void Handle(const FrameEvent& event, std::int64_t now_ms, std::vector<std::uint8_t>* replies);
  bool ForUs(std::uint16_t address) const;
  void Say(const std::string& line) const {
    if (log_) log_(line);
  }

  ReplyConfig reply_;
  EncoderState state_;
  GroupScheduler scheduler_;
  Deframer deframer_;
  EncoderStats stats_;
  Log log_;
};

}  // namespace sim

#endif  // RDS_SIMULATOR_ENCODER_H_
