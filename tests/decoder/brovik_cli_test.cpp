// The real brovik executable in a scratch directory: exit codes, which files exist afterwards and
// what they hold, messages, and the command line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "rdscore/group.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string GoodCapture() {
  std::string bits;
  rds::AppendGroupBits(rds::Group{{0xD3A1, 0x0548, 0xE301, 0x4252}}, &bits);
  return "200\n" + bits + "\n";
}

const char kGoodReport[] =
    "       27 0152100 0548 100 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=0 \n"
    "       53 38c048a e301 08a C  - AF(3)= 87.6  87.5  87.5  \n"
    "       79 1094a11 4252 211 D  - PS='BR      '\n"
    "      105 0000000 0000 000 E  - \n";

// The same capture in receiver mode: the block A it synchronised on is reported too, and the zero
// block after the group, which is no block A, is a block error.
const char kGoodReceiverReport[] =
    "        1 34e8713 d3a1 313 A  - PI=d3a1 \n"
    "       27 0152100 0548 100 B  - Group= 0A PTY=10 TP=O TA=N MS=M DI=0 Decode=0 \n"
    "       53 38c048a e301 08a C  - AF(3)= 87.6  87.5  87.5  \n"
    "       79 1094a11 4252 211 D  - PS='BR      '\n"
    "      105 0000000 0000 000 ?  - \n";

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome RunBrovik(const ScratchDir& dir, const std::string& args, const std::string& stdin_file) {
  const std::string command = "cd '" + dir.path() + "' && '" BROVIK_PATH "' " + args + " <" +
                              (stdin_file.empty() ? "/dev/null" : stdin_file) +
                              " >.stdout 2>.stderr";
  const int status = std::system(command.c_str());
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ""};
  outcome.out = ReadFile(dir.Path(".stdout")).value_or("");
  outcome.err = ReadFile(dir.Path(".stderr")).value_or("");
  unlink(dir.Path(".stdout").c_str());
  unlink(dir.Path(".stderr").c_str());
  return outcome;
}

constexpr const char* kAbsent =
    "\x01"
    "absent";
constexpr const char* kDirectory =
    "\x01"
    "directory";

struct CliCase {
  const char* name;
  std::map<std::string, std::string> files_before;  // content, or kDirectory
  std::string args;
  std::string stdin_file;
  int code;
  std::map<std::string, std::string> files_after;  // content, or kAbsent
  std::string stdout_text;
  std::string stderr_part;  // empty: standard error must stay empty
};

