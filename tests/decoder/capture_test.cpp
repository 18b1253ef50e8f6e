// Whole captures through both decoders: the count line, the bit line, synchronisation, the
// stepping of the report and its end, with every expected report line written out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_helpers.h"

namespace {

using decoder::ExitCode;
using decoder_test::Bits;
using decoder_test::Flip;
using decoder_test::Group;
using decoder_test::Offset;

// A 0A group: PI d3a1, TP, PTY 10, music, segment 0; AF count 227 and code 1; "BR".
std::string FirstGroup() { return Group(0xD3A1, 0x0548, 0xE301, 0x4252); }
// The following 0A group: segment 1, AF codes 2 and 55, "OV".
std::string SecondGroup() { return Group(0xD3A1, 0x0549, 0x0237, 0x4F56); }

const char kLineB27[] =
    "       27 0152100 0548 100 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=0 \n";
const char kLineC53[] = "       53 38c048a e301 08a C  - AF(3)= 87.6  87.5  87.5  \n";
const char kLineD79[] = "       79 1094a11 4252 211 D  - PS='BR      '\n";
const char kShiftedByOne[] =
    "       28 0152100 0548 100 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=0 \n"
    "       54 38c048a e301 08a C  - AF(3)= 87.6  87.5  87.5  \n"
    "       80 1094a11 4252 211 D  - PS='BR      '\n"
    "      106 0000000 0000 000 E  - \n";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

const std::string kGroupAtStart =
    Lines({kLineB27, kLineC53, kLineD79, "      105 0000000 0000 000 E  - \n"});

struct CaptureCase {
  const char* name;
  std::string capture;
  ExitCode code;
  std::string report;
};

std::vector<CaptureCase> Cases() {
  const std::string zero_byte(1, '\0');
  return {
      // Block A at 0 and B at 26: the A is dropped, reporting starts at 27. 200 bits leave room
      // for four lines: after the last, 52 to 77 positions remain.
      {"GroupAtStart", "200\n" + FirstGroup() + "\n", ExitCode::kDone, kGroupAtStart},
      // 52 bit characters, N = 53: synchronisation takes the last position, one line follows.
      {"SingleLineAtEnd", "53\n" + Bits(0xD3A1, Offset::kA) + Bits(0x0548, Offset::kB) + "\n",
       ExitCode::kDone, kLineB27},
      // N = 52 reads only 51 of them: the last bit of block B (a one in 015325d) reads as zero, so
      // there is no synchronisation.
      {"LastCharacterNeverRead", "52\n" + Bits(0xD3A1, Offset::kA) + Bits(0x054C, Offset::kB),
       ExitCode::kNoSync, ""},
      {"SpaceIsABitPosition", "200\n " + FirstGroup() + "\n", ExitCode::kDone, kShiftedByOne},
      {"ZeroByteIsABitPosition", "200\n" + zero_byte + FirstGroup() + "\n", ExitCode::kDone,
       kShiftedByOne},
      {"CrLfReadsAsOneNewline", "200\r\n" + FirstGroup() + "\r\n", ExitCode::kDone, kGroupAtStart},
      {"LoneCrIsABitPosition", "200\r\n\r" + FirstGroup() + "\r\n", ExitCode::kDone, kShiftedByOne},
      // Block A with its first bit inverted matches no offset; the lines after it stay aligned.
      {"UnknownOffsetKeepsAlignment",
       "300\n" + FirstGroup() + Flip(Bits(0xD3A1, Offset::kA), 0) + SecondGroup().substr(26) + "\n",
       ExitCode::kDone,
       Lines({kLineB27, kLineC53, kLineD79, "      105 14e8713 53a1 313 ?  - \n",
              "      131 01524b9 0549 0b9 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=1 \n",
              "      157 008dc3e 0237 03e C  - AF(3)= 87.6  87.7  93.0  \n",
              "      183 13d59b9 4f56 1b9 D  - PS='BROV    '\n",
              "      209 0000000 0000 000 E  - \n"})},
      // Bit 18 of a block C (character 7) turns its syndrome into D's: reported and decoded as
      // D, the PS takes the two altered bytes.
      {"CReadAsD",
       "200\n" + Bits(0xD3A1, Offset::kA) + Bits(0x0548, Offset::kB) +
           Flip(Bits(0xE301, Offset::kC), 7) + Bits(0x4252, Offset::kD) + "\n",
       ExitCode::kDone,
       Lines({kLineB27, "       53 388048a e201 08a D  - PS='\xe2\x01      '\n", kLineD79,
              "      105 0000000 0000 000 E  - \n"})},
      // A line far shorter than N: every position after it is a zero bit, reported as E blocks.
      {"ShortLineGivesEBlocks", "400\n" + FirstGroup() + "\n", ExitCode::kDone,
       Lines({kLineB27, kLineC53, kLineD79, "      105 0000000 0000 000 E  - \n",
              "      131 0000000 0000 000 E  - \n", "      157 0000000 0000 000 E  - \n",
              "      183 0000000 0000 000 E  - \n", "      209 0000000 0000 000 E  - \n",
              "      235 0000000 0000 000 E  - \n", "      261 0000000 0000 000 E  - \n",
              "      287 0000000 0000 000 E  - \n", "      313 0000000 0000 000 E  - \n"})},
      // A block A followed by a block D: no synchronisation there, the search goes on after it.
      {"ANotFollowedByB",
       "260\n" + Bits(0xD3A1, Offset::kA) + Bits(0x4252, Offset::kD) + FirstGroup() + "\n",
       ExitCode::kDone,
       Lines({"       79 0152100 0548 100 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=0 \n",
              "      105 38c048a e301 08a C  - AF(3)= 87.6  87.5  87.5  \n",
              "      131 1094a11 4252 211 D  - PS='BR      '\n",
              "      157 0000000 0000 000 E  - \n", "      183 0000000 0000 000 E  - \n"})},
      {"OnlyZeros", "500\n" + std::string(400, '0') + "\n", ExitCode::kNoSync, ""},
      {"AWithoutB", "500\n" + Bits(0xD3A1, Offset::kA) + "\n", ExitCode::kNoSync, ""},
      {"EmptyBitLine", "99999\n\n", ExitCode::kNoSync, ""},

      // Count lines, converted like strtol on at most 9 characters.
      {"CountZero", "0\n" + FirstGroup() + "\n", ExitCode::kBadCount, ""},
      {"CountNegative", "-5\n" + FirstGroup() + "\n", ExitCode::kBadCount, ""},
      {"CountMinusZero", "-0\n" + FirstGroup() + "\n", ExitCode::kBadCount, ""},
      {"CountWithoutDigits", "abc\n" + FirstGroup() + "\n", ExitCode::kBadCount, ""},
      {"CountEmptyLine", "\n" + FirstGroup() + "\n", ExitCode::kBadCount, ""},
      {"EmptyFile", "", ExitCode::kBadCount, ""},
      {"CountSpacesSignAndTail", "\t +200x\n" + FirstGroup() + "\n", ExitCode::kDone,
       kGroupAtStart},
      // Nine characters without a newline: the bits start right behind them.
      {"CountNineDigitsNoNewline", "000000200" + FirstGroup() + "\n", ExitCode::kDone,
       kGroupAtStart},
      // Ten digits: the tenth becomes the first bit character.
      {"CountTenDigits", "0000002000" + FirstGroup() + "\n", ExitCode::kDone, kShiftedByOne},
      // A ten-character first line leaves its newline as the whole bit line.
      {"CountLineTooLong", "  +200xyz\n" + FirstGroup() + "\n", ExitCode::kNoSync, ""},
      // CR LF is one character: "00000200" plus the newline fills the nine.
      {"CountCrLfIsOneCharacter", "00000200\r\n" + FirstGroup() + "\n", ExitCode::kDone,
       kGroupAtStart},
      {"CountStopsAtZeroByte", "2" + zero_byte + "00\n" + FirstGroup() + "\n", ExitCode::kNoSync,
       ""},
  };
}

class CaptureTest : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureTest, BothDecodersWriteTheExpectedReport) {
  const CaptureCase& c = GetParam();
  const decoder_test::Result reference = decoder_test::RunReference(c.capture);
  EXPECT_EQ(reference.code, c.code);
  EXPECT_EQ(reference.report, c.report);

