#include "sender/system_error_text.h"

#include "platform/last_error.h"

namespace sender {
namespace {

const char* Reason(std::uint32_t code) {
  switch (code) {
    case win::ERROR_SUCCESS:
      return "no error reported";
    case win::ERROR_INVALID_FUNCTION:
      return "not a serial port";
    case win::ERROR_FILE_NOT_FOUND:
      return "no such device";
    case win::ERROR_PATH_NOT_FOUND:
      return "no such path";
    case win::ERROR_TOO_MANY_OPEN_FILES:
      return "too many open files";
    case win::ERROR_ACCESS_DENIED:
      return "access denied, or the port is in use by another program";
    case win::ERROR_INVALID_HANDLE:
      return "the port is not open";
    case win::ERROR_NOT_ENOUGH_MEMORY:
      return "not enough memory";
    case win::ERROR_GEN_FAILURE:
      return "the device does not work";
    case win::ERROR_SHARING_VIOLATION:
      return "the port is in use by another program";
    case win::ERROR_NOT_SUPPORTED:
      return "the device does not support this request";
    case win::ERROR_INVALID_PARAMETER:
      return "the device refuses these settings";
    case win::ERROR_BROKEN_PIPE:
      return "the line was closed";
    case win::ERROR_SEM_TIMEOUT:
      return "the device timed out";
    case win::ERROR_INVALID_NAME:
      return "invalid device name";
    case win::ERROR_BUSY:
      return "the port is busy";
    case win::ERROR_FILENAME_EXCED_RANGE:
      return "the device name is too long";
    case win::ERROR_OPERATION_ABORTED:
      return "the operation was interrupted";
    case win::ERROR_IO_DEVICE:
      return "input/output error on the device";
    default:
      return "unknown error";
  }
}

}  // namespace

std::string DescribeSystemError(std::uint32_t code) {
  return std::string(Reason(code)) + " (system error " + std::to_string(code) + ")";
}

}  // namespace sender
