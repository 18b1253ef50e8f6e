// Windows serial calls on Linux: handles, input and output, queues, break and modem lines.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/device_name.h"
#include "platform/last_error.h"
#include "platform/posix_error.h"
#include "platform/serial_api.h"
#include "platform/serial_linux_port.h"

namespace win {
namespace linux_serial {
namespace {

// Handles given out and not yet closed. A handle is the address of its Port, but only one found
// here is trusted, so a stale or made-up handle fails with ERROR_INVALID_HANDLE instead of
// touching freed memory.
std::mutex registry_mutex;
std::unordered_map<HANDLE, std::unique_ptr<Port>>& Registry() {
  static std::unordered_map<HANDLE, std::unique_ptr<Port>> registry;
  return registry;
}

constexpr DWORD kOverlappedFlag = 0x40000000;  // FILE_FLAG_OVERLAPPED: not offered here
constexpr DWORD kPurgeFlags = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kAllEvents = 0x1FFF;

// Unix98 pseudo-terminal slaves have the character-device majors 136 to 143.
bool IsPseudoTerminal(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  const unsigned int device_major = major(info.st_rdev);
  return device_major >= 136 && device_major <= 143;
}

// Closes a descriptor whose open failed half-way and reports errno as the reason.
HANDLE AbandonOpen(int fd) {
  const int error = errno;
  close(fd);
  SetLastErrorFromErrno(error);
  return INVALID_HANDLE_VALUE;
}

bool MakeTerminalRaw(int fd) {
  termios attributes{};
  if (tcgetattr(fd, &attributes) != 0) return false;
  MakeRaw(attributes);
  return tcsetattr(fd, TCSANOW, &attributes) == 0;
}

int OpenFlagsFor(DWORD desired_access) {
  const bool read = (desired_access & GENERIC_READ) != 0;
  const bool write = (desired_access & GENERIC_WRITE) != 0;
  if (read && !write) return O_RDONLY;
  if (write && !read) return O_WRONLY;
  return O_RDWR;
}

BOOL ModemLines(HANDLE handle, unsigned long request, int lines) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (ioctl(port->fd, request, &lines) != 0) return FailModemLineCall(*port, errno);
  return 1;
}

BOOL Ioctl(HANDLE handle, unsigned long request) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (ioctl(port->fd, request) != 0) return FailWithErrno(errno);
  return 1;
}

BOOL FlowControl(HANDLE handle, int action) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (tcflow(port->fd, action) != 0) return FailWithErrno(errno);
  return 1;
}

// New line errors since the last query, as ClearCommError's CE_* flags. Only real UARTs count
// them; elsewhere there is nothing to report.
DWORD NewLineErrors(Port& port) {
  serial_icounter_struct counts{};
  if (ioctl(port.fd, TIOCGICOUNT, &counts) != 0) return 0;
  DWORD errors = 0;
  if (counts.frame != port.frame_errors) errors |= CE_FRAME;
  if (counts.overrun != port.overruns) errors |= CE_OVERRUN;
  if (counts.parity != port.parity_errors) errors |= CE_RXPARITY;
  if (counts.brk != port.breaks) errors |= CE_BREAK;
  if (counts.buf_overrun != port.buffer_overruns) errors |= CE_RXOVER;
  port.frame_errors = counts.frame;
  port.overruns = counts.overrun;
  port.parity_errors = counts.parity;
  port.breaks = counts.brk;
  port.buffer_overruns = counts.buf_overrun;
  return errors;
}

}  // namespace

Port* Lookup(HANDLE handle) {
  std::lock_guard<std::mutex> lock(registry_mutex);
  const auto found = Registry().find(handle);
  if (found == Registry().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return found->second.get();
}

BOOL FailWithErrno(int errno_value) {
  SetLastErrorFromErrno(errno_value);
  return 0;
}

BOOL FailModemLineCall(const Port& port, int errno_value) {
  if (port.is_tty && (errno_value == ENOTTY || errno_value == EINVAL)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
  }
  return FailWithErrno(errno_value);
}

}  // namespace linux_serial

