// A scripted stand-in for the Windows serial calls, linked into the SerialPort tests in place of
// the real platform layer. It records every call and fails the calls it is told to fail.
#ifndef RDS_TESTS_SERIAL_FAKE_PLATFORM_H_
#define RDS_TESTS_SERIAL_FAKE_PLATFORM_H_

#include <map>
#include <string>
#include <vector>

#include "platform/serial_api.h"

namespace fake {

enum class Call {
  kCreateFile,
  kCloseHandle,
  kReadFile,
  kWriteFile,
  kPurgeComm,
  kGetCommState,
  kSetCommState,
  kGetCommProperties,
  kClearCommError,
  kGetCommConfig,
  kSetCommConfig,
  kSetCommBreak,
  kClearCommBreak,
  kEscapeCommFunction,
  kSetCommMask,
  kGetCommMask,
  kFlushFileBuffers,
  kSetupComm,
  kGetCommModemStatus,
};

struct Record {
  Call call;
  win::HANDLE handle;
  // The call's flag, function, mask, count or buffer size; 0 for calls without one.
  win::DWORD argument;
  win::DWORD second_argument;  // SetupComm's output queue size
};

// The handle the fake hands out.
extern const win::HANDLE kHandle;

// A last-error value that no fake call produces: a wrapper that reads GetLastError after a
// success shows it.
inline constexpr win::DWORD kStaleError = 0xDEAD;

struct Script {
  std::map<Call, win::DWORD> failures;  // a call listed here fails with this error code
  win::DCB device{};                    // the port's line settings
  win::COMMPROP properties{};
  win::DWORD in_queue = 0;
  win::DWORD modem_lines = 0;
  win::DWORD event_mask = 0;
  std::string incoming;          // bytes ReadFile delivers
  win::DWORD partial_count = 0;  // bytes a failing ReadFile/WriteFile reports
  std::string written;           // bytes WriteFile took
  std::string opened_path;
  win::DWORD access = 0, share = 0, creation = 0, flags = 0;
  std::vector<Record> calls;
};

// Resets the script and sets the last error to kStaleError.
Script& Reset();
Script& Current();

std::vector<Call> CallsMade();

}  // namespace fake

#endif  // RDS_TESTS_SERIAL_FAKE_PLATFORM_H_
