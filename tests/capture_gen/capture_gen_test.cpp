// rds-capture-gen's MPX recordings, as a demodulator would meet them: the noise at the SNR
// asked for, the bits of the bit-stream file from its first sample on, the level changes, the
// same capture again from the same seed, and bad settings refused without leaving a file.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/power_density.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBitRate = 1187.5;

struct Outcome {
  int code;
  std::string errors;
};

Outcome Generate(const std::vector<std::string>& args) {
  ChildProcess gen(RDS_CAPTURE_GEN, args);
  const int code = gen.Wait(30000);
  return {code, gen.Errors()};
}

struct Recording {
  int rate = 0;
  std::vector<float> samples;
};

Recording ReadWav(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  Recording recording;
  if (file == nullptr) return recording;
  recording.rate = info.samplerate;
  recording.samples.resize(static_cast<std::size_t>(info.frames));
  sf_read_float(file, recording.samples.data(), info.frames);
  sf_close(file);
  return recording;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

double MeanSquare(const std::vector<float>& x, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t n = from; n < to; ++n) sum += static_cast<double>(x[n]) * x[n];
  return sum / static_cast<double>(to - from);
}

TEST(CaptureGenMpx, NoiseGivesTheSnrAskedFor) {
  const ScratchDir dir;
  struct Case {
    const char* rate;
    double snr_db;
  } const cases[] = {{"171000", 20}, {"192000", 0}, {"228000", 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    const std::vector<std::string> common = {"--seconds",  "1.5",          "--mpx-rate", c.rate,
                                             "--no-pilot", "--mpx-format", "float"};
    std::vector<std::string> clean_args = common;
    clean_args.insert(clean_args.end(), {"--mpx", dir.Path("clean.wav")});
    std::vector<std::string> noisy_args = common;
    noisy_args.insert(noisy_args.end(),
                      {"--mpx", dir.Path("noisy.wav"), "--snr", std::to_string(c.snr_db)});
    ASSERT_EQ(Generate(clean_args).code, 0);
    ASSERT_EQ(Generate(noisy_args).code, 0);
    const Recording clean = ReadWav(dir.Path("clean.wav"));
    const Recording noisy = ReadWav(dir.Path("noisy.wav"));
    ASSERT_EQ(clean.samples.size(), noisy.samples.size());
    std::vector<float> noise(clean.samples.size());
    for (std::size_t n = 0; n < noise.size(); ++n) noise[n] = noisy.samples[n] - clean.samples[n];
    // The noise power within 57 kHz ± 2.4 kHz, measured on its spectrum.
    const Spectrum s = PowerSpectrum(noise, clean.rate, false);
    const double band_noise = MeanSquare(noise, 0, noise.size()) * s.Band(54600, 59400) / s.Total();
    const double snr = 10 * std::log10(MeanSquare(clean.samples, 0, noise.size()) / band_noise);
    EXPECT_NEAR(snr, c.snr_db, 0.3);
  }
}

TEST(CaptureGenMpx, StartsWithTheFirstBitAndCarriesTheBitFile) {
  const ScratchDir dir;
  struct Case {
    const char* rate;
    const char* format;
    bool invert;
  } const cases[] = {{"171000", "s16", false},
                     {"192000", "float", true},
                     {"228000", "s16", false},
                     {"250000", "float", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    std::vector<std::string> args = {
        "--groups",   "12",   "--offset",           "13",    "--seed",
        "3",          "-o",   dir.Path("bits.txt"), "--mpx", dir.Path("air.wav"),
        "--mpx-rate", c.rate, "--mpx-format",       c.format};
    if (c.invert) args.emplace_back("--invert");
    const Outcome run = Generate(args);
    ASSERT_EQ(run.code, 0) << run.errors;
    const Recording air = ReadWav(dir.Path("air.wav"));
    std::string bits = ReadText(dir.Path("bits.txt"));
    bits = bits.substr(bits.find('\n') + 1, 13 + 12 * 104);
    const double samples_per_bit = air.rate / kBitRate;
    EXPECT_EQ(
        air.samples.size(),
        static_cast<std::size_t>(std::ceil(static_cast<double>(bits.size()) * samples_per_bit)));

    // Bit k's biphase symbol: + in its first half, - in its second, each half centred on an
    // impulse, on a carrier that starts at sample 0. Its sign, differentially decoded, is the bit.
    int previous = 0;
    std::string decoded;
    const auto length = static_cast<double>(air.samples.size());
    for (std::size_t k = 0; k < bits.size(); ++k) {
      const auto bit = static_cast<double>(k);
      double sum = 0;
      // n takes whole numbers, which a double holds exactly.
      for (double n = std::max(0.0, std::ceil((bit - 0.25) * samples_per_bit));
           n < (bit + 0.75) * samples_per_bit && n < length; ++n) {  // NOLINT(cert-flp30-c)
        const double u = n / samples_per_bit - bit;
        sum += (u < 0.25 ? 1.0 : -1.0) * air.samples[static_cast<std::size_t>(n)] *
               std::sin(2 * kPi * 57000 * n / air.rate);
      }
      const int level = sum > 0 ? 1 : 0;
      decoded.push_back((level ^ previous) != 0 ? '1' : '0');
      previous = level;
    }
    // The first bit depends on the level before it, which inverted polarity flips.
    EXPECT_EQ(decoded.substr(1), bits.substr(1));

    // The peak the summary reports is the recording's.
    float peak = 0;
    for (const float v : air.samples) peak = std::max(peak, std::fabs(v));
    const std::size_t at = run.errors.find("peak ");
    ASSERT_NE(at, std::string::npos) << run.errors;
    EXPECT_NEAR(std::stod(run.errors.substr(at + 5)), peak, 1e-4);
  }
}

TEST(CaptureGenMpx, LevelStepAndGapShowInTheRecording) {
  const ScratchDir dir;
  ASSERT_EQ(Generate({"--seconds", "1.5", "--mpx", dir.Path("air.wav"), "--mpx-format", "float",
                      "--level-step", "1:-20", "--gap", "0.4:0.2"})
                .code,
            0);
  const Recording air = ReadWav(dir.Path("air.wav"));
  auto at = [&](double seconds) { return static_cast<std::size_t>(seconds * air.rate); };
  const double before = MeanSquare(air.samples, at(0.1), at(0.35));
  EXPECT_EQ(MeanSquare(air.samples, at(0.4), at(0.6)), 0.0);
  EXPECT_NEAR(MeanSquare(air.samples, at(1.1), at(1.4)) / before, 0.01, 0.0005);
}

TEST(CaptureGenMpx, SameSeedGivesTheSameCaptureBitForBit) {
  const ScratchDir dir;
  auto capture = [&](const std::string& name, const std::string& seed) {
    EXPECT_EQ(Generate({"--seconds",
                        "0.5",
                        "--seed",
                        seed,
                        "--error-rate",
                        "0.01",
                        "-o",
                        dir.Path(name + ".txt"),
                        "--mpx",
                        dir.Path(name + ".wav"),
                        "--snr",
                        "12",
                        "--carrier-offset",
                        "3",
                        "--clock-ppm",
                        "50",
                        "--audio",
                        "tone:1000",
                        "--level-db",
                        "-6",
                        "--invert",
                        "--level-step",
                        "0.2:-10",
                        "--gap",
                        "0.3:0.1"})
                  .code,
              0);
    return ReadText(dir.Path(name + ".wav")) + ReadText(dir.Path(name + ".txt"));
  };
  const std::string first = capture("first", "5");
  EXPECT_GT(first.size(), 200000U);
  EXPECT_EQ(capture("again", "5"), first);
  EXPECT_NE(capture("other", "6"), first);
}

TEST(CaptureGenMpx, BadSettingsAreRefusedWithoutLeavingAFile) {
  const ScratchDir dir;
  std::ofstream(dir.Path("notes.wav")) << "not audio at all\n";
  const std::string out = dir.Path("air.wav");
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  } const cases[] = {
      {{"--mpx", dir.Path("no/such/dir/air.wav")}, 1, "cannot create"},
      {{"--mpx", out, "--mpx-rate", "96000"}, 64, "--mpx-rate needs a whole number"},
      {{"--mpx", out, "--audio", dir.Path("notes.wav")}, 1, "as audio"},
      {{"--mpx", out, "--pilot-level", "50", "--rds-level", "60"}, 64, "exceed full scale"},
      {{"--mpx", out, "--snr", "-25"}, 64, "noise peak"},
      {{"--mpx", out, "--audio", "tone:1000", "--audio-level", "90"}, 64, "exceed full scale"},
      {{"--snr", "10", "-o", dir.Path("bits.txt")}, 64, "need --mpx"},
      {{"--mpx", out, "-o", out}, 64, "the same file"},
  };
  for (const Case& c : cases) {
    const Outcome run = Generate(c.args);
    EXPECT_EQ(run.code, c.code) << c.args[1];
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    EXPECT_FALSE(Exists(out) || Exists(out + ".part") || Exists(dir.Path("bits.txt"))) << c.args[1];
  }
}

}  // namespace
