// tamsel end to end: the real executable against a pseudo-terminal that plays the encoder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "tests/sender/tamsel_run.h"

namespace {

using namespace std::chrono_literals;
using tamsel_test::EncoderLine;
using tamsel_test::RunRecord;
using tamsel_test::Send;
using ::testing::HasSubstr;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

// Frames 1 to 9 and 11 as they must go on the wire (site and encoder address 0).
const std::string kFixedFrames[] = {
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x41, 0x23, 0x24, 0x21, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x0B, 0x02, 0x00, 0x00, 0x20, 0x52, 0x41, 0x44, 0x49, 0x4F, 0x20,
           0x20, 0xC7, 0x89, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x04, 0x04, 0x00, 0x00, 0x09, 0x1C, 0x1F, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x04, 0x05, 0x00, 0x00, 0x01, 0xEB, 0xA3, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x04, 0x07, 0x00, 0x00, 0x09, 0x87, 0xC3, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x0B, 0x3E, 0x00, 0x00, 0x54, 0x52, 0x41, 0x4E, 0x43, 0x45, 0x20,
           0x20, 0x9D, 0xA2, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x04, 0x03, 0x00, 0x00, 0x02, 0xFC, 0x59, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x0B, 0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE2, 0x06, 0xC8, 0xCD,
           0x00, 0xF2, 0x9C, 0xFF}),
    Bytes({0xFE, 0x00, 0x00, 0x00, 0x13, 0x0A, 0x00, 0x00, 0x0F, 0x02, 0x54, 0x45, 0x53, 0x54,
           0x20, 0x52, 0x41, 0x44, 0x49, 0x4F, 0x54, 0x45, 0x58, 0x54, 0x7D, 0xE9, 0xFF}),
};
// PS "TAMSEL  ".
const std::string kFrame11 = Bytes({0xFE, 0x00, 0x00, 0x00, 0x0B, 0x02, 0x00, 0x00, 0x54, 0x41,
                                    0x4D, 0x53, 0x45, 0x4C, 0x20, 0x20, 0xE9, 0x1E, 0xFF});

// Undoes the UECP byte stuffing between STA and STP.
std::string Unstuff(const std::string& frame) {
  std::string raw;
  for (std::size_t i = 0; i < frame.size(); ++i) {
    const auto byte = static_cast<unsigned char>(frame[i]);
    if (byte == 0xFD && i + 1 < frame.size() && i != 0) {
      raw.push_back(static_cast<char>(0xFD + static_cast<unsigned char>(frame[++i])));
    } else {
      raw.push_back(frame[i]);
    }
  }
  return raw;
}

// CRC-CCITT bit by bit (polynomial 0x1021, start 0xFFFF, inverted), as the UECP frame carries it.
std::uint16_t Crc(const std::string& bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const char c : bytes) {
    crc ^= static_cast<std::uint16_t>(static_cast<unsigned char>(c) << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) != 0 ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                : static_cast<std::uint16_t>(crc << 1);
    }
  }
  return static_cast<std::uint16_t>(~crc);
}

struct ClockTime {
  long mjd;
  int hour, minute;
  bool operator==(const ClockTime& other) const {
    return mjd == other.mjd && hour == other.hour && minute == other.minute;
  }
};

// The UTC date and time of a moment, counted independently: 1970-01-01 is MJD 40587.
ClockTime ClockTimeAt(std::time_t moment) {
  std::tm utc{};
  gmtime_r(&moment, &utc);
  return {static_cast<long>(moment / 86400) + 40587, utc.tm_hour, utc.tm_min};
}

struct DecodedGroup {
  ClockTime time;
  int offset_negative;
  int offset_half_hours;
};

// Checks that frame 10 is one free-format element with an RDS group 4A and decodes the clock.
DecodedGroup DecodeClockTimeFrame(const std::string& wire) {
  const std::string raw = Unstuff(wire);
  DecodedGroup decoded{};
  EXPECT_EQ(raw.size(), 15u);
  if (raw.size() != 15u) return decoded;
  EXPECT_EQ(raw.substr(0, 7), Bytes({0xFE, 0x00, 0x00, 0x00, 0x07, 0x24, 0x08}));
  EXPECT_EQ(raw[14], '\xFF');
  const std::uint16_t crc = Crc(raw.substr(1, 11));
  EXPECT_EQ(static_cast<unsigned char>(raw[12]), crc >> 8);
  EXPECT_EQ(static_cast<unsigned char>(raw[13]), crc & 0xFF);
  const auto byte = [&](int i) {
    return static_cast<unsigned>(static_cast<unsigned char>(raw[i]));
  };
  const unsigned block_b = byte(7);
  const unsigned block_c = byte(8) << 8 | byte(9);
  const unsigned block_d = byte(10) << 8 | byte(11);
  EXPECT_EQ(block_b & ~0x03u, 0u);  // buffer configuration 0, spare bits 0
  decoded.time.mjd = static_cast<long>((block_b & 0x03) << 15 | block_c >> 1);
  decoded.time.hour = static_cast<int>((block_c & 1) << 4 | block_d >> 12);
  decoded.time.minute = static_cast<int>((block_d >> 6) & 0x3F);
  decoded.offset_negative = static_cast<int>((block_d >> 5) & 1);
  decoded.offset_half_hours = static_cast<int>(block_d & 0x1F);
  return decoded;
}

