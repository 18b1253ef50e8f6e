// Read-back end to end: a sender sets values over the pseudo-terminal or TCP, asks for them with
// request elements and gets the encoder's values back; switching RDS off leaves a gap in the air.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fuzz/uecp_reference.h"
#include "tests/simulator/sim_process.h"
#include "tests/simulator/test_bytes.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/uecp_tcp_sender.h"

namespace {

using Frame = std::vector<std::uint8_t>;

// The message field of a frame as received (stuffed, STA to STP).
Frame MessageOf(const Frame& stuffed) {
  if (stuffed.size() < 8 || stuffed.back() != 0xFF) return {};
  const Frame raw = fuzz::Unstuff(stuffed.data(), stuffed.size());
  return Frame(raw.begin() + 5, raw.end() - 3);
}

// One sender's exchange, whatever carries it: each message sent in a frame of its own, and the
// message field of the frame that answers it.
void ReadBackConversation(const std::function<bool(const Frame&)>& send,
                          const std::function<Frame()>& read_frame) {
  struct Step {
    const char* message;
    const char* answer;
  } const steps[] = {
      {"02 00 00 4E 45 57 53 20 32 34 FD", "18 00"},  // PS "NEWS 24" and 0xFD: stuffed both ways
      {"0A 00 00 04 02 48 49 0D 0E 01 F4 22 03 84 1A 00 00 02 00 E0", "18 00"},
      {"17 03 02 00 00", "02 00 00 4E 45 57 53 20 32 34 FD"},
      {"17 03 0A 00 00 17 01 0E 17 01 22 17 03 1A 00 00",
       "0A 00 00 04 02 48 49 0D 0E 01 F4 22 03 84 1A 00 00 02 00 E0"},
      {"17 03 02 07 00", "18 04 04"},  // no data set 7; the SQC of this frame is 4
      {"2C 01", "18 00"},
      {"17 01 2C", "2C 01"},
  };
  std::uint8_t sequence = 0;
  for (const Step& step : steps) {
    ASSERT_TRUE(send(fuzz::ReferenceFrame(0, sequence++, Bytes(step.message)))) << step.message;
    EXPECT_EQ(MessageOf(read_frame()), Bytes(step.answer)) << step.message;
  }
}

TEST(SimulatorReadBack, OverThePseudoTerminal) {
  Simulator sim({"--seconds", "10"});
  const int fd = testing_pty::OpenRawTerminal(sim.Where());
  ASSERT_GE(fd, 0);
  ReadBackConversation(
      [fd](const Frame& frame) {
        return write(fd, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size());
      },
      [fd] {
        Frame frame;
        char c;
        while (ChildProcess::ReadWithin(fd, &c, 3000)) {
          frame.push_back(static_cast<std::uint8_t>(c));
          if (frame.back() == 0xFF) break;
        }
        return frame;
      });
  close(fd);
  EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
}

TEST(SimulatorReadBack, OverTcpAndRdsOffLeavesAGapInTheAir) {
  const ScratchDir scratch;
  const std::string out = scratch.path() + "/air.txt";
  Simulator sim({"--tcp", "0", "--out", out, "--seconds", "2", "--keep-running"});
  UecpTcpSender sender(sim.Where());
  ASSERT_TRUE(sender.ok());
  ReadBackConversation([&sender](const Frame& frame) { return sender.Send(frame); },
                       [&sender] { return sender.ReadFrame(); });
  // Mode 1 answers requests only: RDS off and on again go unanswered.
  ASSERT_TRUE(sender.Send(fuzz::ReferenceFrame(0, 9, Bytes("1E 00"))));
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  ASSERT_TRUE(sender.Send(fuzz::ReferenceFrame(0, 10, Bytes("1E 01"))));
  EXPECT_FALSE(sender.MoreWithin(200));
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  // Two seconds are 22 slots; about nine of them passed without RDS.
  const Air air = ReadAir(out);
  EXPECT_TRUE(air.checkwords_ok);
  EXPECT_LE(air.groups.size(), 16U);
  EXPECT_GE(air.groups.size(), 5U);
  EXPECT_EQ(PsOf(air), "NEWS 24\xFD");
  EXPECT_NE(sim.Errors().find("RDS off for "), std::string::npos) << sim.Errors();
}

}  // namespace
