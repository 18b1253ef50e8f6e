// North American stations take their PI code from their call letters (the RBDS call-letter
// conversion); a receiver can work the letters back out of the PI.
#ifndef RDS_DECODER_STATION_RBDS_CALLSIGN_H_
#define RDS_DECODER_STATION_RBDS_CALLSIGN_H_

#include <cstdint>

namespace decoder {

enum class RbdsPiKind {
  kNone,             // no call letters belong to this PI (0xxx, C/F ranges, unused A codes, ...)
  kCallSign,         // a four-letter K or W call sign, in `letters`
  kThreeLetterCall,  // 0x9950..0x9EFF: one of the historic three-letter calls, looked up by table
  kLinkedNetwork,    // B, D or E with a nonzero low byte: stations linked into a network
};

struct RbdsPi {
  RbdsPiKind kind = RbdsPiKind::kNone;
  char letters[5] = {};  // NUL-terminated call sign for kCallSign
  // Some broadcasters replace the first digit of their PI with 1 for the benefit of traffic
  // message receivers, so letters worked out from a PI 1xxx may belong to another station.
  bool uncertain = false;
  int coverage_area = 0;  // the second digit of a linked network's PI
};

RbdsPi DescribeRbdsPi(std::uint16_t pi);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_RBDS_CALLSIGN_H_
