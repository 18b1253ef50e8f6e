#include "simulator/encoder.h"

#include <gtest/gtest.h>

#include "tests/simulator/state_compare.h"
#include "tests/simulator/test_bytes.h"

namespace sim {
namespace {

const char kAckOk[] = "FE 00 00 00 02 18 00 15 55 FF";

std::vector<std::uint8_t> Feed(Encoder* encoder, const std::string& hex) {
  std::vector<std::uint8_t> replies;
  encoder->Receive(Bytes(hex), 0, &replies);
  return replies;
}

// A station already set up, so that a refused frame has something to spoil.
Encoder SetUpEncoder(ReplyConfig reply = {}) {
  Encoder encoder(std::move(reply), EncoderState{});
  Feed(&encoder, "FE 00 00 00 05 01 00 00 41 23 24 21 FF");
  Feed(&encoder, "FE 00 00 00 04 07 00 00 09 87 C3 FF");
  return encoder;
}

TEST(EncoderReceive, AnswersEveryFrameWithItsCode) {
  struct Case {
    const char* name;
    std::string input;
    std::string reply;
    bool applied;
  } const cases[] = {
      {"good PS", "FE 00 00 00 0B 02 00 00 20 52 41 44 49 4F 20 20 C7 89 FF", kAckOk, true},
      {"good, after garbage", "00 13 37 FF FE 00 00 00 04 03 00 00 02 FC 59 FF", kAckOk, true},
      {"bad CRC", "FE 00 00 00 04 07 00 00 09 87 C4 FF", "FE 00 00 00 03 18 01 00 4C 1E FF", false},
      {"bad CRC, SQC 7", "FE 00 00 07 05 01 00 00 41 23 3D 66 FF",
       "FE 00 00 07 03 18 01 07 5B 2D FF", false},
      {"bad stuffing", "FE 00 00 07 FD 07 FF", "FE 00 00 07 03 18 0C 07 2D 71 FF", false},
      {"truncated", "FE 00 00 00 FF", "FE 00 00 00 03 18 02 00 19 4D FF", false},
      {"MFL disagrees", "FE 00 00 00 06 01 00 00 41 23 EA C1 FF",
       "FE 00 00 00 03 18 08 00 F6 86 FF", false},
      {"unknown element", "FE 00 00 00 03 2C 00 01 76 6B FF", "FE 00 00 00 03 18 03 00 2A 7C FF",
       false},
      {"MEL error", "FE 00 00 00 05 0A 00 00 42 02 A9 CE FF", "FE 00 00 00 03 18 07 00 E6 B8 FF",
       false},
      {"element cut short", "FE 00 00 00 03 07 00 00 10 7D FF", "FE 00 00 00 03 18 0D 00 09 73 FF",
       false},
      {"out of range", "FE 00 00 00 04 03 00 00 04 9C 9F FF", "FE 00 00 00 03 18 06 00 D5 89 FF",
       false},
      {"good PI, bad PTY", "FE 00 00 00 09 01 00 00 12 34 07 00 00 20 78 BD FF",
       "FE 00 00 00 03 18 06 00 D5 89 FF", false},
      {"garbage only", "00 01 02 FF 7E", "", false},
  };
  for (const Case& c : cases) {
    Encoder encoder = SetUpEncoder();
    const EncoderState before = encoder.state();
    EXPECT_EQ(Feed(&encoder, c.input), Bytes(c.reply)) << c.name;
    if (!c.applied) ExpectSameState(encoder.state(), before, c.name);
    EXPECT_EQ(encoder.stats().frames_good, c.applied ? 3U : 2U) << c.name;
  }
}

TEST(EncoderReceive, ManyFramesInOneReadGetOneReplyEach) {
  Encoder encoder = SetUpEncoder();
  const std::string twice =
      std::string("FE 00 00 00 04 04 00 00 09 1C 1F FF ") + "FE 00 00 00 04 07 00 00 09 87 C4 FF";
  EXPECT_EQ(Feed(&encoder, twice),
            Bytes(std::string(kAckOk) + " FE 00 00 00 03 18 01 00 4C 1E FF"));
  EXPECT_EQ(encoder.state().di, 9);
  EXPECT_EQ(encoder.stats().frames_good, 3U);
  EXPECT_EQ(encoder.stats().frames_refused, 1U);
}

TEST(EncoderReceive, UnfinishedFrameIsRefusedWhenItExpires) {
  Encoder encoder = SetUpEncoder();
  EXPECT_TRUE(Feed(&encoder, "FE 00 00 05 04").empty());
  EXPECT_TRUE(encoder.InFrame());
  std::vector<std::uint8_t> replies;
  EXPECT_TRUE(encoder.ExpireFrame(&replies));
  EXPECT_EQ(replies, Bytes("FE 00 00 05 03 18 02 05 6A BF FF"));
  EXPECT_FALSE(encoder.ExpireFrame(&replies));
}

TEST(EncoderReceive, FramesForOtherEncodersAreLeftAlone) {
  Encoder encoder = SetUpEncoder();
  encoder.SetAddress({0, 3});
  EXPECT_TRUE(Feed(&encoder, "FE 00 05 00 05 01 00 00 12 34 55 A5 FF").empty());
  EXPECT_EQ(encoder.state().pi, 0x4123);
  EXPECT_EQ(Feed(&encoder, "FE 00 03 00 05 01 00 00 12 34 D5 6E FF"),
            Bytes("FE 00 03 00 02 18 00 FB 87 FF"));
  EXPECT_EQ(encoder.state().pi, 0x1234);
}

TEST(EncoderReceive, ReplyModes) {
  Encoder text = SetUpEncoder({ReplyMode::kText, "OK\r\n"});
  EXPECT_EQ(Feed(&text, "FE 00 00 00 04 04 00 00 09 1C 1F FF"), Text("OK\r\n"));
  EXPECT_EQ(Feed(&text, "FE 00 00 00 04 03 00 00 04 9C 9F FF"), Text("ERR 6"));
  Encoder silent = SetUpEncoder({ReplyMode::kNone, ""});
  EXPECT_TRUE(Feed(&silent, "FE 00 00 00 04 04 00 00 09 1C 1F FF").empty());
  EXPECT_EQ(silent.state().di, 9);
}

}  // namespace
}  // namespace sim
