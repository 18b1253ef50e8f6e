// What every program shares: "--version" prints "NAME VERSION" from the one project version, and
// a wrong command line ends with exit code 64, a message on standard error and nothing on
// standard output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Program {
  const char* name;
  const char* path;
};

const Program kPrograms[] = {
    {"tamsel", RDS_TAMSEL},
    {"brovik", RDS_BROVIK},
    {"rds-encoder-sim", RDS_ENCODER_SIM},
    {"rds-capture-gen", RDS_CAPTURE_GEN},
    {"rds-demod", RDS_DEMOD},
};

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Outcome RunProgram(const Program& program, const std::string& arguments) {
  // One pair of files per test and program: ctest runs the tests in parallel.
  const std::string base = ::testing::TempDir() +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                           program.name;
  const std::string command = std::string("'") + program.path + "' " + arguments + " >'" + base +
                              ".out' 2>'" + base + ".err' </dev/null";
  const int status = std::system(command.c_str());
  Outcome outcome;
  if (WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
  outcome.out = Slurp(base + ".out");
  outcome.err = Slurp(base + ".err");
  return outcome;
}

TEST(Conventions, VersionIsTheProjectVersion) {
  for (const Program& program : kPrograms) {
    SCOPED_TRACE(program.name);
    const Outcome outcome = RunProgram(program, "--version");
    EXPECT_EQ(outcome.exit_code, 0);
    EXPECT_EQ(outcome.out, std::string(program.name) + " " + EXPECTED_VERSION + "\n");
    EXPECT_EQ(outcome.err, "");
  }
}

TEST(Conventions, WrongCommandLineExits64) {
  for (const Program& program : kPrograms) {
    SCOPED_TRACE(program.name);
    const Outcome outcome = RunProgram(program, "--no-such-option");
    EXPECT_EQ(outcome.exit_code, 64);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("--no-such-option"), std::string::npos) << outcome.err;
  }
}

}  // namespace
