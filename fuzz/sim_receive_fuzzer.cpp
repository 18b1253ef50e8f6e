// Fuzz target: the encoder simulator's receive path on arbitrary bytes.
//
// The input sets the reply mode and the encoder's address, then feeds the encoder piece after
// piece: raw bytes, or a message field that the target wraps in a correct frame (so that the
// element parser and the state changes are reached, not just the CRC check), with the clock
// moving on; in between it lets the sender go quiet mid-frame and takes groups for air.
// Besides "no crash, no leak, no undefined behaviour":
// - a refused frame leaves the encoder state exactly as it was;
// - the state stays bounded: at most 8 radiotexts of 1..64 characters, at most 32 queued
//   groups, an AF list no longer than 25 frequencies can make;
// - in acknowledgement mode replies are correct UECP frames: 18 00 for a good frame, 18 <code
//   1..13> <SQC> for a refused one, or the elements a request asked for; while the encoder
//   answers every message each handled frame gets one, and in one-way mode none.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/uecp_reference.h"
#include "simulator/encoder.h"
#include "uecp/element_description.h"

namespace {

using fuzz::FuzzInput;
using fuzz::Require;

constexpr int kMaxPieces = 64;
// Count code, 25 LF/MF pairs and a filler: the longest method-A list.
constexpr std::size_t kMaxAfCodes = 1 + 2 * 25 + 1;

bool SameState(const sim::EncoderState& a, const sim::EncoderState& b) {
  if (a.radiotexts.size() != b.radiotexts.size()) return false;
  for (std::size_t i = 0; i < a.radiotexts.size(); ++i) {
    const sim::RadiotextEntry& x = a.radiotexts[i];
    const sim::RadiotextEntry& y = b.radiotexts[i];
    if (x.text != y.text || x.transmissions != y.transmissions || x.ab_flag != y.ab_flag) {
      return false;
    }
  }
  if (a.group_queue.size() != b.group_queue.size()) return false;
  for (std::size_t i = 0; i < a.group_queue.size(); ++i) {
    const sim::FreeFormatGroup& x = a.group_queue[i];
    const sim::FreeFormatGroup& y = b.group_queue[i];
    if (x.type_and_version != y.type_and_version || x.block_b_bits != y.block_b_bits ||
        x.block_c != y.block_c || x.block_d != y.block_d) {
      return false;
    }
  }
  return a.pi == b.pi && a.ps == b.ps && a.tp == b.tp && a.ta == b.ta && a.di == b.di &&
         a.music == b.music && a.pin == b.pin && a.pty == b.pty && a.ptyn == b.ptyn &&
         a.ptyn_ab == b.ptyn_ab && a.af_codes == b.af_codes && a.ct_on == b.ct_on &&
         a.clock_offset_ms == b.clock_offset_ms &&
         a.local_offset_half_hours == b.local_offset_half_hours && a.ps_revision == b.ps_revision &&
         a.radiotext_revision == b.radiotext_revision && a.af_revision == b.af_revision &&
         a.ptyn_revision == b.ptyn_revision && a.af_element == b.af_element &&
         a.group_sequence == b.group_sequence && a.slow_labels == b.slow_labels &&
         a.data_set == b.data_set && a.other_set.pi == b.other_set.pi &&
         a.other_set.radiotexts.size() == b.other_set.radiotexts.size() && a.rds_on == b.rds_on &&
         a.level_mv == b.level_mv && a.phase_tenths == b.phase_tenths && a.mode == b.mode &&
         a.site_addresses == b.site_addresses && a.encoder_addresses == b.encoder_addresses;
}

void CheckBounded(const sim::EncoderState& state) {
  Require(state.radiotexts.size() <= sim::kRadiotextBufferSize, "at most 8 radiotexts");
  for (const sim::RadiotextEntry& entry : state.radiotexts) {
    Require(!entry.text.empty() && entry.text.size() <= 64, "radiotexts of 1..64 characters");
  }
  Require(state.group_queue.size() <= sim::kGroupQueueSize, "at most 32 queued groups");
  Require(state.af_codes.size() <= kMaxAfCodes, "AF list within 25 frequencies");
}

// Correct UECP frames, each an acknowledgement (18 00, or 18 <code 1..13> <SQC>) or an answer to
// a request: whole elements of known codes. While every message is answered, at least one
// frame per handled frame; while none is, nothing.
void CheckReplies(const std::vector<std::uint8_t>& replies, std::size_t handled,
                  sim::CommunicationMode before, sim::CommunicationMode after) {
  using sim::CommunicationMode;
  const std::vector<std::vector<std::uint8_t>> frames = fuzz::SplitFrames(replies);
  if (before == CommunicationMode::kEvery && after == CommunicationMode::kEvery) {
    Require(frames.size() >= handled, "every handled frame answered");
  }
  if (before == CommunicationMode::kOneWay && after == CommunicationMode::kOneWay) {
    Require(frames.empty(), "one-way mode answers nothing");
  }
  for (const std::vector<std::uint8_t>& raw : frames) {
    const std::size_t mfl = raw[4];
    if (raw[5] == 0x18) {
      if (mfl == 2) {
        Require(raw[6] == 0x00, "a two-byte acknowledgement means OK");
      } else {
        Require(mfl == 3 && raw[6] >= 1 && raw[6] <= 13 && raw[7] == raw[3],
                "a refusal names its code 1..13 and the SQC");
      }
      continue;
    }
    for (std::size_t at = 5; at < 5 + mfl;) {
      const std::size_t size = uecp::ElementSize(&raw[at], 5 + mfl - at);
      Require(size != 0 && uecp::DescribeElement(&raw[at], size).has_value(),
              "an answer holds whole elements of known codes");
      at += size;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  sim::ReplyConfig reply;
  const std::uint8_t setup = input.U8();
  reply.mode = setup % 3 == 0   ? sim::ReplyMode::kAcknowledge
               : setup % 3 == 1 ? sim::ReplyMode::kText
                                : sim::ReplyMode::kNone;
  reply.text = "OK";
  sim::EncoderState initial;
  initial.local_offset_half_hours = input.Between(-28, 28);
  sim::Encoder encoder(reply, initial);
  if ((setup & 0x80) != 0) encoder.SetAddress({input.Between(-1, 1023), input.Between(-1, 63)});

  // The state before each frame; a refusal must leave it so. The encoder logs after it has
  // counted and applied (or refused) a frame.
  sim::EncoderState before = encoder.state();
  std::size_t refused = 0;
  encoder.SetLog([&](const std::string&) {
    if (encoder.stats().frames_refused != refused) {
      Require(SameState(before, encoder.state()), "a refused frame changes nothing");
      refused = encoder.stats().frames_refused;
    }
    CheckBounded(encoder.state());
    before = encoder.state();
  });

  // System time from 1970 to 2106, moving on by up to a minute per piece.
  std::int64_t now_ms = static_cast<std::int64_t>(input.U32()) * 1000;
  for (int piece = 0; piece < kMaxPieces && !input.Empty(); ++piece) {
    const std::uint8_t kind = input.U8();
    now_ms += input.U16();
    std::vector<std::uint8_t> bytes;
    if (kind < 0x80) {
      bytes.resize(input.U8());
      for (std::uint8_t& byte : bytes) byte = input.U8();
    } else if (kind < 0xF0) {
      std::vector<std::uint8_t> message(input.U8());
      for (std::uint8_t& byte : message) byte = input.U8();
      const std::uint16_t address = input.U16();
      bytes = fuzz::ReferenceFrame(address, input.U8(), message);
      if ((kind & 0x0F) == 0) bytes.resize(bytes.size() / 2);  // cut short; the rest never comes
    } else if (kind < 0xF8) {
      std::vector<std::uint8_t> replies;
      const std::size_t handled_before =
          encoder.stats().frames_good + encoder.stats().frames_refused;
      const bool expired = encoder.ExpireFrame(&replies);
      const std::size_t handled =
          encoder.stats().frames_good + encoder.stats().frames_refused - handled_before;
      Require(expired || handled == 0, "nothing to expire, nothing handled");
      if (reply.mode == sim::ReplyMode::kAcknowledge) {
        CheckReplies(replies, handled, encoder.state().mode, encoder.state().mode);
      }
      continue;
    } else {
      for (int group = input.U8() % 16; group >= 0; --group) encoder.NextGroup(now_ms);
      before = encoder.state();  // the queue of free-format groups empties on air
      continue;
    }

    std::vector<std::uint8_t> replies;
    const std::size_t handled_before = encoder.stats().frames_good + encoder.stats().frames_refused;
    const sim::CommunicationMode mode_before = encoder.state().mode;
    encoder.Receive(bytes, now_ms, &replies);
    const std::size_t handled =
        encoder.stats().frames_good + encoder.stats().frames_refused - handled_before;
    if (reply.mode != sim::ReplyMode::kText) {
      CheckReplies(replies, handled, mode_before, encoder.state().mode);
    }
    CheckBounded(encoder.state());
  }
  return 0;
}