  const decoder_test::Result fast = decoder_test::RunFast(c.capture);
  EXPECT_EQ(fast.code, c.code);
  EXPECT_EQ(fast.report, c.report);

  // Smallest buffers and reads of a few bytes: every chunk boundary falls somewhere new.
  for (std::size_t max_read : {1u, 2u, 3u, 7u}) {
    const decoder_test::Result chunked =
        decoder_test::RunFast(c.capture, decoder::BufferSizes{256, 256}, max_read);
    EXPECT_EQ(chunked.code, c.code) << "max_read " << max_read;
    EXPECT_EQ(chunked.report, c.report) << "max_read " << max_read;
  }
}

// The largest count with nothing to synchronise on: the search ends as soon as no block A can
// turn up, not after walking through a billion zero bits.
TEST(CaptureLimits, HugeCountWithoutBitsEndsAtOnce) {
  const decoder_test::Result fast =
      decoder_test::RunFast("999999999\n" + FirstGroup().substr(0, 60));
  EXPECT_EQ(fast.code, ExitCode::kNoSync);
  EXPECT_EQ(fast.report, "");
}

INSTANTIATE_TEST_SUITE_P(Captures, CaptureTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<CaptureCase>& test) {
                           return std::string(test.param.name);
                         });

}  // namespace
