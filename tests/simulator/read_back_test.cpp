// The message request: what the encoder answers for each element it holds, and that its answer,
// sent back as a message, sets the same value.
#include <gtest/gtest.h>

#include "simulator/encoder_state.h"
#include "tests/simulator/state_compare.h"
#include "tests/simulator/test_bytes.h"

namespace sim {
namespace {

constexpr std::int64_t k20261207T2345 = 1796687100000;  // 2026-12-07 23:45:00 UTC

ApplyResult Apply(const std::string& field, EncoderState* state) {
  const std::vector<std::uint8_t> bytes = Bytes(field);
  const ParsedMessage parsed = ParseMessage(bytes.data(), bytes.size());
  EXPECT_EQ(parsed.code, ResponseCode::kOk) << field;
  return ApplyElements(parsed.elements, k20261207T2345, state);
}

const char kStation[] =
    "01 00 00 41 23 02 00 00 20 52 41 44 49 4F 20 20 03 00 00 02 04 00 00 09 05 00 00 00 "
    "06 00 00 12 34 07 00 00 09 3E 00 00 54 52 41 4E 43 45 20 20 "
    "0A 00 00 03 02 41 42 0A 00 00 04 45 43 44 0D "
    "13 00 00 07 00 00 E2 06 C8 CD 00 19 00 0D 1A 0C 07 17 2D 2B 0C 02 "
    "0E 01 F4 22 03 84 23 02 00 05 27 01 03 2C 01 16 00 02 00 04 1A 00 00 02 00 E0 "
    "01 02 00 BE EF";

TEST(ReadBack, EachElementAsTheEncoderHoldsIt) {
  struct Case {
    const char* request;
    const char* answer;
  } const cases[] = {
      {"17 01 01", "01 00 00 41 23"},
      {"17 03 01 02 00", "01 02 00 BE EF"},  // the data set not on air
      {"17 03 01 01 01", "01 01 01 41 23"},  // data set 1 is on air, PSN 1 its service
      {"17 03 02 00 00", "02 00 00 20 52 41 44 49 4F 20 20"},
      {"17 03 03 00 00", "03 00 00 02"},
      {"17 03 06 00 00", "06 00 00 12 34"},
      {"17 03 3E 00 00", "3E 00 00 54 52 41 4E 43 45 20 20"},
      // The buffer's texts: the first replaces, the next is added (configuration 10).
      {"17 03 0A 00 00", "0A 00 00 03 02 41 42 0A 00 00 04 45 43 44 0D"},
      {"17 03 0A 02 00", "0A 02 00 00"},
      {"17 03 13 00 00", "13 00 00 07 00 00 E2 06 C8 CD 00"},
      {"17 01 19", "19 00"},
      // Set to 23:45:43.12 when the system said 23:45:00, read at that moment again.
      {"17 01 0D", "0D 1A 0C 07 17 2D 2B 0C 02"},
      {"17 01 0E", "0E 01 F4"},
      {"17 01 22", "22 03 84"},
      {"17 01 23", "23 02 00 05"},
      {"17 01 2C", "2C 01"},
      {"17 01 1C", "1C 01"},
      {"17 02 16 00", "16 00 02 00 04"},
      {"17 03 1A 00 00", "1A 00 00 02 00 E0"},
  };
  EncoderState station;
  ASSERT_EQ(Apply(kStation, &station).code, ResponseCode::kOk);
  for (const Case& c : cases) {
    EncoderState state = station;
    const ApplyResult result = Apply(c.request, &state);
    EXPECT_EQ(result.code, ResponseCode::kOk) << c.request;
    EXPECT_TRUE(result.requested) << c.request;
    EXPECT_EQ(result.answer, Bytes(c.answer)) << c.request;
    ExpectSameState(state, station, c.request);  // reading changes nothing
  }
}

TEST(ReadBack, AnswersSetTheSameValuesWhenSentBack) {
  EncoderState station;
  ASSERT_EQ(Apply(kStation, &station).code, ResponseCode::kOk);
  const ApplyResult read = Apply(
      "17 03 01 00 00 17 03 02 00 00 17 03 0A 00 00 17 03 13 00 00 17 03 3E 00 00 "
      "17 02 16 00 17 03 1A 00 00 17 01 0E 17 01 22",
      &station);
  ASSERT_EQ(read.code, ResponseCode::kOk);
  const ParsedMessage parsed = ParseMessage(read.answer.data(), read.answer.size());
  ASSERT_EQ(parsed.code, ResponseCode::kOk);
  EncoderState copy;
  ASSERT_EQ(ApplyElements(parsed.elements, k20261207T2345, &copy).code, ResponseCode::kOk);
  EXPECT_TRUE(copy.pi == station.pi && copy.ps == station.ps && copy.ptyn == station.ptyn);
  ASSERT_EQ(copy.radiotexts.size(), 2U);
  EXPECT_EQ(copy.radiotexts[1].text, station.radiotexts[1].text);
  EXPECT_EQ(copy.af_codes, station.af_codes);
  EXPECT_TRUE(copy.group_sequence == station.group_sequence &&
              copy.slow_labels == station.slow_labels);
  EXPECT_TRUE(copy.level_mv == station.level_mv && copy.phase_tenths == station.phase_tenths);
}

// A request sees the elements before it in its frame; a frame refused later answers nothing.
TEST(ReadBack, ReadsTheFrameSoFarAndAllOrNothing) {
  EncoderState state;
  EXPECT_EQ(Apply("07 00 00 05 17 03 07 00 00 07 00 00 06", &state).answer, Bytes("07 00 00 05"));
  EXPECT_EQ(state.pty, 6);
  const ApplyResult refused = Apply("17 03 07 00 00 07 00 00 20", &state);
  EXPECT_EQ(refused.code, ResponseCode::kOutOfRange);
  EXPECT_TRUE(refused.answer.empty());
}

}  // namespace
}  // namespace sim
