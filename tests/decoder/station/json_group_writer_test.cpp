// The JSON line of each group type for hand-made information words. Every expected line is
// written out from the standard's field layouts: PI 0xD3A1, TP on and PTY 10 ("Pop music")
// unless a case says otherwise.
#include "decoder/station/json_group_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/decoder/station/group_builder.h"

namespace {

using decoder::ReceivedGroup;
using station_test::B;
using station_test::Chars;
using station_test::Group;
using station_test::kMissingA;
using station_test::kMissingB;
using station_test::kMissingD;

constexpr std::uint16_t kPi = 0xD3A1;

// The line start of a group of type `group` for PI 0xD3A1, TP on, PTY 10.
std::string Head(const char* group) {
  return std::string(R"({"pi":"0xD3A1","group":")") + group +
         R"(","tp":true,"prog_type":"Pop music")";
}

std::string Line(const char* group, const std::string& fields) {
  return Head(group) + (fields.empty() ? "" : ",") + fields + "}";
}

struct Case {
  const char* name;
  std::vector<ReceivedGroup> groups;
  std::vector<std::string> lines;
  decoder::Region region = decoder::Region::kAuto;
};

std::vector<Case> Cases() {
  const std::string rt_a_spaces(60, ' ');
  const std::string rt_b_spaces(30, ' ');
  const std::string kFlags = R"("ta":false,"is_music":true,"di":{"dynamic_pty":false})";
  return {
      {"0A: PS assembled, AF list, DI and traffic flags",
       {Group(kPi, B(0, false, true, 10, 0x0C), 0xE30F, Chars('R', 'A')),
        Group(kPi, B(0, false, true, 10, 0x09), 0x238C, Chars('D', 'I')),
        Group(kPi, B(0, false, true, 10, 0x0A), 0xCDCD, Chars('O', ' ')),
        Group(kPi, B(0, false, true, 10, 0x1F), 0xCDCD, Chars('1', ' '))},
       {Line("0A",
             R"("ta":false,"is_music":true,"di":{"dynamic_pty":true},"partial_ps":"RA      ")"),
        Line("0A",
             R"("ta":false,"is_music":true,"di":{"compressed":false},"partial_ps":"RADI    ",)"
             R"("alt_frequencies_a":[89000,91000,101500])"),
        Line("0A", R"("ta":false,"is_music":true,"di":{"artificial_head":false},)"
                   R"("partial_ps":"RADIO   ")"),
        Line("0A", R"("ta":true,"is_music":true,"di":{"stereo":true},"partial_ps":"RADIO 1 ",)"
                   R"("ps":"RADIO 1 ")")}},
      {"0A: an MF frequency after the 250 marker, in kHz; a repeated code counts once",
       {Group(kPi, B(0, false, true, 10, 0x08), 0xE2FA, 0, kMissingD),   // 2 follow; MF next
        Group(kPi, B(0, false, true, 10, 0x08), 0x1B0F, 0, kMissingD),   // 630 kHz, 89.0 MHz
        Group(kPi, B(0, false, true, 10, 0x08), 0xE20F, 0, kMissingD),   // again: 89.0
        Group(kPi, B(0, false, true, 10, 0x08), 0x0FFA, 0, kMissingD),   // 89.0 once more; MF
        Group(kPi, B(0, false, true, 10, 0x08), 0x1BCD, 0, kMissingD)},  // 630 kHz, filler
       {Line("0A", kFlags), Line("0A", kFlags + R"(,"alt_frequencies_a":[630,89000])"),
        Line("0A", kFlags), Line("0A", kFlags),
        Line("0A", kFlags + R"(,"alt_frequencies_a":[89000,630])")}},
      {"0B without block A: the PI from block C'",
       {Group(0, B(0, true, true, 10, 0), kPi, Chars('A', 'B'), kMissingA)},
       {Line("0B", R"("ta":false,"is_music":false,"di":{"dynamic_pty":false},)"
                   R"("partial_ps":"AB      ")")}},
      {"1A/1B: ECC with country, language, linkage, PIN",
       {Group(kPi, B(1, false, true, 10, 0), 0x00E0, 0x6200),
        Group(kPi, B(1, false, true, 10, 0), 0xB009, 0x0000),
        Group(kPi, B(1, true, true, 10, 0), kPi, 0x6200)},
       {Line("1A", R"("has_linkage":false,"prog_item_number":25088,)"
                   R"("prog_item_started":{"day":12,"time":"08:00"},"ecc":224,"country":"de")"),
        Line("1A", R"("has_linkage":true,"prog_item_number":0,"language":"English")"),
        Line("1B", R"("prog_item_number":25088,"prog_item_started":{"day":12,"time":"08:00"})")}},
      {"2A/2B: radiotext up to its carriage return; a new A/B flag clears it",
       {Group(kPi, B(2, false, true, 10, 0x00), Chars('H', 'E'), Chars('L', 'L')),
        Group(kPi, B(2, false, true, 10, 0x01), Chars('O', '\r'), Chars(' ', ' ')),
        Group(kPi, B(2, false, true, 10, 0x10), Chars('B', 'Y'), Chars('E', '\r')),
        Group(kPi, B(2, true, true, 10, 0x00), kPi, Chars('O', 'K'))},
       {Line("2A", R"("partial_radiotext":"HELL)" + rt_a_spaces + R"(")"),
        Line("2A", R"("partial_radiotext":"HELLO","radiotext":"HELLO")"),
        Line("2A", R"("partial_radiotext":"BYE","radiotext":"BYE")"),
        Line("2B", R"("partial_radiotext":"OK)" + rt_b_spaces + R"(")")}},
      {"3A announces RT+ in 11A; its tags name parts of the radiotext",
       {Group(kPi, B(11, false, true, 10, 0x08), 0x8006, 0x08E2),
        Group(kPi, B(2, false, true, 10, 0), Chars('A', 'B'), Chars('B', 'A')),
        Group(kPi, B(2, false, true, 10, 1), Chars(' ', '-'), Chars(' ', 'S')),
        Group(kPi, B(2, false, true, 10, 2), Chars('O', 'S'), Chars('\r', ' ')),
        Group(kPi, B(3, false, true, 10, 22), 0x0000, 0x4BD7),
        Group(kPi, B(11, false, true, 10, 0x08), 0x8006, 0x08E2)},
       {Line("11A", ""), Line("2A", R"("partial_radiotext":"ABBA)" + rt_a_spaces + R"(")"),
        Line("2A", R"("partial_radiotext":"ABBA - S)" + std::string(56, ' ') + R"(")"),
        Line("2A", R"("partial_radiotext":"ABBA - SOS","radiotext":"ABBA - SOS")"),
        Line("3A", R"x("open_data_app":{"aid":"0x4BD7","app_name":"RadioText+ (RT+)",)x"
                   R"("oda_group":"11A"})"),
        Line("11A", R"("radiotext_plus":{"item_toggle":0,"item_running":true,"tags":[)"
                    R"({"content-type":"item.artist","start":0,"length":4,"data":"ABBA"},)"
                    R"({"content-type":"item.title","start":7,"length":3,"data":"SOS"}]})")}},
      {"4A: UTC plus the local offset, across midnight and west of UTC; no impossible hour",
       {Group(kPi, B(4, false, true, 10, 1), 0x9F3D, 0x6204),
        Group(kPi, B(4, false, true, 10, 1), 0x9F3D, 0x622B),
        Group(kPi, B(4, false, true, 10, 1), 0x9F3D, 0x9200)},
       {Line("4A", R"("clock_time":"2004-05-26T00:08:00+02:00")"),
        Line("4A", R"("clock_time":"2004-05-25T16:38:00-05:30")"), Line("4A", "")}},
      {"10A: PTYN once both halves arrived",
       {Group(kPi, B(10, false, true, 10, 0), Chars('F', 'O'), Chars('O', 'T')),
        Group(kPi, B(10, false, true, 10, 1), Chars('B', 'A'), Chars('L', 'L'))},
       {Line("10A", ""), Line("10A", R"("prog_type_name":"FOOTBALL")")}},
      {"14A/14B: other networks' PS, PTY and TA, AF, TA from 14B",
       {Group(kPi, B(14, false, true, 10, 0x10), Chars('R', 'A'), 0xD3A2),
        Group(kPi, B(14, false, true, 10, 0x0D), 0x0801, 0xD3A2),
        Group(kPi, B(14, false, true, 10, 0x04), 0xE10F, 0xD3A2),
        Group(kPi, B(14, true, true, 10, 0x18), kPi, 0xD3A2)},
       {Line("14A", R"("other_network":{"pi":"0xD3A2","tp":true,"partial_ps":"RA      "})"),
        Line("14A", R"("other_network":{"pi":"0xD3A2","tp":false,"prog_type":"News","ta":true})"),
        Line("14A", R"("other_network":{"pi":"0xD3A2","tp":false,"alt_frequencies_a":[89000]})"),
        Line("14B", R"("other_network":{"pi":"0xD3A2","tp":true,"ta":true})")}},
      {"15B: fast basic tuning",
       {Group(kPi, B(15, true, true, 10, 0x17), kPi, B(15, true, true, 10, 0x17))},
       {Line("15B", R"("ta":true,"is_music":false,"di":{"stereo":true})")}},
      {"Missing blocks: only what arrived",
       {Group(kPi, 0, 0, 0, kMissingB), Group(0, 0, 0, 0, kMissingA | kMissingB),
        Group(kPi, B(0, false, true, 10, 0x08), 0xCDCD, 0, kMissingD),
        Group(kPi, B(5, false, true, 10, 0), 0x1234, 0x5678)},
       {R"({"pi":"0xD3A1"})",
        Line("0A", R"("ta":false,"is_music":true,"di":{"dynamic_pty":false})"), Line("5A", "")}},
      {"Escaping: quote, backslash, line break, a control code, and the RDS character set",
       {Group(kPi, B(2, false, true, 10, 0), 0x225C, 0x0A01),
        Group(kPi, B(2, false, true, 10, 1), 0xAB24, 0x8D0D)},
       {Line("2A", R"("partial_radiotext":"\"\\\n)"
                   "\xEF\xBF\xBD" +
                       std::string(60, ' ') + R"(")"),
        Line("2A", R"("partial_radiotext":"\"\\\n)"
                   "\xEF\xBF\xBD"
                   "$\xC2\xA4\xC3\x9F"
                   R"(",)"
                   R"("radiotext":"\"\\\n)"
                   "\xEF\xBF\xBD"
                   "$\xC2\xA4\xC3\x9F"
                   R"(")")}},
      {"North America: RBDS names and the call sign, decided by the ECC",
       {Group(0x21C7, B(0, false, true, 9, 0x08), 0xCDCD, Chars('K', 'G')),
        Group(0x21C7, B(1, false, true, 9, 0), 0x00A0, 0)},
       {R"({"pi":"0x21C7","group":"0A","tp":true,"prog_type":"Varied","ta":false,)"
        R"("is_music":true,"di":{"dynamic_pty":false},"partial_ps":"KG      "})",
        R"({"pi":"0x21C7","group":"1A","tp":true,"prog_type":"Top 40","callsign":"KGTB",)"
        R"("has_linkage":false,"prog_item_number":0,"ecc":160,"country":"us"})"}},
      {"North America chosen outright; a PI 1xxx gives an uncertain call sign",
       {Group(0x1234, B(5, false, false, 4, 0), 0, 0)},
       {R"({"pi":"0x1234","group":"5A","tp":false,"prog_type":"Talk","callsign_uncertain":"KAVS"})"},
       decoder::Region::kNorthAmerica},
  };
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(JsonGroupWriter, EachGroupTypeGivesItsFields) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    decoder::StringSink sink;
    decoder::JsonGroupWriter writer(sink, c.region);
    for (const ReceivedGroup& group : c.groups) writer.OnGroup(group);
    EXPECT_FALSE(writer.Failed());
    ASSERT_EQ(sink.Text().back(), '\n');
    EXPECT_EQ(Lines(sink.Text()), c.lines);
  }
}

class FailingSink : public decoder::ReportSink {
 public:
  bool Write(const char*, std::size_t) override {
    ++writes;
    return false;
  }
  int writes = 0;
};

TEST(JsonGroupWriter, StopsWritingAfterAFailedWrite) {
  FailingSink sink;
  decoder::JsonGroupWriter writer(sink);
  writer.OnGroup(Group(kPi, B(0, false, true, 10, 0), 0, 0));
  writer.OnGroup(Group(kPi, B(0, false, true, 10, 1), 0, 0));
  EXPECT_TRUE(writer.Failed());
  EXPECT_EQ(sink.writes, 1);
}

}  // namespace
