// The message request (element 0x17): the value the encoder holds of an element, written as the
// element a sender would send to set it, so that the answer can be read with the same parser
// and, sent back, sets the same value.
#ifndef RDS_SIMULATOR_READ_BACK_H_
#define RDS_SIMULATOR_READ_BACK_H_

#include <cstdint>
#include <vector>

#include "simulator/encoder_state.h"
#include "simulator/response_code.h"

namespace sim {

// Reads the element a request's data names (requested code, then optionally its DSN and PSN)
// from the state at system time now_ms and appends it to *answer. Refuses a data set or service
// the encoder does not have (DSN 255 too: one answer holds one set) and codes that hold no
// value to read (parameter out of range).
[[nodiscard]] ResponseCode ReadBack(const std::vector<std::uint8_t>& request,
                                    const EncoderState& state, std::int64_t now_ms,
                                    std::vector<std::uint8_t>* answer);

}  // namespace sim

#endif  // RDS_SIMULATOR_READ_BACK_H_
