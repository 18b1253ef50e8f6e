#include "tests/serial/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "platform/last_error.h"

namespace fake {

const win::HANDLE kHandle = reinterpret_cast<win::HANDLE>(0x5A5A);

namespace {

Script script;
win::DWORD last_error = 0;

// Records the call; false (with the scripted code as last error) when it is to fail.
bool Enter(Call call, win::HANDLE handle, win::DWORD argument = 0, win::DWORD second = 0) {
  script.calls.push_back({call, handle, argument, second});
  if (handle != kHandle) {
    last_error = win::ERROR_INVALID_HANDLE;
    return false;
  }
  const auto failure = script.failures.find(call);
  if (failure != script.failures.end()) {
    last_error = failure->second;
    return false;
  }
  return true;
}

}  // namespace

Script& Reset() {
  script = Script{};
  last_error = kStaleError;
  return script;
}

Script& Current() { return script; }

std::vector<Call> CallsMade() {
  std::vector<Call> calls;
  for (const Record& record : script.calls) calls.push_back(record.call);
  return calls;
}

}  // namespace fake

namespace win {

using fake::Call;
using fake::Enter;
using fake::script;

DWORD GetLastError() { return fake::last_error; }
void SetLastError(DWORD error) { fake::last_error = error; }

// The signature is KERNEL32's.
// NOLINTBEGIN(bugprone-easily-swappable-parameters)
HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD share_mode,
                   void* /*security_attributes*/, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE /*template_file*/) {
  // NOLINTEND(bugprone-easily-swappable-parameters)
  script.opened_path = file_name;
  script.access = desired_access;
  script.share = share_mode;
  script.creation = creation_disposition;
  script.flags = flags_and_attributes;
  if (!Enter(Call::kCreateFile, fake::kHandle)) return INVALID_HANDLE_VALUE;
  return fake::kHandle;
}

BOOL CloseHandle(HANDLE handle) { return Enter(Call::kCloseHandle, handle); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL ReadFile(HANDLE handle, void* buffer, DWORD bytes_to_read, DWORD* bytes_read,
              void* /*overlapped*/) {
  if (!Enter(Call::kReadFile, handle, bytes_to_read)) {
    *bytes_read = script.partial_count;
    return 0;
  }
  const DWORD count = std::min<DWORD>(bytes_to_read, static_cast<DWORD>(script.incoming.size()));
  std::memcpy(buffer, script.incoming.data(), count);
  script.incoming.erase(0, count);
  *bytes_read = count;
  return 1;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL WriteFile(HANDLE handle, const void* buffer, DWORD bytes_to_write, DWORD* bytes_written,
               void* /*overlapped*/) {
  if (!Enter(Call::kWriteFile, handle, bytes_to_write)) {
    *bytes_written = script.partial_count;
    return 0;
  }
  script.written.append(static_cast<const char*>(buffer), bytes_to_write);
  *bytes_written = bytes_to_write;
  return 1;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) { return Enter(Call::kPurgeComm, handle, flags); }

BOOL GetCommState(HANDLE handle, DCB* dcb) {
  if (!Enter(Call::kGetCommState, handle)) return 0;
  *dcb = script.device;
  return 1;
}

BOOL SetCommState(HANDLE handle, DCB* dcb) {
  if (!Enter(Call::kSetCommState, handle)) return 0;
  script.device = *dcb;
  return 1;
}

BOOL GetCommProperties(HANDLE handle, COMMPROP* properties) {
  if (!Enter(Call::kGetCommProperties, handle)) return 0;
  *properties = script.properties;
  return 1;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
  if (!Enter(Call::kClearCommError, handle)) return 0;
  *errors = 0;
  *status = COMSTAT{};
  status->cbInQue = script.in_queue;
  return 1;
}

BOOL GetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD* size) {
  const DWORD size_passed = *size;
  *size = 0x7777;  // the caller must not depend on what the call leaves here
  if (!Enter(Call::kGetCommConfig, handle, size_passed)) return 0;
  config->dcb = script.device;
  return 1;
}

BOOL SetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD size) {
  if (!Enter(Call::kSetCommConfig, handle, size)) return 0;
  script.device = config->dcb;
  return 1;
}

BOOL SetCommBreak(HANDLE handle) { return Enter(Call::kSetCommBreak, handle); }

BOOL ClearCommBreak(HANDLE handle) { return Enter(Call::kClearCommBreak, handle); }

BOOL EscapeCommFunction(HANDLE handle, DWORD function) {
  return Enter(Call::kEscapeCommFunction, handle, function);
}

BOOL SetCommMask(HANDLE handle, DWORD event_mask) {
  if (!Enter(Call::kSetCommMask, handle, event_mask)) return 0;
  script.event_mask = event_mask;
  return 1;
}

BOOL GetCommMask(HANDLE handle, DWORD* event_mask) {
  if (!Enter(Call::kGetCommMask, handle)) return 0;
  *event_mask = script.event_mask;
  return 1;
}

BOOL FlushFileBuffers(HANDLE handle) { return Enter(Call::kFlushFileBuffers, handle); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL SetupComm(HANDLE handle, DWORD input_queue_size, DWORD output_queue_size) {
  return Enter(Call::kSetupComm, handle, input_queue_size, output_queue_size);
}

BOOL GetCommModemStatus(HANDLE handle, DWORD* modem_status) {
  if (!Enter(Call::kGetCommModemStatus, handle)) return 0;
  *modem_status = script.modem_lines;
  return 1;
}

}  // namespace win
