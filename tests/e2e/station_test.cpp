// tamsel's station commands against rds-encoder-sim on a pseudo-terminal, TCP and UDP, with what
// went on air read back by brovik; refusals by name and exit code; bad input; and small fake
// encoders in the test that refuse, drop the connection or answer garbage.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"
#include "uecp/crc.h"
#include "uecp/frame_reader.h"

namespace {

using ::testing::HasSubstr;

std::string Summary(const std::string& air) {
  ChildProcess brovik(RDS_BROVIK, {"--summary", air});
  EXPECT_EQ(brovik.Wait(), 0) << brovik.Errors();
  return brovik.Output();
}

// The simulator on a pseudo-terminal ("--link"), TCP or UDP for a run of the given seconds, in
// which senders come and go; line holds the options that point tamsel at it.
struct TimedSimulator {
  TimedSimulator(const ScratchDir& dir, const std::string& transport, const char* seconds)
      : air(dir.Path("air.txt")),
        process(RDS_ENCODER_SIM, {transport, transport == "--link" ? dir.Path("encoder") : "0",
                                  "--keep-running", "--seconds", seconds, "--out", air}),
        where(process.ReadLine()) {
    line = transport == "--link" ? std::vector<std::string>{"--device",    dir.Path("encoder"),
                                                            "--baud",      "19200",
                                                            "--stop-bits", "1",
                                                            "--flow",      "none"}
                                 : std::vector<std::string>{transport, where};
  }
  std::string air;
  ChildProcess process;
  std::string where;
  std::vector<std::string> line;
};

std::vector<std::string> Join(std::vector<std::string> first,
                              const std::vector<std::string>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

// The station in the parts several senders send at once.
const std::vector<std::vector<std::string>> kStationParts = {
    {"--pi", "0x4123", "--ps", "STATION", "--pty", "Pop Music"},
    {"--tp", "on", "--ta", "on", "--af", "88.1,107.5", "--ct-group", "now"},
    {"--rt", "Live from the test"}};

void ExpectStationOnAir(const std::string& summary, const std::string& radiotext) {
  EXPECT_THAT(summary, HasSubstr("0x4123"));
  EXPECT_THAT(summary, HasSubstr("\"STATION \""));
  EXPECT_THAT(summary, HasSubstr("\"" + radiotext + "\""));
  EXPECT_THAT(summary, HasSubstr("10 Pop music"));
  EXPECT_THAT(summary, HasSubstr("TP on, TA on"));
  EXPECT_THAT(summary, HasSubstr("88.1 107.5 MHz"));
  EXPECT_THAT(summary, ::testing::Not(HasSubstr("CT           not received")));
}

// run sets the station up, send adds to it, feed brings the radiotext, get reads it back, one
// after the other on each line the encoder has: a terminal, TCP and UDP (there the frames go
// without answers, the requests with).
TEST(StationTest, EveryCommandOnEveryLineGoesOnAir) {
  for (const std::string transport : {"--link", "--tcp", "--udp"}) {
    SCOPED_TRACE(transport);
    const ScratchDir dir;
    TimedSimulator sim(dir, transport, "6");
    ASSERT_FALSE(sim.where.empty());
    const std::string answer = transport == "--udp" ? "SENT" : "ACK";
    std::ofstream(dir.Path("station.txt")) << "--pi 0x4123 --ps STATION --pty 'Pop Music'\n";
    ChildProcess run(RDS_TAMSEL, Join(Join({"run"}, sim.line), {dir.Path("station.txt")}));
    EXPECT_EQ(run.Wait(), 0) << run.Errors();
    ChildProcess send(RDS_TAMSEL, Join(Join({"send"}, sim.line), kStationParts[1]));
    EXPECT_EQ(send.Wait(), 0) << send.Errors();
    std::string feed_command = "echo 'Live from the test' | '" RDS_TAMSEL
                               "' feed --template "
                               "'Now: {line}'";
    for (const std::string& word : sim.line) feed_command += " '" + word + "'";
    ChildProcess feed("/bin/sh", {"-c", feed_command});
    EXPECT_EQ(feed.Wait(), 0) << feed.Errors();
    for (const ChildProcess* sender : {&run, &send, &feed}) {
      EXPECT_THAT(sender->Output(), ::testing::StartsWith(answer + " (SQC "));
    }
    // get reads back what the encoder now holds, on every line (over UDP by datagram).
    ChildProcess get(RDS_TAMSEL, Join(Join({"get"}, sim.line), {"ps", "rt", "tatp"}));
    EXPECT_EQ(get.Wait(), 0) << get.Errors();
    EXPECT_THAT(get.Output(), HasSubstr("PS: \"STATION \"\n"));
    EXPECT_THAT(get.Output(), HasSubstr("RT: \"Now: Live from the test\""));
    EXPECT_THAT(get.Output(), HasSubstr("TA/TP: TP on, TA on\n"));
    ASSERT_EQ(sim.process.Wait(15000), 0) << sim.process.Errors();
    ExpectStationOnAir(Summary(sim.air), "Now: Live from the test");
  }
}

// Several senders at once on TCP, as playout, traffic and monitoring systems are.
TEST(StationTest, SeveralSendersAtOnceOnTcpGoOnAir) {
  const ScratchDir dir;
  TimedSimulator sim(dir, "--tcp", "6");
  ASSERT_THAT(sim.where, HasSubstr("127.0.0.1:"));
  std::vector<std::unique_ptr<ChildProcess>> senders;
  for (const auto& part : kStationParts) {
    senders.push_back(
        std::make_unique<ChildProcess>(RDS_TAMSEL, Join(Join({"send"}, sim.line), part)));
  }
  for (auto& sender : senders) {
    EXPECT_EQ(sender->Wait(), 0) << sender->Errors();
    EXPECT_THAT(sender->Output(), ::testing::StartsWith("ACK (SQC 1: "));
  }
  ASSERT_EQ(sim.process.Wait(15000), 0) << sim.process.Errors();
  ExpectStationOnAir(Summary(sim.air), "Live from the test");
}

TEST(StationTest, RefusalsAreNamedAndGiveExitCode7) {
  const ScratchDir dir;
  TimedSimulator sim(dir, "--tcp", "30");
  const struct {
    std::vector<std::string> args;
    const char* line;
  } cases[] = {
      {{"--test-damage", "crc", "--ps", "X"}, "NACK 1 CRC error (SQC 1: PS 'X'"},
      {{"--test-damage", "cut", "--ps", "X"}, "NACK 2 message not received completely"},
      {{"--test-damage", "unknown", "--ps", "X"}, "NACK 3 message unknown"},
      {{"--test-damage", "short", "--rt", "X"}, "NACK 7 message element length error"},
      {{"--test-damage", "mfl", "--ps", "X"}, "NACK 8 message field length error"},
      {{"--test-damage", "stuffing", "--ps", "X"}, "NACK 12 bad stuffing"},
      {{"--test-damage", "short", "--ps", "X"}, "NACK 13 unexpected end of message"},
      {{"--dsn", "7", "--ps", "X"}, "NACK 4 DSN error"},
      {{"--psn", "9", "--ps", "X"}, "NACK 5 PSN error"},
      {{"--group", "3F0012345678"}, "NACK 6 parameter out of range"},
      {{"--rt-buffer", "append", "--rt", "1", "--rt", "2", "--rt", "3", "--rt", "4",
        "--rt",        "5",      "--rt", "6", "--rt", "7", "--rt", "8", "--rt", "9"},
       "NACK 11 buffer overflow"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<std::string> args = {"send", "--tcp", sim.where};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ChildProcess tamsel(RDS_TAMSEL, args);
    EXPECT_EQ(tamsel.Wait(), 7) << tamsel.Errors();
    EXPECT_THAT(tamsel.Output(), ::testing::StartsWith(c.line));
  }
  // The same refusal as a JSON object for monitoring.
  ChildProcess json(RDS_TAMSEL, {"send", "--tcp", sim.where, "--json", "--group", "3F0012345678"});
  EXPECT_EQ(json.Wait(), 7);
  const auto object = nlohmann::json::parse(json.Output());
  EXPECT_EQ(object["answer"], "NACK");
  EXPECT_EQ(object["code"], 6);
  EXPECT_EQ(object["reason"], "parameter out of range");
  EXPECT_EQ(object["elements"][0]["element"], "group");
  EXPECT_EQ(object["frame"].get<std::string>().substr(0, 10), "FE00000107");
  EXPECT_TRUE(object["round_trip_ms"].is_number());
  sim.process.Signal(SIGTERM);
  EXPECT_EQ(sim.process.Wait(), 0);
}

TEST(StationTest, ScriptsRunWholeAndABadOneSendsNothing) {
  const ScratchDir dir;
  TimedSimulator sim(dir, "--tcp", "30");
  std::ofstream(dir.Path("good.txt")) << "# set-up\n--pi 4123 --ps 'RADIO 1'\nwait 0.1\n"
                                         "send --rt \"Song\"\nrepeat 2\n";
  std::ofstream(dir.Path("bad.txt")) << "--ps OK\n\n--pty 40\n";
  ChildProcess bad(RDS_TAMSEL, {"run", "--tcp", sim.where, dir.Path("bad.txt")});
  EXPECT_EQ(bad.Wait(), 65);
  EXPECT_THAT(bad.Errors(), HasSubstr("bad.txt:3: --pty needs a programme type"));
  EXPECT_EQ(bad.Output(), "");
  ChildProcess good(RDS_TAMSEL, {"run", "--tcp", sim.where, dir.Path("good.txt")});
  EXPECT_EQ(good.Wait(), 0) << good.Errors();
  EXPECT_EQ(std::count(good.Output().begin(), good.Output().end(), '\n'), 4);
  EXPECT_THAT(good.Output(), HasSubstr("ACK (SQC 4: RT 'Song'"));
  sim.process.Signal(SIGTERM);
  EXPECT_EQ(sim.process.Wait(), 0);
  // Only the good script's four frames reached the encoder.
  EXPECT_THAT(sim.process.Errors(), HasSubstr("4 frame(s) applied, 0 refused"));
}

TEST(StationTest, FeedSendsTheNewestLineAndFollowsAFile) {
  const ScratchDir dir;
  TimedSimulator sim(dir, "--tcp", "30");
  // Three lines at once: no more than one text per interval, the newest through the template.
  ChildProcess piped("/bin/sh",
                     {"-c", "printf 'Song A\\nSong B\\nSong C\\n' | '" RDS_TAMSEL "' feed --tcp " +
                                sim.where + " --template 'Now: {line}'"});
  EXPECT_EQ(piped.Wait(), 0) << piped.Errors();
  // The first line may go out at once; B, then, waits its turn and C replaces it.
  EXPECT_THAT(piped.Output(), ::testing::Not(HasSubstr("Song B")));
  EXPECT_THAT(piped.Output(), ::testing::ContainsRegex("RT 'Now: Song C'; [0-9.]+ ms\\)\n$"));
  std::ofstream(dir.Path("play.log")) << "Old song\n";
  ChildProcess follow(RDS_TAMSEL, {"feed", "--tcp", sim.where, "--follow", dir.Path("play.log"),
                                   "--min-interval", "0.2"});
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  std::ofstream(dir.Path("play.log"), std::ios::app) << "New song\n";
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  follow.Signal(SIGTERM);
  follow.Wait();
  EXPECT_THAT(follow.Output(), HasSubstr("ACK (SQC 1: RT 'Old song'"));
  EXPECT_THAT(follow.Output(), HasSubstr("ACK (SQC 2: RT 'New song'"));
  sim.process.Signal(SIGTERM);
  EXPECT_EQ(sim.process.Wait(), 0);
}

TEST(StationTest, BadCommandLinesSayWhyAndSendNothing) {
  // Port 1 has no encoder: a command that got as far as connecting would fail with 3.
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"send", "--bogus"}, "unknown option '--bogus'"},
      {{"send", "--ps", "TOO LONG NAME"}, "--ps: 'TOO LONG NAME' has 13 characters"},
      {{"send", "--pty", "99"}, "--pty needs a programme type from 0 to 31"},
      {{"send", "--af", "300"}, "outside LF 153-279 kHz and MF 531-1602 kHz"},
      {{"send", "--retries", "-1", "--ps", "X"}, "--retries needs a count"},
      {{"send", "--udp", "localhost", "--ps", "X"}, "--udp needs HOST:PORT"},
      {{"send", "--baud", "19200", "--udp", "127.0.0.1:1", "--ps", "X"}, "are for a serial line"},
      {{"send", "--tcp", "127.0.0.1:1", "--udp", "127.0.0.1:1"}, "give one of --tcp and --udp"},
      {{"run"}, "run needs one script file"},
      {{"feed", "--template", "Now"}, "--template needs {line}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    std::vector<std::string> args = c.args;
    const bool has_line = std::find(args.begin(), args.end(), "--udp") != args.end();
    if (!has_line) args.insert(args.begin() + 1, {"--tcp", "127.0.0.1:1"});
    ChildProcess tamsel(RDS_TAMSEL, args);
    EXPECT_EQ(tamsel.Wait(), 64);
    EXPECT_THAT(tamsel.Errors(), HasSubstr(c.says));
    EXPECT_EQ(tamsel.Output(), "");
  }
}

// A TCP encoder played by the test: each connection is handed to the next behaviour in turn.
class FakeEncoder {
 public:
  using Behaviour = std::function<void(int connection)>;

