// The station commands' parsing: element values refused with the reason, texts cut only when
// asked, clock times converted to the element's UTC bytes, frames split at 255 message bytes,
// and scripts checked whole before anything is sent.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sender/element_options.h"
#include "sender/element_values.h"
#include "sender/script.h"
#include "uecp/frame_reader.h"

namespace {

using ::testing::HasSubstr;

bool ParseElements(const std::vector<std::string>& words, sender::SendRequest* request,
                   std::string* error) {
  sender::Arguments args(words);
  sender::ElementOptionParser parser;
  while (!args.AtEnd()) {
    if (parser.Parse(&args, error) != sender::Parsed::kTaken) return false;
  }
  return parser.Finish(request, error);
}

// The message field of the one frame a request makes.
std::vector<std::uint8_t> MessageOf(const sender::SendRequest& request) {
  sender::RadiotextFlag flag;
  auto frames = sender::PlanFrames(request, &flag);
  EXPECT_EQ(frames.size(), 1U);
  frames[0].frame->Build();
  const std::uint8_t* data = frames[0].frame->StuffedData();
  std::vector<std::uint8_t> raw;
  EXPECT_TRUE(uecp::UnstuffFrame({data, data + frames[0].frame->StuffedLength()}, &raw));
  // Behind address (2), SQC and MFL; before the CRC.
  return {raw.begin() + 4, raw.end() - 2};
}

TEST(ElementOptionsTest, BadValuesAreRefusedWithTheOptionAndWhy) {
  const struct {
    std::vector<std::string> words;
    const char* says;
  } cases[] = {
      {{"--ps", "TOO LONG NAME"}, "--ps: 'TOO LONG NAME' has 13 characters, at most 8"},
      {{"--ptyn", "ABCDEFGHI"}, "at most 8 fit (--truncate cuts it)"},
      {{"--rt", std::string(65, 'x')}, "has 65 characters, at most 64"},
      {{"--ps", "TAB\tX"}, "control character 0x09"},
      {{"--pi", "0x10000"}, "--pi needs a hexadecimal code"},
      {{"--pi", "0"}, "--pi needs"},
      {{"--callsign", "ABCD"}, "beginning with K or W"},
      {{"--pty", "32"}, "--pty needs a programme type from 0 to 31"},
      {{"--pty", "Polka"}, "not 'Polka'"},
      {{"--di", "16"}, "--di needs"},
      {{"--ms", "loud"}, "music or speech"},
      {{"--tp", "maybe"}, "on or off"},
      {{"--af", "87.4"}, "outside the FM band"},
      {{"--af", "500"}, "outside LF 153-279 kHz and MF 531-1602 kHz"},
      {{"--af", "88.1,,90"}, "'' is not a frequency"},
      {{"--pin", "32,10:00"}, "DAY,HH:MM"},
      {{"--rtc", "2026-02-30T10:00Z"}, "is no time of 2000 to 2099"},
      {{"--rtc", "2026-02-03T10:00+01:15"}, "whole half hours"},
      {{"--rtc", "yesterday"}, "--rtc needs 'now' or a time"},
      {{"--rtc-correction", "40000"}, "from -32768 to 32767"},
      {{"--group", "3F00123456"}, "six bytes in hex"},
      {{"--site", "1024", "--ps", "X"}, "--site needs a site address from 0 to 1023"},
      {{"--rt-buffer", "mix", "--rt", "X"}, "replace or append"},
      {{"--truncate"}, "nothing to send"},
      {{"--rds-phase", "8:10"}, "REFERENCE:DEGREES (0-7)"},
      {{"--group-sequence", "0A,16A"}, "group types such as 0A,0A,2A,10A"},
      {{"--site-addresses", "0"}, "site addresses from 1 to 1023"},
      {{"--comm-mode", "chatty"}, "one-way, requested or spontaneous"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words[0] + " " + (c.words.size() > 1 ? c.words[1] : ""));
    sender::SendRequest request;
    std::string error;
    EXPECT_FALSE(ParseElements(c.words, &request, &error));
    EXPECT_THAT(error, HasSubstr(c.says));
  }
}

TEST(ElementOptionsTest, ElementsEncodeAsTheEncoderReadsThem) {
  const struct {
    std::vector<std::string> words;
    std::vector<std::uint8_t> message;
  } cases[] = {
      {{"--ps", "LONGER NAME", "--truncate"}, {0x02, 0, 0, 'L', 'O', 'N', 'G', 'E', 'R', ' ', 'N'}},
      {{"--callsign", "KABC", "--dsn", "1"}, {0x01, 1, 0, 0xA1, 0x1C}},
      {{"--pty", "rock-music"}, {0x07, 0, 0, 11}},
      {{"--ta", "on"}, {0x03, 0, 0, 0x01}},
      {{"--pin", "15,14:30"}, {0x06, 0, 0, 0x7B, 0x9E}},
      {{"--rtc-correction", "-2"}, {0x09, 0xFF, 0xFE}},
      // Local time in Paris is an hour ahead of the UTC the element carries; New York's
      // offset is behind, with the sign bit.
      {{"--rtc", "2026-01-01T00:10:00.5+01:00"}, {0x0D, 25, 12, 31, 23, 10, 0, 50, 0x02}},
      {{"--rtc", "2026-07-04T12:00-05:00"}, {0x0D, 26, 7, 4, 17, 0, 0, 0, 0x2A}},
      {{"--group", "3f:00:1234:5678"}, {0x24, 0x3F, 0x00, 0x12, 0x34, 0x56, 0x78}},
      // Phase 12.5 degrees against input 1: 125 tenths under reference bits 15..13.
      {{"--rds-phase", "1:12.5"}, {0x22, 0x20, 0x7D}},
      {{"--group-sequence", "0A,2A,10B", "--dsn", "2"}, {0x16, 2, 3, 0x00, 0x04, 0x15}},
      {{"--comm-mode", "spontaneous"}, {0x2C, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words[0] + " " + c.words[1]);
    sender::SendRequest request;
    std::string error;
    ASSERT_TRUE(ParseElements(c.words, &request, &error)) << error;
    EXPECT_EQ(MessageOf(request), c.message);
  }
}

TEST(ElementOptionsTest, ElementsThatPassOneFrameGoOnInTheNextInOrder) {
  std::vector<std::string> words;
  for (int i = 0; i < 50; ++i) {
    char group[16];
    std::snprintf(group, sizeof group, "0800%04X0000", i);
    words.insert(words.end(), {"--group", group});
  }
  sender::SendRequest request;
  std::string error;
  ASSERT_TRUE(ParseElements(words, &request, &error)) << error;
  sender::RadiotextFlag flag;
  const auto frames = sender::PlanFrames(request, &flag);
  // Seven bytes per group: 36 fill 252 of the 255.
  ASSERT_EQ(frames.size(), 2U);
  EXPECT_EQ(frames[0].frame->MessageLength(), 252);
  EXPECT_EQ(frames[1].frame->MessageLength(), 14 * 7);
  EXPECT_EQ(frames[1].elements.front().second,
            "08000024"
            "0000");
}

TEST(ElementOptionsTest, RadiotextFlagTogglesForEachNewText) {
  sender::RadiotextFlag flag;
  EXPECT_FALSE(flag.Next("one"));
  EXPECT_FALSE(flag.Next("one"));
  EXPECT_TRUE(flag.Next("two"));
  EXPECT_FALSE(flag.Next("three"));
}

TEST(ScriptTest, ABadLineIsNamedByFileAndLine) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"--ps OK\nwait soon\n", "s.txt:2: wait needs one number of seconds"},
      {"# set-up\n\nsend --ps \"RADIO 1\n", "s.txt:3: unclosed \" quote"},
      {"send --ps TOOLONGNAME\n", "s.txt:1: --ps: 'TOOLONGNAME' has 11 characters"},
      {"send --tcp 127.0.0.1:4001 --ps X\n", "s.txt:1: '--tcp' is no element option (the line"},
      {"play --ps X\n", "s.txt:1: unknown command 'play'"},
      {"--ps A\nrepeat\n--ps B\n", "s.txt:3: never reached"},
      {"# only a comment\n", "s.txt: nothing to send"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<sender::ScriptStep> steps;
    std::string error;
    EXPECT_FALSE(sender::ParseScript("s.txt", c.text, &steps, &error));
    EXPECT_THAT(error, HasSubstr(c.says));
  }
}

TEST(ScriptTest, RepeatGoesBackToThePreviousRepeat) {
  std::vector<sender::ScriptStep> steps;
  std::string error;
  ASSERT_TRUE(sender::ParseScript(
      "s.txt", "--pi 4123 # set once\nrepeat 1\n--rt 'A text' \nwait 0.5\nrepeat 3\n", &steps,
      &error))
      << error;
  ASSERT_EQ(steps.size(), 5U);
  EXPECT_EQ(steps[2].request.elements[0].value, "A text");
  EXPECT_EQ(steps[4].block_start, 2U);
  EXPECT_EQ(steps[4].runs, 3);
  EXPECT_DOUBLE_EQ(steps[3].seconds, 0.5);
}

}  // namespace
