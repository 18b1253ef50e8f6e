#include "simulator/uecp_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/simulator/test_bytes.h"

namespace sim {
namespace {

TEST(BuildFrame, AddressCrcAndStuffing) {
  struct Case {
    std::uint16_t address;
    std::uint8_t sequence;
    std::vector<std::uint8_t> message;
    std::vector<std::uint8_t> frame;
  } const cases[] = {
      {0x0000, 0x2A, Bytes("18 00"), Bytes("FE 00 00 2A 02 18 00 4A B0 FF")},
      {0x0000, 0x00, Bytes("01 00 00 41 23"), Bytes("FE 00 00 00 05 01 00 00 41 23 24 21 FF")},
      // Site 0x3FF, encoder 0x3F: address and CRC bytes are stuffed, STA and STP are not.
      {0xFFFF, 0x00, {}, Bytes("FE FD 02 FD 02 00 00 FD 02 FD 02 FF")},
      {0xFD3D, 0x00, {}, Bytes("FE FD 00 3D 00 00 5A 00 FF")},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildFrame(c.address, c.sequence, c.message), c.frame);
}

struct Seen {
  ResponseCode code;
  std::uint8_t sequence;
  std::vector<std::uint8_t> message;
};

std::vector<Seen> FeedWhole(Deframer* deframer, const std::vector<std::uint8_t>& bytes) {
  std::vector<Seen> seen;
  deframer->Feed(bytes.data(), bytes.size(), [&](const FrameEvent& event) {
    seen.push_back({event.code, event.sequence, event.message});
  });
  return seen;
}

std::vector<Seen> FeedByteByByte(Deframer* deframer, const std::vector<std::uint8_t>& bytes) {
  std::vector<Seen> seen;
  for (const std::uint8_t byte : bytes) {
    deframer->Feed(&byte, 1, [&](const FrameEvent& event) {
      seen.push_back({event.code, event.sequence, event.message});
    });
  }
  return seen;
}

constexpr ResponseCode kOk = ResponseCode::kOk;
const std::string kGoodPi = "FE 00 00 07 05 01 00 00 41 23 3D 65 FF";

TEST(Deframer, FramesAndRefusals) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<Seen> expected;
    std::size_t skipped;
  } const cases[] = {
      {"good", kGoodPi, {{kOk, 7, Bytes("01 00 00 41 23")}}, 0},
      {"stuffed address and CRC", "FE FD 02 FD 02 00 00 FD 02 FD 02 FF", {{kOk, 0, {}}}, 0},
      {"garbage around frames",
       "12 34 FF 00 " + kGoodPi + " 99 " + kGoodPi,
       {{kOk, 7, Bytes("01 00 00 41 23")}, {kOk, 7, Bytes("01 00 00 41 23")}},
       5},
      {"CRC error",
       "FE 00 00 07 05 01 00 00 41 23 3D 66 FF",
       {{ResponseCode::kCrcError, 7, {}}},
       0},
      {"bad stuffing, then a good frame",
       "FE 00 00 07 FD 05 01 FF " + kGoodPi,
       {{ResponseCode::kBadStuffing, 7, {}}, {kOk, 7, Bytes("01 00 00 41 23")}},
       0},
      {"stuffing cut by STP", "FE 00 00 03 FD FF", {{ResponseCode::kBadStuffing, 3, {}}}, 0},
      {"stuffing cut by STA",
       "FE 00 00 03 FD " + kGoodPi,
       {{ResponseCode::kBadStuffing, 3, {}}, {kOk, 7, Bytes("01 00 00 41 23")}},
       0},
      {"truncated by the next STA",
       "FE 00 00 09 05 01 " + kGoodPi,
       {{ResponseCode::kIncomplete, 9, {}}, {kOk, 7, Bytes("01 00 00 41 23")}},
       0},
      {"too short for a header", "FE 00 00 FF", {{ResponseCode::kIncomplete, 0, {}}}, 0},
      {"MFL says 6 for 5 bytes, CRC right",
       "FE 00 00 00 06 01 00 00 41 23 EA C1 FF",
       {{ResponseCode::kMflError, 0, {}}},
       0},
      {"empty message field", "FE 00 00 00 00 7B 3F FF", {{kOk, 0, {}}}, 0},
  };
  for (const Case& c : cases) {
    Deframer whole;
    Deframer single;
    const std::vector<std::uint8_t> input = Bytes(c.input);
    for (const auto& seen : {FeedWhole(&whole, input), FeedByteByByte(&single, input)}) {
      ASSERT_EQ(seen.size(), c.expected.size()) << c.name;
      for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].code, c.expected[i].code) << c.name;
        EXPECT_EQ(seen[i].sequence, c.expected[i].sequence) << c.name;
        EXPECT_EQ(seen[i].message, c.expected[i].message) << c.name;
      }
    }
    EXPECT_EQ(whole.SkippedBytes(), c.skipped) << c.name;
    EXPECT_FALSE(whole.InFrame()) << c.name;
  }
}

TEST(Deframer, OverlongFrameIsRefusedOnceAndReadingResumes) {
  std::vector<std::uint8_t> input = {0xFE};
  input.insert(input.end(), 400, 0x01);
  input.push_back(0xFF);
  const std::vector<std::uint8_t> good = Bytes(kGoodPi);
  input.insert(input.end(), good.begin(), good.end());
  Deframer deframer;
  const std::vector<Seen> seen = FeedWhole(&deframer, input);
  ASSERT_EQ(seen.size(), 2U);
  EXPECT_EQ(seen[0].code, ResponseCode::kMflError);
  EXPECT_EQ(seen[1].code, kOk);
}

TEST(Deframer, ExpireRefusesAnUnfinishedFrameOnly) {
  Deframer deframer;
  FrameEvent event;
  EXPECT_FALSE(deframer.Expire(&event));
  const std::vector<std::uint8_t> partial = Bytes("FE 00 00 09 03 07");
  EXPECT_TRUE(FeedWhole(&deframer, partial).empty());
  ASSERT_TRUE(deframer.Expire(&event));
  EXPECT_EQ(event.code, ResponseCode::kIncomplete);
  EXPECT_EQ(event.sequence, 9);
  EXPECT_FALSE(deframer.Expire(&event));
  EXPECT_EQ(FeedWhole(&deframer, Bytes(kGoodPi)).size(), 1U);
}

}  // namespace
}  // namespace sim
