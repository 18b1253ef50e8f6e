#include "simulator/run_loop.h"

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
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
    transport_ = options_.tcp ? OpenTcp(options_.host, options_.port, &error)
                              : OpenPty(options_.link, &error);
    if (!transport_) {
      Note(error);
      return kExitFailure;
    }
    EncoderState initial;
    initial.local_offset_half_hours = SystemOffsetHalfHours();
    encoder_ = std::make_unique<Encoder>(options_.reply, initial);
    encoder_->SetAddress({options_.site, options_.encoder});
    if (options_.verbose) encoder_->SetLog(Note);

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
      const rds::Group group = encoder_->NextGroup(SlotStartMs(start_ms_, produced_));
      if (!options_.out.empty()) air_.push_back(group);
      if (air_recorder_) air_recorder_->Add(group);
      ++produced_;
    }
  }

  void SendReplies(std::vector<std::uint8_t>* replies) {
    if (replies->empty()) return;
    if (!transport_->Send(*replies)) Note(transport_->Error() + " (reply dropped)");
    replies->clear();
  }

  int Serve() {
    std::vector<std::uint8_t> received;
    std::vector<std::uint8_t> replies;
    std::int64_t last_byte_ms = 0;
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
      if (encoder_->InFrame()) {
        wait_ms = std::min(wait_ms, last_byte_ms + options_.frame_timeout_ms - ElapsedMs());
      }
      wait_ms = std::clamp<std::int64_t>(wait_ms, 0, 100);
      pollfd waiter{transport_->WaitDescriptor(), POLLIN, 0};
      const int ready = poll(&waiter, 1, static_cast<int>(wait_ms) + 1);
      if (ready > 0) {
        received.clear();
        switch (transport_->Service(&received)) {
          case TransportEvent::kData:
            // The groups before this moment went out with the state before this frame.
            Produce(GroupsDue());
            last_byte_ms = ElapsedMs();
            encoder_->Receive(received, start_ms_ + last_byte_ms, &replies);
            SendReplies(&replies);
            break;
          case TransportEvent::kHangup:
            if (encoder_->ExpireFrame(&replies)) replies.clear();  // nobody left to answer
            if (!options_.keep_running) {
              if (options_.verbose) Note("the sender disconnected");
              disconnected_ = true;
              return kExitOk;
            }
            if (!transport_->Rearm()) {
              Note(transport_->Error());
              return kExitFailure;
            }
            break;
          case TransportEvent::kError:
            Note(transport_->Error());
            return kExitFailure;
          case TransportEvent::kNothing:
            break;
        }
      }
      if (encoder_->InFrame() && ElapsedMs() - last_byte_ms >= options_.frame_timeout_ms) {
        encoder_->ExpireFrame(&replies);
        SendReplies(&replies);
      }
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
    if (encoder_->SkippedBytes() != 0) {
      summary += ", " + std::to_string(encoder_->SkippedBytes()) + " stray byte(s) skipped";
    }
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
  std::chrono::steady_clock::time_point start_;
  std::int64_t start_ms_ = 0;
  std::uint64_t limit_ = 0;
  std::uint64_t produced_ = 0;
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
