#include "simulator/bit_stream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace sim {

bool WriteBitStream(const std::vector<rds::Group>& groups, std::ostream& out) {
  const std::size_t groups_written =
      groups.size() < kMaxRecordedGroups ? groups.size() : kMaxRecordedGroups;
  out << groups_written * rds::kGroupBits + 1 << '\n';
  std::string line;
  for (std::size_t g = 0; g < groups_written; ++g) {
    line.clear();
    rds::AppendGroupBits(groups[g], &line);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
  out << '\n';
  out.flush();
  return static_cast<bool>(out);
}

std::string WriteBitStreamFile(const std::vector<rds::Group>& groups, const std::string& path) {
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
