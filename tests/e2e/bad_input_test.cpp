// Bad input for the real programs: what brovik, tamsel and rds-encoder-sim do with files,
// devices, peers and frames that are wrong, cut short, huge or garbage. Each case states the
// whole outcome a user sees: exit code, messages, and the files or bytes left behind. The rows
// of README's "Hardening" tables that other suites already cover name those suites instead.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "rdscore/group.h"
#include "tests/support/child_process.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scratch_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using testing_pty::OpenRawTerminal;

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path)) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

std::string Hex(const std::string& hex) {
  std::istringstream in(hex);
  std::string bytes;
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

// ---------------------------------------------------------------------------------------------
// brovik without arguments: "rds-in.txt" in, "rds-out.txt" out, no message, the exit code alone.

// One group (PI D3A1, 0A segment 0, AF count 3 and code 1, PS "BR"), as the block encoder of
// the RDS core writes it, then the zeros of the bit line's end.
std::string GroupBits() {
  std::string bits;
  rds::AppendGroupBits(rds::Group{{0xD3A1, 0x0548, 0xE301, 0x4252}}, &bits);
  return bits;
}

const char kGroupReport[] =
    "       27 0152100 0548 100 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=0 \n"
    "       53 38c048a e301 08a C  - AF(3)= 87.6  87.5  87.5  \n"
    "       79 1094a11 4252 211 D  - PS='BR      '\n"
    "      105 0000000 0000 000 E  - \n";

constexpr const char* kAbsent = "\x01(absent)";
constexpr const char* kDirectory = "\x01(directory)";

struct BrovikCase {
  const char* name;
  std::string input;  // content of rds-in.txt, or kAbsent / kDirectory
  int code;
  std::string report;  // rds-out.txt afterwards, or kAbsent
};

void PlaceFile(const ScratchDir& dir, const char* name, const std::string& content) {
  if (content == kDirectory) {
    ASSERT_EQ(mkdir(dir.Path(name).c_str(), 0755), 0);
  } else if (content != kAbsent) {
    WriteFile(dir.Path(name), content);
  }
}

TEST(BrovikBadInput, ExitCodeAndReportWithoutArguments) {
  const std::string group = GroupBits();
  std::string binary;  // every byte value but the digit one and the line feed, twice over
  for (int round = 0; round < 2; ++round) {
    for (int b = 0; b < 256; ++b) {
      if (b != '1' && b != '\n') binary.push_back(static_cast<char>(b));
    }
  }
  const BrovikCase cases[] = {
      {"input is a directory: cannot be opened as a capture", kDirectory, 1, kAbsent},
      {"empty input: no count", "", 2, ""},
      {"count line of blanks", "   \n" + group + "\n", 2, ""},
      {"negative count", "-200\n" + group + "\n", 2, ""},
      {"count beyond nine characters: only nine are read", "000000000200\n" + group + "\n", 2, ""},
      {"ten-digit count: the tenth digit starts the bit line", "1234567890\n" + group + "\n", 4,
       ""},
      {"count without bit line", "500", 4, ""},
      {"binary garbage without a count", binary, 2, ""},
      {"binary garbage as the bit line", "3000\n" + binary + "\n", 4, ""},
      {"huge count, no synchronisation in the bits", "99999999\n0101\n", 4, ""},
      {"capture with CR LF line ends", "200\r\n" + group + "\r\n", 0, kGroupReport},
  };
  for (const BrovikCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ScratchDir dir;
    PlaceFile(dir, "rds-in.txt", c.input);
    ChildProcess brovik(RDS_BROVIK, {}, {}, dir.path());
    EXPECT_EQ(brovik.Wait(10000), c.code);
    EXPECT_EQ(brovik.Output(), "");
    EXPECT_EQ(brovik.Errors(), "");
    EXPECT_EQ(ReadFile(dir.Path("rds-out.txt")).value_or(kAbsent), c.report);
  }
}

// A count far beyond the bits on the line: every position past them reads as zero, so after the
// group come blocks of zeros ("E") up to the count, 26 bits apart; the last reported block
// leaves 52 positions unreported (2 600 000 = 2 599 922 + 26 + 52).
TEST(BrovikBadInput, HugeCountReportsZeroBlocksToTheEnd) {
  const ScratchDir dir;
  WriteFile(dir.Path("rds-in.txt"), "2600000\n" + GroupBits() + "\n");
  ChildProcess brovik(RDS_BROVIK, {}, {}, dir.path());
  ASSERT_EQ(brovik.Wait(30000), 0);
  const std::string report = ReadFile(dir.Path("rds-out.txt")).value_or("");
  ASSERT_EQ(report.compare(0, std::string(kGroupReport).size(), kGroupReport), 0);
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 99997);
  const std::string last = "  2599923 0000000 0000 000 E  - \n";
  ASSERT_GE(report.size(), last.size());
  EXPECT_EQ(report.substr(report.size() - last.size()), last);
}

