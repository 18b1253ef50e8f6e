// A program of the tree run as a child process, with its standard output and error captured,
// for tests that drive the real executables.
#ifndef RDS_TESTS_SUPPORT_CHILD_PROCESS_H_
#define RDS_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class ChildProcess {
 public:
  // Starts program with args; env entries "NAME=value" are added to the environment, and a
  // non-empty dir becomes the working directory.
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): arguments, then environment, as exec
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env = {}, const std::string& dir = "") {
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      close(out[0]);
      close(err[0]);
      for (const std::string& entry : env) putenv(const_cast<char*>(entry.c_str()));
      if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(126);
      std::vector<char*> argv = {const_cast<char*>(program.c_str())};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
  }

  // One line of standard output, waiting at most timeout_ms for each character.
  std::string ReadLine(int timeout_ms = 5000) {
    std::string line;
    char c;
    while (ReadWithin(out_, &c, timeout_ms) && c != '\n') line.push_back(c);
    return line;
  }

  // Exit code (128 + signal when killed), or -1 if the process did not end within the time.
  // Output is drained meanwhile, so a chatty child cannot block on a full pipe.
  int Wait(int timeout_ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      Drain(out_, &output_);
      Drain(err_, &errors_);
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        Drain(out_, &output_);
        Drain(err_, &errors_);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  // What the child wrote, as far as Wait has collected it.
  const std::string& Output() const { return output_; }
  const std::string& Errors() const { return errors_; }

  void Signal(int signal) { kill(pid_, signal); }

  static bool ReadWithin(int fd, char* c, int timeout_ms) {
    pollfd waiter{fd, POLLIN, 0};
    return poll(&waiter, 1, timeout_ms) > 0 && read(fd, c, 1) == 1;
  }

 private:
  static void Drain(int fd, std::string* into) {
    char buffer[4096];
    pollfd waiter{fd, POLLIN, 0};
    while (poll(&waiter, 1, 0) > 0) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) return;
      into->append(buffer, static_cast<std::size_t>(n));
    }
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool exited_ = false;
  std::string output_;
  std::string errors_;
};

#endif  // RDS_TESTS_SUPPORT_CHILD_PROCESS_H_
