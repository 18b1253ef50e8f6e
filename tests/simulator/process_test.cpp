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

#include "tests/simulator/sim_process.h"
#include "tests/simulator/test_bytes.h"
#include "tests/support/child_process.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scratch_dir.h"

namespace {

using testing_pty::OpenRawTerminal;

using Clock = std::chrono::steady_clock;

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
