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
      {"unknown element", "FE 00 00 00 03 30 00 01 40 69 FF", "FE 00 00 00 03 18 03 00 2A 7C FF",
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

// The frame as an independent sender builds it: configuration 0x43 adds "APPENDED" and its
// carriage return to the buffer.
TEST(EncoderReceive, RadiotextAppendedToTheBuffer) {
  Encoder encoder = SetUpEncoder();
  Feed(&encoder, "FE 00 00 01 05 0A 00 00 01 00 69 72 FF");  // empties the buffer
  EXPECT_EQ(Feed(&encoder, "FE 00 00 00 07 0A 00 00 03 02 41 42 BC 61 FF"), Bytes(kAckOk));
  EXPECT_EQ(Feed(&encoder, "FE 00 00 15 0E 0A 00 00 0A 43 41 50 50 45 4E 44 45 44 0D BC 8A FF"),
            Bytes("FE 00 00 15 02 18 00 B2 B7 FF"));
  ASSERT_EQ(encoder.state().radiotexts.size(), 2U);
  EXPECT_EQ(encoder.state().radiotexts[1].text, Text("APPENDED\r"));
  EXPECT_TRUE(encoder.state().radiotexts[1].ab_flag);
}

// Clock time goes out at the start of each minute of the encoder clock, however the clock was
// set: a real-time clock element moves the next group, it never sends one of its own.
TEST(EncoderClock, ClockTimeOnlyAtTheMinuteEdge) {
  constexpr std::int64_t kSlotMs = 88;
  constexpr std::int64_t kStart = 1796687100000;  // 2026-12-07 23:45:00 UTC
  struct Case {
    const char* frame;
    std::int64_t set_ms;    // the time the element sets, in ms of its day
    std::uint16_t block_d;  // hour, minute and offset of the first clock-time group
  } const cases[] = {
      {"FE 00 00 01 09 0D 1A 0C 07 0C 22 3A 00 00 11 0C FF", (12 * 3600 + 34 * 60 + 58) * 1000LL,
       0xC8C0},  // 12:35
      {"FE 00 00 01 09 0D 1A 0C 07 0C 24 1E 00 00 6C 93 FF", (12 * 3600 + 36 * 60 + 30) * 1000LL,
       0xC940},  // 12:37
  };
  for (const Case& c : cases) {
    Encoder encoder = SetUpEncoder();
    std::int64_t now = kStart + 20000;
    for (int i = 0; i < 20; ++i, now += kSlotMs) encoder.NextGroup(now);
    std::vector<std::uint8_t> ignored;
    encoder.Receive(Bytes(c.frame), now, &ignored);
    const std::int64_t day_start = now + encoder.state().clock_offset_ms - c.set_ms;
    std::int64_t first_ct = -1;
    rds::Group ct;
    for (int i = 0; i < 2000 && first_ct < 0; ++i, now += kSlotMs) {
      const rds::Group group = encoder.NextGroup(now);
      if ((group.blocks[1] >> 11) == 0x08) {
        first_ct = now + encoder.state().clock_offset_ms - day_start;
        ct = group;
      }
    }
    const std::int64_t edge = (c.set_ms / 60000 + 1) * 60000;
    EXPECT_NEAR(static_cast<double>(first_ct), static_cast<double>(edge), 100.0) << c.frame;
    EXPECT_EQ(ct.blocks[3], c.block_d) << c.frame;
  }
}

// One encoder through a conversation: each frame in turn, and what it answers.
TEST(EncoderReceive, CommunicationModesRequestsAndAddresses) {
  struct Step {
    const char* what;
    const char* frame;
    const char* reply;
  } const steps[] = {
      {"mode 1, answered as mode 2", "FE 00 00 01 02 2C 01 BA 91 FF",
       "FE 00 00 01 02 18 00 63 E1 FF"},
      {"PI, no request: silence", "FE 00 00 02 05 01 00 00 12 34 7D F8 FF", ""},
      {"request PI: its value", "FE 00 00 03 05 17 03 01 00 00 B3 6C FF",
       "FE 00 00 03 05 01 00 00 12 34 C5 99 FF"},
      {"request of DSN 5: refused", "FE 00 00 04 05 17 03 01 05 00 55 DD FF",
       "FE 00 00 04 03 18 04 04 7A 69 FF"},
      {"mode 0", "FE 00 00 05 02 2C 00 60 41 FF", ""},
      {"request in mode 0", "FE 00 00 06 03 17 01 2C 48 44 FF", ""},
      {"mode 2, received in mode 0", "FE 00 00 07 02 2C 02 AD 6B FF", ""},
      {"encoder address 5", "FE 00 00 08 03 27 01 05 F7 02 FF", "FE 00 00 08 02 18 00 90 96 FF"},
      {"for encoder 3", "FE 00 03 09 05 01 00 00 43 21 81 B8 FF", ""},
      {"for encoder 5", "FE 00 05 0A 05 01 00 00 43 21 D9 F1 FF", "FE 00 05 0A 02 18 00 5E A9 FF"},
      {"site address 7", "FE 00 05 0B 04 23 02 00 07 4F D7 FF", "FE 00 05 0B 02 18 00 28 1D FF"},
      {"for site 8", "FE 02 05 0C 05 01 00 00 55 55 29 75 FF", ""},
      {"site 7 reads its sites", "FE 01 C5 0D 03 17 01 23 10 04 FF",
       "FE 01 C5 0D 04 23 02 00 07 F3 F0 FF"},
  };
  Encoder encoder = SetUpEncoder();
  for (const Step& step : steps)
    EXPECT_EQ(Feed(&encoder, step.frame), Bytes(step.reply)) << step.what;
  EXPECT_EQ(encoder.state().pi, 0x4321);
  EXPECT_EQ(encoder.stats().frames_ignored, 2U);
}

// Elements for the data set not on air wait there; selecting it puts them on air whole.
TEST(EncoderAir, DataSetSelectAndRdsOff) {
  Encoder encoder = SetUpEncoder();
  std::vector<std::uint8_t> replies;
  encoder.Receive(Bytes("FE 00 00 00 05 01 02 00 BE EF D2 76 FF"), 0, &replies);
  EXPECT_EQ(encoder.NextGroup(0).blocks[0], 0x4123);
  encoder.Receive(Bytes("FE 00 00 00 02 1C 02 F9 D3 FF"), 0, &replies);
  EXPECT_EQ(encoder.NextGroup(0).blocks[0], 0xBEEF);
  EXPECT_EQ(encoder.state().other_set.pi, 0x4123);
  encoder.Receive(Bytes("FE 00 00 00 02 1E 00 BF F3 FF"), 0, &replies);
  // Off across a minute's edge: the clock-time group of that minute is not sent late.
  for (std::int64_t now = 0; now < 70000; now += 88) EXPECT_FALSE(encoder.NextSlot(now).rds_on);
  encoder.Receive(Bytes("FE 00 00 00 08 1E 01 0E 01 F4 22 03 84 5A 8A FF"), 0, &replies);
  const AirSlot on = encoder.NextSlot(70000);
  EXPECT_TRUE(on.rds_on);
  EXPECT_NE(on.group.blocks[1] >> 11, 0x08);
  EXPECT_DOUBLE_EQ(on.level, 0.5);
  EXPECT_DOUBLE_EQ(on.phase_degrees, 90.0);
  EXPECT_EQ(replies.size(), 4 * 10U);  // every frame acknowledged
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