  explicit FakeEncoder(std::vector<Behaviour> behaviours) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 4);
    socklen_t size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    where_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    thread_ = std::thread([this, behaviours] {
      for (const Behaviour& behaviour : behaviours) {
        const int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0) return;
        behaviour(connection);
        close(connection);
      }
      // No more connections: later tries are refused.
      shutdown(listener_, SHUT_RDWR);
    });
  }
  ~FakeEncoder() {
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }
  const std::string& where() const { return where_; }

  // Reads one whole frame; its SQC, or -1 when the connection ended first.
  static int ReadFrame(int connection) {
    uecp::FrameReader reader;
    std::uint8_t byte = 0;
    while (read(connection, &byte, 1) == 1) {
      reader.Feed(&byte, 1);
      uecp::StreamItem item;
      if (reader.Next(&item) && item.kind == uecp::StreamItem::Kind::kFrame) {
        return item.frame.sequence_counter;
      }
    }
    return -1;
  }
  static void Answer(int connection, const std::vector<std::uint8_t>& bytes) {
    static_cast<void>(write(connection, bytes.data(), bytes.size()));
  }
  // Keeps the connection until the sender closes it, as an encoder does.
  static void HoldUntilClosed(int connection) {
    std::uint8_t byte = 0;
    while (read(connection, &byte, 1) == 1) {
    }
  }
  static std::vector<std::uint8_t> Frame(int sqc, const std::vector<std::uint8_t>& message) {
    std::vector<std::uint8_t> raw = {0, 0, static_cast<std::uint8_t>(sqc),
                                     static_cast<std::uint8_t>(message.size())};
    raw.insert(raw.end(), message.begin(), message.end());
    const std::uint16_t crc = uecp::uecp_crc16(raw.data(), static_cast<int>(raw.size()));
    raw.push_back(static_cast<std::uint8_t>(crc >> 8));
    raw.push_back(static_cast<std::uint8_t>(crc));
    return uecp::StuffFrame(raw);
  }
  static std::vector<std::uint8_t> Ack(int sqc) { return Frame(sqc, {0x18, 0x00}); }

 private:
  int listener_ = -1;
  std::string where_;
  std::thread thread_;
};