std::vector<CliCase> Cases() {
  const std::string good = GoodCapture();
  const std::string no_sync = "500\n" + std::string(300, '0') + "\n";
  return {
      {"NoArgumentsDecodes",
       {{"rds-in.txt", good}},
       "",
       "",
       0,
       {{"rds-out.txt", kGoodReport}},
       "",
       ""},
      {"NoArgumentsReplacesOldReport",
       {{"rds-in.txt", good}, {"rds-out.txt", "old old old"}},
       "",
       "",
       0,
       {{"rds-out.txt", kGoodReport}},
       "",
       ""},
      {"MissingInputCreatesNoReport", {}, "", "", 1, {{"rds-out.txt", kAbsent}}, "", ""},
      {"ReportCannotBeCreated",
       {{"rds-in.txt", good}, {"rds-out.txt", kDirectory}},
       "",
       "",
       1,
       {},
       "",
       ""},
      {"CountBelowOneLeavesEmptyReport",
       {{"rds-in.txt", "0\n1010\n"}},
       "",
       "",
       2,
       {{"rds-out.txt", ""}},
       "",
       ""},
      {"NoSyncLeavesEmptyReport",
       {{"rds-in.txt", no_sync}},
       "",
       "",
       4,
       {{"rds-out.txt", ""}},
       "",
       ""},
      {"NamedFiles",
       {{"capture.txt", good}},
       "capture.txt report.txt",
       "",
       0,
       {{"report.txt", kGoodReport}, {"rds-out.txt", kAbsent}},
       "",
       ""},
      {"NamedInputDefaultReport",
       {{"capture.txt", good}},
       "capture.txt",
       "",
       0,
       {{"rds-out.txt", kGoodReport}},
       "",
       ""},
      {"StandardInputAndOutput",
       {{"capture.txt", good}},
       "- -",
       "capture.txt",
       0,
       {{"rds-out.txt", kAbsent}},
       kGoodReport,
       ""},
      {"OptionsEndAtDoubleDash",
       {{"-odd", good}},
       "-- -odd out.txt",
       "",
       0,
       {{"out.txt", kGoodReport}},
       "",
       ""},
      {"MissingNamedInputSaysSo",
       {},
       "nope.txt out.txt",
       "",
       1,
       {{"out.txt", kAbsent}},
       "",
       "brovik: cannot open input 'nope.txt': No such file or directory"},
      {"SameFileIsRefused",
       {{"capture.txt", good}},
       "capture.txt ./capture.txt",
       "",
       1,
       {{"capture.txt", good}},
       "",
       "same file"},
      {"DirectoryAsInputCreatesNoReport",
       {{"capture.txt", kDirectory}, {"out.txt", "earlier report\n"}},
       "capture.txt out.txt",
       "",
       1,
       {{"out.txt", "earlier report\n"}},
       "",
       "brovik: cannot open input 'capture.txt': Is a directory"},
      {"WriteFailureIsReported",
       {{"capture.txt", good}},
       "capture.txt /dev/full",
       "",
       1,
       {},
       "",
       "cannot write report"},
      {"NoSyncSaysSo",
       {{"capture.txt", no_sync}},
       "capture.txt out.txt",
       "",
       4,
       {{"out.txt", ""}},
       "",
       "no block A followed by a block B"},
      {"CountMessage",
       {{"capture.txt", "x\n"}},
       "capture.txt out.txt",
       "",
       2,
       {{"out.txt", ""}},
       "",
       "bit count below 1"},
      {"Help", {}, "--help", "", 0, {{"rds-out.txt", kAbsent}}, "", ""},
      {"Version", {}, "--version", "", 0, {}, "brovik " EXPECTED_VERSION "\n", ""},
      {"UnknownOption",
       {},
       "--fast",
       "",
       64,
       {{"rds-out.txt", kAbsent}},
       "",
       "brovik: unknown option '--fast'\nusage: brovik [INPUT [OUTPUT]]"},
      {"TooManyArguments", {}, "a b c", "", 64, {}, "", "too many arguments"},
      {"Receiver",
       {{"capture.txt", good}},
       "--receiver capture.txt out.txt",
       "",
       0,
       {{"out.txt", kGoodReceiverReport}},
       "",
       ""},
      {"ReceiverWithLongestBurst",
       {{"capture.txt", good}},
       "--receiver --max-burst=5 capture.txt -",
       "",
       0,
       {},
       kGoodReceiverReport,
       ""},
      // A stream without a count line, from standard input to standard output: every whole block.
      {"StreamReadsStandardInput",
       {{"bits.txt", good.substr(4)}},
       "--stream",
       "bits.txt",
       0,
       {{"rds-out.txt", kAbsent}},
       std::string(kGoodReport).substr(0, std::string(kGoodReport).find("      105")),
       ""},
      {"ReceiverNoSyncSaysSo",
       {{"capture.txt", no_sync}},
       "--receiver capture.txt out.txt",
       "",
       4,
       {{"out.txt", ""}},
       "",
       "no two blocks in sequence"},
      {"MaxBurstZero",
       {},
       "--receiver --max-burst 0",
       "",
       64,
       {{"rds-out.txt", kAbsent}},
       "",
       "brovik: --max-burst takes a whole number from 1 to 5, not '0'"},
      {"MaxBurstSix", {}, "--receiver --max-burst=6", "", 64, {}, "", "from 1 to 5, not '6'"},
      {"MaxBurstWithoutValue", {}, "--receiver --max-burst", "", 64, {}, "", "needs a value"},
      {"MaxBurstWithoutReceiver", {}, "--max-burst 3", "", 64, {}, "", "add --receiver"},
      {"JsonAndReportBothOnStandardOutput",
       {{"capture.txt", good}},
       "--json capture.txt -",
       "",
       64,
       {},
       "",
       "cannot both go to standard output"},
      {"JsonOntoTheCapture",
       {{"capture.txt", good}},
       "--json=capture.txt capture.txt",
       "",
       1,
       {{"capture.txt", good}},
       "",
       "same file"},
      {"SummaryThatCannotBeWritten",
       {{"capture.txt", good}},
       "--summary=/dev/full capture.txt",
       "",
       1,
       {{"rds-out.txt", kAbsent}},
       "",
       "cannot write the summary to '/dev/full'"},
      {"SummaryFileThatCannotBeCreated",
       {{"capture.txt", good}},
       "--summary=no/such/dir capture.txt",
       "",
       1,
       {},
       "",
       "cannot create 'no/such/dir'"},
  };
}

class BrovikCliTest : public ::testing::TestWithParam<CliCase> {};

