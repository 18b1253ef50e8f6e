// UECP response codes: what an encoder tells its sender about each received message.
#ifndef RDS_SIMULATOR_RESPONSE_CODE_H_
#define RDS_SIMULATOR_RESPONSE_CODE_H_

#include <cstdint>

namespace sim {

enum class ResponseCode : std::uint8_t {
  kOk = 0,
  kCrcError = 1,
  kIncomplete = 2,      // message not received completely
  kUnknownMessage = 3,  // element code the encoder does not know
  kDsnError = 4,        // data set number not available
  kPsnError = 5,        // programme service number not available
  kOutOfRange = 6,      // parameter out of range
  kMelError = 7,        // message element length error
  kMflError = 8,        // message field length error
  kNotAcceptable = 9,
  kEndMissing = 10,
  kBufferOverflow = 11,
  kBadStuffing = 12,
  kUnexpectedEnd = 13,  // message field ended inside an element
};

// A short English name of a response code for log lines.
const char* ResponseName(ResponseCode code);

}  // namespace sim

#endif  // RDS_SIMULATOR_RESPONSE_CODE_H_
