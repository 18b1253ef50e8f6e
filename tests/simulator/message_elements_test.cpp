#include "simulator/message_elements.h"

#include <gtest/gtest.h>

#include "tests/simulator/test_bytes.h"

namespace sim {
namespace {

ParsedMessage Parse(const std::vector<std::uint8_t>& field) {
  return ParseMessage(field.data(), field.size());
}

TEST(ParseMessage, EveryElementCode) {
  struct Case {
    std::string field;
    Element element;
  } const cases[] = {
      {"01 00 00 41 23", {0x01, true, 0, 0, Bytes("41 23")}},
      {"02 00 00 20 52 41 44 49 4F 20 20", {0x02, true, 0, 0, Text(" RADIO  ")}},
      {"03 00 00 02", {0x03, true, 0, 0, Bytes("02")}},
      {"04 00 00 09", {0x04, true, 0, 0, Bytes("09")}},
      {"05 01 00 01", {0x05, true, 1, 0, Bytes("01")}},
      {"06 00 01 12 34", {0x06, true, 0, 1, Bytes("12 34")}},
      {"07 FF 00 09", {0x07, true, 0xFF, 0, Bytes("09")}},
      {"09 FF FF", {0x09, false, 0, 0, Bytes("FF FF")}},
      {"0A 00 00 0F 02 54 45 53 54 20 52 41 44 49 4F 54 45 58 54",
       {0x0A, true, 0, 0, Text("\x02TEST RADIOTEXT")}},
      {"0A 00 00 00", {0x0A, true, 0, 0, {}}},
      {"0D 1A 0C 07 17 2D 2B 0C 02", {0x0D, false, 0, 0, Bytes("1A 0C 07 17 2D 2B 0C 02")}},
      {"13 00 00 07 00 00 E2 06 C8 CD 00", {0x13, true, 0, 0, Bytes("00 00 E2 06 C8 CD 00")}},
      {"19 01", {0x19, false, 0, 0, Bytes("01")}},
      {"24 08 01 DF 8B 7B 42", {0x24, false, 0, 0, Bytes("08 01 DF 8B 7B 42")}},
      {"3E 00 00 54 52 41 4E 43 45 20 20", {0x3E, true, 0, 0, Text("TRANCE  ")}},
  };
  for (const Case& c : cases) {
    const ParsedMessage parsed = Parse(Bytes(c.field));
    ASSERT_EQ(parsed.code, ResponseCode::kOk) << c.field;
    ASSERT_EQ(parsed.elements.size(), 1U) << c.field;
    EXPECT_EQ(parsed.elements[0], c.element) << c.field;
    EXPECT_TRUE(HasKnownShape(parsed.elements[0])) << c.field;
  }
}

TEST(ParseMessage, SeveralElementsInOneField) {
  const ParsedMessage parsed = Parse(Bytes("01 00 00 41 23 19 00 07 00 00 09"));
  ASSERT_EQ(parsed.code, ResponseCode::kOk);
  ASSERT_EQ(parsed.elements.size(), 3U);
  EXPECT_EQ(parsed.elements[0].code, 0x01);
  EXPECT_EQ(parsed.elements[1].code, 0x19);
  EXPECT_EQ(parsed.elements[2].code, 0x07);
  EXPECT_TRUE(Parse({}).elements.empty());
}

TEST(ParseMessage, MalformedFieldsAreRefusedWhole) {
  struct Case {
    std::string field;
    ResponseCode code;
    std::size_t failed_at;
  } const cases[] = {
      {"08 00", ResponseCode::kUnknownMessage, 0},
      {"01 00 00 41 23 30 00 01", ResponseCode::kUnknownMessage, 5},
      {"18 00", ResponseCode::kUnknownMessage, 0},           // an acknowledgement is not a command
      {"0A 00 00 42 02 54", ResponseCode::kMelError, 0},     // MEL 66 exceeds 65
      {"0A 00 00 05 02 54", ResponseCode::kMelError, 0},     // MEL beyond the field
      {"13 00 00 38 00 00 E0", ResponseCode::kMelError, 0},  // MEL 56 exceeds 55
      {"01 00 00 41", ResponseCode::kUnexpectedEnd, 0},
      {"04 00 00 09 02 00", ResponseCode::kUnexpectedEnd, 4},
      {"0A 00 00", ResponseCode::kUnexpectedEnd, 0},
      {"24 08 01 DF", ResponseCode::kUnexpectedEnd, 0},
  };
  for (const Case& c : cases) {
    const ParsedMessage parsed = Parse(Bytes(c.field));
    EXPECT_EQ(parsed.code, c.code) << c.field;
    EXPECT_EQ(parsed.failed_at, c.failed_at) << c.field;
    EXPECT_TRUE(parsed.elements.empty()) << c.field;
  }
}

}  // namespace
}  // namespace sim
