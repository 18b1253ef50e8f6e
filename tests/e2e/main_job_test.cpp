// The main job end to end: tamsel sends its eleven frames to rds-encoder-sim on a
// pseudo-terminal, the simulator writes its air as a bit stream and as an FM multiplex, and
// brovik must show the station tamsel set up, from the bits and from the air via rds-demod.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "rdscore/block_code.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

bool HasLineEndingWith(const std::vector<std::string>& lines, const std::string& tail) {
  for (const std::string& line : lines) {
    if (line.size() >= tail.size() &&
        line.compare(line.size() - tail.size(), tail.size(), tail) == 0) {
      return true;
    }
  }
  return false;
}

// The clock time tamsel sends: UTC hour and minute, local offset in half hours truncated.
std::string ClockText(std::time_t when) {
  std::tm utc{};
  std::tm local{};
  gmtime_r(&when, &utc);
  localtime_r(&when, &local);
  const long minutes = local.tm_gmtoff / 60;
  const long half_hours = (minutes < 0 ? -minutes : minutes) / 30;
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d%c%02ld:%02ld", utc.tm_mday,
                utc.tm_mon + 1, utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                minutes < 0 ? '-' : '+', half_hours / 2, half_hours % 2 * 30);
  return text;
}

TEST(MainJob, TamselDrivesTheSimulatorAndBrovikDecodesTheAir) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  ChildProcess sim(RDS_ENCODER_SIM,
                   {"--link", dir + "/encoder", "--out", dir + "/rds-in.txt", "--hold", "3"});
  ASSERT_EQ(sim.ReadLine().rfind("/dev/pts/", 0), 0U);

  const std::time_t before = std::time(nullptr);
  ChildProcess tamsel(RDS_TAMSEL, {}, {"RDS_COM1=" + dir + "/encoder"});
  ASSERT_EQ(tamsel.Wait(30000), 0) << tamsel.Errors();
  const std::time_t after = std::time(nullptr);
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  EXPECT_NE(sim.Errors().find("11 frame(s) applied, 0 refused"), std::string::npos) << sim.Errors();

  // Each reply is the acknowledgement frame FE 00 00 00 02 18 00 15 55 FF, which "%*.*s"
  // prints up to its first zero byte, right-aligned in ten columns.
  std::string expected;
  for (int i = 0; i < 11; ++i) expected += "R=         \xFE\n";
  EXPECT_EQ(tamsel.Output(), expected);

  ChildProcess brovik(RDS_BROVIK, {}, {}, dir);
  ASSERT_EQ(brovik.Wait(), 0) << brovik.Errors();
  const std::vector<std::string> report = ReadLines(dir + "/rds-out.txt");
  ASSERT_GT(report.size(), 200U);

  EXPECT_TRUE(HasLineEndingWith(report, " A  - PI=4123 "));
  EXPECT_TRUE(HasLineEndingWith(report, " B  - Group= 0A PTY= 9 TP=O TA=N MS=M DI=9 Decode=3 "));
  EXPECT_TRUE(HasLineEndingWith(report, " C  - AF(2)= 88.1 107.5  "));
  EXPECT_TRUE(HasLineEndingWith(
      report, " D  - RT-A='TEST RADIOTEXT\r                                                 '"));

  // The first name, then the second: each seen whole after its last segment.
  std::vector<std::string> names;
  for (const std::string& line : report) {
    const std::size_t at = line.find(" D  - PS='");
    if (at == std::string::npos) continue;
    const std::string name = line.substr(at + 10, 8);
    if (names.empty() || names.back() != name) names.push_back(name);
  }
  const auto first = std::find(names.begin(), names.end(), " RADIO  ");
  ASSERT_NE(first, names.end());
  EXPECT_NE(std::find(first, names.end(), "TAMSEL  "), names.end());
  EXPECT_EQ(names.back(), "TAMSEL  ");

  // The clock time sent is the time of the run, to the minute.
  std::set<std::string> sent;
  for (std::time_t t = before - 60; t <= after + 60; t += 30) sent.insert(ClockText(t));
  const std::regex ct(R"(D  - CT=[0-9a-f]{5} [0-9a-f]{5} Day=(\d\d\.\d\d\.\d{4}) DayOfWeek=[1-7] )"
                      R"(Week=\d\d\.\d{4} (\d\d:\d\d[+-]\d\d:\d\d)$)");
  int clock_times = 0;
  for (const std::string& line : report) {
    std::smatch match;
    if (!std::regex_search(line, match, ct)) continue;
    ++clock_times;
    EXPECT_EQ(sent.count(match[1].str() + " " + match[2].str()), 1U) << line;
  }
  EXPECT_GE(clock_times, 1);
}

// The bit line of an "rds-in.txt" file.
std::string BitLine(const std::string& path) {
  const std::vector<std::string> lines = ReadLines(path);
  return lines.size() < 2 ? "" : lines[1];
}

// Position of the first block A followed by a block B in a line of '0'/'1', or npos.
std::size_t FirstGroup(const std::string& bits) {
  auto block_at = [&](std::size_t at) {
    std::uint32_t block = 0;
    for (std::size_t i = 0; i < rds::kBlockBits; ++i) block = block << 1 | (bits[at + i] == '1');
    return block;
  };
  for (std::size_t at = 0; at + std::size_t{2} * rds::kBlockBits <= bits.size(); ++at) {
    if (rds::Syndrome(block_at(at)) == rds::OffsetSyndrome(rds::Offset::kA) &&
        rds::Syndrome(block_at(at + rds::kBlockBits)) == rds::OffsetSyndrome(rds::Offset::kB)) {
      return at;
    }
  }
  return std::string::npos;
}

TEST(MainJob, DemoScriptShowsTheDecodedStation) {
  ChildProcess demo("/bin/bash", {RDS_DEMO_SCRIPT, RDS_BUILD_DIR});
  ASSERT_EQ(demo.Wait(120000), 0) << demo.Output() << demo.Errors();
  const std::string& out = demo.Output();
  for (const char* line :
       {"  R=         \\xFE\n", "  PI           0x4123\n", "\" RADIO  \" at ",
        "\n               \"TAMSEL  \" at ", "  PTY          9 Varied (RDS)",
        "  TP/TA        TP on", "  AF           88.1 107.5 MHz\n",
        "  RT (2A)      \"TEST RADIOTEXT\" at ",
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one line, split for width
        "PI, PS, PTY, RT, AF and CT are those of the bit stream: the air carries tamsel's "
        "station.\n"}) {
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
  }
  const std::string report = std::string("Full report: ") + RDS_BUILD_DIR + "/demo/rds-out.txt";
  EXPECT_NE(out.find(report), std::string::npos) << out;
  const std::regex clock(R"(\n  CT           \d{4}-\d\d-\d\d \d\d:\d\d UTC, local )");
  EXPECT_TRUE(std::regex_search(out, clock)) << out;

  // The air, demodulated, is the encoder's bit stream bit for bit from the first group on.
  const std::string sent = BitLine(std::string(RDS_BUILD_DIR) + "/demo/rds-in.txt");
  const std::string received = BitLine(std::string(RDS_BUILD_DIR) + "/demo/air-bits.txt");
  const std::size_t first = FirstGroup(received);
  ASSERT_NE(first, std::string::npos);
  const std::size_t at = sent.find(received.substr(first, rds::kGroupBits));
  ASSERT_LE(at, std::size_t{rds::kGroupBits}) << "no lock within the first group";
  const std::size_t length = sent.size() - at;
  ASSERT_GE(received.size() - first, length);
  EXPECT_EQ(received.substr(first, length), sent.substr(at));
}

}  // namespace