using linux_serial::FailWithErrno;
using linux_serial::Lookup;
using linux_serial::Port;

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD share_mode,
                   void* /*security_attributes*/, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE /*template_file*/) {
  if (file_name == nullptr || *file_name == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  // A device can only be opened, never created; and this layer does synchronous I/O only.
  if (creation_disposition != OPEN_EXISTING ||
      (flags_and_attributes & linux_serial::kOverlappedFlag) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = platform::SystemDeviceName(file_name);
  // O_NONBLOCK only for the open itself: a modem port without carrier would otherwise hang here.
  const int fd = open(
      path.c_str(), linux_serial::OpenFlagsFor(desired_access) | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  auto port = std::make_unique<Port>();
  port->fd = fd;
  port->is_tty = isatty(fd) == 1;
  port->is_pseudo = port->is_tty && linux_serial::IsPseudoTerminal(fd);
  // Share mode 0 is an exclusive open: like Windows, refuse a device that another handle holds.
  // The lock covers every open of the device that goes through this layer, in any process;
  // TIOCEXCL also keeps out other programs (those without privileges).
  port->exclusive = share_mode == 0;
  if (port->exclusive && flock(fd, LOCK_EX | LOCK_NB) != 0) return linux_serial::AbandonOpen(fd);
  const int status_flags = fcntl(fd, F_GETFL);
  if (status_flags < 0 || fcntl(fd, F_SETFL, status_flags & ~O_NONBLOCK) != 0) {
    return linux_serial::AbandonOpen(fd);
  }
  if (port->is_tty) {
    if (!linux_serial::MakeTerminalRaw(fd)) return linux_serial::AbandonOpen(fd);
    // MakeTerminalRaw has just read this terminal's settings, so this read does not fail; if it
    // did, GetCommState would report an empty DCB, which SetCommState replaces, and the open
    // itself has succeeded all the same.
    static_cast<void>(linux_serial::ReadInitialSettings(*port));
    // Set last, once the open can no longer fail: CloseHandle clears it again.
    if (port->exclusive) ioctl(fd, TIOCEXCL);
  }
  HANDLE handle = port.get();
  {
    std::lock_guard<std::mutex> lock(linux_serial::registry_mutex);
    linux_serial::Registry().emplace(handle, std::move(port));
  }
  return handle;
}

BOOL CloseHandle(HANDLE handle) {
  std::unique_ptr<Port> port;
  {
    std::lock_guard<std::mutex> lock(linux_serial::registry_mutex);
    auto found = linux_serial::Registry().find(handle);
    if (found == linux_serial::Registry().end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
    port = std::move(found->second);
    linux_serial::Registry().erase(found);
  }
  // Give the terminal back shareable: its exclusive flag would outlive us while another process
  // still holds the device open.
  if (port->is_tty && port->exclusive) ioctl(port->fd, TIOCNXCL);
  if (close(port->fd) != 0 && errno != EINTR) return FailWithErrno(errno);
  return 1;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL ReadFile(HANDLE handle, void* buffer, DWORD bytes_to_read, DWORD* bytes_read,
              void* overlapped) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (bytes_read == nullptr || overlapped != nullptr || (buffer == nullptr && bytes_to_read > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // Without time-outs a Windows read returns when all requested bytes are in; the terminal is in
  // raw mode with VMIN 1, so keep reading until then (or until the line reports end of file).
  auto* bytes = static_cast<unsigned char*>(buffer);
  DWORD total = 0;
  while (total < bytes_to_read) {
    const ssize_t n = read(port->fd, bytes + total, bytes_to_read - total);
    if (n > 0) {
      total += static_cast<DWORD>(n);
    } else if (n == 0) {
      // End of file on a terminal in raw mode means the far end hung up. Nothing read is a
      // failure the caller can name, not a silent success with no bytes.
      if (total == 0) {
        *bytes_read = 0;
        SetLastError(ERROR_BROKEN_PIPE);
        return 0;
      }
      break;
    } else if (errno != EINTR) {
      *bytes_read = total;
      return FailWithErrno(errno);
    }
  }
  *bytes_read = total;
  return 1;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL WriteFile(HANDLE handle, const void* buffer, DWORD bytes_to_write, DWORD* bytes_written,
               void* overlapped) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (bytes_written == nullptr || overlapped != nullptr ||
      (buffer == nullptr && bytes_to_write > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  DWORD total = 0;
  while (total < bytes_to_write) {
    const ssize_t n = write(port->fd, bytes + total, bytes_to_write - total);
    if (n >= 0) {
      total += static_cast<DWORD>(n);
    } else if (errno != EINTR) {
      *bytes_written = total;
      return FailWithErrno(errno);
    }
  }
  *bytes_written = total;
  return 1;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if ((flags & ~linux_serial::kPurgeFlags) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The abort flags end overlapped operations; this layer has none, so only the clear flags act.
  const bool output = (flags & PURGE_TXCLEAR) != 0;
  const bool input = (flags & PURGE_RXCLEAR) != 0;
  if (!output && !input) return 1;
  const int queue = output && input ? TCIOFLUSH : (output ? TCOFLUSH : TCIFLUSH);
  if (tcflush(port->fd, queue) != 0) return FailWithErrno(errno);
  return 1;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  int waiting_in = 0;
  if (ioctl(port->fd, FIONREAD, &waiting_in) != 0) return FailWithErrno(errno);
  int waiting_out = 0;
  if (port->is_tty && ioctl(port->fd, TIOCOUTQ, &waiting_out) != 0) waiting_out = 0;
  const DWORD new_errors = port->is_tty ? linux_serial::NewLineErrors(*port) : 0;
  if (errors != nullptr) *errors = new_errors;
  if (status != nullptr) {
    *status = COMSTAT{};
    if (port->is_tty && port->settings.fOutxCtsFlow) {
      int lines = 0;
      if (ioctl(port->fd, TIOCMGET, &lines) == 0 && (lines & TIOCM_CTS) == 0) status->fCtsHold = 1;
    }
    status->cbInQue = static_cast<DWORD>(waiting_in);
    status->cbOutQue = static_cast<DWORD>(waiting_out);
  }
  return 1;
}

BOOL SetCommBreak(HANDLE handle) { return linux_serial::Ioctl(handle, TIOCSBRK); }

BOOL ClearCommBreak(HANDLE handle) { return linux_serial::Ioctl(handle, TIOCCBRK); }

BOOL EscapeCommFunction(HANDLE handle, DWORD function) {
  switch (function) {
    case SETXOFF:  // act as if XOFF had been received: hold our output
      return linux_serial::FlowControl(handle, TCOOFF);
    case SETXON:
      return linux_serial::FlowControl(handle, TCOON);
    case SETRTS:
      return linux_serial::ModemLines(handle, TIOCMBIS, TIOCM_RTS);
    case CLRRTS:
      return linux_serial::ModemLines(handle, TIOCMBIC, TIOCM_RTS);
    case SETDTR:
      return linux_serial::ModemLines(handle, TIOCMBIS, TIOCM_DTR);
    case CLRDTR:
      return linux_serial::ModemLines(handle, TIOCMBIC, TIOCM_DTR);
    case SETBREAK:
      return SetCommBreak(handle);
    case CLRBREAK:
      return ClearCommBreak(handle);
    default:
      if (Lookup(handle) == nullptr) return 0;
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
}

BOOL SetCommMask(HANDLE handle, DWORD event_mask) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if ((event_mask & ~linux_serial::kAllEvents) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  port->event_mask = event_mask;
  return 1;
}

BOOL GetCommMask(HANDLE handle, DWORD* event_mask) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (event_mask == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  *event_mask = port->event_mask;
  return 1;
}

BOOL FlushFileBuffers(HANDLE handle) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  // For a serial line, flushing means waiting until every written byte has left.
  const int result = port->is_tty ? tcdrain(port->fd) : fsync(port->fd);
  if (result != 0) return FailWithErrno(errno);
  return 1;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the signature is KERNEL32's
BOOL SetupComm(HANDLE handle, DWORD input_queue_size, DWORD output_queue_size) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  // The kernel sizes a terminal's queues itself; the request is only a recommendation on Windows
  // too. Keep it so that GetCommProperties reports it back.
  port->input_queue_size = input_queue_size;
  port->output_queue_size = output_queue_size;
  return 1;
}

BOOL GetCommModemStatus(HANDLE handle, DWORD* modem_status) {
  Port* port = Lookup(handle);
  if (port == nullptr) return 0;
  if (modem_status == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int lines = 0;
  if (ioctl(port->fd, TIOCMGET, &lines) != 0) return linux_serial::FailModemLineCall(*port, errno);
  DWORD status = 0;
  if ((lines & TIOCM_CTS) != 0) status |= MS_CTS_ON;
  if ((lines & TIOCM_DSR) != 0) status |= MS_DSR_ON;
  if ((lines & TIOCM_RI) != 0) status |= MS_RING_ON;
  if ((lines & TIOCM_CD) != 0) status |= MS_RLSD_ON;
  *modem_status = status;
  return 1;
}

}  // namespace win