// ---------------------------------------------------------------------------------------------
// tamsel against a pseudo-terminal that plays the encoder, or against devices that are none.

struct TamselRun {
  int code = -1;
  std::string out;
  std::string err;
  int frames = 0;  // frames the encoder received whole
};

// How the encoder side behaves: the reply to frame n (from 1), or hang up instead of answering.
struct EncoderScript {
  std::string reply;
  // The encoder goes away half a second after frame hang_up_at arrived (answered first when
  // answer_before_hang_up); 0: never. The half second lets tamsel settle into what it does
  // next (sleeping, or polling for the reply) before the line goes.
  int hang_up_at = 0;
  bool answer_before_hang_up = false;
};

TamselRun RunTamsel(const EncoderScript& script, const std::string& stdout_path = "") {
  testing_pty::PtyPair pty;
  TamselRun run;
  if (!pty.ok()) return run;
  // Held open so that the line does not hang up between tamsel's open and close.
  int held = open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY);
  std::vector<std::string> args = {"--device", pty.slave_path(), "--timeout", "3"};
  std::string command = std::string("exec '") + RDS_TAMSEL + "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  if (!stdout_path.empty()) command += " >" + stdout_path;
  ChildProcess tamsel("/bin/sh", {"-c", command}, {"RDS_COM1=/nonexistent/rds-bad-input"});

  int master = pty.master();
  std::optional<Clock::time_point> hang_up;
  const auto deadline = Clock::now() + 40s;
  while (Clock::now() < deadline) {
    char c;
    while (master >= 0 && ChildProcess::ReadWithin(master, &c, 5)) {
      if (c != '\xFF') continue;
      ++run.frames;
      const bool last = run.frames == script.hang_up_at;
      if (last) hang_up = Clock::now() + 500ms;
      if (!last || script.answer_before_hang_up) {
        if (write(master, script.reply.data(), script.reply.size()) < 0) break;
      }
    }
    if (master >= 0 && hang_up && Clock::now() >= *hang_up) {
      // Closing both ends is what the pseudo-terminal sees when the encoder's side goes.
      close(held);
      held = -1;
      const int nothing = open("/dev/null", O_RDWR);
      dup2(nothing, master);
      close(nothing);
      master = -1;
    }
    run.code = tamsel.Wait(20);
    if (run.code != -1) break;
  }
  run.out = tamsel.Output();
  run.err = tamsel.Errors();
  if (held >= 0) close(held);
  return run;
}

TEST(TamselBadInput, DevicesThatAreNoSerialPort) {
  const ScratchDir dir;
  WriteFile(dir.Path("plain-file"), "");
  const struct {
    const char* device;
    std::string message;
  } cases[] = {
      {"/dev/null", "tamsel: cannot set up /dev/null: not a serial port (system error 1)\n"},
      {"PLAIN", "tamsel: cannot set up PLAIN: not a serial port (system error 1)\n"},
      {"/tmp", "tamsel: cannot open /tmp: "},
  };
  for (const auto& c : cases) {
    const std::string device =
        std::string(c.device) == "PLAIN" ? dir.Path("plain-file") : std::string(c.device);
    SCOPED_TRACE(device);
    ChildProcess tamsel(RDS_TAMSEL, {"--device", device, "--timeout", "1"},
                        {"RDS_COM1=/nonexistent/rds-bad-input"});
    EXPECT_EQ(tamsel.Wait(10000), 3);
    EXPECT_EQ(tamsel.Output(), "");
    std::string message = c.message;
    const std::size_t plain = message.find("PLAIN");
    if (plain != std::string::npos) message.replace(plain, 5, device);
    EXPECT_EQ(tamsel.Errors().compare(0, message.size(), message), 0) << tamsel.Errors();
  }
}

