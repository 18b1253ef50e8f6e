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

// What one data set holds: the programme service's codes and texts, and what the encoder sends
// of them beside the basic groups.
struct DataSet {
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
  // The AF element's data as received (list header word, codes, closing 0), for read-back.
  std::vector<std::uint8_t> af_element = {0x00, 0x00, 0xE0, 0x00};
  // Group types (type × 2 + version) sent in turn; empty: the encoder's own cycle.
  std::vector<std::uint8_t> group_sequence;
  // Block 3 words of 1A groups (slow labelling), sent in turn.
  std::vector<std::uint16_t> slow_labels;

  // Bumped whenever the matching item is replaced, so the transmitter can restart its cycle.
  std::uint32_t ps_revision = 0;
  std::uint32_t radiotext_revision = 0;
  std::uint32_t af_revision = 0;
  std::uint32_t ptyn_revision = 0;
  std::uint32_t sequence_revision = 0;
};

constexpr int kDataSets = 2;                     // data sets 1 and 2
constexpr std::uint16_t kNominalLevelMv = 1000;  // the RDS level at switch-on
constexpr std::uint16_t kMaxLevelMv = 8191;

// How the encoder answers (UECP communication mode).
enum class CommunicationMode : std::uint8_t {
  kOneWay = 0,     // never
  kRequested = 1,  // only messages with a request
  kEvery = 2,      // every message
};

// The encoder: the data set on air (the DataSet base, so the transmitter reads it directly), the
// one it keeps beside it, and what belongs to the encoder as a whole.
struct EncoderState : DataSet {
  bool ct_on = true;
  std::int64_t clock_offset_ms = 0;  // encoder clock minus system clock
  int local_offset_half_hours = 0;   // local time minus UTC
  std::deque<FreeFormatGroup> group_queue;

  int data_set = 1;   // the number of the data set on air
  DataSet other_set;  // the data set not on air, kept until it is selected
  bool rds_on = true;
  std::uint16_t level_mv = kNominalLevelMv;
  std::uint16_t phase_tenths = 0;  // subcarrier phase against the pilot, tenths of a degree
  CommunicationMode mode = CommunicationMode::kEvery;
  // The addresses the encoder answers to besides 0; empty: every address.
  std::vector<std::uint16_t> site_addresses;
  std::vector<std::uint8_t> encoder_addresses;
};

struct ApplyResult {
  ResponseCode code = ResponseCode::kOk;
  std::size_t element = 0;  // index of the element that was refused
  bool requested = false;   // the frame held a request element
  // The elements the requests asked for, with the values they read, back to back.
  std::vector<std::uint8_t> answer;
};

// Applies a frame's elements to the state at system time now_ms (milliseconds since 1970 UTC),
// all of them or none. A request reads the state as the elements before it left it.
ApplyResult ApplyElements(const std::vector<Element>& elements, std::int64_t now_ms,
                          EncoderState* state);

}  // namespace sim

#endif  // RDS_SIMULATOR_ENCODER_STATE_H_
