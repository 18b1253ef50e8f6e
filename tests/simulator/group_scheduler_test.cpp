#include "simulator/group_scheduler.h"

#include <gtest/gtest.h>

#include "tests/simulator/test_bytes.h"

namespace sim {
namespace {

constexpr std::int64_t k20261207T2345 = 1796687100000;  // 2026-12-07 23:45:00 UTC
constexpr std::int64_t kGroupMs = 88;
constexpr std::int64_t kMinuteMs = 60000;

using Blocks = std::array<std::uint16_t, 4>;

EncoderState StateFrom(const std::string& field) {
  EncoderState state;
  const std::vector<std::uint8_t> bytes = Bytes(field);
  const ParsedMessage parsed = ParseMessage(bytes.data(), bytes.size());
  EXPECT_EQ(parsed.code, ResponseCode::kOk);
  EXPECT_EQ(ApplyElements(parsed.elements, 0, &state).code, ResponseCode::kOk);
  return state;
}

// The station the sender sets up: PI 4123, PS " RADIO", DI 9, music, PTY 9, PTYN "TRANCE", TP,
// AF 88.1 and 107.5, radiotext "TEST RADIOTEXT".
const char kStation[] =
    "01 00 00 41 23 02 00 00 20 52 41 44 49 4F 20 20 04 00 00 09 05 00 00 01 07 00 00 09 "
    "3E 00 00 54 52 41 4E 43 45 20 20 03 00 00 02 13 00 00 07 00 00 E2 06 C8 CD 00 "
    "0A 00 00 0F 02 54 45 53 54 20 52 41 44 49 4F 54 45 58 54";

// The next `count` groups, one slot apart, from a second after 23:45.
std::vector<Blocks> Transmit(GroupScheduler* scheduler, EncoderState* state, std::size_t count) {
  std::vector<Blocks> groups(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t at = k20261207T2345 + 1000 + static_cast<std::int64_t>(i) * kGroupMs;
    groups[i] = scheduler->Next(state, at).blocks;
  }
  return groups;
}

TEST(GroupScheduler, StationCycle) {
  EncoderState state = StateFrom(kStation);
  GroupScheduler scheduler;
  const std::vector<Blocks> expected = {
      {0x4123, 0x052C, 0xE206, 0x2052},  // 0A segment 0, DI d3 = 1: " R"
      {0x4123, 0x0529, 0xC8CD, 0x4144},  // 0A segment 1, d2 = 0: "AD"
      {0x4123, 0x2520, 0x5445, 0x5354},  // 2A segment 0: "TEST"
      {0x4123, 0x052A, 0xE206, 0x494F},  // 0A segment 2, d1 = 0: "IO"
      {0x4123, 0x052F, 0xC8CD, 0x2020},  // 0A segment 3, d0 = 1: "  "
      {0x4123, 0x2521, 0x2052, 0x4144},  // 2A segment 1: " RAD"
      {0x4123, 0x052C, 0xE206, 0x2052}, {0x4123, 0x0529, 0xC8CD, 0x4144},
      {0x4123, 0x2522, 0x494F, 0x5445},  // 2A segment 2: "IOTE"
      {0x4123, 0xA530, 0x5452, 0x414E},  // 10A segment 0, flag B: "TRAN"
      {0x4123, 0x052A, 0xE206, 0x494F}, {0x4123, 0x052F, 0xC8CD, 0x2020},
      {0x4123, 0x2523, 0x5854, 0x0D20},  // 2A segment 3: "XT", carriage return, space
      {0x4123, 0x052C, 0xE206, 0x2052}, {0x4123, 0x0529, 0xC8CD, 0x4144},
      {0x4123, 0x2520, 0x5445, 0x5354},  // the radiotext starts over
      {0x4123, 0x052A, 0xE206, 0x494F}, {0x4123, 0x052F, 0xC8CD, 0x2020},
      {0x4123, 0x2521, 0x2052, 0x4144}, {0x4123, 0xA531, 0x4345, 0x2020},  // 10A segment 1: "CE  "
  };
  EXPECT_EQ(Transmit(&scheduler, &state, 20), expected);
}

TEST(GroupScheduler, DefaultStateSendsOnlyZeroA) {
  EncoderState state;
  GroupScheduler scheduler;
  for (const Blocks& group : Transmit(&scheduler, &state, 10)) {
    EXPECT_EQ(group[1] & 0xF800, 0x0000);
    EXPECT_EQ(group[2], 0xE0CD);  // no AF: count code 224 and the filler
    EXPECT_EQ(group[3], 0x2020);
  }
}

TEST(GroupScheduler, ItemNumberEveryFifthCycle) {
  EncoderState state = StateFrom("06 00 00 12 34");
  GroupScheduler scheduler;
  const std::vector<Blocks> groups = Transmit(&scheduler, &state, 100);
  const Blocks item = {0x0000, 0x1000, 0x0000, 0x1234};  // 1A with the PIN in block 4
  for (std::size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i] == item, i == 49 || i == 99) << i;
  }
}

