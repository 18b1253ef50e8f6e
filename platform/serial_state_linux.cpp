// Windows line settings (DCB, COMMPROP, COMMCONFIG) on Linux termios.
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include "platform/last_error.h"
#include "platform/posix_error.h"
#include "platform/serial_api.h"
#include "platform/serial_linux_port.h"

namespace win {
namespace linux_serial {
namespace {

struct Speed {
  DWORD bits_per_second;
  speed_t code;
};

// The line speeds a Linux terminal knows by name. Windows rates outside this list (14400, 56000,
// 128000, 256000) are refused as Windows refuses rates a port cannot do.
constexpr Speed kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedCode(DWORD bits_per_second, speed_t* code) {
  for (const Speed& speed : kSpeeds) {
    if (speed.bits_per_second == bits_per_second) {
      *code = speed.code;
      return true;
    }
  }
  return false;
}

DWORD BitsPerSecond(speed_t code) {
  for (const Speed& speed : kSpeeds) {
    if (speed.code == code) return speed.bits_per_second;
  }
  return 0;
}

tcflag_t SizeFlag(BYTE byte_size) {
  switch (byte_size) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

BYTE ByteSizeOf(tcflag_t control_flags) {
  switch (control_flags & CSIZE) {
    case CS5:
      return 5;
    case CS6:
      return 6;
    case CS7:
      return 7;
    default:
      return 8;
  }
}

tcflag_t ParityFlags(BYTE parity) {
  switch (parity) {
    case ODDPARITY:
      return PARENB | PARODD;
    case EVENPARITY:
      return PARENB;
    case MARKPARITY:  // "stick" parity: with CMSPAR, PARODD selects a parity bit of 1
      return PARENB | CMSPAR | PARODD;
    case SPACEPARITY:
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

BYTE ParityOf(tcflag_t control_flags) {
  if ((control_flags & PARENB) == 0) return NOPARITY;
  const bool odd = (control_flags & PARODD) != 0;
  if ((control_flags & CMSPAR) != 0) return odd ? MARKPARITY : SPACEPARITY;
  return odd ? ODDPARITY : EVENPARITY;
}

// The DCB values Windows refuses with ERROR_INVALID_PARAMETER. A UART sends 1.5 stop bits only
// with 5 data bits, and 2 stop bits only with 6 to 8.
bool IsValid(const DCB& dcb, speed_t* speed) {
  if (!SpeedCode(dcb.BaudRate, speed)) return false;
  if (dcb.ByteSize < 5 || dcb.ByteSize > 8) return false;
  if (dcb.Parity > SPACEPARITY || dcb.StopBits > TWOSTOPBITS) return false;
  if (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) return false;
  if (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) return false;
  if ((dcb.fOutX || dcb.fInX) && dcb.XonChar == dcb.XoffChar) return false;
  return true;
}

// Linux has one switch, CRTSCTS, for both directions of the RTS/CTS handshake.
bool WantsRtsCts(const DCB& dcb) {
  return dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
}

// Overlays the fields termios holds onto the stored DCB, so that a change made to the terminal
// from outside shows up and the answer always describes the line as it is.
void Describe(const termios& attributes, bool is_pseudo, DCB& dcb) {
  dcb.DCBlength = sizeof(DCB);
  const DWORD speed = BitsPerSecond(cfgetospeed(&attributes));
  if (speed != 0) dcb.BaudRate = speed;
  dcb.fBinary = 1;  // Windows offers binary mode only
  dcb.fParity = (attributes.c_iflag & INPCK) != 0;
  dcb.fOutX = (attributes.c_iflag & IXON) != 0;
  dcb.fInX = (attributes.c_iflag & IXOFF) != 0;
  if (!is_pseudo) {
    dcb.ByteSize = ByteSizeOf(attributes.c_cflag);
    dcb.Parity = ParityOf(attributes.c_cflag);
  }
  if ((attributes.c_cflag & CSTOPB) == 0) {
    dcb.StopBits = ONESTOPBIT;
  } else {
    dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
  }
  dcb.XonChar = static_cast<char>(attributes.c_cc[VSTART]);
  dcb.XoffChar = static_cast<char>(attributes.c_cc[VSTOP]);
  if ((attributes.c_cflag & CRTSCTS) != 0) {
    if (!WantsRtsCts(dcb)) {
      dcb.fOutxCtsFlow = 1;
      dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    }
  } else {
    dcb.fOutxCtsFlow = 0;
    if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) dcb.fRtsControl = RTS_CONTROL_ENABLE;
  }
  dcb.fDummy2 = 0;
  dcb.wReserved = 0;
  dcb.wReserved1 = 0;
}

// DTR and RTS as the DCB asks for them. A pseudo-terminal has no modem lines, so a refusal here
// is not an error of the settings. Linux has no DTR/DSR handshake: a DTR line under handshake
// stays raised, as it is while the input queue has room.
void DriveModemLines(const Port& port, const DCB& dcb) {
  int dtr = TIOCM_DTR;
  ioctl(port.fd, dcb.fDtrControl == DTR_CONTROL_DISABLE ? TIOCMBIC : TIOCMBIS, &dtr);
  if (dcb.fRtsControl != RTS_CONTROL_HANDSHAKE) {
    int rts = TIOCM_RTS;
    ioctl(port.fd, dcb.fRtsControl == RTS_CONTROL_DISABLE ? TIOCMBIC : TIOCMBIS, &rts);
  }
}

Port* LookupTerminal(HANDLE handle) {
  Port* port = Lookup(handle);
  if (port != nullptr && !port->is_tty) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return nullptr;
  }
  return port;
}

}  // namespace

void MakeRaw(termios& attributes) {
  attributes.c_iflag &=
      ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                             IXOFF | IXANY | IUCLC | IMAXBEL | INPCK);
  attributes.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  attributes.c_lflag &=
      ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN | TOSTOP);
  attributes.c_cflag |= CREAD | CLOCAL;
  attributes.c_cc[VMIN] = 1;
  attributes.c_cc[VTIME] = 0;
}

bool ReadInitialSettings(Port& port) {
  termios attributes{};
  if (tcgetattr(port.fd, &attributes) != 0) return false;
  DCB& dcb = port.settings;
  dcb = DCB{};
  dcb.fDtrControl = DTR_CONTROL_ENABLE;  // Linux raises DTR and RTS when a port is opened
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 8;  // what a pseudo-terminal always carries
  dcb.Parity = NOPARITY;
  Describe(attributes, port.is_pseudo, dcb);
  return true;
}

}  // namespace linux_serial

