// rds-encoder-sim as a process: a sender on its pseudo-terminal or TCP port, the replies it
// gets, and the bit-stream file the run leaves behind.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/simulator/test_bytes.h"
#include "tests/support/child_process.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scratch_dir.h"

namespace {

using testing_pty::OpenRawTerminal;

using Clock = std::chrono::steady_clock;

// rds-encoder-sim with the given arguments.
class Simulator : public ChildProcess {
 public:
  explicit Simulator(const std::vector<std::string>& args) : ChildProcess(RDS_ENCODER_SIM, args) {}

  // The first line of standard output: where senders connect.
  std::string Where() { return ReadLine(); }
};

// Reads what arrives within the time, stopping early after a frame's STP or `expected` bytes.
std::vector<std::uint8_t> ReadReply(int fd, std::size_t expected, int timeout_ms = 3000) {
  std::vector<std::uint8_t> reply;
  char c;
  while (reply.size() < expected && ChildProcess::ReadWithin(fd, &c, timeout_ms)) {
    reply.push_back(static_cast<std::uint8_t>(c));
  }
  return reply;
}

void Send(int fd, const std::string& hex) {
  const std::vector<std::uint8_t> bytes = Bytes(hex);
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// The groups of a bit-stream file, checked block by block against the RDS parity-check matrix.
struct Air {
  long count = 0;
  std::vector<std::array<std::uint16_t, 4>> groups;
  bool checkwords_ok = true;
};

Air ReadAir(const std::string& path) {
  static constexpr std::uint16_t kRows[26] = {
      0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F, 0x287,
      0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100, 0x200};
  static constexpr std::uint16_t kSyndromes[4] = {0x3D8, 0x3D4, 0x25C, 0x258};
  Air air;
  std::ifstream in(path);
  std::string bits;
  in >> air.count >> bits;
  for (std::size_t g = 0; g + 104 <= bits.size(); g += 104) {
    std::array<std::uint16_t, 4> group{};
    for (int b = 0; b < 4; ++b) {
      const std::uint32_t block =
          std::stoul(bits.substr(g + 26 * static_cast<std::size_t>(b), 26), nullptr, 2);
      std::uint16_t syndrome = 0;
      for (int i = 0; i < 26; ++i) {
        if ((block >> i) & 1U) syndrome ^= kRows[i];
      }
      air.checkwords_ok = air.checkwords_ok && syndrome == kSyndromes[b];
      group[b] = static_cast<std::uint16_t>(block >> 10);
    }
    air.groups.push_back(group);
  }
  air.checkwords_ok = air.checkwords_ok && air.count == static_cast<long>(bits.size()) + 1 &&
                      bits.size() % 104 == 0;
  return air;
}

std::string PsOf(const Air& air) {
  std::string ps(8, '?');
  for (const auto& g : air.groups) {
    if ((g[1] >> 11) != 0) continue;
    const std::size_t at = 2 * static_cast<std::size_t>(g[1] & 3);
    ps[at] = static_cast<char>(g[3] >> 8);
    ps[at + 1] = static_cast<char>(g[3] & 0xFF);
  }
  return ps;
}

const char kAckOk[] = "FE 00 00 00 02 18 00 15 55 FF";

TEST(SimulatorProcess, PtySessionEndsWhenTheSenderHangsUp) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  Simulator sim({"--link", dir + "/encoder", "--out", dir + "/rds-in.txt", "--hold", "1"});
  const std::string where = sim.Where();
  ASSERT_EQ(where.rfind("/dev/pts/", 0), 0U) << where;
  const int fd = OpenRawTerminal(dir + "/encoder");
  ASSERT_GE(fd, 0);
  Send(fd, "FE 00 00 00 05 01 00 00 41 23 24 21 FF");
  EXPECT_EQ(ReadReply(fd, 10), Bytes(kAckOk));
  // A frame in two pieces is one frame.
  Send(fd, "FE 00 00 00 0B 02 00 00 20 52");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Send(fd, "41 44 49 4F 20 20 C7 89 FF");
  EXPECT_EQ(ReadReply(fd, 10), Bytes(kAckOk));
  Send(fd, "FE 00 00 00 04 07 00 00 09 87 C4 FF");
  EXPECT_EQ(ReadReply(fd, 11), Bytes("FE 00 00 00 03 18 01 00 4C 1E FF"));
  close(fd);
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();

  const Air air = ReadAir(dir + "/rds-in.txt");
  EXPECT_TRUE(air.checkwords_ok);
  ASSERT_GE(air.groups.size(), 11U);  // one second held after the hangup
  EXPECT_EQ(air.groups.back()[0], 0x4123);
  EXPECT_EQ(PsOf(air), " RADIO  ");
  struct stat info {};
  EXPECT_NE(lstat((dir + "/encoder").c_str(), &info), 0);  // the link went with the run
  EXPECT_NE(sim.Errors().find("2 frame(s) applied, 1 refused"), std::string::npos);
}

TEST(SimulatorProcess, UnfinishedFrameIsAnsweredAfterTheFrameTimeout) {
  Simulator sim({"--frame-timeout", "200", "--seconds", "3"});
  const int fd = OpenRawTerminal(sim.Where());
  ASSERT_GE(fd, 0);
  const auto start = Clock::now();
  Send(fd, "FE 00 00 05 04");
  EXPECT_EQ(ReadReply(fd, 11), Bytes("FE 00 00 05 03 18 02 05 6A BF FF"));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
  close(fd);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(SimulatorProcess, TcpWithTextReplies) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  Simulator sim(
      {"--tcp", "0", "--reply", "text:OK\\r\\n", "--out", dir + "/air.txt", "--hold", "0.5"});
  const std::string where = sim.Where();
  ASSERT_EQ(where.rfind("127.0.0.1:", 0), 0U) << where;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(where.substr(10))));
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  Send(fd, "FE 00 00 00 05 01 00 00 41 23 24 21 FF");
  EXPECT_EQ(ReadReply(fd, 4), Text("OK\r\n"));
  Send(fd, "FE 00 00 00 04 03 00 00 04 9C 9F FF");
  EXPECT_EQ(ReadReply(fd, 5), Text("ERR 6"));
  close(fd);
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  const Air air = ReadAir(dir + "/air.txt");
  EXPECT_TRUE(air.checkwords_ok);
  ASSERT_FALSE(air.groups.empty());
  EXPECT_EQ(air.groups.back()[0], 0x4123);
}

