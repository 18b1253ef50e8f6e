#include "serial/serial_port.h"

#include <cstdio>

#include "platform/last_error.h"

namespace serial {
namespace {

constexpr win::DWORD kPurgeEverything =
    win::PURGE_TXABORT | win::PURGE_RXABORT | win::PURGE_TXCLEAR | win::PURGE_RXCLEAR;

// The standard XON/XOFF characters (DC1, DC3) and the queue limits at which the driver sends
// them.
constexpr char kXonChar = 0x11;
constexpr char kXoffChar = 0x13;
constexpr win::WORD kXonXoffLimit = 100;

// Sets the handshake fields of one flow-control mode; false for an unknown code. The DTR and RTS
// controls that a mode does not use keep the values the port had.
bool ApplyFlowControl(FlowControl mode, win::DCB& dcb) {
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  switch (mode) {
    case FlowControl::kNone:
      return true;
    case FlowControl::kCtsRts:
      dcb.fOutxCtsFlow = 1;
      dcb.fRtsControl = win::RTS_CONTROL_HANDSHAKE;
      return true;
    case FlowControl::kCtsDtr:
      dcb.fOutxCtsFlow = 1;
      dcb.fDtrControl = win::DTR_CONTROL_HANDSHAKE;
      return true;
    case FlowControl::kDsrRts:
      dcb.fOutxDsrFlow = 1;
      dcb.fRtsControl = win::RTS_CONTROL_HANDSHAKE;
      return true;
    case FlowControl::kDsrDtr:
      dcb.fOutxDsrFlow = 1;
      dcb.fDtrControl = win::DTR_CONTROL_HANDSHAKE;
      return true;
    case FlowControl::kXonXoff:
      dcb.fOutX = 1;
      dcb.fInX = 1;
      dcb.XonChar = kXonChar;
      dcb.XoffChar = kXoffChar;
      dcb.XonLim = kXonXoffLimit;
      dcb.XoffLim = kXonXoffLimit;
      return true;
  }
  return false;
}

}  // namespace

SerialPort::SerialPort() = default;

// A destructor cannot report; a handle the system fails to close is gone all the same.
SerialPort::~SerialPort() { static_cast<void>(Close()); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the line settings in their usual order
bool SerialPort::Open(std::int16_t port, std::uint32_t baud, std::uint8_t data_bits,
                      std::uint32_t parity, std::uint32_t stop_bits, FlowControl flow_control) {
  last_error_ = 0;
  if (IsOpen()) {
    last_error_ = win::ERROR_BUSY;
    return false;
  }
  if (port < 1 || port > 255) return false;
  port_number_ = port;
  std::snprintf(device_path_, sizeof device_path_, "\\\\.\\COM%d", port);
  return OpenPath(device_path_, baud, data_bits, parity, stop_bits, flow_control);
}

bool SerialPort::OpenDevice(const char* device, std::uint32_t baud, std::uint8_t data_bits,
                            std::uint32_t parity, std::uint32_t stop_bits,
                            FlowControl flow_control) {
  last_error_ = 0;
  if (IsOpen()) {
    last_error_ = win::ERROR_BUSY;
    return false;
  }
  if (device == nullptr || *device == '\0') {
    last_error_ = win::ERROR_INVALID_NAME;
    return false;
  }
  port_number_ = 0;
  device_path_[0] = '\0';
  return OpenPath(device, baud, data_bits, parity, stop_bits, flow_control);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the line settings in their usual order
bool SerialPort::OpenPath(const char* path, std::uint32_t baud, std::uint8_t data_bits,
                          std::uint32_t parity, std::uint32_t stop_bits, FlowControl flow_control) {
  handle_ = win::CreateFileA(path, win::GENERIC_READ | win::GENERIC_WRITE, 0, nullptr,
                             win::OPEN_EXISTING, 0, nullptr);
  if (!IsOpen()) {
    last_error_ = win::GetLastError();
    return false;
  }
  if (!win::PurgeComm(handle_, kPurgeEverything)) {
    last_error_ = win::GetLastError();
    return false;
  }
  // A failed read leaves the record as it was; the settings below are applied either way, so
  // its result does not change the outcome of Open.
  static_cast<void>(GetState(&settings_));
  settings_.BaudRate = baud;
  settings_.ByteSize = data_bits;
  if (parity > win::SPACEPARITY) return false;
  settings_.Parity = static_cast<win::BYTE>(parity);
  if (stop_bits > win::TWOSTOPBITS) return false;
  settings_.StopBits = static_cast<win::BYTE>(stop_bits);
  // DSR must not gate reception: the encoder need not drive it.
  settings_.fDsrSensitivity = 0;
  if (!ApplyFlowControl(flow_control, settings_)) return false;
  // Open promises the settings requested, not applied: many drivers (USB adapters, virtual COM
  // ports, pseudo-terminals) refuse some field yet carry the line as it is, and a sender that
  // gets no reply learns more from that than from a port it could not open. So a refused
  // setting does not fail Open; the caller can read the line back with GetState.
  static_cast<void>(SetState(&settings_));
  // The properties are information for the caller; when they cannot be read, Open still
  // succeeds and LastError() keeps the reason.
  static_cast<void>(GetProperties(&properties_));
  modem_status_ = 0;
  return true;
}

bool SerialPort::Close() {
  last_error_ = 0;
  if (!IsOpen()) return false;
  const bool closed = win::CloseHandle(handle_) != 0;
  // The handle is gone either way: a failed close must not leave a handle we would close twice.
  handle_ = win::INVALID_HANDLE_VALUE;
  if (!closed) {
    last_error_ = win::GetLastError();
    return false;
  }
  return true;
}

std::uint32_t SerialPort::Read(void* buffer, std::uint32_t count) {
  last_error_ = 0;
  if (!IsOpen()) return 0;
  win::DWORD bytes_read = 0;
  if (!win::ReadFile(handle_, buffer, count, &bytes_read, nullptr)) {
    last_error_ = win::GetLastError();
    return 0;
  }
  return bytes_read;
}

std::uint32_t SerialPort::Write(const void* buffer, std::uint32_t count) {
  last_error_ = 0;
  if (!IsOpen()) return 0;
  win::DWORD bytes_written = 0;
  if (!win::WriteFile(handle_, buffer, count, &bytes_written, nullptr)) {
    last_error_ = win::GetLastError();
  }
  return bytes_written;
}

std::uint32_t SerialPort::BytesWaiting() {
  // Polled in a loop: it neither touches the last error nor asks whether the port is open.
  win::DWORD errors = 0;
  // When the query fails (port closed, or gone) the record keeps the last good count, which is
  // the answer a poll wants; the caller learns of a dead port from Read or Write.
  static_cast<void>(win::ClearCommError(handle_, &errors, &status_));
  return status_.cbInQue;
}

std::uint32_t SerialPort::ModemStatus(std::uint32_t mask) {
  last_error_ = 0;
  // A failed query leaves the last known lines, which are answered instead (also when closed).
  if (IsOpen()) static_cast<void>(win::GetCommModemStatus(handle_, &modem_status_));
  return modem_status_ & mask;
}

template <typename Call>
bool SerialPort::Wrap(Call call) {
  last_error_ = 0;
  if (!IsOpen()) return false;
  if (!call()) {
    last_error_ = win::GetLastError();
    return false;
  }
  return true;
}

bool SerialPort::GetConfig(win::COMMCONFIG* config) {
  return Wrap([&] {
    // The call may change the size to what it needed; that is of no use to the caller.
    win::DWORD size = sizeof(win::COMMCONFIG);
    return win::GetCommConfig(handle_, config, &size);
  });
}

bool SerialPort::SetConfig(win::COMMCONFIG* config) {
  return Wrap([&] { return win::SetCommConfig(handle_, config, sizeof(win::COMMCONFIG)); });
}

bool SerialPort::SetBreak() {
  return Wrap([&] { return win::SetCommBreak(handle_); });
}

bool SerialPort::ClearBreak() {
  return Wrap([&] { return win::ClearCommBreak(handle_); });
}

bool SerialPort::GetState(win::DCB* dcb) {
  return Wrap([&] { return win::GetCommState(handle_, dcb); });
}

bool SerialPort::SetState(win::DCB* dcb) {
  return Wrap([&] { return win::SetCommState(handle_, dcb); });
}

bool SerialPort::Escape(win::DWORD function) {
  return Wrap([&] { return win::EscapeCommFunction(handle_, function); });
}

bool SerialPort::ClearDtr() { return Escape(win::CLRDTR); }
bool SerialPort::ClearRts() { return Escape(win::CLRRTS); }
bool SerialPort::SetDtr() { return Escape(win::SETDTR); }
bool SerialPort::SetRts() { return Escape(win::SETRTS); }
bool SerialPort::SetXoff() { return Escape(win::SETXOFF); }
bool SerialPort::SetXon() { return Escape(win::SETXON); }

bool SerialPort::GetProperties(win::COMMPROP* properties) {
  return Wrap([&] { return win::GetCommProperties(handle_, properties); });
}

bool SerialPort::SetEventMask(std::uint32_t mask) {
  return Wrap([&] { return win::SetCommMask(handle_, mask); });
}

bool SerialPort::GetEventMask(std::uint32_t* mask) {
  return Wrap([&] { return win::GetCommMask(handle_, mask); });
}

bool SerialPort::Flush() {
  return Wrap([&] { return win::FlushFileBuffers(handle_); });
}

bool SerialPort::Purge(win::DWORD flags) {
  return Wrap([&] { return win::PurgeComm(handle_, flags); });
}

bool SerialPort::PurgeTxClear() { return Purge(win::PURGE_TXCLEAR); }
bool SerialPort::PurgeRxClear() { return Purge(win::PURGE_RXCLEAR); }
bool SerialPort::PurgeTxAbort() { return Purge(win::PURGE_TXABORT); }
bool SerialPort::PurgeRxAbort() { return Purge(win::PURGE_RXABORT); }

bool SerialPort::SetupQueues(std::uint32_t input_size, std::uint32_t output_size) {
  return Wrap([&] { return win::SetupComm(handle_, input_size, output_size); });
}

}  // namespace serial
