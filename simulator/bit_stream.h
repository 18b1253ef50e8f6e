// The captured air as a text file: the bit count on the first line, then one '0' or '1' per bit
// on the second line, first bit on air first.
#ifndef RDS_SIMULATOR_BIT_STREAM_H_
#define RDS_SIMULATOR_BIT_STREAM_H_

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "rdscore/group.h"

namespace sim {

// Readers take the count from a line of at most 9 characters including its newline, and read one
// character fewer than the count from the bit line. The count written is therefore bits + 1
// (every bit gets read), and it must fit in 8 digits.
constexpr std::size_t kMaxCountLine = 99999999;
constexpr std::size_t kMaxRecordedGroups = (kMaxCountLine - 1) / rds::kGroupBits;

// Writes the groups as a bit-stream file; false when the stream failed.
[[nodiscard]] bool WriteBitStream(const std::vector<rds::Group>& groups, std::ostream& out);

// Writes the file at path through a temporary file renamed into place, so that no reader ever
// sees half of it. Returns an empty string or the reason it failed.
[[nodiscard]] std::string WriteBitStreamFile(const std::vector<rds::Group>& groups,
                                             const std::string& path);

}  // namespace sim

#endif  // RDS_SIMULATOR_BIT_STREAM_H_
