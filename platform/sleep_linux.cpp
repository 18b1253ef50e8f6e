#include <chrono>
#include <thread>

#include "platform/sleep.h"

namespace win {

// Like Windows' Sleep, the pause lasts its full time: sleep_for resumes after a signal.
void Sleep(DWORD milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace win
