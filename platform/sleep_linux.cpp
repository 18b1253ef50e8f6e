#include <time.h>

#include <cerrno>

#include "platform/sleep.h"

namespace win {

void Sleep(DWORD milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal must not cut the pause short: Windows' Sleep always lasts its full time.
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace win
