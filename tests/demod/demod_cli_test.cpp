// The rds-demod program in a scratch directory: the capture file's form, the bit stream, and an
// exit code and a message for every kind of bad input, with what was decoded before a fault kept.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"

namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

// rds-demod with `args`, through the shell so that standard input can be redirected.
Outcome Demod(const std::string& args) {
  ChildProcess child("/bin/sh", {"-c", std::string(RDS_DEMOD) + " " + args});
  const int code = child.Wait(30000);
  return {code, child.Output(), child.Errors()};
}

// A sound file of `seconds` of a 57 kHz tone with a 19 kHz pilot (no data: the bits are noise,
// but every stage runs).
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): as libsndfile names them
void WriteAudio(const std::string& path, int rate, double seconds, int format, int channels = 1) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<float> frames;
  for (int n = 0; n < static_cast<int>(seconds * rate); ++n) {
    const double t = static_cast<double>(n) / rate;
    const auto x = static_cast<float>(0.09 * std::cos(2 * M_PI * 19000 * t) +
                                      0.03 * std::cos(2 * M_PI * 57000 * t));
    for (int c = 0; c < channels; ++c) frames.push_back(c == 0 ? x : 0.0f);
  }
  sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
  sf_close(file);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The capture's count line must be exactly 8 characters and a newline, the count the bits + 1.
void ExpectCapture(const std::string& path) {
  const std::string capture = Slurp(path);
  ASSERT_GE(capture.size(), 10u);
  EXPECT_EQ(capture[8], '\n');
  const std::string bits = capture.substr(9, capture.size() - 10);
  EXPECT_EQ(std::stol(capture.substr(0, 8)), static_cast<long>(bits.size()) + 1);
  EXPECT_EQ(bits.find_first_not_of("01"), std::string::npos);
  EXPECT_EQ(capture.back(), '\n');
}

TEST(DemodCli, CaptureFileStreamAndInputFormats) {
  ScratchDir dir;
  WriteAudio(dir.Path("a.wav"), 171000, 1.0, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  WriteAudio(dir.Path("a.flac"), 192000, 1.0, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  WriteAudio(dir.Path("s.wav"), 228000, 1.0, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2);
  WriteAudio(dir.Path("r.raw"), 250000, 1.0, SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE);
  WriteAudio(dir.Path("f.raw"), 171000, 1.0, SF_FORMAT_RAW | SF_FORMAT_FLOAT | SF_ENDIAN_LITTLE);
  struct Case {
    std::string args;
    std::string capture;  // empty: the bits go to standard output
    std::string message;  // expected on standard error (empty: nothing)
  };
  const Case cases[] = {
      {dir.Path("a.wav") + " " + dir.Path("1.txt"), dir.Path("1.txt"), ""},
      {dir.Path("a.flac") + " " + dir.Path("2.txt"), dir.Path("2.txt"), ""},
      {dir.Path("s.wav") + " " + dir.Path("3.txt"), dir.Path("3.txt"),
       "2 channels; using the first"},
      {"--rate 250000 - " + dir.Path("4.txt") + " < " + dir.Path("r.raw"), dir.Path("4.txt"), ""},
      {"--rate=171000 --format f32 - - < " + dir.Path("f.raw"), "", ""},
      {"--progress " + dir.Path("a.wav") + " -", "", "groups, block errors"},
  };
  for (const Case& c : cases) {
    const Outcome run = Demod(c.args);
    EXPECT_EQ(run.code, 0) << c.args << ": " << run.err;
    if (c.message.empty()) {
      EXPECT_EQ(run.err, "") << c.args;
    } else {
      EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
    }
    if (!c.capture.empty()) {
      ExpectCapture(c.capture);
    } else {
      // One second is about 1187 bits, in lines of 104.
      EXPECT_GT(run.out.size(), 1100u) << c.args;
      EXPECT_EQ(run.out.find_first_not_of("01\n"), std::string::npos) << c.args;
    }
  }
}

TEST(DemodCli, BadInputGivesAnExitCodeAndAMessage) {
  ScratchDir dir;
  WriteAudio(dir.Path("ok.wav"), 171000, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  WriteAudio(dir.Path("slow.wav"), 96000, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  WriteAudio(dir.Path("fast.wav"), 400000, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  WriteAudio(dir.Path("none.wav"), 171000, 0, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  std::ofstream(dir.Path("text.wav")) << "this is no audio at all\n";
  std::ofstream(dir.Path("empty.wav")).close();
  const std::string whole = Slurp(dir.Path("ok.wav"));
  std::ofstream(dir.Path("cut.wav"), std::ios::binary) << whole.substr(0, whole.size() / 2);
  std::ofstream(dir.Path("odd.raw"), std::ios::binary) << std::string(100001, '\0');
  std::ofstream(dir.Path("odd.f32"), std::ios::binary) << std::string(400002, '\0');
  struct Case {
    std::string args;
    int code;
    std::string message;
    std::string kept;  // a capture that must hold what was decoded before the fault
  };
  const Case cases[] = {
      {"--bogus", 64, "unknown option", ""},
      {"- -", 64, "need --rate", ""},
      {"--rate 171000 " + dir.Path("ok.wav"), 64, "--rate is for raw input", ""},
      {"a b c", 64, "more than two files", ""},
      {"--format s24 --rate 171000", 64, "--format", ""},
      {dir.Path("missing.wav"), 1, "cannot open input", ""},
      {dir.Path(""), 1, "Is a directory", ""},
      {dir.Path("ok.wav") + " " + dir.Path("ok.wav"), 1, "same file", ""},
      {dir.Path("ok.wav") + " " + dir.Path("no/such/dir.txt"), 1, "cannot create", ""},
      {dir.Path("text.wav"), 2, "no audio in", ""},
      {dir.Path("empty.wav"), 2, "empty", ""},
      {dir.Path("none.wav"), 2, "no samples", ""},
      {dir.Path("slow.wav"), 3, "outside 128000 to 384000", ""},
      {dir.Path("fast.wav"), 3, "outside 128000 to 384000", ""},
      {"--rate 127999 -", 3, "outside 128000 to 384000", ""},
      {"--rate 384001 -", 3, "outside 128000 to 384000", ""},
      {dir.Path("cut.wav") + " " + dir.Path("cut.txt"), 4, "breaks off", dir.Path("cut.txt")},
      {"--rate 171000 - " + dir.Path("odd.txt") + " < " + dir.Path("odd.raw"), 4,
       "ends inside a sample", dir.Path("odd.txt")},
      {"--rate 200000 --format f32 - " + dir.Path("f.txt") + " < " + dir.Path("odd.f32"), 4,
       "ends inside a sample", dir.Path("f.txt")},
      {dir.Path("ok.wav") + " /dev/full", 1, "cannot write", ""},
  };
  for (const Case& c : cases) {
    const Outcome run = Demod(c.args);
    EXPECT_EQ(run.code, c.code) << c.args << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
    if (!c.kept.empty()) {
      ExpectCapture(c.kept);
      // A quarter of a second or more of signal came before each fault: some 300 bits.
      EXPECT_GT(Slurp(c.kept).size(), 250u) << c.args;
    }
  }
}

}  // namespace
