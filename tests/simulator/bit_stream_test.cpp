#include "simulator/bit_stream.h"

#include <gtest/gtest.h>

#include <sstream>

namespace sim {
namespace {

TEST(BitStream, CountLineThenOneCharacterPerBit) {
  rds::Group group;
  group.blocks = {0x4123, 0x0408, 0x2020, 0x5241};
  // Blocks 0x1048ECB (A), 0x01021EB (B), 0x0808000 (C), 0x149046E (D), 26 bits each.
  const std::string bits =
      "01000001001000111011001011"
      "00000100000010000111101011"
      "00100000001000000000000000"
      "01010010010000010001101110";
  struct Case {
    std::vector<rds::Group> groups;
    std::string file;
  } const cases[] = {
      {{}, "1\n\n"},
      {{group}, "105\n" + bits + "\n"},
      {{group, group}, "209\n" + bits + bits + "\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    ASSERT_TRUE(WriteBitStream(c.groups, out));
    EXPECT_EQ(out.str(), c.file);
  }
}

TEST(BitStream, UnwritableFileIsReported) {
  const std::string error = WriteBitStreamFile({}, "/nonexistent-dir/rds-in.txt");
  EXPECT_NE(error.find("cannot create /nonexistent-dir/rds-in.txt.part"), std::string::npos);
}

}  // namespace
}  // namespace sim
