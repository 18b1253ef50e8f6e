#include "simulator/encoder_state.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/simulator/state_compare.h"
#include "tests/simulator/test_bytes.h"

namespace sim {
namespace {

constexpr std::int64_t k20261207T2345 = 1796687100000;  // 2026-12-07 23:45:00 UTC

ResponseCode Apply(const std::string& field, EncoderState* state,
                   std::int64_t now_ms = k20261207T2345) {
  const std::vector<std::uint8_t> bytes = Bytes(field);
  const ParsedMessage parsed = ParseMessage(bytes.data(), bytes.size());
  if (parsed.code != ResponseCode::kOk) return parsed.code;
  return ApplyElements(parsed.elements, now_ms, state).code;
}

Name ToName(const char* text) {
  Name name;
  for (std::size_t i = 0; i < name.size(); ++i) name[i] = static_cast<std::uint8_t>(text[i]);
  return name;
}

TEST(EncoderState, EachElementSetsWhatItMeans) {
  struct Case {
    std::string field;
    std::function<void(const EncoderState&)> check;
  } const cases[] = {
      {"01 00 00 41 23", [](const EncoderState& s) { EXPECT_EQ(s.pi, 0x4123); }},
      {"02 00 00 20 52 41 44 49 4F 20 20",
       [](const EncoderState& s) { EXPECT_EQ(s.ps, ToName(" RADIO  ")); }},
      {"03 00 00 02", [](const EncoderState& s) { EXPECT_TRUE(s.tp && !s.ta); }},
      {"03 00 00 01", [](const EncoderState& s) { EXPECT_TRUE(!s.tp && s.ta); }},
      {"04 00 00 09", [](const EncoderState& s) { EXPECT_EQ(s.di, 9); }},
      {"05 00 00 00", [](const EncoderState& s) { EXPECT_FALSE(s.music); }},
      {"06 00 00 12 34", [](const EncoderState& s) { EXPECT_EQ(s.pin, 0x1234); }},
      {"07 00 00 09", [](const EncoderState& s) { EXPECT_EQ(s.pty, 9); }},
      {"3E 00 00 54 52 41 4E 43 45 20 20",
       [](const EncoderState& s) {
         EXPECT_EQ(s.ptyn, ToName("TRANCE  "));
         EXPECT_TRUE(s.ptyn_ab);  // a new name toggles the flag
       }},
      {"0A 00 00 0F 03 54 45 53 54 20 52 41 44 49 4F 54 45 58 54",
       [](const EncoderState& s) {
         ASSERT_EQ(s.radiotexts.size(), 1U);
         EXPECT_EQ(s.radiotexts[0].text, Text("TEST RADIOTEXT"));
         EXPECT_EQ(s.radiotexts[0].transmissions, 1);
         EXPECT_TRUE(s.radiotexts[0].ab_flag);
       }},
      {"13 00 00 07 00 00 E2 06 C8 CD 00",
       [](const EncoderState& s) { EXPECT_EQ(s.af_codes, Bytes("E2 06 C8 CD")); }},
      // An LF frequency (marker 250, code 1) shares a block with nothing but its marker.
      {"13 00 00 08 00 00 E2 FA 01 06 CD 00",
       [](const EncoderState& s) { EXPECT_EQ(s.af_codes, Bytes("E2 CD FA 01 06 CD")); }},
      {"13 00 00 07 00 00 E3 01 02 CC 00",
       [](const EncoderState& s) { EXPECT_EQ(s.af_codes, Bytes("E3 01 02 CC")); }},
      {"13 00 00 04 00 00 E0 00", [](const EncoderState& s) { EXPECT_TRUE(s.af_codes.empty()); }},
      {"19 00", [](const EncoderState& s) { EXPECT_FALSE(s.ct_on); }},
      // 2026-12-07 23:45:43.12 UTC, one hour ahead, set when the system says 23:45:00.
      {"0D 1A 0C 07 17 2D 2B 0C 02",
       [](const EncoderState& s) {
         EXPECT_EQ(s.clock_offset_ms, 43120);
         EXPECT_EQ(s.local_offset_half_hours, 2);
       }},
      {"0D 1A 0C 07 17 2D 00 00 2A",
       [](const EncoderState& s) { EXPECT_EQ(s.local_offset_half_hours, -10); }},
      {"09 FF 38", [](const EncoderState& s) { EXPECT_EQ(s.clock_offset_ms, -200); }},
      {"1E 00", [](const EncoderState& s) { EXPECT_FALSE(s.rds_on); }},
      // DSN 2 is kept beside the set on air; DSN 255 reaches both.
      {"01 02 00 41 23",
       [](const EncoderState& s) {
         EXPECT_EQ(s.pi, 0);
         EXPECT_EQ(s.other_set.pi, 0x4123);
       }},
      {"07 FF 00 09",
       [](const EncoderState& s) { EXPECT_TRUE(s.pty == 9 && s.other_set.pty == 9); }},
      {"24 08 01 DF 8B 7B 42",
       [](const EncoderState& s) {
         ASSERT_EQ(s.group_queue.size(), 1U);
         EXPECT_EQ(s.group_queue[0].type_and_version, 0x08);
         EXPECT_EQ(s.group_queue[0].block_b_bits, 0x01);
         EXPECT_EQ(s.group_queue[0].block_c, 0xDF8B);
         EXPECT_EQ(s.group_queue[0].block_d, 0x7B42);
       }},
  };
  for (const Case& c : cases) {
    EncoderState state;
    ASSERT_EQ(Apply(c.field, &state), ResponseCode::kOk) << c.field;
    c.check(state);
  }
}

TEST(EncoderState, RefusedElementsChangeNothing) {
  struct Case {
    std::string field;
    ResponseCode code;
  } const cases[] = {
      {"03 00 00 04", ResponseCode::kOutOfRange},
      {"04 00 00 10", ResponseCode::kOutOfRange},
      {"05 00 00 02", ResponseCode::kOutOfRange},
      {"07 00 00 20", ResponseCode::kOutOfRange},
      {"19 02", ResponseCode::kOutOfRange},
      {"0A 00 00 02 82 41", ResponseCode::kOutOfRange},  // bit 7 of the configuration
      {"0A 00 00 01 40", ResponseCode::kOutOfRange},     // nothing to append
      {"13 00 00 04 00 00 DF 00", ResponseCode::kOutOfRange},
      {"13 00 00 05 00 00 E2 06 00", ResponseCode::kOutOfRange},  // announces 2, carries 1
      {"13 00 00 05 00 00 E1 D0 00", ResponseCode::kOutOfRange},  // no such AF code
      {"13 00 00 05 00 00 E1 FA 88", ResponseCode::kOutOfRange},  // LF/MF code 136
      {"13 00 00 02 00 00", ResponseCode::kMelError},
      {"0D 1A 0D 07 17 2D 2B 0C 02", ResponseCode::kOutOfRange},  // month 13
      {"0D 1A 02 1E 17 2D 2B 0C 02", ResponseCode::kOutOfRange},  // 30 February
      {"0D 1A 0C 07 18 2D 2B 0C 02", ResponseCode::kOutOfRange},  // hour 24
      {"0D 1A 0C 07 17 2D 2B 64 02", ResponseCode::kOutOfRange},  // centisecond 100
      {"0D 1A 0C 07 17 2D 2B 0C 42", ResponseCode::kOutOfRange},  // offset bit 6
      {"24 20 01 DF 8B 7B 42", ResponseCode::kOutOfRange},
      {"24 08 81 DF 8B 7B 42", ResponseCode::kOutOfRange},
      {"0E 20 00", ResponseCode::kOutOfRange},  // level 8192 mV
      {"1E 02", ResponseCode::kOutOfRange},
      {"22 0E 10", ResponseCode::kOutOfRange},      // 360.0 degrees
      {"22 20 00", ResponseCode::kOutOfRange},      // reference input 1
      {"23 02 00 00", ResponseCode::kOutOfRange},   // site address 0
      {"23 03 00 01 02", ResponseCode::kMelError},  // half an address
      {"23 12 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01", ResponseCode::kMelError},
      {"27 01 40", ResponseCode::kOutOfRange},  // encoder address 64
      {"2C 03", ResponseCode::kOutOfRange},
      {"1C 03", ResponseCode::kDsnError},
      {"16 00 02 00 08", ResponseCode::kOutOfRange},     // 4A keeps to the minute
      {"1A 00 00 02 40 00", ResponseCode::kOutOfRange},  // variant 4 is not assigned
      {"1A 00 00 01 00", ResponseCode::kMelError},
      {"17 00", ResponseCode::kMelError},       // a request for nothing
      {"17 01 24", ResponseCode::kOutOfRange},  // free-format groups hold no value
      {"17 03 02 03 00", ResponseCode::kDsnError},
      {"17 03 02 00 02", ResponseCode::kPsnError},
      {"01 05 00 41 23", ResponseCode::kDsnError},
      {"01 00 02 41 23", ResponseCode::kPsnError},
      // All or nothing: the good PI in front of a bad PTY is not applied either.
      {"01 00 00 12 34 07 00 00 20", ResponseCode::kOutOfRange},
      {"02 00 00 41 42 43 44 45 46 47 48 30 00", ResponseCode::kUnknownMessage},
  };
  EncoderState base;
  ASSERT_EQ(Apply("01 00 00 41 23 02 00 00 20 52 41 44 49 4F 20 20 07 00 00 09 "
                  "0A 00 00 03 02 48 49 13 00 00 05 00 00 E1 06 00 24 08 01 DF 8B 7B 42",
                  &base),
            ResponseCode::kOk);
  for (const Case& c : cases) {
    EncoderState state = base;
    EXPECT_EQ(Apply(c.field, &state), c.code) << c.field;
    ExpectSameState(state, base, c.field);
  }
}

TEST(EncoderState, BuffersOverflowWithoutLosingWhatTheyHold) {
  EncoderState state;
  ASSERT_EQ(Apply("0A 00 00 02 02 41", &state), ResponseCode::kOk);
  for (int i = 1; i < 8; ++i) ASSERT_EQ(Apply("0A 00 00 02 42 42", &state), ResponseCode::kOk);
  EXPECT_EQ(Apply("0A 00 00 02 42 43", &state), ResponseCode::kBufferOverflow);
  EXPECT_EQ(state.radiotexts.size(), 8U);
  // Buffer configuration 0 flushes the buffer and starts again.
  ASSERT_EQ(Apply("0A 00 00 02 02 44", &state), ResponseCode::kOk);
  EXPECT_EQ(state.radiotexts.size(), 1U);
  ASSERT_EQ(Apply("0A 00 00 00", &state), ResponseCode::kOk);
  EXPECT_TRUE(state.radiotexts.empty());

  for (int i = 0; i < 32; ++i) ASSERT_EQ(Apply("24 00 00 00 00 00 00", &state), ResponseCode::kOk);
  EXPECT_EQ(Apply("24 00 00 00 00 00 00", &state), ResponseCode::kBufferOverflow);
  EXPECT_EQ(state.group_queue.size(), 32U);
}

// Bits 6..5 of the radiotext configuration: 00 replaces the buffer, 10 adds to it, and the
// reserved 01 and 11 are refused rather than guessed at.
TEST(EncoderState, RadiotextBufferConfigurations) {
  struct Case {
    std::uint8_t configuration;
    ResponseCode code;
    std::size_t texts_after;
    const char* last_text;
  } const cases[] = {
      {0x02, ResponseCode::kOk, 1, "B"},         {0x42, ResponseCode::kOk, 2, "B"},
      {0x43, ResponseCode::kOk, 2, "B"},         {0x22, ResponseCode::kOutOfRange, 1, "A"},
      {0x62, ResponseCode::kOutOfRange, 1, "A"},
  };
  for (const Case& c : cases) {
    EncoderState state;
    ASSERT_EQ(Apply("0A 00 00 02 02 41", &state), ResponseCode::kOk);
    std::vector<std::uint8_t> data = {c.configuration, 'B'};
    EXPECT_EQ(ApplyElements({{0x0A, true, 0, 0, data}}, 0, &state).code, c.code)
        << int{c.configuration};
    EXPECT_EQ(state.radiotexts.size(), c.texts_after) << int{c.configuration};
    EXPECT_EQ(state.radiotexts.back().text, Text(c.last_text));
  }
}

TEST(EncoderState, HandBuiltElementsOfTheWrongShapeAreRefused) {
  EncoderState state;
  const std::vector<Element> cases = {{0x01, true, 0, 0, Bytes("41")},
                                      {0x0D, false, 0, 0, Bytes("1A 0C")},
                                      {0x02, false, 0, 0, Text("ABCDEFGH")},
                                      {0x77, false, 0, 0, {}}};
  for (const Element& element : cases) {
    EXPECT_NE(ApplyElements({element}, 0, &state).code, ResponseCode::kOk);
    ExpectSameState(state, EncoderState{}, "hand-built element");
  }
}

}  // namespace
}  // namespace sim
