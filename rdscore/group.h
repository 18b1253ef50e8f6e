// RDS groups: four information words that go on air as blocks with offsets A, B, C (C' in
// version-B groups) and D, and the common layouts of block 2 and of the clock-time group.
#ifndef RDS_RDSCORE_GROUP_H_
#define RDS_RDSCORE_GROUP_H_

#include <array>
#include <cstdint>
#include <string>

#include "rdscore/block_code.h"

namespace rds {

struct Group {
  std::array<std::uint16_t, 4> blocks{};

  // The version (A/B) is bit 11 of block 2.
  bool IsVersionB() const { return (blocks[1] & 0x0800U) != 0; }
  bool operator==(const Group& other) const { return blocks == other.blocks; }
  bool operator!=(const Group& other) const { return blocks != other.blocks; }
};

// The four 26-bit blocks of a group, in the order they go on air.
std::array<std::uint32_t, 4> EncodeGroup(const Group& group);

// Appends the group's 104 bits as '0'/'1' characters, first bit on air first.
void AppendGroupBits(const Group& group, std::string* out);

// Block 2: group type 0..15, version B or not, TP, PTY and the five bits the group type defines.
std::uint16_t BlockB(int type, bool version_b, bool tp, int pty, int low5);

// Clock time as group 4A carries it: Modified Julian Day, UTC hour and minute, and the local
// offset in half hours (negative west of Greenwich).
struct ClockTime {
  std::uint32_t mjd = 0;
  int hour = 0;
  int minute = 0;
  int offset_half_hours = 0;
};

// The 4A group for a clock time; the MJD's two high bits travel in block 2.
Group ClockTimeGroup(std::uint16_t pi, bool tp, int pty, const ClockTime& time);

// Air bit rate: 1187.5 bit/s (57 kHz / 48), kept as a fraction so that time arithmetic stays
// exact.
constexpr int kBitRateTimesTwo = 2375;
constexpr double kBitRate = 1187.5;

}  // namespace rds

#endif  // RDS_RDSCORE_GROUP_H_