TEST_P(BrovikCliTest, ExitCodeFilesAndMessages) {
  const CliCase& c = GetParam();
  ScratchDir dir;
  for (const auto& [name, content] : c.files_before) {
    if (content == kDirectory) {
      ASSERT_EQ(mkdir(dir.Path(name).c_str(), 0755), 0);
    } else {
      WriteFile(dir.Path(name), content);
    }
  }
  const Outcome outcome =
      RunBrovik(dir, c.args, c.stdin_file.empty() ? "" : dir.Path(c.stdin_file));
  EXPECT_EQ(outcome.code, c.code);
  for (const auto& [name, content] : c.files_after) {
    const std::optional<std::string> actual = ReadFile(dir.Path(name));
    if (content == kAbsent) {
      EXPECT_FALSE(actual.has_value()) << name << " exists";
    } else {
      ASSERT_TRUE(actual.has_value()) << name << " missing";
      EXPECT_EQ(*actual, content) << name;
    }
  }
  if (std::string(c.name) == "Help") {
    EXPECT_EQ(outcome.out.rfind("usage: brovik [INPUT [OUTPUT]]\n", 0), 0u) << outcome.out;
  } else {
    EXPECT_EQ(outcome.out, c.stdout_text);
  }
  if (c.stderr_part.empty()) {
    EXPECT_EQ(outcome.err, "");
  } else {
    EXPECT_NE(outcome.err.find(c.stderr_part), std::string::npos) << outcome.err;
  }
}

// The station view: JSON lines and the summary go where they are asked, and the block report is
// written only when OUTPUT is named.
TEST(BrovikStationView, JsonLinesSummaryAndReport) {
  ScratchDir dir;
  WriteFile(dir.Path("capture.txt"), GoodCapture());
  struct Case {
    std::string args;
    std::string stdout_part;   // in standard output
    std::string summary_part;  // in sum.txt
    bool report;               // out.txt written with the fixed report
  } const cases[] = {
      {"--json capture.txt", "\"group\":\"0A\",\"tp\":true,\"prog_type\":\"Pop music\"", "", false},
      {"--json --summary capture.txt", "  PTY          10 Pop music", "", false},
      {"--summary=sum.txt --json capture.txt out.txt", "\"partial_ps\":\"BR      \"",
       "  TP/TA        TP on", true},
      {"--receiver --json capture.txt", "{\"pi\":\"0xD3A1\",\"group\":\"0A\"", "", false},
      {"--rbds --json capture.txt", "\"prog_type\":\"Country\"", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const Outcome outcome = RunBrovik(dir, c.args, "");
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_NE(outcome.out.find(c.stdout_part), std::string::npos) << outcome.out;
    if (!c.summary_part.empty()) {
      EXPECT_NE(ReadFile(dir.Path("sum.txt")).value_or("").find(c.summary_part), std::string::npos);
    }
    EXPECT_EQ(ReadFile(dir.Path("out.txt")),
              c.report ? std::optional<std::string>(kGoodReport) : std::nullopt);
    EXPECT_FALSE(ReadFile(dir.Path("rds-out.txt")).has_value());
    unlink(dir.Path("out.txt").c_str());
  }
}

// A live stream through a FIFO: lines come out while the writer still holds the pipe open, and
// SIGINT ends the run cleanly with the report of everything that arrived and the summary.
TEST(BrovikStream, ReportGrowsAsBitsArriveAndSigintEndsItCleanly) {
  ScratchDir dir;
  const std::string fifo = dir.Path("bits");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ChildProcess brovik(BROVIK_PATH,
                      {"--stream", "--receiver", "--summary=" + dir.Path("sum.txt"), fifo, "-"});
  const int writer = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(writer, 0);
  std::string bits;
  rds::AppendGroupBits(rds::Group{{0xD3A1, 0x0548, 0xE301, 0x4252}}, &bits);
  rds::AppendGroupBits(rds::Group{{0xD3A1, 0x0549, 0x0237, 0x4F56}}, &bits);
  bits += "\n";
  ASSERT_EQ(write(writer, bits.data(), bits.size()), static_cast<ssize_t>(bits.size()));
  EXPECT_EQ(brovik.ReadLine(), "        1 34e8713 d3a1 313 A  - PI=d3a1 ");
  brovik.Signal(SIGINT);
  EXPECT_EQ(brovik.Wait(), 0) << brovik.Errors();
  EXPECT_NE(brovik.Output().find("      183 13d59b9 4f56 1b9 D  - PS='BROV    '\n"),
            std::string::npos)
      << brovik.Output();
  EXPECT_NE(ReadFile(dir.Path("sum.txt")).value_or("").find("  Groups       2"), std::string::npos);
  close(writer);
}

INSTANTIATE_TEST_SUITE_P(Cli, BrovikCliTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<CliCase>& test) {
                           return std::string(test.param.name);
                         });

}  // namespace
