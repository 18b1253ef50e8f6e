// Linux only: the Windows error code that stands for an errno value.
#ifndef RDS_PLATFORM_POSIX_ERROR_H_
#define RDS_PLATFORM_POSIX_ERROR_H_

#include "platform/win_types.h"

namespace win {

// The nearest Windows code for errno_value (ENOENT -> ERROR_FILE_NOT_FOUND, EBUSY ->
// ERROR_ACCESS_DENIED, ...); ERROR_GEN_FAILURE for anything without a closer match.
DWORD ErrorFromErrno(int errno_value);

// Stores ErrorFromErrno(errno_value) as the thread's last error.
void SetLastErrorFromErrno(int errno_value);

}  // namespace win

#endif  // RDS_PLATFORM_POSIX_ERROR_H_