TEST(SimulatorProcess, EndsAtTheAirTimeOrOnASignal) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  Simulator timed({"--seconds", "0.5", "--out", dir + "/timed.txt"});
  ASSERT_FALSE(timed.Where().empty());
  ASSERT_EQ(timed.Wait(), 0) << timed.Errors();
  EXPECT_EQ(ReadAir(dir + "/timed.txt").groups.size(), 5U);  // 0.5 s × 1187.5 / 104

  Simulator counted({"--groups", "3", "--out", dir + "/counted.txt"});
  ASSERT_EQ(counted.Wait(), 0) << counted.Errors();
  EXPECT_EQ(ReadAir(dir + "/counted.txt").groups.size(), 3U);

  Simulator signalled({"--out", dir + "/signalled.txt"});
  ASSERT_FALSE(signalled.Where().empty());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  signalled.Signal(SIGTERM);
  ASSERT_EQ(signalled.Wait(), 0) << signalled.Errors();
  const Air air = ReadAir(dir + "/signalled.txt");
  EXPECT_TRUE(air.checkwords_ok);
  EXPECT_GE(air.groups.size(), 3U);
}

TEST(SimulatorProcess, UsageAndSetupErrors) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  std::ofstream(dir + "/precious") << "keep me";
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  } const cases[] = {
      {{"--bogus"}, 64, "unknown option '--bogus'"},
      {{"--tcp", "70000"}, 64, "--tcp needs a port"},
      {{"--reply", "maybe"}, 64, "--reply takes ack, text:STRING or none"},
      {{"--reply", "text:"}, 64, "non-empty STRING"},
      {{"--seconds", "-1"}, 64, "--seconds needs a number"},
      {{"--out"}, 64, "--out needs a value"},
      {{"--link", dir + "/precious"}, 1, "exists and is not a symbolic link"},
      {{"--groups", "2", "--out", dir + "/no/such/dir/air.txt"}, 1, "cannot create"},
  };
  for (const Case& c : cases) {
    Simulator sim(c.args);
    EXPECT_EQ(sim.Wait(), c.code) << c.args[0];
    EXPECT_NE(sim.Errors().find(c.message), std::string::npos) << c.args[0];
  }
  std::ifstream kept(dir + "/precious");
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "keep me");
}

}  // namespace
