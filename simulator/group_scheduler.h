// Chooses and fills the group for each slot on air, as an encoder does from its state: 0A groups
// for PS, flags and AF; 2A for radiotext; 10A for the programme type name; 1A now and then for
// the programme item number and slow labelling; 4A clock time at the start of every minute; and
// the free-format groups it was handed, each once, before anything else. A data set's group
// sequence, when it has one, replaces the encoder's own cycle.
#ifndef RDS_SIMULATOR_GROUP_SCHEDULER_H_
#define RDS_SIMULATOR_GROUP_SCHEDULER_H_

#include <cstddef>
#include <cstdint>

#include "rdscore/group.h"
#include "simulator/encoder_state.h"

namespace sim {

// The clock-time group 4A for an encoder clock reading and a local offset in half hours.
rds::Group ClockTimeGroup(const EncoderState& state, std::int64_t clock_ms);

class GroupScheduler {
 public:
  // The group for the slot that starts at encoder clock time clock_ms (milliseconds since 1970
  // UTC). Takes queued free-format groups out of the state.
  rds::Group Next(EncoderState* state, std::int64_t clock_ms);
  // A slot without RDS on air: nothing is sent, but the clock's minute edges are kept.
  void Pass(const EncoderState& state, std::int64_t clock_ms);

 private:
  rds::Group PsGroup(const EncoderState& state);
  rds::Group RadiotextGroup(const EncoderState& state);
  rds::Group PtynGroup(const EncoderState& state);
  rds::Group ItemNumberGroup(const EncoderState& state);
  rds::Group Queued(EncoderState* state);
  // Whether clock time is due: the slot is the first of a new minute.
  bool MinuteBegins(const EncoderState& state, std::int64_t clock_ms);
  rds::Group FromCycle(const EncoderState& state);
  rds::Group FromSequence(const EncoderState& state);

  std::size_t slot_ = 0;
  std::size_t cycle_ = 0;
  bool clock_started_ = false;
  std::int64_t previous_clock_ms_ = 0;  // the encoder clock at the previous slot
  std::int64_t previous_offset_ = 0;    // the clock's offset then

  std::uint32_t ps_revision_ = 0;
  int ps_segment_ = 0;
  std::uint32_t af_revision_ = 0;
  std::size_t af_pair_ = 0;

  std::uint32_t radiotext_revision_ = 0;
  std::size_t radiotext_entry_ = 0;
  int radiotext_segment_ = 0;
  int radiotext_passes_ = 0;

  std::uint32_t ptyn_revision_ = 0;
  int ptyn_segment_ = 0;

  std::size_t slow_label_ = 0;
  std::uint32_t sequence_revision_ = 0;
  std::size_t sequence_slot_ = 0;
};

}  // namespace sim

#endif  // RDS_SIMULATOR_GROUP_SCHEDULER_H_
