// The elements that steer the encoder rather than carry programme data: RDS level, phase and
// on/off, the addresses it answers to, how it answers, which data set is on air; and the two
// that shape a data set's groups, the group sequence and slow labelling.
#ifndef RDS_SIMULATOR_ENCODER_MANAGEMENT_H_
#define RDS_SIMULATOR_ENCODER_MANAGEMENT_H_

#include <cstdint>
#include <vector>

#include "simulator/encoder_state.h"
#include "simulator/message_elements.h"
#include "simulator/response_code.h"

namespace sim {

// The group types a sequence may hold: those this encoder fills from its state.
bool IsSequencedGroup(std::uint8_t type_and_version);

[[nodiscard]] ResponseCode ApplyGroupSequence(const std::vector<std::uint8_t>& data, DataSet* set);
[[nodiscard]] ResponseCode ApplySlowLabels(const std::vector<std::uint8_t>& data, DataSet* set);

// Level, on/off, phase, addresses, communication mode and data set select.
[[nodiscard]] ResponseCode ApplyManagement(const Element& element, EncoderState* state);

// Puts data set `number` on air and keeps the other; the transmitter starts the new set's items
// from their beginning.
void SelectDataSet(int number, EncoderState* state);

}  // namespace sim

#endif  // RDS_SIMULATOR_ENCODER_MANAGEMENT_H_
