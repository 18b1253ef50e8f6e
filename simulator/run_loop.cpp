#include "simulator/run_loop.h"

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>

#include "simulator/air_recorder.h"
#include "simulator/bit_stream.h"
#include "simulator/encoder.h"
#include "simulator/transport.h"

namespace sim {

namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void OnStopSignal(int signal) { g_stop_signal = signal; }

void InstallSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a signal wakes the wait at once
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

std::uint64_t GroupsIn(double seconds) {
  return static_cast<std::uint64_t>(seconds * 2375.0 / 208.0);
}

// Local time minus UTC in half hours, as the system's zone has it now.
int SystemOffsetHalfHours() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return static_cast<int>(local.tm_gmtoff / 1800);
}

void Note(const std::string& line) { std::cerr << "rds-encoder-sim: " << line << std::endl; }

class Runner {
 public:
  explicit Runner(const Options& options) : options_(options) {}

  int Run() {
    std::string error;
    if (options_.tcp) {
      transport_ = OpenTcp(options_.host, options_.port, &error);
    } else if (options_.udp) {
      transport_ = OpenUdp(options_.host, options_.port, &error);
    } else {
      transport_ = OpenPty(options_.link, &error);
    }
    if (!transport_) {
      Note(error);
      return kExitFailure;
    }
    EncoderState initial;
    initial.local_offset_half_hours = SystemOffsetHalfHours();
    encoder_ = std::make_unique<Encoder>(options_.reply, initial);
    encoder_->SetAddress({options_.site, options_.encoder});
    if (options_.verbose) {
      // Senders on TCP share the log; each line names whose frame it was.
      encoder_->SetLog([this](const std::string& line) {
        Note(options_.tcp || options_.udp ? SenderName(speaking_) + ": " + line : line);
      });
    }

    limit_ = options_.groups;
    if (options_.seconds > 0) {
      const std::uint64_t by_time = GroupsIn(options_.seconds);
      limit_ = limit_ == 0 ? by_time : std::min(limit_, by_time);
    }
    if (!options_.out.empty() && (limit_ == 0 || limit_ > kMaxRecordedGroups)) {
      limit_ = kMaxRecordedGroups;
    }
    if (!options_.mpx.empty()) {
      air_recorder_ = AirRecorder::Open(options_.mpx, options_.mpx_settings, limit_, &error);
      if (!air_recorder_) {
        Note(error);
        return kExitFailure;
      }
    }
    start_ = std::chrono::steady_clock::now();
    start_ms_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::system_clock::now().time_since_epoch())
                    .count();
    // Ready: senders may connect from here on. When standard output carries the MPX, the line
    // goes to standard error instead.
    (options_.mpx == "-" ? std::cerr : std::cout) << transport_->Where() << std::endl;

