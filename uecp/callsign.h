// The RBDS conversion of a North American four-letter call sign into a PI code.
#ifndef RDS_UECP_CALLSIGN_H_
#define RDS_UECP_CALLSIGN_H_

#include <cstdint>

namespace uecp {

// Converts text to capitals in place (also when it then refuses it) and returns the PI code of
// the call sign, or 0 when it is not four bytes long or does not begin with K or W. The
// letters after the first are not checked. A null text is refused.
std::uint16_t rbds_callsign_to_pi(char* text);

}  // namespace uecp

#endif  // RDS_UECP_CALLSIGN_H_
