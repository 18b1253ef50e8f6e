#include "simulator/bit_stream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace sim {

bool WriteBitStream(const std::vector<Group>& groups, std::ostream& out) {
  const std::size_t groups_written =
      groups.size() < kMaxRecordedGroups ? groups.size() : kMaxRecordedGroups;
  out << groups_written * kBitsPerGroup + 1 << '\n';
  char line[kBitsPerGroup];
  for (std::size_t g = 0; g < groups_written; ++g) {
    const std::array<std::uint32_t, 4> blocks = EncodeGroup(groups[g]);
    char* pos = line;
    for (const std::uint32_t block : blocks) {
      for (int bit = kBitsPerBlock - 1; bit >= 0; --bit) *pos++ = ((block >> bit) & 1U) ? '1' : '0';
    }
    out.write(line, sizeof line);
  }
  out << '\n';
  out.flush();
  return static_cast<bool>(out);
}

std::string WriteBitStreamFile(const std::vector<Group>& groups, const std::string& path) {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot create " + temporary + ": " + std::strerror(errno);
    if (!WriteBitStream(groups, out)) {
      std::remove(temporary.c_str());
      return "cannot write " + temporary;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return "cannot rename " + temporary + " to " + path + ": " + reason;
  }
  return {};
}

}  // namespace sim
