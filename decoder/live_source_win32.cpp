#include <io.h>

#include <climits>
#include <csignal>

#include "decoder/live_source.h"

namespace decoder {

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void OnStopSignal(int) { g_stop = 1; }

}  // namespace

void StopReadingOnSignals() {
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

bool LiveSource::Interrupted() { return g_stop != 0; }

std::size_t LiveSource::Read(char* buffer, std::size_t capacity) {
  if (g_stop != 0) return 0;
  const unsigned size = capacity > INT_MAX ? INT_MAX : static_cast<unsigned>(capacity);
  const int n = _read(fd_, buffer, size);
  if (g_stop != 0) return 0;
  if (n < 0) {
    failed_ = true;
    return 0;
  }
  return static_cast<std::size_t>(n);
}

}  // namespace decoder
