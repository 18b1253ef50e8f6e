// rds-demod on multiplex recordings from rds-capture-gen, whose bit file (-o) says what was
// sent: a clean recording comes back bit for bit, every impairment a receiver meets is ridden
// through, and a live stream flows through rds-demod into brovik as it comes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr double kBitRate = 1187.5;
constexpr int kGroupBits = 104;

int Shell(const std::string& command, std::string* errors = nullptr) {
  ChildProcess child("/bin/sh", {"-c", command});
  const int code = child.Wait(60000);
  if (errors != nullptr) *errors = child.Errors();
  return code;
}

// The bit line of a capture file.
std::string Bits(const std::string& path) {
  std::ifstream in(path);
  std::string count, bits;
  std::getline(in, count);
  std::getline(in, bits);
  return bits;
}

// Sends `groups` groups of the generator's station as a multiplex with `options`, demodulates
// it, and returns what was sent and what came back.
struct Transfer {
  std::string sent;
  std::string received;
};
Transfer Send(const ScratchDir& dir, int groups, int rate, const std::string& options,
              const std::string& demod_options = "") {
  const std::string wav = dir.Path("mpx.wav");
  std::string errors;
  EXPECT_EQ(Shell(std::string(RDS_CAPTURE_GEN) + " --groups " + std::to_string(groups) + " --mpx " +
                      wav + " --mpx-rate " + std::to_string(rate) + " -o " + dir.Path("sent.txt") +
                      " " + options,
                  &errors),
            0)
      << errors;
  EXPECT_EQ(Shell(std::string(RDS_DEMOD) + " " + demod_options + " " + wav + " " +
                      dir.Path("received.txt"),
                  &errors),
            0)
      << errors;
  return {Bits(dir.Path("sent.txt")), Bits(dir.Path("received.txt"))};
}

// Where the received stream lines up with the sent one: received bit i is sent bit i − shift.
// Taken from a run of three whole groups after the receiver has locked.
long Alignment(const Transfer& t, long from_group) {
  const std::string probe =
      t.sent.substr(static_cast<std::size_t>(from_group * kGroupBits), std::size_t{3} * kGroupBits);
  const std::size_t at = t.received.find(probe);
  return at == std::string::npos ? -1000000 : static_cast<long>(at) - from_group * kGroupBits;
}

// The sent groups (first and last left out) that did not come back exactly, following the
// receiver through slips of a few bits.
std::vector<long> MissingGroups(const Transfer& t, long from_group = 3) {
  long shift = Alignment(t, from_group);
  std::vector<long> missing;
  const long groups = static_cast<long>(t.sent.size()) / kGroupBits;
  for (long g = 1; g + 1 < groups; ++g) {
    const std::string want = t.sent.substr(static_cast<std::size_t>(g * kGroupBits), kGroupBits);
    bool found = false;
    for (const long d : {0L, -1L, 1L, -2L, 2L, -3L, 3L, -4L, 4L, -6L, 6L, -8L, 8L}) {
      const long at = g * kGroupBits + shift + d;
      if (at >= 0 && t.received.compare(static_cast<std::size_t>(at), kGroupBits, want) == 0) {
        shift += d;
        found = true;
        break;
      }
    }
    if (!found) missing.push_back(g);
  }
  return missing;
}

long GroupAt(double seconds) { return static_cast<long>(seconds * kBitRate / kGroupBits); }

TEST(DemodChain, CleanRecordingComesBackBitForBit) {
  for (const int rate : {128000, 171000, 192000, 228000, 250000, 384000}) {
    ScratchDir dir;
    const Transfer t = Send(dir, 200, rate, "");
    // From the first block after lock to the end, every bit as sent.
    const long shift = Alignment(t, 1);
    ASSERT_GT(shift, -kGroupBits) << rate;
    ASSERT_LT(shift, kGroupBits) << rate;
    const auto first = static_cast<std::size_t>(kGroupBits + shift);
    const std::string expected = t.sent.substr(kGroupBits);
    ASSERT_GE(t.received.size(), first + expected.size()) << rate << ": bits missing at the end";
    EXPECT_EQ(t.received.substr(first, expected.size()), expected) << rate;
  }
}

TEST(DemodChain, RidesThroughWhatAReceiverMeets) {
  struct Case {
    const char* what;
    int rate;
    std::string options;
    double lost_from, lost_to;  // seconds in which groups may be lost
  };
  const Case cases[] = {
      {"noise at 6 dB", 171000, "--snr 6", 0, 0},
      {"subcarrier 10 Hz high", 171000, "--carrier-offset 10", 0, 0.3},
      {"subcarrier 10 Hz low", 228000, "--carrier-offset -10", 0, 0.3},
      {"subcarrier 10 Hz off, no pilot", 171000, "--carrier-offset 10 --no-pilot", 0, 0.3},
      {"clock 100 ppm fast", 171000, "--clock-ppm 100", 0, 0},
      {"clock 100 ppm slow", 192000, "--clock-ppm -100", 0, 0},
      {"no pilot", 250000, "--no-pilot", 0, 0},
      {"programme audio at full level", 171000, "--audio tone:1000 --audio-level 80", 0, 0},
      {"loud audio near the pilot", 228000, "--audio tone:14950 --audio-level 80", 0, 0},
      {"inverted polarity", 171000, "--invert", 0, 0},
      {"at -40 dBFS", 171000, "--level-db -40", 0, 0},
      {"30 dB down in the middle", 171000, "--level-step 8:-30", 7.9, 8.2},
      {"30 dB up in the middle", 171000, "--level-db -30 --level-step 8:30", 7.9, 8.2},
      {"a second of silence, then the signal again", 171000, "--gap 8:1", 7.9, 9.3},
      {"silence and pilot loss together", 171000, "--no-pilot --gap 8:2 --snr 10", 7.9, 10.3},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    const Transfer t = Send(dir, 180, c.rate, c.options);
    for (const long g : MissingGroups(t)) {
      const bool excused = g >= GroupAt(c.lost_from) && g <= GroupAt(c.lost_to) + 1;
      EXPECT_TRUE(excused) << c.what << ": group " << g << " lost ("
                           << static_cast<double>(g * kGroupBits) / kBitRate << " s)";
    }
  }
}

TEST(DemodChain, LiveStreamReachesBrovikAsItComes) {
  ScratchDir dir;
  const std::string raw = dir.Path("mpx.raw");
  ASSERT_EQ(Shell(std::string(RDS_CAPTURE_GEN) + " --seconds 3 --mpx - --mpx-rate 171000 > " + raw),
            0);
  // Three seconds of samples, then the source stalls: the bits of those three seconds must come
  // out of the pipeline while it waits, and brovik must have decoded them.
  ChildProcess live(
      "/bin/sh", {"-c", "(cat " + raw + "; sleep 8) | " + std::string(RDS_DEMOD) +
                            " --rate 171000 - - | " + std::string(RDS_BROVIK) + " --stream - -"});
  int lines_with_pi = 0;
  for (int i = 0; i < 200 && lines_with_pi < 10; ++i) {
    const std::string line = live.ReadLine(3000);
    if (line.empty()) break;
    if (line.find("PI=d3a1") != std::string::npos) ++lines_with_pi;
  }
  // 3 s hold about 34 groups; ten of them must have come through before the stall ends.
  EXPECT_GE(lines_with_pi, 10);
}

}  // namespace