TEST(GroupScheduler, ChangesRestartTheirCycle) {
  EncoderState state = StateFrom(kStation);
  GroupScheduler scheduler;
  Transmit(&scheduler, &state, 4);  // next 0A would be segment 3, next 2A segment 1
  ASSERT_EQ(ApplyElements({{0x02, true, 0, 0, Text("NEWS 24 ")}}, 0, &state).code,
            ResponseCode::kOk);
  ASSERT_EQ(ApplyElements({{0x0A, true, 0, 0,
                            Text("\x03"
                                 "ABCDEF")}},
                          0, &state)
                .code,
            ResponseCode::kOk);
  const std::vector<Blocks> expected = {
      {0x4123, 0x052C, 0xC8CD, 0x4E45},  // "NE": the new PS from its segment 0; AF goes on
      {0x4123, 0x2530, 0x4142, 0x4344},  // flag B, "ABCD" from segment 0
  };
  EXPECT_EQ(Transmit(&scheduler, &state, 2), expected);
}

TEST(GroupScheduler, FullRadiotextHasNoCarriageReturn) {
  EncoderState state;
  std::vector<std::uint8_t> data = {0x02};
  for (int i = 0; i < 64; ++i) data.push_back(static_cast<std::uint8_t>('A' + i % 26));
  ASSERT_EQ(ApplyElements({{0x0A, true, 0, 0, data}}, 0, &state).code, ResponseCode::kOk);
  GroupScheduler scheduler;
  std::vector<Blocks> texts;
  for (const Blocks& group : Transmit(&scheduler, &state, 60)) {
    if ((group[1] >> 11) == 0x04) texts.push_back(group);
  }
  ASSERT_GE(texts.size(), 17U);
  EXPECT_EQ(texts[15][1] & 0x0F, 15);
  EXPECT_EQ(texts[15][3], 0x4B4C);  // characters 62 and 63: "KL"
  EXPECT_EQ(texts[16][1] & 0x0F, 0);
}

// A sender that closes its text with a carriage return itself gets exactly one on air.
TEST(GroupScheduler, RadiotextEndsWithOneCarriageReturn) {
  for (const char* text : {"\x02HI\r", "\x02HI"}) {
    EncoderState state;
    ASSERT_EQ(ApplyElements({{0x0A, true, 0, 0, Text(text)}}, 0, &state).code, ResponseCode::kOk);
    GroupScheduler scheduler;
    std::vector<Blocks> texts;
    for (const Blocks& group : Transmit(&scheduler, &state, 6)) {
      if ((group[1] >> 11) == 0x04) texts.push_back(group);
    }
    ASSERT_EQ(texts.size(), 2U);
    EXPECT_EQ(texts[0][2], 0x4849) << text;    // "HI"
    EXPECT_EQ(texts[0][3], 0x0D20) << text;    // one carriage return, then a space
    EXPECT_EQ(texts[1][1] & 0x0F, 0) << text;  // a single segment, sent again
  }
}