TEST(StationTest, UnreachableDroppedAndGarbledEncodersAreReported) {
  auto read_part_and_drop = [](int connection) {
    std::uint8_t part[3];
    static_cast<void>(read(connection, part, sizeof part));
  };
  auto acknowledge = [](int connection) {
    FakeEncoder::Answer(connection, FakeEncoder::Ack(FakeEncoder::ReadFrame(connection)));
  };
  const struct {
    const char* name;
    std::vector<FakeEncoder::Behaviour> behaviours;
    int exit_code;
    const char* out;
    const char* err;
  } cases[] = {
      {"dropped mid-frame, back at once",
       {read_part_and_drop, acknowledge},
       0,
       "ACK (SQC 1",
       "reconnected to tcp 127.0.0.1:"},
      {"dropped mid-frame for good", {read_part_and_drop}, 5, "FAILED", "reconnecting failed"},
      {"garbage",
       {[](int connection) {
         FakeEncoder::ReadFrame(connection);
         FakeEncoder::Answer(connection, {0x01, 0x02, 0xFE, 0x00, 0xFF, 0x80});
         FakeEncoder::HoldUntilClosed(connection);
       }},
       4,
       "GARBLED: 0102",
       "no readable answer to the frame with SQC 1"},
      {"silent",
       {FakeEncoder::HoldUntilClosed},
       4,
       "NO ANSWER (SQC 1: PS 'X')",
       "no answer to the frame with SQC 1 from tcp 127.0.0.1:"},
      {"text",
       {[](int connection) {
         FakeEncoder::ReadFrame(connection);
         FakeEncoder::Answer(connection, {'O', 'K', '\r', '\n'});
         FakeEncoder::HoldUntilClosed(connection);
       }},
       0,
       "TEXT 'OK' (SQC 1",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeEncoder encoder(c.behaviours);
    ChildProcess tamsel(RDS_TAMSEL, {"send", "--tcp", encoder.where(), "--retries", "0",
                                     "--timeout", "0.5", "--ps", "X"});
    EXPECT_EQ(tamsel.Wait(20000), c.exit_code) << tamsel.Errors();
    EXPECT_THAT(tamsel.Output(), ::testing::StartsWith(c.out));
    EXPECT_THAT(tamsel.Errors(), HasSubstr(c.err));
  }

  // Nobody listening, and a host that does not exist: exit 3 with the system's reason.
  int closed_port = 0;
  {
    FakeEncoder gone({});
    closed_port = std::stoi(gone.where().substr(10));
  }
  for (const std::string& where :
       {"127.0.0.1:" + std::to_string(closed_port), std::string("no-such-host.invalid:4001")}) {
    ChildProcess tamsel(RDS_TAMSEL, {"send", "--tcp", where, "--ps", "X"});
    EXPECT_EQ(tamsel.Wait(), 3);
    EXPECT_THAT(tamsel.Errors(), HasSubstr("tamsel: cannot connect to tcp " + where + ": "));
  }
}

// tamsel get: each request in a frame of its own, the value that comes back with its SQC shown
// in words and as JSON fields.
TEST(StationTest, GetShowsTheValuesTheEncoderHolds) {
  auto answer_ps = [](int connection) {
    const int sqc = FakeEncoder::ReadFrame(connection);
    FakeEncoder::Answer(
        connection, FakeEncoder::Frame(sqc, {0x02, 0, 0, 'R', 'A', 'D', 'I', 'O', ' ', '1', ' '}));
    FakeEncoder::HoldUntilClosed(connection);
  };
  FakeEncoder encoder({answer_ps});
  ChildProcess text(RDS_TAMSEL, {"get", "--tcp", encoder.where(), "ps"});
  EXPECT_EQ(text.Wait(), 0) << text.Errors();
  EXPECT_THAT(text.Output(), ::testing::StartsWith("PS: "));
  EXPECT_THAT(text.Output(), HasSubstr("RADIO 1"));

  FakeEncoder json_encoder({answer_ps});
  ChildProcess json(RDS_TAMSEL, {"get", "--tcp", json_encoder.where(), "--json", "PS"});
  EXPECT_EQ(json.Wait(), 0) << json.Errors();
  const auto object = nlohmann::json::parse(json.Output());
  EXPECT_EQ(object["request"], "PS");
  EXPECT_EQ(object["elements"][0]["element"], "PS");
  EXPECT_EQ(object["message"], "020000524144494F203120");
  EXPECT_EQ(object["elements"][0]["fields"]["ps"], "RADIO 1 ");
}

}  // namespace
