#include "rdscore/group.h"

#include <cstdlib>

namespace rds {

std::array<std::uint32_t, 4> EncodeGroup(const Group& group) {
  const Offset third = group.IsVersionB() ? Offset::kCPrime : Offset::kC;
  return {EncodeBlock(group.blocks[0], Offset::kA), EncodeBlock(group.blocks[1], Offset::kB),
          EncodeBlock(group.blocks[2], third), EncodeBlock(group.blocks[3], Offset::kD)};
}

void AppendGroupBits(const Group& group, std::string* out) {
  for (const std::uint32_t block : EncodeGroup(group)) {
    for (int bit = kBlockBits - 1; bit >= 0; --bit) out->push_back((block >> bit) & 1U ? '1' : '0');
  }
}

std::uint16_t BlockB(int type, bool version_b, bool tp, int pty, int low5) {
  return static_cast<std::uint16_t>((type & 0xF) << 12 | (version_b ? 1 : 0) << 11 |
                                    (tp ? 1 : 0) << 10 | (pty & 0x1F) << 5 | (low5 & 0x1F));
}

Group ClockTimeGroup(std::uint16_t pi, bool tp, int pty, const ClockTime& time) {
  const int offset = time.offset_half_hours;
  Group group;
  group.blocks[0] = pi;
  group.blocks[1] = BlockB(4, false, tp, pty, static_cast<int>(time.mjd >> 15) & 0x3);
  group.blocks[2] = static_cast<std::uint16_t>((time.mjd & 0x7FFF) << 1 | ((time.hour >> 4) & 1));
  group.blocks[3] =
      static_cast<std::uint16_t>((time.hour & 0xF) << 12 | (time.minute & 0x3F) << 6 |
                                 (offset < 0 ? 1 : 0) << 5 | (std::abs(offset) & 0x1F));
  return group;
}

}  // namespace rds
