#include "tests/sender/tamsel_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace tamsel_test {
namespace {

constexpr char kStart = '\xFE';
constexpr char kStop = '\xFF';
constexpr auto kRunLimit = std::chrono::seconds(30);

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Environment(const std::map<std::string, std::string>& overrides) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr) continue;
    const std::string name(*entry, static_cast<std::size_t>(equals - *entry));
    if (name.rfind("RDS_COM", 0) == 0) continue;  // only what the test names
    variables[name] = equals + 1;
  }
  variables["RDS_COM1"] = "/nonexistent/rds-test-com1";
  for (const auto& [name, value] : overrides) variables[name] = value;
  std::vector<std::string> result;
  result.reserve(variables.size());
  for (const auto& [name, value] : variables) {
    result.push_back(name);
    result.back().append("=").append(value);
  }
  return result;
}

}  // namespace

std::vector<Send> Silent(int /*frame_number*/) { return {}; }

EncoderLine::EncoderLine() {
  if (pty_.ok()) held_slave_ = open(pty_.slave_path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
}

EncoderLine::~EncoderLine() {
  if (held_slave_ >= 0) close(held_slave_);
}

RunRecord EncoderLine::RunTamsel(const std::vector<std::string>& args,
                                 const std::map<std::string, std::string>& overrides,
                                 const ReplyScript& script) {
  RunRecord run;
  char out_path[] = "/tmp/tamsel_out_XXXXXX";
  char err_path[] = "/tmp/tamsel_err_XXXXXX";
  const int out_fd = mkstemp(out_path);
  const int err_fd = mkstemp(err_path);

  std::vector<std::string> argument_texts = {TAMSEL_PATH};
  argument_texts.insert(argument_texts.end(), args.begin(), args.end());
  std::vector<char*> argv;
  argv.reserve(argument_texts.size() + 1);
  for (std::string& text : argument_texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment_texts = Environment(overrides);
  std::vector<char*> envp;
  envp.reserve(environment_texts.size() + 1);
  for (std::string& text : environment_texts) envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err_fd, STDERR_FILENO);
  pid_t child = -1;
  const int spawned = posix_spawn(&child, TAMSEL_PATH, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out_fd);
  close(err_fd);
  if (spawned != 0) {
    run.err = "cannot start tamsel";
    return run;
  }

  // The encoder: cut the byte stream into frames (STA to STP; stuffing keeps both out of the
  // inside) and answer each as the script says.
  std::string incoming;
  // Answers still to send, per frame in order; the first of each is due at its time.
  std::map<int, std::vector<Send>> pending;
  std::map<int, Clock::time_point> due;
  const auto give_up = Clock::now() + kRunLimit;
  for (;;) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      run.exited = Clock::now();
      run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (Clock::now() > give_up) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      run.err = "tamsel did not finish";
      return run;
    }
    pollfd ready{pty_.master(), POLLIN, 0};
    if (poll(&ready, 1, 1) > 0 && (ready.revents & POLLIN) != 0) {
      char buffer[1024];
      const ssize_t n = read(pty_.master(), buffer, sizeof buffer);
      if (n > 0) incoming.append(buffer, static_cast<std::size_t>(n));
    }
    for (;;) {
      const std::size_t start = incoming.find(kStart);
      if (start == std::string::npos) break;
      const std::size_t stop = incoming.find(kStop, start);
      if (stop == std::string::npos) break;
      run.frames.push_back({incoming.substr(start, stop - start + 1), Clock::now()});
      incoming.erase(0, stop + 1);
      const int number = static_cast<int>(run.frames.size());
      pending[number] = script(number);
      if (!pending[number].empty()) {
        due[number] = run.frames.back().arrival + pending[number].front().delay;
      }
    }
    for (auto& [number, answers] : pending) {
      if (answers.empty() || Clock::now() < due[number]) continue;
      // Timed before the write: tamsel cannot see the bytes earlier, so a pause measured from
      // here is never shorter than tamsel's, however late this thread gets the processor back.
      const Clock::time_point sending = Clock::now();
      pty_.Send(answers.front().bytes);
      run.replied[number] = sending;
      answers.erase(answers.begin());
      if (!answers.empty()) due[number] = Clock::now() + answers.front().delay;
    }
  }
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  unlink(out_path);
  unlink(err_path);
  return run;
}

}  // namespace tamsel_test
