// The summary of a short made-up station: two PS names, a radiotext with quotes, ECC, PIN,
// clock time, an other network, a group without block B. The expected text is written out from
// the groups below and the reception figures given.
#include "decoder/station/station_summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/decoder/station/group_builder.h"

namespace {

using station_test::B;
using station_test::Chars;
using station_test::Group;

constexpr std::uint16_t kPi = 0xD3A1;

std::vector<decoder::ReceivedGroup> Station() {
  struct Words {
    std::uint16_t b, c, d;
    int missing;
  };
  const Words words[] = {
      {B(0, false, true, 10, 0x0C), 0xE30F, Chars('R', 'A'), 0},  // AF: 3 follow, 89.0
      {B(0, false, true, 10, 0x09), 0x238C, Chars('D', 'I'), 0},  // 91.0, 101.5
      {B(0, false, true, 10, 0x0A), 0xCDCD, Chars('O', ' '), 0},
      {B(0, false, true, 10, 0x0F), 0xCDCD, Chars('1', ' '), 0},  // "RADIO 1 " at bit 312
      {B(1, false, true, 10, 0), 0x00E0, 0x6200, 0},              // ECC E0, PIN day 12 08:00
      {B(2, false, true, 10, 0), Chars('"', 'H'), Chars('I', '"'), 0},
      {B(2, false, true, 10, 1), Chars('\r', ' '), Chars(' ', ' '), 0},  // RT at bit 624
      {B(4, false, true, 10, 1), 0x9F3D, 0x6204, 0},  // 2004-05-25 22:08 UTC, +02:00
      {0, 0, 0, station_test::kMissingB},
      {B(0, false, true, 10, 0x1C), 0xCDCD, Chars('N', 'E'), 0},  // TA on from here
      {B(0, false, true, 10, 0x19), 0xCDCD, Chars('W', 'S'), 0},
      {B(0, false, true, 10, 0x1A), 0xCDCD, Chars(' ', ' '), 0},
      {B(0, false, true, 10, 0x1F), 0xCDCD, Chars(' ', ' '), 0},  // "NEWS    " at bit 1248
      {B(14, true, true, 10, 0x10), kPi, 0xD3A2, 0},              // other network: TP on, TA off
  };
  std::vector<decoder::ReceivedGroup> groups;
  std::int64_t bit = 0;
  for (const Words& w : words) {
    groups.push_back(Group(kPi, w.b, w.c, w.d, w.missing, bit));
    bit += 104;
  }
  return groups;
}

TEST(StationSummary, DescribesTheStationAndItsReception) {
  decoder::StationSummary summary;
  for (const decoder::ReceivedGroup& group : Station()) summary.OnGroup(group);
  decoder::ReceptionStats stats;
  stats.bits = 1500;
  stats.blocks = 52;
  stats.clean_blocks = 48;
  stats.corrected_blocks = 2;
  stats.error_blocks = 2;
  stats.slips = 1;
  stats.bits_without_sync = 26;

  const std::string expected =
      "Station\n"
      "  PI           0xD3A1, country de (ECC 0xE0)\n"
      "  PTY          10 Pop music\n"
      "  PS           \"RADIO 1 \" at 0.3 s\n"
      "               \"NEWS    \" at 1.1 s\n"
      "  PTYN         not received\n"
      "  RT (2A)      \"\\\"HI\\\"\" at 0.5 s\n"
      "  RT (2B)      not received\n"
      "  TP/TA        TP on, TA on (TA on in 4 of 8 groups)\n"
      "  MS           music\n"
      "  DI           stereo, no artificial head, not compressed, dynamic PTY\n"
      "  AF           89.0 91.0 101.5 MHz\n"
      "  CT           2004-05-25 22:08 UTC, local 2004-05-26 00:08 (UTC+02:00); 1 received, "
      "the last at 0.6 s\n"
      "  PIN          0x6200, day 12 08:00\n"
      "  Language     not received\n"
      "  ODA          none announced\n"
      "  EON          0xD3A2 TP on TA off\n"
      "Reception\n"
      "  Capture      1500 bits, 1.3 s\n"
      "  Groups       14 (1 with a block missing, 1 without block B)\n"
      "               0A 8, 1A 1, 2A 2, 4A 1, 14B 1\n"
      "  Blocks       52 while synchronised: 48 clean, 2 corrected, 2 unusable\n"
      "  BLER         7.69 % of blocks arrived with errors, 3.85 % unusable\n"
      "  Slips        1\n"
      "  Without sync 26 bits, 0.0 s (0 groups' worth)\n";
  decoder::StringSink sink;
  EXPECT_TRUE(summary.Write(stats, sink));
  EXPECT_EQ(sink.Text(), expected);
}

TEST(StationSummary, WithoutAnEccOffersBothPtyNamesAndTheCallSign) {
  decoder::StationSummary summary;
  summary.OnGroup(Group(0x21C7, B(0, false, false, 9, 0x08), 0xCDCD, Chars('K', 'G')));
  const std::string text = summary.Text({});
  EXPECT_NE(text.find("  Call sign    KGTB, if the station is North American (no ECC)\n"),
            std::string::npos);
  EXPECT_NE(text.find("  PTY          9 Varied (RDS) / Top 40 (RBDS)\n"), std::string::npos);
}

}  // namespace
