// Group decoding block by block, through both report writers: each step gives a block's offset
// and information word and the exact text it appends to its line.
#include "decoder/group_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoder/byte_io.h"
#include "decoder/fast_writer.h"
#include "decoder/printf_writer.h"

namespace {

using decoder::BlockOffset;

struct Step {
  BlockOffset offset;
  std::uint16_t info;
  std::string text;
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
};

std::string Spaces(std::size_t n) { return std::string(n, ' '); }

const char kB0A[] = "Group= 0A PTY= 0 TP=N ";
const char kB2A[] = "Group= 2A PTY= 0 TP=N ";
const char kB4A[] = "Group= 4A PTY= 0 TP=N ";

std::string AfCodesOneToTwentyFive() {
  return "AF(25)= 87.6  87.7  87.8  87.9  88.0  88.1  88.2  88.3  88.4  88.5  88.6  88.7  88.8 "
         " 88.9  89.0  89.1  89.2  89.3  89.4  89.5  89.6  89.7  89.8  89.9  90.0  ";
}

std::vector<Scenario> Scenarios() {
  using decoder::A;
  using decoder::B;
  using decoder::C;
  using decoder::CPrime;
  using decoder::D;
  using decoder::E;
  using decoder::None;
  std::vector<Step> long_af = {{B, 0x0000, std::string(kB0A) + "TA=N MS=S DI=0 Decode=0 "},
                               {C, 0xF900, ""}};  // count 249: 25 entries
  // Codes 1 to 26 in pairs: the 26th finds the list full and is dropped.
  for (int code = 1; code <= 25; code += 2) {
    long_af.push_back({C, static_cast<std::uint16_t>(code << 8 | (code + 1)), ""});
  }
  long_af.back().text = AfCodesOneToTwentyFive();
  long_af.push_back({C, 0xE364, "AF(3)= 97.5  87.7  87.8  "});  // new list overwrites from 0
  for (std::size_t i = 1; i + 2 < long_af.size(); ++i) {
    // Lists written while filling: the first k codes arrived, the rest still 87.5.
    std::string text = "AF(25)=";
    const int filled = static_cast<int>(2 * (i - 1));
    for (int k = 1; k <= 25; ++k) {
      const int tenths = k <= filled ? 875 + k : 875;
      text += (tenths >= 1000 ? "" : " ") + std::to_string(tenths / 10) + "." +
              std::to_string(tenths % 10) + " ";
    }
    long_af[i].text = text + " ";
  }

  return {
      {"PiAndGroupHeaders",
       {{A, 0xD3A1, "PI=d3a1 "},
        {B, 0xFBE0, "Group=15B PTY=31 TP=N "},
        {B, 0xA460, "Group=10A PTY= 3 TP=O "},
        {C, 0x4142, ""},  // 10A: nothing decoded
        {D, 0x4344, ""},
        {E, 0x1234, ""},
        {None, 0x1234, ""}}},
      // DI bit n arrives with segment n; segment 0 starts again from zero.
      {"DiBitsBySegment",
       {{B, 0x0010, std::string(kB0A) + "TA=O MS=S DI=0 Decode=0 "},
        {B, 0x0015, std::string(kB0A) + "TA=O MS=S DI=2 Decode=1 "},
        {B, 0x0012, std::string(kB0A) + "TA=O MS=S DI=2 Decode=2 "},
        {B, 0x001F, std::string(kB0A) + "TA=O MS=M DI=10 Decode=3 "},
        {B, 0x0004, std::string(kB0A) + "TA=N MS=S DI=1 Decode=0 "}}},
      {"AfFirstListWithEmptyEntries",
       {{B, 0x0000, std::string(kB0A) + "TA=N MS=S DI=0 Decode=0 "},
        {C, 0xE301, "AF(3)= 87.6  87.5  87.5  "}}},
      {"AfCodesBeforeCountIgnored",
       {{B, 0x0000, std::string(kB0A) + "TA=N MS=S DI=0 Decode=0 "},
        {C, 0x0102, ""},
        {C, 0xE200, "AF(2)= 87.5  87.5  "},
        {C, 0xCCE0, "AF(2)=107.9  87.5  "},  // 224 is no count code
        {C, 0x0203, "AF(2)=107.9  87.7  "},  // only the announced two are written
        {C, 0xE1CD, "AF(1)=107.9  "},        // 205 is the filler
        {C, 0xFA10, "AF(1)= 89.1  "}}},      // 250 ignored, 16 taken as an FM code
      {"AfListNeverOverflows", long_af},
      {"PsWithZeroByte",
       {{B, 0x0000, std::string(kB0A) + "TA=N MS=S DI=0 Decode=0 "},
        {D, 0x4100, "PS='       A'"},
        {B, 0x0001, std::string(kB0A) + "TA=N MS=S DI=0 Decode=1 "},
        {D, 0x4344, "PS='       A'"},
        {B, 0x0000, std::string(kB0A) + "TA=N MS=S DI=0 Decode=0 "},
        {D, 0x4142, "PS='ABCD    '"}}},
      {"ZeroBOddBlockIsPi",
       {{B, 0x0803, "Group= 0B PTY= 0 TP=N TA=N MS=S DI=0 Decode=3 "},
        {CPrime, 0xD3A1, "PI=d3a1 "},
        {D, 0x5354, "PS='      ST'"}}},
      {"RadiotextFlagsKeptApart",
       {{B, 0x2000, std::string(kB2A) + "Decode=0 "},
        {C, 0x4142, "RT-A='AB" + Spaces(62) + "'"},
        {B, 0x2011, std::string(kB2A) + "Decode=1 "},
        {C, 0x5859, "RT-B='    XY" + Spaces(58) + "'"},
        {D, 0x5A5A, "RT-B='    XYZZ" + Spaces(56) + "'"},
        {B, 0x200F, std::string(kB2A) + "Decode=15 "},
        {D, 0x2E0D, "RT-A='AB" + Spaces(60) + ".\r'"},
        {B, 0x2000, std::string(kB2A) + "Decode=0 "},
        {D, 0x4344, "RT-A='ABCD" + Spaces(58) + ".\r'"}}},
      {"RadiotextVersionB",
       {{B, 0x2801, "Group= 2B PTY= 0 TP=N Decode=1 "},
        {CPrime, 0xD3A1, ""},
        {D, 0x4142, "RT-A='  AB" + Spaces(60) + "'"},
        {B, 0x2810, "Group= 2B PTY= 0 TP=N Decode=0 "},
        {D, 0x0041, "RT-B='" + Spaces(32) + "'"},
        {B, 0x2800, "Group= 2B PTY= 0 TP=N Decode=0 "},
        {D, 0x5A00, "RT-A='" + Spaces(31) + "Z'"}}},
      {"RadiotextZeroByte",
       {{B, 0x2000, std::string(kB2A) + "Decode=0 "},
        {C, 0x0041, "RT-A='" + Spaces(64) + "'"},
        {D, 0x4200, "RT-A='" + Spaces(64) + "'"}}},
      // MJD 53150, 22:08, +2 h: the worked example; hour 22 needs bit 0 of block C.
      {"ClockTimeWorkedExample",
       {{B, 0x4001, kB4A},
        {C, 0x9F3D, ""},
        {D, 0x6204, "CT=0cf9e 16204 Day=25.05.2004 DayOfWeek=2 Week=22.2004 22:08+02:00"},
        // C and D without their block B are OR-ed into what is left.
        {C, 0x0002, ""},
        {D, 0x0001, "CT=0cf9f 16205 Day=26.05.2004 DayOfWeek=3 Week=22.2004 22:08+02:30"},
        // A new block B starts from zero again.
        {B, 0x4001, kB4A},
        {C, 0xD9D9, ""},
        {D, 0x7EE3, "CT=0ecec 17ee3 Day=08.12.2024 DayOfWeek=7 Week=49.2024 23:59-01:30"}}},
      {"ClockTimeWeekOfPreviousYear",
       {{B, 0x4001, kB4A},
        {C, (51544 & 0x7FFF) << 1, ""},
        {D, 0x0000, "CT=0c958 00000 Day=01.01.2000 DayOfWeek=6 Week=52.1999 00:00+00:00"}}},
      // Nothing is range-checked: day 0 gives a negative month and week, all bits set in the
      // time give hour 31, minute 63 and 15.5 hours of offset.
      {"ClockTimeOutOfRange",
       {{B, 0x4000, kB4A},
        {C, 0x0001, ""},
        {D, 0xFFFF, "CT=00000 1ffff Day=19.-1.1859 DayOfWeek=3 Week=-6.1859 31:63-15:30"},
        {B, 0x4003, kB4A},
        {C, 0xFFFE, ""},
        {D, 0x0000, "CT=1ffff 00000 Day=25.09.2217 DayOfWeek=6 Week=38.2217 00:00+00:00"}}},
      // A lost block B: C and D are read by the group type of the block B before it.
      {"LostBlockBKeepsGroupType",
       {{B, 0x0001, std::string(kB0A) + "TA=N MS=S DI=0 Decode=1 "},
        {C, 0xE15B, "AF(1)= 96.6  "},
        {D, 0x4142, "PS='  AB    '"},
        {A, 0xD3A1, "PI=d3a1 "},
        {C, 0xE101, "AF(1)= 87.6  "},
        {D, 0x5859, "PS='  XY    '"}}},
  };
}

template <typename Writer>
class GroupDecoderTest : public ::testing::Test {};

using Writers = ::testing::Types<decoder::PrintfReportWriter, decoder::FastReportWriter>;
TYPED_TEST_SUITE(GroupDecoderTest, Writers);

TYPED_TEST(GroupDecoderTest, EveryStepAppendsItsFields) {
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.name);
    decoder::StringSink sink;
    TypeParam writer(sink);
    decoder::GroupDecoder<TypeParam> groups;
    std::size_t written = 0;
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
      const Step& step = scenario.steps[i];
      groups.DecodeBlock(step.offset, step.info, writer);
      ASSERT_TRUE(writer.Flush());
      EXPECT_EQ(sink.Text().substr(written), step.text) << "step " << i;
      written = sink.Text().size();
    }
  }
}

}  // namespace
