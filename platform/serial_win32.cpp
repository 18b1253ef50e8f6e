// Windows: the serial calls forward to KERNEL32. Our records are laid out as Windows lays out its
// own; the static_asserts below hold us to that, and the records are copied byte for byte.
#include <cstddef>
#include <cstring>

#include "platform/serial_api.h"

// clang-format off
#include <windows.h>
// clang-format on

namespace win {
namespace {

// After <windows.h> the Windows constant names are macros; only :: names and types appear below.
static_assert(sizeof(DCB) == sizeof(::DCB), "DCB layout");
static_assert(offsetof(DCB, BaudRate) == offsetof(::DCB, BaudRate), "DCB layout");
static_assert(offsetof(DCB, wReserved) == offsetof(::DCB, wReserved), "DCB layout");
static_assert(offsetof(DCB, XonLim) == offsetof(::DCB, XonLim), "DCB layout");
static_assert(offsetof(DCB, ByteSize) == offsetof(::DCB, ByteSize), "DCB layout");
static_assert(offsetof(DCB, XonChar) == offsetof(::DCB, XonChar), "DCB layout");
static_assert(offsetof(DCB, EvtChar) == offsetof(::DCB, EvtChar), "DCB layout");
static_assert(offsetof(DCB, wReserved1) == offsetof(::DCB, wReserved1), "DCB layout");
static_assert(sizeof(COMMPROP) == sizeof(::COMMPROP), "COMMPROP layout");
static_assert(offsetof(COMMPROP, dwSettableBaud) == offsetof(::COMMPROP, dwSettableBaud),
              "COMMPROP layout");
static_assert(offsetof(COMMPROP, wSettableStopParity) == offsetof(::COMMPROP, wSettableStopParity),
              "COMMPROP layout");
static_assert(offsetof(COMMPROP, wcProvChar) == offsetof(::COMMPROP, wcProvChar),
              "COMMPROP layout");
static_assert(sizeof(COMSTAT) == sizeof(::COMSTAT), "COMSTAT layout");
static_assert(offsetof(COMSTAT, cbInQue) == offsetof(::COMSTAT, cbInQue), "COMSTAT layout");
static_assert(sizeof(COMMCONFIG) == sizeof(::COMMCONFIG), "COMMCONFIG layout");
static_assert(offsetof(COMMCONFIG, dcb) == offsetof(::COMMCONFIG, dcb), "COMMCONFIG layout");
static_assert(offsetof(COMMCONFIG, wcProviderData) == offsetof(::COMMCONFIG, wcProviderData),
              "COMMCONFIG layout");
static_assert(sizeof(DWORD) == sizeof(::DWORD), "DWORD width");

// The bit fields of DCB and COMSTAT sit in the same bits on both sides (same declarations, same
// compiler), so a byte copy carries every field.
template <typename To, typename From>
void CopyRecord(To* to, const From* from) {
  static_assert(sizeof(To) == sizeof(From), "records differ in size");
  std::memcpy(to, from, sizeof(To));
}

}  // namespace

// NOLINTBEGIN(bugprone-easily-swappable-parameters): the signature is KERNEL32's
HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD share_mode,
                   void* security_attributes, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file) {
  // NOLINTEND(bugprone-easily-swappable-parameters)
  return ::CreateFileA(file_name, desired_access, share_mode,
                       static_cast<::LPSECURITY_ATTRIBUTES>(security_attributes),
                       creation_disposition, flags_and_attributes, template_file);
}

BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL ReadFile(HANDLE handle, void* buffer, DWORD bytes_to_read, DWORD* bytes_read,
              void* overlapped) {
  ::DWORD count = 0;
  const ::BOOL result =
      ::ReadFile(handle, buffer, bytes_to_read, &count, static_cast<::LPOVERLAPPED>(overlapped));
  if (bytes_read != nullptr) *bytes_read = count;
  return result;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL WriteFile(HANDLE handle, const void* buffer, DWORD bytes_to_write, DWORD* bytes_written,
               void* overlapped) {
  ::DWORD count = 0;
  const ::BOOL result =
      ::WriteFile(handle, buffer, bytes_to_write, &count, static_cast<::LPOVERLAPPED>(overlapped));
  if (bytes_written != nullptr) *bytes_written = count;
  return result;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) { return ::PurgeComm(handle, flags); }

BOOL GetCommState(HANDLE handle, DCB* dcb) {
  ::DCB system{};
  system.DCBlength = sizeof(::DCB);
  const ::BOOL result = ::GetCommState(handle, &system);
  if (result && dcb != nullptr) CopyRecord(dcb, &system);
  return result;
}

BOOL SetCommState(HANDLE handle, DCB* dcb) {
  if (dcb == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ::DCB system{};
  CopyRecord(&system, dcb);
  return ::SetCommState(handle, &system);
}

BOOL GetCommProperties(HANDLE handle, COMMPROP* properties) {
  ::COMMPROP system{};
  const ::BOOL result = ::GetCommProperties(handle, &system);
  if (result && properties != nullptr) CopyRecord(properties, &system);
  return result;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
  ::DWORD error_flags = 0;
  ::COMSTAT system{};
  const ::BOOL result = ::ClearCommError(handle, &error_flags, &system);
  if (result) {
    if (errors != nullptr) *errors = error_flags;
    if (status != nullptr) CopyRecord(status, &system);
  }
  return result;
}

BOOL GetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD* size) {
  ::DWORD system_size = size != nullptr ? *size : 0;
  const ::BOOL result =
      ::GetCommConfig(handle, reinterpret_cast<::LPCOMMCONFIG>(config), &system_size);
  if (size != nullptr) *size = system_size;
  return result;
}

BOOL SetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD size) {
  return ::SetCommConfig(handle, reinterpret_cast<::LPCOMMCONFIG>(config), size);
}

BOOL SetCommBreak(HANDLE handle) { return ::SetCommBreak(handle); }

BOOL ClearCommBreak(HANDLE handle) { return ::ClearCommBreak(handle); }

BOOL EscapeCommFunction(HANDLE handle, DWORD function) {
  return ::EscapeCommFunction(handle, function);
}

BOOL SetCommMask(HANDLE handle, DWORD event_mask) { return ::SetCommMask(handle, event_mask); }

BOOL GetCommMask(HANDLE handle, DWORD* event_mask) {
  ::DWORD mask = 0;
  const ::BOOL result = ::GetCommMask(handle, &mask);
  if (result && event_mask != nullptr) *event_mask = mask;
  return result;
}

BOOL FlushFileBuffers(HANDLE handle) { return ::FlushFileBuffers(handle); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL SetupComm(HANDLE handle, DWORD input_queue_size, DWORD output_queue_size) {
  return ::SetupComm(handle, input_queue_size, output_queue_size);
}

BOOL GetCommModemStatus(HANDLE handle, DWORD* modem_status) {
  ::DWORD status = 0;
  const ::BOOL result = ::GetCommModemStatus(handle, &status);
  if (result && modem_status != nullptr) *modem_status = status;
  return result;
}

}  // namespace win
