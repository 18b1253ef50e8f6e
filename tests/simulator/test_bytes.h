// Byte strings written the way frames are read in a trace: "FE 00 00 2A ...".
#ifndef RDS_TESTS_SIMULATOR_TEST_BYTES_H_
#define RDS_TESTS_SIMULATOR_TEST_BYTES_H_

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> Bytes(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in(hex);
  std::string word;
  while (in >> word) bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
  return bytes;
}

inline std::vector<std::uint8_t> Text(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

#endif  // RDS_TESTS_SIMULATOR_TEST_BYTES_H_
