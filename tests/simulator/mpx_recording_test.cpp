// rds-encoder-sim recording its air as an MPX: the live samples on standard output, and settings
// refused without a file left behind. The WAV beside the bit-stream file and what it carries are
// checked against an independent receiver in tests/mpx.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"

namespace {

// Samples in `groups` groups of air at `rate`: the last one before the end of the last bit.
long long SamplesIn(long long groups, long long rate) {
  return (groups * 104 * 2 * rate + 2374) / 2375;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

TEST(SimulatorMpx, LiveSamplesOnStandardOutputAndTheWhereLineOnStandardError) {
  ChildProcess sim(RDS_ENCODER_SIM, {"--tcp", "0", "--groups", "3", "--mpx", "-"});
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  EXPECT_EQ(sim.Errors().rfind("127.0.0.1:", 0), 0U) << sim.Errors();
  EXPECT_EQ(static_cast<long long>(sim.Output().size()), 2 * SamplesIn(3, 228000));
}

TEST(SimulatorMpx, BadSettingsAreRefusedWithoutLeavingAFile) {
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
      {{"--mpx", out, "--pilot-level", "60", "--rds-level", "50"}, 64, "exceed full scale"},
      {{"--rds-level", "3"}, 64, "needs --mpx"},
      {{"--mpx", out, "--out", out}, 64, "the same file"},
  };
  for (const Case& c : cases) {
    ChildProcess sim(RDS_ENCODER_SIM, c.args);
    EXPECT_EQ(sim.Wait(), c.code) << c.args[1];
    EXPECT_NE(sim.Errors().find(c.message), std::string::npos) << sim.Errors();
    EXPECT_TRUE(sim.Output().empty()) << c.args[1];  // refused before going on air
    EXPECT_FALSE(Exists(out) || Exists(out + ".part")) << c.args[1];
  }
}

}  // namespace
