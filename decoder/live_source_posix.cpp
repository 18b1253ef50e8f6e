#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "decoder/live_source.h"

namespace decoder {

namespace {

volatile std::sig_atomic_t g_stop = 0;
// Written by the signal handler, so that a read waiting in poll() wakes up however the signal
// falls between the check of g_stop and the wait.
int g_wake[2] = {-1, -1};

extern "C" void OnStopSignal(int) {
  g_stop = 1;
  const int saved_errno = errno;
  if (g_wake[1] >= 0) {
    const char byte = 0;
    if (write(g_wake[1], &byte, 1) < 0) {
      // The pipe is full: a wake-up is pending anyway.
    }
  }
  errno = saved_errno;
}

}  // namespace

void StopReadingOnSignals() {
  if (g_wake[0] < 0 && pipe(g_wake) == 0) {
    for (const int fd : g_wake) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
      fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
  }
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read in progress returns
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool LiveSource::Interrupted() { return g_stop != 0; }

std::size_t LiveSource::Read(char* buffer, std::size_t capacity) {
  for (;;) {
    if (g_stop != 0) return 0;
    pollfd waits[2] = {{fd_, POLLIN, 0}, {g_wake[0], POLLIN, 0}};
    if (poll(waits, g_wake[0] >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return 0;
    }
    if (g_stop != 0) return 0;
    const ssize_t n = read(fd_, buffer, capacity);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EINTR || errno == EAGAIN) continue;
    failed_ = true;
    return 0;
  }
}

}  // namespace decoder