// The clock readings a run can have taken: every minute from its start to its end.
std::vector<ClockTime> PossibleClockTimes(std::time_t start, std::time_t end) {
  std::vector<ClockTime> times;
  for (std::time_t t = start; t < end + 60; t += 60) times.push_back(ClockTimeAt(t));
  return times;
}

std::chrono::milliseconds Between(tamsel_test::Clock::time_point from,
                                  tamsel_test::Clock::time_point to) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(to - from);
}

TEST(TamselTest, RunsTheElevenExchangesOnCom1) {
  EncoderLine line;
  ASSERT_TRUE(line.ok());
  const auto script = [](int frame) -> std::vector<Send> {
    if (frame == 4) return {{0ms, std::string("\0AB", 3)}};  // a zero byte ends the text
    return {{0ms, "OK" + std::to_string(frame)}};
  };
  const std::time_t start = std::time(nullptr);
  const RunRecord run = line.RunTamsel({}, {{"RDS_COM1", line.path()}, {"TZ", "UTC"}}, script);
  const std::time_t end = std::time(nullptr);

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "R=OK1\nR=OK2\nR=OK3\nR=   \nR=OK5\nR=OK6\nR=OK7\nR=OK8\nR=OK9\nR=OK10\nR=OK11\n");
  ASSERT_EQ(run.frames.size(), 11u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(run.frames[i].bytes, kFixedFrames[i]) << "frame " << i + 1;
  EXPECT_EQ(run.frames[10].bytes, kFrame11);

  const DecodedGroup group = DecodeClockTimeFrame(run.frames[9].bytes);
  EXPECT_THAT(PossibleClockTimes(start, end), ::testing::Contains(group.time));
  EXPECT_EQ(group.offset_negative, 0);
  EXPECT_EQ(group.offset_half_hours, 0);

  // 3 s after the second reply, and no pause anywhere else but 1 s before the end.
  const auto pause_ms = Between(run.replied.at(2), run.frames[2].arrival).count();
  EXPECT_GE(pause_ms, 3000);
  EXPECT_LT(pause_ms, 4000);
  for (int frame = 1; frame <= 10; ++frame) {
    if (frame == 2) continue;
    EXPECT_LT(Between(run.replied.at(frame), run.frames[frame].arrival).count(), 1000) << frame;
  }
  EXPECT_GE(Between(run.replied.at(11), run.exited).count(), 1000);
}

TEST(TamselTest, RepliesInPiecesAndOversizedRepliesStayQueuedForTheNextLine) {
  EncoderLine line;
  ASSERT_TRUE(line.ok());
  const std::string long_reply(600, 'x');
  const auto script = [&](int frame) -> std::vector<Send> {
    switch (frame) {
      case 2:  // the 600 bytes arrive during the pause, all of them before frame 3 is sent
        return {{0ms, "OK2"}, {500ms, long_reply}};
      case 3:
      case 4:
      case 6:
        return {};
      case 5:
        return {{0ms, "AB"}, {1000ms, "CD"}};
      default:
        return {{0ms, "OK" + std::to_string(frame)}};
    }
  };
  const RunRecord run = line.RunTamsel({"--device", line.path()}, {{"TZ", "XYZ-5:30"}}, script);

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "R=OK1\nR=OK2\nR=" + std::string(512, 'x') + "\nR=" + std::string(88, 'x') +
                         "\nR=AB\nR=CD\nR=OK7\nR=OK8\nR=OK9\nR=OK10\nR=OK11\n");
  ASSERT_EQ(run.frames.size(), 11u);
  // A zone five and a half hours ahead of UTC: eleven half-hours, positive.
  const DecodedGroup group = DecodeClockTimeFrame(run.frames[9].bytes);
  EXPECT_EQ(group.offset_negative, 0);
  EXPECT_EQ(group.offset_half_hours, 11);
}