    const int code = Serve();
    if (code != kExitOk) return code;
    return Finish();
  }

 private:
  std::int64_t ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
  }

  // Every group whose slot has begun by now is on air.
  std::uint64_t GroupsDue() const {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - start_)
                        .count();
    return static_cast<std::uint64_t>(us) * 2375 / 208000000 + 1;
  }

  bool AtLimit() const { return limit_ != 0 && produced_ >= limit_; }

  void Produce(std::uint64_t until) {
    if (limit_ != 0) until = std::min(until, limit_);
    while (produced_ < until) {
      // While RDS is off the slot passes with no group and no subcarrier.
      const AirSlot slot = encoder_->NextSlot(SlotStartMs(start_ms_, produced_));
      if (slot.rds_on && !options_.out.empty()) air_.push_back(slot.group);
      if (!slot.rds_on) ++slots_off_;
      if (air_recorder_ && slot.rds_on) {
        air_recorder_->Add(slot.group, slot.level, slot.phase_degrees);
      } else if (air_recorder_) {
        air_recorder_->AddSilence();
      }
      ++produced_;
    }
  }

  // What the loop keeps of each sender: frames are read from each one's bytes on their own, and
  // an unfinished frame times out on its own clock.
  struct SenderLine {
    Deframer deframer;
    std::int64_t last_byte_ms = 0;
  };

  void SendReplies(PeerId peer, std::vector<std::uint8_t>* replies) {
    if (replies->empty()) return;
    if (!transport_->Send(peer, *replies)) Note(transport_->Error());
    replies->clear();
  }

  void Receive(PeerId peer, const std::vector<std::uint8_t>& bytes) {
    // The groups before this moment went out with the state before this frame.
    Produce(GroupsDue());
    SenderLine& line = senders_[peer];
    line.last_byte_ms = ElapsedMs();
    speaking_ = peer;
    encoder_->Receive(&line.deframer, bytes, start_ms_ + line.last_byte_ms, &replies_);
    SendReplies(peer, &replies_);
  }

  void Hangup(PeerId peer) {
    const auto it = senders_.find(peer);
    if (it == senders_.end()) return;
    speaking_ = peer;
    // Refused and logged, but nobody is left to answer.
    if (encoder_->ExpireFrame(&it->second.deframer, &replies_)) replies_.clear();
    skipped_by_gone_ += it->second.deframer.SkippedBytes();
    senders_.erase(it);
  }

  void ExpireStalledFrames() {
    for (auto& [peer, line] : senders_) {
      if (line.deframer.InFrame() && ElapsedMs() - line.last_byte_ms >= options_.frame_timeout_ms) {
        speaking_ = peer;
        encoder_->ExpireFrame(&line.deframer, &replies_);
        SendReplies(peer, &replies_);
      }
    }
  }

  std::size_t SkippedBytes() const {
    std::size_t skipped = skipped_by_gone_;
    for (const auto& entry : senders_) skipped += entry.second.deframer.SkippedBytes();
    return skipped;
  }

  // Handles what the transport reported; true when a sender left.
  bool Handle(const PeerEvent& event) {
    switch (event.kind) {
      case PeerEvent::Kind::kConnected:
        senders_[event.peer];
        if (options_.verbose) Note(SenderName(event.peer) + " connected (" + event.detail + ")");
        return false;
      case PeerEvent::Kind::kData:
        Receive(event.peer, event.data);
        return false;
      case PeerEvent::Kind::kHangup:
        if (options_.verbose) Note(SenderName(event.peer) + " " + event.detail);
        Hangup(event.peer);
        return true;
      case PeerEvent::Kind::kRefused:
        Note("refused a connection from " + event.detail + ": " + std::to_string(kMaxTcpSenders) +
             " senders are connected already");
        return false;
    }
    return false;
  }

  static std::string SenderName(PeerId peer) { return "sender " + std::to_string(peer); }

  int Serve() {
    std::vector<PeerEvent> events;
    while (true) {
      Produce(GroupsDue());
      // A recording that cannot be written ends the run; Finish says why.
      if (air_recorder_ && air_recorder_->Failed()) return kExitOk;
      if (g_stop_signal != 0) {
        Note(std::string("stopped by ") + (g_stop_signal == SIGINT ? "SIGINT" : "SIGTERM"));
        return kExitOk;
      }
      // A run limited in air time ends when the last group has gone out, not when it is chosen.
      if (AtLimit() && ElapsedMs() >= SlotStartMs(0, produced_)) return kExitOk;

      std::int64_t wait_ms = SlotStartMs(0, produced_) - ElapsedMs();
      for (const auto& entry : senders_) {
        if (entry.second.deframer.InFrame()) {
          wait_ms = std::min(wait_ms,
                             entry.second.last_byte_ms + options_.frame_timeout_ms - ElapsedMs());
        }
      }
      wait_ms = std::clamp<std::int64_t>(wait_ms, 0, 100);
      events.clear();
      if (!transport_->Wait(static_cast<int>(wait_ms) + 1, &events)) {
        Note(transport_->Error());
        return kExitFailure;
      }
      // Frames are applied in the order they came, whichever sender sent them.
      bool someone_left = false;
      for (const PeerEvent& event : events) someone_left = Handle(event) || someone_left;
      // The run ends when the last sender has gone and none is left, counting the ones that
      // came in the same round.
      if (someone_left && senders_.empty()) {
        if (!options_.keep_running) {
          disconnected_ = true;
          return kExitOk;
        }
        if (!transport_->Rearm()) {
          Note(transport_->Error());
          return kExitFailure;
        }
      }
      ExpireStalledFrames();
    }
  }

  int Finish() {
    if (disconnected_ && options_.hold > 0) Produce(produced_ + GroupsIn(options_.hold));
    const EncoderStats& stats = encoder_->stats();
    std::string summary = std::to_string(stats.frames_good) + " frame(s) applied, " +
                          std::to_string(stats.frames_refused) + " refused";
    if (stats.frames_ignored != 0) {
      summary += ", " + std::to_string(stats.frames_ignored) + " for other encoders";
    }
    if (SkippedBytes() != 0) {
      summary += ", " + std::to_string(SkippedBytes()) + " stray byte(s) skipped";
    }
    if (slots_off_ != 0) summary += ", RDS off for " + std::to_string(slots_off_) + " group(s)";
    // The recording is completed first; the bit-stream file is written either way.
    std::string recorded;
    int code = kExitOk;
    if (air_recorder_ && !air_recorder_->Finish(&recorded)) {
      Note(air_recorder_->Error());
      code = kExitFailure;
    }
    if (!recorded.empty()) recorded = "; " + recorded;
    if (options_.out.empty()) {
      Note(summary + recorded);
      return code;
    }
    if (air_.size() >= kMaxRecordedGroups) {
      Note("the file holds at most " + std::to_string(kMaxRecordedGroups) +
           " groups; the air after them is not in it");
    }
    const std::string error = WriteBitStreamFile(air_, options_.out);
    if (!error.empty()) {
      Note(error);
      return kExitFailure;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f",
                  static_cast<double>(air_.size()) * 208.0 / 2375.0);
    Note(summary + "; " + std::to_string(air_.size()) + " groups (" + seconds +
         " s of air) written to " + options_.out + recorded);
    return code;
  }

  const Options& options_;
  std::unique_ptr<Transport> transport_;
  std::unique_ptr<Encoder> encoder_;
  std::map<PeerId, SenderLine> senders_;  // the senders being served
  std::size_t skipped_by_gone_ = 0;       // stray bytes from senders that have left
  PeerId speaking_ = 0;                   // whose frame the encoder handles, for the log
  std::vector<std::uint8_t> replies_;
  std::chrono::steady_clock::time_point start_;
  std::int64_t start_ms_ = 0;
  std::uint64_t limit_ = 0;
  std::uint64_t produced_ = 0;
  std::uint64_t slots_off_ = 0;  // group slots that passed with RDS switched off
  std::vector<rds::Group> air_;
  std::unique_ptr<AirRecorder> air_recorder_;
  bool disconnected_ = false;
};

}  // namespace

int Run(const Options& options) {
  InstallSignals();
  return Runner(options).Run();
}

}  // namespace sim