using linux_serial::LookupTerminal;
using linux_serial::Port;

BOOL GetCommState(HANDLE handle, DCB* dcb) {
  Port* port = LookupTerminal(handle);
  if (port == nullptr) return 0;
  if (dcb == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  termios attributes{};
  if (tcgetattr(port->fd, &attributes) != 0) return linux_serial::FailWithErrno(errno);
  linux_serial::Describe(attributes, port->is_pseudo, port->settings);
  *dcb = port->settings;
  return 1;
}

BOOL SetCommState(HANDLE handle, DCB* dcb) {
  Port* port = LookupTerminal(handle);
  if (port == nullptr) return 0;
  speed_t speed = B0;
  if (dcb == nullptr || !linux_serial::IsValid(*dcb, &speed)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  termios attributes{};
  if (tcgetattr(port->fd, &attributes) != 0) return linux_serial::FailWithErrno(errno);
  linux_serial::MakeRaw(attributes);
  if (cfsetispeed(&attributes, speed) != 0 || cfsetospeed(&attributes, speed) != 0) {
    return linux_serial::FailWithErrno(errno);
  }
  attributes.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  attributes.c_cflag |=
      linux_serial::SizeFlag(dcb->ByteSize) | linux_serial::ParityFlags(dcb->Parity);
  if (dcb->StopBits != ONESTOPBIT) attributes.c_cflag |= CSTOPB;
  if (linux_serial::WantsRtsCts(*dcb)) attributes.c_cflag |= CRTSCTS;
  if (dcb->fParity) attributes.c_iflag |= INPCK;
  if (dcb->fOutX) attributes.c_iflag |= IXON;
  if (dcb->fInX) attributes.c_iflag |= IXOFF;
  attributes.c_cc[VSTART] = static_cast<cc_t>(dcb->XonChar);
  attributes.c_cc[VSTOP] = static_cast<cc_t>(dcb->XoffChar);
  if (tcsetattr(port->fd, TCSANOW, &attributes) != 0) return linux_serial::FailWithErrno(errno);

  // tcsetattr succeeds when any part of the request took; a driver that cannot do, say, stick
  // parity drops it silently. Report that instead of a line that differs from what was asked.
  termios applied{};
  if (tcgetattr(port->fd, &applied) != 0) return linux_serial::FailWithErrno(errno);
  const tcflag_t checked =
      port->is_pseudo ? CSTOPB | CRTSCTS : CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
  if ((applied.c_cflag & checked) != (attributes.c_cflag & checked) ||
      cfgetospeed(&applied) != speed) {
    linux_serial::Describe(applied, port->is_pseudo, port->settings);
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  linux_serial::DriveModemLines(*port, *dcb);
  port->settings = *dcb;
  linux_serial::Describe(applied, port->is_pseudo, port->settings);
  return 1;
}

BOOL GetCommProperties(HANDLE handle, COMMPROP* properties) {
  Port* port = LookupTerminal(handle);
  if (port == nullptr) return 0;
  if (properties == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  constexpr DWORD kBaudBits[][2] = {
      {75, 0x1},       {110, 0x2},      {150, 0x8},       {300, 0x10},      {600, 0x20},
      {1200, 0x40},    {1800, 0x80},    {2400, 0x100},    {4800, 0x200},    {9600, 0x800},
      {19200, 0x2000}, {38400, 0x4000}, {57600, 0x40000}, {115200, 0x20000}};
  COMMPROP result{};
  result.wPacketLength = sizeof(COMMPROP);
  result.wPacketVersion = 2;
  result.dwServiceMask = SP_SERIALCOMM;
  result.dwMaxBaud = BAUD_USER;  // the rates above 115200 have no bit of their own
  result.dwProvSubType = PST_RS232;
  result.dwProvCapabilities =
      PCF_DTRDSR | PCF_RTSCTS | PCF_PARITY_CHECK | PCF_XONXOFF | PCF_SETXCHAR;
  result.dwSettableParams =
      SP_PARITY | SP_BAUD | SP_DATABITS | SP_STOPBITS | SP_HANDSHAKING | SP_PARITY_CHECK;
  result.dwSettableBaud = BAUD_USER;
  for (const auto& rate : kBaudBits) result.dwSettableBaud |= rate[1];
  result.wSettableData = DATABITS_5 | DATABITS_6 | DATABITS_7 | DATABITS_8;
  result.wSettableStopParity = STOPBITS_10 | STOPBITS_15 | STOPBITS_20 | PARITY_NONE | PARITY_ODD |
                               PARITY_EVEN | PARITY_MARK | PARITY_SPACE;
  result.dwCurrentTxQueue = port->output_queue_size;
  result.dwCurrentRxQueue = port->input_queue_size;
  *properties = result;
  return 1;
}

BOOL GetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD* size) {
  if (LookupTerminal(handle) == nullptr) return 0;
  if (size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (config == nullptr || *size < sizeof(COMMCONFIG)) {
    *size = sizeof(COMMCONFIG);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  COMMCONFIG result{};
  if (!GetCommState(handle, &result.dcb)) return 0;
  result.dwSize = sizeof(COMMCONFIG);
  result.wVersion = 1;
  result.dwProviderSubType = PST_RS232;
  *config = result;
  *size = sizeof(COMMCONFIG);
  return 1;
}

BOOL SetCommConfig(HANDLE handle, COMMCONFIG* config, DWORD size) {
  if (LookupTerminal(handle) == nullptr) return 0;
  if (config == nullptr || size < sizeof(COMMCONFIG)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return SetCommState(handle, &config->dcb);
}

}  // namespace win
