// Words for the Windows error codes that a serial port reports, for tamsel's messages.
#ifndef RDS_SENDER_SYSTEM_ERROR_TEXT_H_
#define RDS_SENDER_SYSTEM_ERROR_TEXT_H_

#include <cstdint>
#include <string>

namespace sender {

// For example "no such device (system error 2)".
std::string DescribeSystemError(std::uint32_t code);

}  // namespace sender

#endif  // RDS_SENDER_SYSTEM_ERROR_TEXT_H_
