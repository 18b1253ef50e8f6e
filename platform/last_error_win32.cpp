#include "platform/last_error.h"

// clang-format off
#include <windows.h>
// clang-format on

namespace win {

static_assert(sizeof(DWORD) == sizeof(::DWORD), "DWORD must match KERNEL32's");

DWORD GetLastError() { return ::GetLastError(); }

void SetLastError(DWORD error) { ::SetLastError(error); }

}  // namespace win
