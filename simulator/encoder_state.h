// What an RDS encoder holds for its one programme service, and how UECP message elements change
// it. Every frame is applied as a whole or not at all: a frame with one bad element leaves the
// state exactly as it was.
#ifndef RDS_SIMULATOR_ENCODER_STATE_H_
#define RDS_SIMULATOR_ENCODER_STATE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "simulator/message_elements.h"
#include "simulator/response_code.h"

namespace sim {

using Name = std::array<std::uint8_t, 8>;

struct RadiotextEntry {
  std::vector<std::uint8_t> text;  // 1 to 64 characters, as received
  int transmissions = 1;           // full passes before the next text of the buffer
  bool ab_flag = false;            // the text A/B flag receivers see
};

// A group handed over by a free-format group element, sent once with the encoder's PI, TP and
// PTY in blocks 1 and 2.
struct FreeFormatGroup {
  std::uint8_t type_and_version = 0;  // group type × 2 + version (0x08 is 4A)
  std::uint8_t block_b_bits = 0;      // the five low bits of block 2
  std::uint16_t block_c = 0;
  std::uint16_t block_d = 0;
};

constexpr std::size_t kRadiotextBufferSize = 8;
constexpr std::size_t kGroupQueueSize = 32;

struct EncoderState {
  std::uint16_t pi = 0;
  Name ps = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  bool tp = false;
  bool ta = false;
  std::uint8_t di = 0;  // d3 (dynamic PTY) .. d0 (stereo)
  bool music = true;
  std::uint16_t pin = 0;
  std::uint8_t pty = 0;
  Name ptyn = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  bool ptyn_ab = false;  // toggled on every new name so receivers drop the old one
  std::vector<RadiotextEntry> radiotexts;
  // The AF list as method A sends it in block 3 of 0A groups: the count code first, LF/MF
  // frequencies as 250 + code in one block, padded with the filler 205 to whole pairs.
  std::vector<std::uint8_t> af_codes;
  bool ct_on = true;
  std::int64_t clock_offset_ms = 0;  // encoder clock minus system clock
  int local_offset_half_hours = 0;   // local time minus UTC
  std::deque<FreeFormatGroup> group_queue;

  // Bumped whenever the matching item is replaced, so the transmitter can restart its cycle.
  std::uint32_t ps_revision = 0;
  std::uint32_t radiotext_revision = 0;
  std::uint32_t af_revision = 0;
  std::uint32_t ptyn_revision = 0;
};

struct ApplyResult {
  ResponseCode code = ResponseCode::kOk;
  std::size_t element = 0;  // index of the element that was refused
};

// Applies a frame's elements to the state at system time now_ms (milliseconds since 1970 UTC),
// all of them or none.
ApplyResult ApplyElements(const std::vector<Element>& elements, std::int64_t now_ms,
                          EncoderState* state);

}  // namespace sim

#endif  // RDS_SIMULATOR_ENCODER_STATE_H_
