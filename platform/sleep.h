// Sleep: suspend the calling thread for a number of milliseconds, as KERNEL32's Sleep does.
#ifndef RDS_PLATFORM_SLEEP_H_
#define RDS_PLATFORM_SLEEP_H_

#include "platform/win_types.h"

namespace win {

void Sleep(DWORD milliseconds);

}  // namespace win

#endif  // RDS_PLATFORM_SLEEP_H_
