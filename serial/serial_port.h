// One COM port with synchronous input and output, over the Windows serial calls.
#ifndef RDS_SERIAL_SERIAL_PORT_H_
#define RDS_SERIAL_SERIAL_PORT_H_

#include <cstdint>

#include "platform/serial_api.h"

namespace serial {

// The six ways of flow control that SerialPort::Open offers (codes 0 to 5).
enum class FlowControl : std::uint32_t {
  kNone = 0,
  kCtsRts = 1,   // output waits for CTS, input throttled by RTS
  kCtsDtr = 2,   // output waits for CTS, input throttled by DTR
  kDsrRts = 3,   // output waits for DSR, input throttled by RTS
  kDsrDtr = 4,   // output waits for DSR, input throttled by DTR
  kXonXoff = 5,  // software flow control in both directions
};

// Owns one port handle. Every operation reports success by its result and keeps the system error
// of its failing call (0 when none failed) for LastError(). Not copyable: it owns the handle.
class SerialPort {
 public:
  // The longest device path, "\\.\COM255", and its terminating NUL.
  static constexpr int kDevicePathSize = 12;

  SerialPort();
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens "\\.\COM<port>" (port 1 to 255) exclusively and sets the line: speed, data bits,
  // parity (win::NOPARITY..SPACEPARITY), stop bits (win::ONESTOPBIT..TWOSTOPBITS) and flow
  // control. True only when the port is open with these settings requested. A port that was
  // opened stays open even when a later step refuses the settings; Close it.
  // An object that is already open refuses (false, last error win::ERROR_BUSY) and keeps its
  // port: reopening would otherwise drop a handle the caller may still rely on.
  [[nodiscard]] bool Open(std::int16_t port, std::uint32_t baud, std::uint8_t data_bits,
                          std::uint32_t parity, std::uint32_t stop_bits, FlowControl flow_control);

  // As Open, for a device named by its path ("\\.\COM12", or on Linux also "/dev/ttyUSB0").
  // The port number stays 0 and the COM path empty.
  [[nodiscard]] bool OpenDevice(const char* device, std::uint32_t baud, std::uint8_t data_bits,
                                std::uint32_t parity, std::uint32_t stop_bits,
                                FlowControl flow_control);

  [[nodiscard]] bool Close();
  bool IsOpen() const { return handle_ != win::INVALID_HANDLE_VALUE; }

  // Reads count bytes, blocking under the port's time-outs; returns the number read, 0 on
  // failure.
  [[nodiscard]] std::uint32_t Read(void* buffer, std::uint32_t count);
  // Returns the number of bytes the system wrote, also when it reports a failure.
  [[nodiscard]] std::uint32_t Write(const void* buffer, std::uint32_t count);
  // Received bytes waiting in the input queue. Clears the port's error condition; when the query
  // fails, the count of the last successful query (0 before the first).
  std::uint32_t BytesWaiting();
  // The modem lines (win::MS_CTS_ON, MS_DSR_ON, MS_RING_ON, MS_RLSD_ON) AND mask. Queries the
  // port when it is open; otherwise answers from the last query.
  std::uint32_t ModemStatus(std::uint32_t mask);

  [[nodiscard]] bool GetConfig(win::COMMCONFIG* config);
  [[nodiscard]] bool SetConfig(win::COMMCONFIG* config);
  [[nodiscard]] bool SetBreak();
  [[nodiscard]] bool ClearBreak();
  [[nodiscard]] bool GetState(win::DCB* dcb);
  [[nodiscard]] bool SetState(win::DCB* dcb);
  [[nodiscard]] bool ClearDtr();
  [[nodiscard]] bool ClearRts();
  [[nodiscard]] bool SetDtr();
  [[nodiscard]] bool SetRts();
  [[nodiscard]] bool SetXoff();
  [[nodiscard]] bool SetXon();
  [[nodiscard]] bool GetProperties(win::COMMPROP* properties);
  [[nodiscard]] bool SetEventMask(std::uint32_t mask);
  [[nodiscard]] bool GetEventMask(std::uint32_t* mask);
  [[nodiscard]] bool Flush();
  [[nodiscard]] bool PurgeTxClear();
  [[nodiscard]] bool PurgeRxClear();
  [[nodiscard]] bool PurgeTxAbort();
  [[nodiscard]] bool PurgeRxAbort();
  [[nodiscard]] bool SetupQueues(std::uint32_t input_size, std::uint32_t output_size);

  std::int16_t PortNumber() const { return port_number_; }
  const char* DevicePath() const { return device_path_; }
  std::uint32_t LastError() const { return last_error_; }
  const win::DCB& Settings() const { return settings_; }
  const win::COMMPROP& Properties() const { return properties_; }
  const win::COMSTAT& Status() const { return status_; }

 private:
  // The steps of an open once the path is known: exclusive open, purge, line settings.
  [[nodiscard]] bool OpenPath(const char* path, std::uint32_t baud, std::uint8_t data_bits,
                              std::uint32_t parity, std::uint32_t stop_bits,
                              FlowControl flow_control);
  // Runs one system call the way every thin wrapper does: clear the last error, refuse on a
  // closed port, keep GetLastError when the call fails.
  template <typename Call>
  [[nodiscard]] bool Wrap(Call call);
  [[nodiscard]] bool Escape(win::DWORD function);
  [[nodiscard]] bool Purge(win::DWORD flags);

  std::int16_t port_number_ = 0;
  win::DCB settings_{};
  win::COMMPROP properties_{};
  win::COMSTAT status_{};
  char device_path_[kDevicePathSize] = {};
  win::HANDLE handle_ = win::INVALID_HANDLE_VALUE;
  std::uint32_t last_error_ = 0;
  std::uint32_t modem_status_ = 0;
};

}  // namespace serial

#endif  // RDS_SERIAL_SERIAL_PORT_H_