// The encoder's end of the line goes away. While tamsel waits for a reply, nothing more can
// come: the wait ends at its time limit with the frame named. While tamsel pauses after frame 2,
// the next frame cannot be written: the run ends at once with the system's reason.
TEST(TamselBadInput, EncoderThatHangsUp) {
  const struct {
    const char* name;
    EncoderScript script;
    int code;
    const char* output;
    const char* message_start;
    int frames;
  } cases[] = {
      {"while tamsel waits for the reply to frame 3",
       {"OK", 3, false},
       4,
       "R=OK\nR=OK\n",
       "tamsel: no reply to frame 3 (DI) from ",
       3},
      {"during the pause after frame 2",
       {"OK", 2, true},
       5,
       "R=OK\nR=OK\n",
       "tamsel: frame 3 (DI): wrote 0 of 12 bytes to ",
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = Clock::now();
    const TamselRun run = RunTamsel(c.script);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.out, c.output);
    EXPECT_EQ(run.err.rfind(c.message_start, 0), 0u) << run.err;
    EXPECT_EQ(run.frames, c.frames);
    EXPECT_LT(Clock::now() - start, 15s);  // 3 s pause after frame 2, 3 s limit
  }
}

TEST(TamselBadInput, RepliesOfBinaryGarbagePrintAsTheyCome) {
  // STA, STP, a zero byte: the line shows the bytes before the zero, right-aligned to the width
  // of the whole reply.
  const TamselRun run = RunTamsel({Bytes({0xFE, 0xFF, 0x00, 0x41, 0x0D, 0x0A, 0x80})});
  EXPECT_EQ(run.code, 0) << run.err;
  std::string line = "R=     " + Bytes({0xFE, 0xFF}) + "\n";
  std::string expected;
  for (int i = 0; i < 11; ++i) expected += line;
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.frames, 11);
}

TEST(TamselBadInput, StandardOutputThatCannotBeWritten) {
  const TamselRun run = RunTamsel({"OK"}, "/dev/full");
  EXPECT_EQ(run.code, 6);
  EXPECT_EQ(run.err, "tamsel: cannot write the reply lines to the standard output\n");
  EXPECT_EQ(run.frames, 1);
}

// ---------------------------------------------------------------------------------------------
// rds-encoder-sim: malformed frames on its pseudo-terminal. Every bad frame is answered with its
// response code and changes nothing; the good frames around them still count; the air carries
// only what the good frames set.

std::string ReadBytes(int fd, std::size_t count, int timeout_ms = 3000) {
  std::string bytes;
  char c;
  while (bytes.size() < count && ChildProcess::ReadWithin(fd, &c, timeout_ms)) bytes.push_back(c);
  return bytes;
}

