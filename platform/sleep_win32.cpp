#include "platform/sleep.h"

// clang-format off
#include <windows.h>
// clang-format on

namespace win {

void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

}  // namespace win
