// rds-encoder-sim run as a process, and the bit-stream file it leaves behind, for the tests that
// drive the real program.
#ifndef RDS_TESTS_SIMULATOR_SIM_PROCESS_H_
#define RDS_TESTS_SIMULATOR_SIM_PROCESS_H_

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

// rds-encoder-sim with the given arguments.
class Simulator : public ChildProcess {
 public:
  explicit Simulator(const std::vector<std::string>& args) : ChildProcess(RDS_ENCODER_SIM, args) {}

  // The first line of standard output: where senders connect.
  std::string Where() { return ReadLine(); }
};

// The groups of a bit-stream file, checked block by block against the RDS parity-check matrix.
struct Air {
  long count = 0;
  std::vector<std::array<std::uint16_t, 4>> groups;
  bool checkwords_ok = true;
};

inline Air ReadAir(const std::string& path) {
  static constexpr std::uint16_t kRows[26] = {
      0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F, 0x287,
      0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100, 0x200};
  static constexpr std::uint16_t kSyndromes[4] = {0x3D8, 0x3D4, 0x25C, 0x258};
  Air air;
  std::ifstream in(path);
  std::string bits;
  in >> air.count >> bits;
  for (std::size_t g = 0; g + 104 <= bits.size(); g += 104) {
    std::array<std::uint16_t, 4> group{};
    for (std::size_t b = 0; b < 4; ++b) {
      const auto block =
          static_cast<std::uint32_t>(std::stoul(bits.substr(g + 26 * b, 26), nullptr, 2));
      std::uint16_t syndrome = 0;
      for (int i = 0; i < 26; ++i) {
        if ((block >> i) & 1U) syndrome ^= kRows[i];
      }
      air.checkwords_ok = air.checkwords_ok && syndrome == kSyndromes[b];
      group[b] = static_cast<std::uint16_t>(block >> 10);
    }
    air.groups.push_back(group);
  }
  air.checkwords_ok = air.checkwords_ok && air.count == static_cast<long>(bits.size()) + 1 &&
                      bits.size() % 104 == 0;
  return air;
}

inline std::string PsOf(const Air& air) {
  std::string ps(8, '?');
  for (const auto& g : air.groups) {
    if ((g[1] >> 11) != 0) continue;
    const std::size_t at = 2 * static_cast<std::size_t>(g[1] & 3);
    ps[at] = static_cast<char>(g[3] >> 8);
    ps[at + 1] = static_cast<char>(g[3] & 0xFF);
  }
  return ps;
}

#endif  // RDS_TESTS_SIMULATOR_SIM_PROCESS_H_