TEST(TamselTest, SilentEncoderEndsTheRunAfterTheTimeLimit) {
  EncoderLine line;
  ASSERT_TRUE(line.ok());
  const auto started = tamsel_test::Clock::now();
  const RunRecord run =
      line.RunTamsel({"--device=" + line.path(), "--timeout=0.3"}, {}, tamsel_test::Silent);
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.out, "");
  EXPECT_THAT(run.err, HasSubstr("no reply to frame 1 (PI)"));
  EXPECT_THAT(run.err, HasSubstr(line.path()));
  ASSERT_EQ(run.frames.size(), 1u);
  EXPECT_EQ(run.frames[0].bytes, kFixedFrames[0]);
  EXPECT_GE(Between(run.frames[0].arrival, run.exited).count(), 250);
  EXPECT_LT(Between(started, run.exited).count(), 5000);
}

TEST(TamselTest, PortThatCannotBeOpenedIsNamedWithTheSystemReason) {
  EncoderLine line;
  ASSERT_TRUE(line.ok());
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::map<std::string, std::string> environment;
    std::vector<std::string> message_parts;
  } cases[] = {
      {"missing COM1",
       {},
       {{"RDS_COM1", "/nonexistent/ttyQ"}},
       {"tamsel: cannot open COM1 (/nonexistent/ttyQ): ", "system error 2)"}},
      {"missing device",
       {"--device", "/nonexistent/ttyR"},
       {},
       {"tamsel: cannot open /nonexistent/ttyR: ", "system error 2)"}},
      {"COM name on the command line",
       {"--device", "\\\\.\\COM3"},
       {{"RDS_COM3", "/no/ttyS"}},
       {"tamsel: cannot open \\\\.\\COM3 (/no/ttyS): ", "system error 2)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RunRecord run = line.RunTamsel(c.args, c.environment, tamsel_test::Silent);
    EXPECT_EQ(run.exit_code, 3);
    EXPECT_EQ(run.out, "");
    for (const std::string& part : c.message_parts) EXPECT_THAT(run.err, HasSubstr(part));
  }

  // A port held by another program: denied, as on Windows.
  ASSERT_EQ(flock(line.held_slave(), LOCK_EX | LOCK_NB), 0);
  const RunRecord busy = line.RunTamsel({}, {{"RDS_COM1", line.path()}}, tamsel_test::Silent);
  EXPECT_EQ(busy.exit_code, 3);
  EXPECT_THAT(busy.err, HasSubstr("cannot open COM1 (" + line.path() + "): "));
  EXPECT_THAT(busy.err, HasSubstr("system error 5)"));
  EXPECT_TRUE(busy.frames.empty());
}

TEST(TamselTest, WrongCommandLinesAreRefusedBeforeAnythingIsSent) {
  EncoderLine line;
  ASSERT_TRUE(line.ok());
  const std::vector<std::string> cases[] = {
      {"--bogus"},          {"stray"},
      {"--timeout"},        {"--timeout", "-1"},
      {"--timeout", "abc"}, {"--timeout", "nan"},
      {"--timeout", "1e9"}, {"--timeout="},
      {"--device"},         {"--device="},
      {"--devicex", "/x"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[0]);
    const RunRecord run = line.RunTamsel(args, {{"RDS_COM1", line.path()}}, tamsel_test::Silent);
    EXPECT_EQ(run.exit_code, 64);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, ::testing::StartsWith("tamsel: "));
    EXPECT_THAT(run.err, HasSubstr("tamsel --help"));
    EXPECT_TRUE(run.frames.empty());
  }
}

TEST(TamselTest, HelpAndVersionPrintAndSendNothing) {
  EncoderLine line;
  ASSERT_TRUE(line.ok());
  const RunRecord help =
      line.RunTamsel({"--help"}, {{"RDS_COM1", line.path()}}, tamsel_test::Silent);
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_THAT(help.out, ::testing::StartsWith("Usage: tamsel [--device PATH] [--timeout SECONDS]"));
  EXPECT_THAT(help.out, HasSubstr("RDS_COMn"));
  EXPECT_TRUE(help.frames.empty());

  const RunRecord version =
      line.RunTamsel({"--version"}, {{"RDS_COM1", line.path()}}, tamsel_test::Silent);
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, "tamsel " EXPECTED_VERSION "\n");
  EXPECT_TRUE(version.frames.empty());
}

}  // namespace
