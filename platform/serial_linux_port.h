// Linux only: what our serial stand-ins keep for each open port, shared by serial_linux.cpp
// (handles, I/O, queues, modem lines) and serial_state_linux.cpp (DCB <-> termios).
#ifndef RDS_PLATFORM_SERIAL_LINUX_PORT_H_
#define RDS_PLATFORM_SERIAL_LINUX_PORT_H_

#include <termios.h>

#include "platform/serial_api.h"

namespace win::linux_serial {

struct Port {
  int fd = -1;
  bool is_tty = false;
  // A pseudo-terminal has no wire: the kernel keeps it at 8 data bits without parity whatever is
  // asked, so the character format lives only in `settings`.
  bool is_pseudo = false;
  bool exclusive = false;  // opened with share mode 0: flock and TIOCEXCL held
  // The DCB last applied. termios holds only part of it (no DSR handshake, no XON/XOFF limits, no
  // error or event characters); GetCommState answers those fields from here and the rest from
  // the terminal itself.
  DCB settings{};
  DWORD event_mask = 0;
  DWORD input_queue_size = 0;
  DWORD output_queue_size = 0;
  // Line-error counters at the last ClearCommError, so that it reports only new errors.
  int frame_errors = 0;
  int overruns = 0;
  int parity_errors = 0;
  int breaks = 0;
  int buffer_overruns = 0;
};

// The port behind a handle that CreateFileA gave out and CloseHandle has not yet closed; nullptr
// (with ERROR_INVALID_HANDLE as last error) for anything else.
Port* Lookup(HANDLE handle);

// Puts the terminal into the state a Windows COM port always has: a raw binary line.
void MakeRaw(termios& attributes);

// The DCB that describes the terminal's current state, for a port that was just opened.
[[nodiscard]] bool ReadInitialSettings(Port& port);

// Fails with the Windows code for errno, or ERROR_NOT_SUPPORTED when a terminal has no modem
// lines (a pseudo-terminal answers modem-line requests with ENOTTY or EINVAL).
[[nodiscard]] BOOL FailModemLineCall(const Port& port, int errno_value);

// Fails with the Windows code for errno.
[[nodiscard]] BOOL FailWithErrno(int errno_value);

}  // namespace win::linux_serial

#endif  // RDS_PLATFORM_SERIAL_LINUX_PORT_H_
