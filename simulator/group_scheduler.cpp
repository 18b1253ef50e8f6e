#include "simulator/group_scheduler.h"

#include "simulator/civil_time.h"

namespace sim {

namespace {

enum class Slot { kBasic, kRadiotext, kNameOrItem };

// Six 0A groups for every three 2A and one 10A: a PS (four 0A groups) settles within about
// 0.6 s while a short radiotext follows within a second or two.
constexpr Slot kCycle[] = {Slot::kBasic,     Slot::kBasic,     Slot::kRadiotext, Slot::kBasic,
                           Slot::kBasic,     Slot::kRadiotext, Slot::kBasic,     Slot::kBasic,
                           Slot::kRadiotext, Slot::kNameOrItem};
constexpr std::size_t kCycleLength = sizeof(kCycle) / sizeof(kCycle[0]);
// The programme item number changes seldom: one 1A group in every fifth cycle (about 4.4 s).
constexpr std::size_t kCyclesPerItemNumber = 5;

constexpr std::uint8_t kGroup1A = 0x02;
constexpr std::uint8_t kGroup2A = 0x04;
constexpr std::uint8_t kGroup10A = 0x14;
constexpr std::uint16_t kNoAf = 0xE0CD;  // "no AF" count code 224 and the filler 205
constexpr std::uint8_t kEndOfText = 0x0D;
constexpr int kMaxRadiotext = 64;

// Block 2 with our TP and PTY; type_and_version is the group type × 2 + the version bit, as UECP
// free-format groups carry it.
std::uint16_t BlockB(const EncoderState& state, unsigned type_and_version, unsigned low_bits) {
  return rds::BlockB(static_cast<int>((type_and_version >> 1) & 0xFU), (type_and_version & 1U) != 0,
                     state.tp, static_cast<int>(state.pty), static_cast<int>(low_bits));
}

std::uint16_t Pair(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::uint16_t>(high << 8 | low);
}

// The characters of a text before its end: a carriage return the sender put at the end itself
// is the end, not a character, so that receivers never see two.
int TextLength(const RadiotextEntry& entry) {
  const int size = static_cast<int>(entry.text.size());
  return size > 0 && entry.text.back() == kEndOfText ? size - 1 : size;
}

// A radiotext as its 2A segments carry it: closed with a carriage return when shorter than 64
// characters and padded with spaces to whole segments.
int RadiotextSegments(const RadiotextEntry& entry) {
  const int size = TextLength(entry);
  const int sent = size < kMaxRadiotext ? size + 1 : kMaxRadiotext;
  return (sent + 3) / 4;
}

std::uint8_t RadiotextChar(const RadiotextEntry& entry, int index) {
  const int size = TextLength(entry);
  if (index < size) return entry.text[static_cast<std::size_t>(index)];
  return index == size ? kEndOfText : ' ';
}

std::int64_t MinuteOf(std::int64_t clock_ms) {
  return clock_ms >= 0 ? clock_ms / 60000 : (clock_ms - 59999) / 60000;
}

bool HasPtyn(const EncoderState& state) {
  for (const std::uint8_t c : state.ptyn) {
    if (c != ' ') return true;
  }
  return false;
}

}  // namespace

rds::Group ClockTimeGroup(const EncoderState& state, std::int64_t clock_ms) {
  const CivilTime t = CivilFromMilliseconds(clock_ms);
  rds::ClockTime time;
  time.mjd = static_cast<std::uint32_t>(ModifiedJulianDay(clock_ms));
  time.hour = t.hour;
  time.minute = t.minute;
  time.offset_half_hours = state.local_offset_half_hours;
  return rds::ClockTimeGroup(state.pi, state.tp, static_cast<int>(state.pty), time);
}

bool GroupScheduler::MinuteBegins(const EncoderState& state, std::int64_t clock_ms) {
  // Clock time goes out at the start of every minute the encoder sees begin, not at switch-on.
  // The previous slot is read on today's clock: a clock that was set or corrected since then
  // has jumped, not run, over any minute edge between the two readings, and the group waits
  // for the next edge it runs over.
  const std::int64_t previous_ms = previous_clock_ms_ + (state.clock_offset_ms - previous_offset_);
  const bool new_minute = clock_started_ && MinuteOf(clock_ms) != MinuteOf(previous_ms);
  clock_started_ = true;
  previous_clock_ms_ = clock_ms;
  previous_offset_ = state.clock_offset_ms;
  return new_minute;
}

void GroupScheduler::Pass(const EncoderState& state, std::int64_t clock_ms) {
  MinuteBegins(state, clock_ms);
}

rds::Group GroupScheduler::Next(EncoderState* state, std::int64_t clock_ms) {
  if (MinuteBegins(*state, clock_ms) && state->ct_on) return ClockTimeGroup(*state, clock_ms);
  if (!state->group_queue.empty()) return Queued(state);
  return state->group_sequence.empty() ? FromCycle(*state) : FromSequence(*state);
}

rds::Group GroupScheduler::FromCycle(const EncoderState& state) {
  const Slot slot = kCycle[slot_];
  if (++slot_ == kCycleLength) {
    slot_ = 0;
    cycle_ = (cycle_ + 1) % kCyclesPerItemNumber;
  }
  if (slot == Slot::kRadiotext && !state.radiotexts.empty()) return RadiotextGroup(state);
  if (slot == Slot::kNameOrItem) {
    if (cycle_ == 0 && (state.pin != 0 || !state.slow_labels.empty())) {
      return ItemNumberGroup(state);
    }
    if (HasPtyn(state)) return PtynGroup(state);
  }
  return PsGroup(state);
}

// The sender's cycle; a type whose item is empty carries 0A instead, as in the encoder's own.
rds::Group GroupScheduler::FromSequence(const EncoderState& state) {
  if (state.sequence_revision != sequence_revision_) {
    sequence_revision_ = state.sequence_revision;
    sequence_slot_ = 0;
  }
  const std::uint8_t type = state.group_sequence[sequence_slot_ % state.group_sequence.size()];
  sequence_slot_ = (sequence_slot_ + 1) % state.group_sequence.size();
  switch (type) {
    case kGroup1A:
      return ItemNumberGroup(state);
    case kGroup2A:
      return state.radiotexts.empty() ? PsGroup(state) : RadiotextGroup(state);
    case kGroup10A:
      return HasPtyn(state) ? PtynGroup(state) : PsGroup(state);
    default:
      return PsGroup(state);
  }
}

rds::Group GroupScheduler::Queued(EncoderState* state) {
  const FreeFormatGroup queued = state->group_queue.front();
  state->group_queue.pop_front();
  rds::Group group;
  group.blocks[0] = state->pi;
  group.blocks[1] = BlockB(*state, queued.type_and_version, queued.block_b_bits);
  group.blocks[2] = queued.block_c;
  group.blocks[3] = queued.block_d;
  return group;
}

rds::Group GroupScheduler::PsGroup(const EncoderState& state) {
  // A new name starts at its first segment so receivers see it whole as soon as possible.
  if (state.ps_revision != ps_revision_) {
    ps_revision_ = state.ps_revision;
    ps_segment_ = 0;
  }
  if (state.af_revision != af_revision_) {
    af_revision_ = state.af_revision;
    af_pair_ = 0;
  }
  const int segment = ps_segment_;
  ps_segment_ = (ps_segment_ + 1) % 4;
  // Segment 0 carries DI bit d3, segment 3 bit d0.
  const unsigned di_bit = (state.di >> (3 - segment)) & 0x01U;
  const unsigned low = (state.ta ? 1U : 0U) << 4 | (state.music ? 1U : 0U) << 3 | di_bit << 2 |
                       static_cast<unsigned>(segment);
  rds::Group group;
  group.blocks[0] = state.pi;
  group.blocks[1] = BlockB(state, 0x00, low);
  if (state.af_codes.empty()) {
    group.blocks[2] = kNoAf;
  } else {
    const std::size_t pairs = state.af_codes.size() / 2;
    const std::size_t pair = af_pair_ % pairs;
    af_pair_ = (pair + 1) % pairs;
    group.blocks[2] = Pair(state.af_codes[2 * pair], state.af_codes[2 * pair + 1]);
  }
  const std::size_t at = 2 * static_cast<std::size_t>(segment);
  group.blocks[3] = Pair(state.ps[at], state.ps[at + 1]);
  return group;
}

rds::Group GroupScheduler::RadiotextGroup(const EncoderState& state) {
  if (state.radiotext_revision != radiotext_revision_) {
    radiotext_revision_ = state.radiotext_revision;
    radiotext_entry_ = 0;
    radiotext_segment_ = 0;
    radiotext_passes_ = 0;
  }
  const RadiotextEntry& entry = state.radiotexts[radiotext_entry_];
  const int segment = radiotext_segment_;
  if (++radiotext_segment_ == RadiotextSegments(entry)) {
    // A whole pass is done; after its number of passes the next text of the buffer follows.
    radiotext_segment_ = 0;
    if (++radiotext_passes_ >= entry.transmissions) {
      radiotext_passes_ = 0;
      radiotext_entry_ = (radiotext_entry_ + 1) % state.radiotexts.size();
    }
  }
  const int at = 4 * segment;
  rds::Group group;
  group.blocks[0] = state.pi;
  group.blocks[1] =
      BlockB(state, 0x04, (entry.ab_flag ? 1U : 0U) << 4 | static_cast<unsigned>(segment));
  group.blocks[2] = Pair(RadiotextChar(entry, at), RadiotextChar(entry, at + 1));
  group.blocks[3] = Pair(RadiotextChar(entry, at + 2), RadiotextChar(entry, at + 3));
  return group;
}

// 1A: no radio paging; block 3 the slow-labelling words in turn (variant 0 with no extended
// country code when there are none), block 4 the PIN.
rds::Group GroupScheduler::ItemNumberGroup(const EncoderState& state) {
  rds::Group group;
  group.blocks[0] = state.pi;
  group.blocks[1] = BlockB(state, kGroup1A, 0);
  group.blocks[2] = 0x0000;
  if (!state.slow_labels.empty()) {
    group.blocks[2] = state.slow_labels[slow_label_ % state.slow_labels.size()];
    slow_label_ = (slow_label_ + 1) % state.slow_labels.size();
  }
  group.blocks[3] = state.pin;
  return group;
}

rds::Group GroupScheduler::PtynGroup(const EncoderState& state) {
  if (state.ptyn_revision != ptyn_revision_) {
    ptyn_revision_ = state.ptyn_revision;
    ptyn_segment_ = 0;
  }
  const int segment = ptyn_segment_;
  ptyn_segment_ ^= 1;
  const std::size_t at = 4 * static_cast<std::size_t>(segment);
  rds::Group group;
  group.blocks[0] = state.pi;
  group.blocks[1] =
      BlockB(state, 0x14, (state.ptyn_ab ? 1U : 0U) << 4 | static_cast<unsigned>(segment));
  group.blocks[2] = Pair(state.ptyn[at], state.ptyn[at + 1]);
  group.blocks[3] = Pair(state.ptyn[at + 2], state.ptyn[at + 3]);
  return group;
}

}  // namespace sim
