// The Windows serial communications calls of KERNEL32 and their records.
//
// The records have the layout Windows gives them (bit fields included), so that serial_win32.cpp
// can check them against <windows.h> and SerialPort reads the same fields on every system. On
// Linux the calls are our own, over termios (serial_linux.cpp); "\\.\COMn" then names the device
// in the environment variable RDS_COMn, or /dev/ttyS<n-1> when that is not set.
#ifndef RDS_PLATFORM_SERIAL_API_H_
#define RDS_PLATFORM_SERIAL_API_H_

#include "platform/win_types.h"

namespace win {

using WCHAR = char16_t;  // UTF-16 code unit, as on Windows

// Line settings of a serial port.
struct DCB {
  DWORD DCBlength;
  DWORD BaudRate;
  DWORD fBinary : 1;
  DWORD fParity : 1;
  DWORD fOutxCtsFlow : 1;
  DWORD fOutxDsrFlow : 1;
  DWORD fDtrControl : 2;
  DWORD fDsrSensitivity : 1;
  DWORD fTXContinueOnXoff : 1;
  DWORD fOutX : 1;
  DWORD fInX : 1;
  DWORD fErrorChar : 1;
  DWORD fNull : 1;
  DWORD fRtsControl : 2;
  DWORD fAbortOnError : 1;
  DWORD fDummy2 : 17;
  WORD wReserved;
  WORD XonLim;
  WORD XoffLim;
  BYTE ByteSize;
  BYTE Parity;
  BYTE StopBits;
  char XonChar;
  char XoffChar;
  char ErrorChar;
  char EofChar;
  char EvtChar;
  WORD wReserved1;
};

// What a port and its driver can do.
struct COMMPROP {
  WORD wPacketLength;
  WORD wPacketVersion;
  DWORD dwServiceMask;
  DWORD dwReserved1;
  DWORD dwMaxTxQueue;
  DWORD dwMaxRxQueue;
  DWORD dwMaxBaud;
  DWORD dwProvSubType;
  DWORD dwProvCapabilities;
  DWORD dwSettableParams;
  DWORD dwSettableBaud;
  WORD wSettableData;
  WORD wSettableStopParity;
  DWORD dwCurrentTxQueue;
  DWORD dwCurrentRxQueue;
  DWORD dwProviderValue1;  // two values of the driver's own meaning
  DWORD dwProviderValue2;
  WCHAR wcProvChar[1];
};

// Hold flags and queue fill of a port, as ClearCommError reports them.
struct COMSTAT {
  DWORD fCtsHold : 1;
  DWORD fDsrHold : 1;
  DWORD fRlsdHold : 1;
  DWORD fXoffHold : 1;
  DWORD fXoffSent : 1;
  DWORD fEof : 1;
  DWORD fTxim : 1;
  DWORD fReserved : 25;
  DWORD cbInQue;
  DWORD cbOutQue;
};

// The configuration record of a port: its DCB plus provider data (none here).
struct COMMCONFIG {
  DWORD dwSize;
  WORD wVersion;
  WORD wReserved;
  DCB dcb;
  DWORD dwProviderSubType;
  DWORD dwProviderOffset;
  DWORD dwProviderSize;
  WCHAR wcProviderData[1];
};

// CreateFileA
inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD OPEN_EXISTING = 3;

// DCB::Parity
inline constexpr BYTE NOPARITY = 0;
inline constexpr BYTE ODDPARITY = 1;
inline constexpr BYTE EVENPARITY = 2;
inline constexpr BYTE MARKPARITY = 3;
inline constexpr BYTE SPACEPARITY = 4;

// DCB::StopBits
inline constexpr BYTE ONESTOPBIT = 0;
inline constexpr BYTE ONE5STOPBITS = 1;
inline constexpr BYTE TWOSTOPBITS = 2;

// DCB::fDtrControl
inline constexpr DWORD DTR_CONTROL_DISABLE = 0;
inline constexpr DWORD DTR_CONTROL_ENABLE = 1;
inline constexpr DWORD DTR_CONTROL_HANDSHAKE = 2;

// DCB::fRtsControl
inline constexpr DWORD RTS_CONTROL_DISABLE = 0;
inline constexpr DWORD RTS_CONTROL_ENABLE = 1;
inline constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_TOGGLE = 3;

// PurgeComm
inline constexpr DWORD PURGE_TXABORT = 0x0001;
inline constexpr DWORD PURGE_RXABORT = 0x0002;
inline constexpr DWORD PURGE_TXCLEAR = 0x0004;
inline constexpr DWORD PURGE_RXCLEAR = 0x0008;

// EscapeCommFunction
inline constexpr DWORD SETXOFF = 1;
inline constexpr DWORD SETXON = 2;
inline constexpr DWORD SETRTS = 3;
inline constexpr DWORD CLRRTS = 4;
inline constexpr DWORD SETDTR = 5;
inline constexpr DWORD CLRDTR = 6;
inline constexpr DWORD SETBREAK = 8;
inline constexpr DWORD CLRBREAK = 9;

// GetCommModemStatus
inline constexpr DWORD MS_CTS_ON = 0x0010;
inline constexpr DWORD MS_DSR_ON = 0x0020;
inline constexpr DWORD MS_RING_ON = 0x0040;
inline constexpr DWORD MS_RLSD_ON = 0x0080;

// ClearCommError error flags
inline constexpr DWORD CE_RXOVER = 0x0001;
inline constexpr DWORD CE_OVERRUN = 0x0002;
inline constexpr DWORD CE_RXPARITY = 0x0004;
inline constexpr DWORD CE_FRAME = 0x0008;
inline constexpr DWORD CE_BREAK = 0x0010;

// SetCommMask / GetCommMask events
inline constexpr DWORD EV_RXCHAR = 0x0001;
inline constexpr DWORD EV_RXFLAG = 0x0002;
inline constexpr DWORD EV_TXEMPTY = 0x0004;
inline constexpr DWORD EV_CTS = 0x0008;
inline constexpr DWORD EV_DSR = 0x0010;
inline constexpr DWORD EV_RLSD = 0x0020;
inline constexpr DWORD EV_BREAK = 0x0040;
inline constexpr DWORD EV_ERR = 0x0080;
inline constexpr DWORD EV_RING = 0x0100;
inline constexpr DWORD EV_PERR = 0x0200;
inline constexpr DWORD EV_RX80FULL = 0x0400;
inline constexpr DWORD EV_EVENT1 = 0x0800;
inline constexpr DWORD EV_EVENT2 = 0x1000;

// COMMPROP
inline constexpr DWORD SP_SERIALCOMM = 0x00000001;
inline constexpr DWORD PST_RS232 = 0x00000001;
inline constexpr DWORD BAUD_USER = 0x10000000;
inline constexpr DWORD PCF_DTRDSR = 0x0001;
inline constexpr DWORD PCF_RTSCTS = 0x0002;
inline constexpr DWORD PCF_PARITY_CHECK = 0x0008;
inline constexpr DWORD PCF_XONXOFF = 0x0010;
inline constexpr DWORD PCF_SETXCHAR = 0x0020;
inline constexpr DWORD SP_PARITY = 0x0001;
inline constexpr DWORD SP_BAUD = 0x0002;
inline constexpr DWORD SP_DATABITS = 0x0004;
inline constexpr DWORD SP_STOPBITS = 0x0008;
inline constexpr DWORD SP_HANDSHAKING = 0x0010;
inline constexpr DWORD SP_PARITY_CHECK = 0x0020;
inline constexpr WORD DATABITS_5 = 0x0001;
inline constexpr WORD DATABITS_6 = 0x0002;
inline constexpr WORD DATABITS_7 = 0x0004;
inline constexpr WORD DATABITS_8 = 0x0008;
inline constexpr WORD STOPBITS_10 = 0x0001;
inline constexpr WORD STOPBITS_15 = 0x0002;
inline constexpr WORD STOPBITS_20 = 0x0004;
inline constexpr WORD PARITY_NONE = 0x0100;
inline constexpr WORD PARITY_ODD = 0x0200;
inline constexpr WORD PARITY_EVEN = 0x0400;
inline constexpr WORD PARITY_MARK = 0x0800;
inline constexpr WORD PARITY_SPACE = 0x1000;

// The calls. Each returns nonzero for success; on failure GetLastError tells why.
[[nodiscard]] HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD share_mode,
                                 void* security_attributes, DWORD creation_disposition,
                                 DWORD flags_and_attributes, HANDLE template_file);
