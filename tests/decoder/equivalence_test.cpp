// The fast decoder and the receiver's plain block layer against the reference decoder over many
// random captures: random groups of
// every type, stations with random texts and AF lists, bit errors, garbage, separators, zero
// bytes, CR LF, odd count lines and bit counts around the line length. Reports and exit codes
// must be identical, whatever the buffer sizes and however the input arrives.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "capture_helpers.h"
#include "tools/capture_gen/station.h"

namespace {

using decoder_test::Offset;

class RandomCapture {
 public:
  explicit RandomCapture(unsigned seed) : random_(seed) {}

  std::string Make() {
    std::string bits;
    const int segments = Pick(1, 12);
    for (int i = 0; i < segments; ++i) AppendSegment(bits);
    const int errors = Chance(0.4) ? Pick(1, 20) : 0;
    for (int i = 0; i < errors && !bits.empty(); ++i) {
      char& c = bits[Index(bits.size())];
      c = c == '1' ? '0' : '1';
    }
    return CountLine(static_cast<long>(bits.size())) + bits + LineEnd() + Trailer();
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::size_t Index(std::size_t size) {
    return std::uniform_int_distribution<std::size_t>(0, size - 1)(random_);
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  std::uint16_t Word() { return static_cast<std::uint16_t>(random_()); }

  // A character byte for PS or radiotext: mostly printable, sometimes zero or anything.
  int TextByte() {
    const int kind = Pick(0, 9);
    if (kind == 0) return 0;
    if (kind == 1) return Pick(0, 255);
    return Pick(0x20, 0x7E);
  }
  std::uint16_t TextWord() { return static_cast<std::uint16_t>(TextByte() << 8 | TextByte()); }

  // An AF code: count codes, FM codes, fillers, LF/MF markers and the unassigned ones.
  int AfCode() {
    switch (Pick(0, 5)) {
      case 0:
        return Pick(225, 249);
      case 1:
        return Pick(0, 255);
      case 2:
        return Pick(204, 205);
      default:
        return Pick(1, 204);
    }
  }

  void AppendSegment(std::string& bits) {
    switch (Pick(0, 9)) {
      case 0:
        for (int n = Pick(1, 200); n > 0; --n) bits.push_back(Chance(0.5) ? '1' : '0');
        break;
      case 1: {  // separators and stray characters
        static const char kStray[] = {' ', '\r', '\0', 'x', '2', '\t', '\x7f'};
        for (int n = Pick(1, 3); n > 0; --n) bits.push_back(kStray[Pick(0, 6)]);
        break;
      }
      case 2:  // a block A without its B
        bits += decoder_test::Bits(Word(), Offset::kA) + decoder_test::Bits(Word(), Offset::kD);
        break;
      case 3:
        AppendStation(bits);
        break;
      default:
        for (int n = Pick(1, 12); n > 0; --n) AppendRandomGroup(bits);
        break;
    }
  }

  void AppendRandomGroup(std::string& bits) {
    static const int kTypes[] = {0, 0, 0, 2, 2, 2, 4, 4, 1, 3, 10, 15};
    const int type = kTypes[Pick(0, 11)];
    const int version = Chance(0.3) ? 1 : 0;
    const std::uint16_t pi = Word();
    const std::uint16_t b =
        rds::BlockB(type, version != 0, Pick(0, 1) != 0, Pick(0, 31), Pick(0, 31));
    std::uint16_t c = Word();
    std::uint16_t d = Word();
    if (type == 0) {
      c = version ? pi : static_cast<std::uint16_t>(AfCode() << 8 | AfCode());
      d = TextWord();
    } else if (type == 2) {
      c = version ? pi : TextWord();
      d = TextWord();
    } else if (type == 4 && Chance(0.7)) {
      const auto mjd = static_cast<std::uint32_t>(Pick(0, 131071));
      const int hour = Pick(0, 31);
      const int minute = Pick(0, 63);
      const int negative = Pick(0, 1);
      const int half_hours = Pick(0, 31);
      const rds::Group ct = rds::ClockTimeGroup(
          pi, false, 0, {mjd, hour, minute, negative != 0 ? -half_hours : half_hours});
      const unsigned low5 = ct.blocks[1] & 3u;
      c = ct.blocks[2];
      // The sign bit on its own, so that "minus zero" half hours reach the decoders too.
      d = static_cast<std::uint16_t>(ct.blocks[3] | negative << 5);
      bits += decoder_test::Group(pi, static_cast<std::uint16_t>((b & ~3u) | low5), c, d);
      return;
    }
    bits += decoder_test::Group(pi, b, c, d);
  }

  void AppendStation(std::string& bits) {
    capture::StationConfig config;
    config.pi = Word();
    config.pty = Pick(0, 31);
    config.ps.clear();
    for (int i = 0; i < 8; ++i) config.ps.push_back(static_cast<char>(TextByte()));
    config.radiotexts.clear();
    for (int t = Pick(1, 3); t > 0; --t) {
      std::string text;
      for (int n = Pick(0, 64); n > 0; --n) text.push_back(static_cast<char>(TextByte()));
      config.radiotexts.push_back(text);
    }
    config.af_codes.clear();
    for (int n = Pick(0, 25); n > 0; --n) config.af_codes.push_back(Pick(1, 204));
    capture::Station station(config);
    for (int n = Pick(4, 40); n > 0; --n) station.AppendNextGroup(bits);
  }

  std::string CountLine(long length) {
    long count = length + 1;
    switch (Pick(0, 7)) {
      case 0:
        count = length;
        break;
      case 1:
        count = Pick(-3, 60);
        break;
      case 2:
        count = length / 2 + Pick(1, 100);
        break;
      case 3:
        count = length * 2 + Pick(0, 300);
        break;
      default:
        break;
    }
    std::string number = std::to_string(count);
    switch (Pick(0, 6)) {
      case 0:
        return number + "\r\n";
      case 1:
        return " \t+" + number + "z\n";
      case 2: {  // nine characters exactly, then a few that join the bit line
        const std::size_t pad = number.size() < 9 ? 9 - number.size() : 0;
        std::string line = std::string(pad, '0') + number;
        for (int n = Pick(0, 3); n > 0; --n) line.push_back("01x\n"[Pick(0, 3)]);
        return line;
      }
      case 3:
        return number + "\r";
      default:
        return number + "\n";
    }
  }

  std::string LineEnd() {
    switch (Pick(0, 4)) {
      case 0:
        return "\r\n";
      case 1:
        return "";
      case 2:
        return "\r";
      default:
        return "\n";
    }
  }

  std::string Trailer() { return Chance(0.3) ? "1111111111111111111111111111\n" : ""; }

  std::mt19937 random_;
};

TEST(Equivalence, FastReportEqualsReferenceOnRandomCaptures) {
  int synchronised = 0;
  for (unsigned seed = 1; seed <= 1500; ++seed) {
    const std::string capture = RandomCapture(seed).Make();
    const decoder_test::Result reference = decoder_test::RunReference(capture);
    if (reference.code == decoder::ExitCode::kDone) ++synchronised;

    const decoder_test::Result fast = decoder_test::RunFast(capture);
    ASSERT_EQ(fast.code, reference.code) << "seed " << seed;
    ASSERT_EQ(fast.report, reference.report) << "seed " << seed;

    const decoder_test::Result chunked =
        decoder_test::RunFast(capture, decoder::BufferSizes{256, 300}, 1 + seed % 97);
    ASSERT_EQ(chunked.code, reference.code) << "seed " << seed;
    ASSERT_EQ(chunked.report, reference.report) << "seed " << seed;

    // The receiver's block layer, plain: the same blocks, so the same report.
    const decoder_test::Result plain = decoder_test::RunPlain(capture, 1 + seed % 97);
    ASSERT_EQ(plain.code, reference.code) << "seed " << seed;
    ASSERT_EQ(plain.report, reference.report) << "seed " << seed;
  }
  // The random captures must mostly synchronise, or the comparison says little.
  EXPECT_GT(synchronised, 750);
}

}  // namespace

// The shipped sample: a station over a minute and more, with bit errors.
TEST(Equivalence, ShippedSampleDecodesAlikeInBothPaths) {
  std::ifstream in(RDS_SAMPLE_CAPTURE, std::ios::binary);
  ASSERT_TRUE(in) << RDS_SAMPLE_CAPTURE;
  const std::string capture{std::istreambuf_iterator<char>(in), {}};
  const decoder_test::Result reference = decoder_test::RunReference(capture);
  ASSERT_EQ(reference.code, decoder::ExitCode::kDone);
  EXPECT_NE(reference.report.find(" ?  - "), std::string::npos);  // its bit errors show
  EXPECT_NE(reference.report.find("CT="), std::string::npos);
  const decoder_test::Result fast = decoder_test::RunFast(capture);
  EXPECT_EQ(fast.code, reference.code);
  EXPECT_EQ(fast.report, reference.report);
}
