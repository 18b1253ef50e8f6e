// The element options that steer the encoder itself rather than a programme service: RDS level,
// phase and on/off, the data set on air, how the encoder answers, its addresses, the group
// sequence and slow labelling.
#ifndef RDS_SENDER_MANAGEMENT_OPTIONS_H_
#define RDS_SENDER_MANAGEMENT_OPTIONS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "sender/element_options.h"

namespace sender {

// The option names these elements take, for the parser.
const std::vector<std::string>& ManagementOptionNames();

// Checks the value of one of those options and adds its element to the request; false with
// which option and why.
[[nodiscard]] bool AddManagementElement(const std::string& name, const std::string& value,
                                        std::uint16_t dsn, std::uint16_t psn, SendRequest* request,
                                        std::string* error);

extern const char kManagementOptionsHelp[];

}  // namespace sender

#endif  // RDS_SENDER_MANAGEMENT_OPTIONS_H_