[[nodiscard]] BOOL CloseHandle(HANDLE handle);
[[nodiscard]] BOOL ReadFile(HANDLE handle, void* buffer, DWORD bytes_to_read, DWORD* bytes_read,
                            void* overlapped);
[[nodiscard]] BOOL WriteFile(HANDLE handle, const void* buffer, DWORD bytes_to_write,
                             DWORD* bytes_written, void* overlapped);
[[nodiscard]] BOOL PurgeComm(HANDLE handle, DWORD flags);
[[nodiscard]] BOOL GetCommState(HANDLE handle, DCB* dcb);
[[nodiscard]] BOOL SetCommState(HANDLE handle, DCB* dcb);
[[nodiscard]] BOOL GetCommProperties(HANDLE handle, COMMPROP* properties);
[[nodiscard]] BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status);
[[nodiscard]] BOOL GetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD* size);
[[nodiscard]] BOOL SetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD size);
[[nodiscard]] BOOL SetCommBreak(HANDLE handle);
[[nodiscard]] BOOL ClearCommBreak(HANDLE handle);
[[nodiscard]] BOOL EscapeCommFunction(HANDLE handle, DWORD function);
[[nodiscard]] BOOL SetCommMask(HANDLE handle, DWORD event_mask);
[[nodiscard]] BOOL GetCommMask(HANDLE handle, DWORD* event_mask);
[[nodiscard]] BOOL FlushFileBuffers(HANDLE handle);
[[nodiscard]] BOOL SetupComm(HANDLE handle, DWORD input_queue_size, DWORD output_queue_size);
[[nodiscard]] BOOL GetCommModemStatus(HANDLE handle, DWORD* modem_status);

}  // namespace win

#endif  // RDS_PLATFORM_SERIAL_API_H_