TEST(SimulatorBadInput, MalformedFramesAreAnsweredAndChangeNothing) {
  const ScratchDir dir;
  ChildProcess sim(RDS_ENCODER_SIM, {"--link", dir.Path("encoder"), "--out", dir.Path("air.txt"),
                                     "--hold", "2", "--frame-timeout", "300"});
  const std::string where = sim.ReadLine();
  const int fd = OpenRawTerminal(dir.Path("encoder"));
  ASSERT_GE(fd, 0) << where << sim.Errors();

  // Frames and the acknowledgement each must get (SQC 0x11 to 0x19 for the bad ones; the reply
  // frames were worked out by hand with the CRC-CCITT of the UECP standard).
  const struct {
    const char* what;
    std::string frame;
    std::string reply;
  } exchanges[] = {
      {"good PI frame", Hex("FE 00 00 21 05 01 00 00 4B 1D CA E0 FF"),
       Hex("FE 00 00 21 02 18 00 54 AF FF")},
      {"garbage between frames, then a CRC error",
       Hex("00 12 34 FD 01 41 FE 00 00 11 0B 02 00 00 42 41 44 4E 41 4D 45 31 61 7B FF"),
       Hex("FE 00 00 11 03 18 01 11 E0 05 FF")},
      {"bad stuffing", Hex("FE 00 00 12 0B 02 00 00 FD 07 41 44 4E 41 4D 45 32 00 00 FF"),
       Hex("FE 00 00 12 03 18 0C 12 48 E8 FF")},
      {"MFL disagreeing with the field",
       Hex("FE 00 00 13 0A 02 00 00 42 41 44 4E 41 4D 45 33 C8 8B FF"),
       Hex("FE 00 00 13 03 18 08 13 3E 5C FF")},
      {"unknown element", Hex("FE 00 00 14 05 77 00 00 12 34 3B A5 FF"),
       Hex("FE 00 00 14 03 18 03 14 F5 95 FF")},
      {"MEL running past the field",
       Hex("FE 00 00 15 0D 0A 00 00 50 02 42 41 44 4E 41 4D 45 35 F2 9E FF"),
       Hex("FE 00 00 15 03 18 07 15 83 21 FF")},
      {"parameter out of range (PTY 40)", Hex("FE 00 00 16 04 07 00 00 28 24 E5 FF"),
       Hex("FE 00 00 16 03 18 06 16 6E A1 FF")},
      {"frame longer than any MFL allows", Hex("FE 00 00 17") + std::string(400, 'A') + "\xFF",
       Hex("FE 00 00 17 03 18 08 17 F7 DE FF")},
      {"frame cut short by the next STA, which is a good frame",
       Hex("FE 00 00 18 05 01 FE 00 00 20 0B 02 00 00 47 4F 4F 44 4E 41 4D 45 F6 CA FF"),
       Hex("FE 00 00 18 03 18 02 18 8C 03 FF FE 00 00 20 02 18 00 22 1B FF")},
      {"unfinished frame, then silence", Hex("FE 00 00 19 0B 02 00 00 42 41"),
       Hex("FE 00 00 19 03 18 02 19 36 73 FF")},
  };
  for (const auto& exchange : exchanges) {
    SCOPED_TRACE(exchange.what);
    ASSERT_EQ(write(fd, exchange.frame.data(), exchange.frame.size()),
              static_cast<ssize_t>(exchange.frame.size()));
    EXPECT_EQ(ReadBytes(fd, exchange.reply.size()), exchange.reply);
  }
  // A flood of bytes that never form a frame: skipped, never answered, never fatal.
  std::string flood(std::size_t{64} * 1024, '\x55');
  for (std::size_t i = 0; i < flood.size(); i += 97) flood[i] = static_cast<char>(0xFD);
  ASSERT_EQ(write(fd, flood.data(), flood.size()), static_cast<ssize_t>(flood.size()));
  EXPECT_EQ(ReadBytes(fd, 1, 500), "");
  close(fd);
  ASSERT_EQ(sim.Wait(20000), 0) << sim.Errors();
  EXPECT_NE(sim.Errors().find("2 frame(s) applied, 9 refused"), std::string::npos) << sim.Errors();

  // What went on air: the PI and PS of the good frames only. brovik reads the air.
  const std::string air = ReadFile(dir.Path("air.txt")).value_or("");
  ASSERT_FALSE(air.empty());
  WriteFile(dir.Path("rds-in.txt"), air);
  ChildProcess brovik(RDS_BROVIK, {}, {}, dir.path());
  ASSERT_EQ(brovik.Wait(10000), 0);
  const std::string report = ReadFile(dir.Path("rds-out.txt")).value_or("");
  EXPECT_NE(report.find("PS='GOODNAME'"), std::string::npos);
  EXPECT_EQ(report.find("BADNAME"), std::string::npos);
  EXPECT_NE(report.find("PI=4b1d"), std::string::npos);
}

}  // namespace