TEST(GroupScheduler, RadiotextBufferTakesTurns) {
  EncoderState state;
  ASSERT_EQ(ApplyElements({{0x0A, true, 0, 0,
                            Text("\x02"
                                 "AB")},
                           {0x0A, true, 0, 0,
                            Text("\x45"
                                 "CD")}},
                          0, &state)
                .code,
            ResponseCode::kOk);
  GroupScheduler scheduler;
  std::vector<std::uint16_t> texts;
  for (const Blocks& group : Transmit(&scheduler, &state, 30)) {
    if ((group[1] >> 11) == 0x04) texts.push_back(group[2]);
  }
  // "AB" once, then "CD" (flag B) twice, then "AB" again.
  const std::vector<std::uint16_t> expected = {0x4142, 0x4344, 0x4344, 0x4142, 0x4344, 0x4344};
  texts.resize(expected.size());
  EXPECT_EQ(texts, expected);
}

// The sender's group sequence replaces the cycle; slow labels take turns in block 3 of 1A.
TEST(GroupScheduler, GroupSequenceAndSlowLabelling) {
  EncoderState state = StateFrom(std::string(kStation) +
                                 " 06 00 00 12 34 16 00 04 04 02 14 00 1A 00 00 04 00 E0 30 09");
  GroupScheduler scheduler;
  const std::vector<Blocks> groups = Transmit(&scheduler, &state, 8);
  const unsigned expected_types[] = {0x04, 0x02, 0x14, 0x00, 0x04, 0x02, 0x14, 0x00};
  for (std::size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i][1] >> 11, expected_types[i]) << i;
  }
  EXPECT_EQ(groups[1][2], 0x00E0);  // variant 0: ECC E0
  EXPECT_EQ(groups[5][2], 0x3009);  // variant 3: language 09
  EXPECT_EQ(groups[1][3], 0x1234);  // the PIN beside them

  // Without a PIN, labels alone bring 1A into the encoder's own cycle every fifth pass.
  EncoderState labels_only = StateFrom("1A 00 00 02 00 E0");
  GroupScheduler own_cycle;
  const std::vector<Blocks> cycle = Transmit(&own_cycle, &labels_only, 50);
  EXPECT_EQ(cycle[49], (Blocks{0x0000, 0x1000, 0x00E0, 0x0000}));
}

TEST(GroupScheduler, ClockTimeAtEachNewMinuteAndQueuedGroupsFirst) {
  EncoderState state = StateFrom(kStation);
  state.local_offset_half_hours = 2;
  GroupScheduler scheduler;
  // The first slot never carries clock time: the encoder has not seen a minute begin.
  EXPECT_NE(scheduler.Next(&state, k20261207T2345 - 100).blocks[1] >> 11, 0x08);
  // MJD 61381, 23:45, +1 h: the same group the sender's clock-time element carries.
  const Blocks ct = {0x4123, 0x4521, 0xDF8B, 0x7B42};
  EXPECT_EQ(scheduler.Next(&state, k20261207T2345 + 10).blocks, ct);
  EXPECT_NE(scheduler.Next(&state, k20261207T2345 + 100).blocks[1] >> 11, 0x08);

  state.local_offset_half_hours = -10;
  const Blocks negative = {0x4123, 0x4521, 0xDF8C, 0x03AA};  // 00:14, five hours behind
  EXPECT_EQ(scheduler.Next(&state, k20261207T2345 + 29 * kMinuteMs).blocks, negative);

  state.ct_on = false;
  EXPECT_NE(scheduler.Next(&state, k20261207T2345 + 30 * kMinuteMs).blocks[1] >> 11, 0x08);

  ASSERT_EQ(ApplyElements({{0x24, false, 0, 0, Bytes("08 01 DF 8B 7B 42")},
                           {0x24, false, 0, 0, Bytes("0D 1F 12 34 56 78")}},
                          0, &state)
                .code,
            ResponseCode::kOk);
  const std::vector<Blocks> queued = {{0x4123, 0x4521, 0xDF8B, 0x7B42},
                                      {0x4123, 0x6D3F, 0x1234, 0x5678}};  // 6B
  EXPECT_EQ(Transmit(&scheduler, &state, 2), queued);
  EXPECT_TRUE(state.group_queue.empty());
}

}  // namespace
}  // namespace sim
