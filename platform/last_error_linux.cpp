#include <cerrno>

#include "platform/last_error.h"
#include "platform/posix_error.h"

namespace win {
namespace {

// Windows keeps the last error per thread; so do we.
thread_local DWORD last_error = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() { return last_error; }

void SetLastError(DWORD error) { last_error = error; }

DWORD ErrorFromErrno(int errno_value) {
  switch (errno_value) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
    case ENXIO:
    case ENODEV:
      // Windows reports an absent COM port as a missing file.
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case EWOULDBLOCK:  // a lock held by another open of the device: Windows' exclusive open
      return ERROR_ACCESS_DENIED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTTY:
      return ERROR_INVALID_FUNCTION;
    case ENOSYS:
    case EOPNOTSUPP:
      return ERROR_NOT_SUPPORTED;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EPIPE:
      return ERROR_BROKEN_PIPE;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EINTR:
      return ERROR_OPERATION_ABORTED;
    case EIO:
      return ERROR_IO_DEVICE;
    default:
      return ERROR_GEN_FAILURE;
  }
}

void SetLastErrorFromErrno(int errno_value) { last_error = ErrorFromErrno(errno_value); }

}  // namespace win
