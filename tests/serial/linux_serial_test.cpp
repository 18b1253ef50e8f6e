// Our Linux stand-ins for the Windows serial calls, over a real pseudo-terminal pair.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/device_name.h"
#include "platform/last_error.h"
#include "platform/posix_error.h"
#include "platform/serial_api.h"
#include "platform/sleep.h"
#include "serial/serial_port.h"
#include "tests/support/pty_pair.h"

namespace {

using namespace std::chrono_literals;
using testing_pty::PtyPair;

class LinuxSerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok());
    // Leave the device cooked, as a login terminal would be: opening must make it raw.
    const int slave = open(pty_.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    termios cooked{};
    ASSERT_EQ(tcgetattr(slave, &cooked), 0);
    cooked.c_iflag |= ICRNL | IXON;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    ASSERT_EQ(tcsetattr(slave, TCSANOW, &cooked), 0);
    close(slave);
    handle_ = win::CreateFileA(pty_.slave_path().c_str(), win::GENERIC_READ | win::GENERIC_WRITE, 0,
                               nullptr, win::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle_, win::INVALID_HANDLE_VALUE) << win::GetLastError();
  }
  void TearDown() override {
    // Only the handle's release; what closing returns is the business of its own tests.
    if (handle_ != win::INVALID_HANDLE_VALUE) static_cast<void>(win::CloseHandle(handle_));
  }

  win::DWORD WaitForInput(win::DWORD count) {
    win::COMSTAT status{};
    win::DWORD errors = 0;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    do {
      EXPECT_TRUE(win::ClearCommError(handle_, &errors, &status));
      if (status.cbInQue >= count) break;
      std::this_thread::sleep_for(1ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return status.cbInQue;
  }

  // The slave's termios as the kernel holds it, read through a descriptor of our own.
  termios Attributes() const {
    termios attributes{};
    const int fd = open(pty_.slave_path().c_str(), O_RDWR | O_NOCTTY);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(tcgetattr(fd, &attributes), 0);
    close(fd);
    return attributes;
  }

  PtyPair pty_;
  win::HANDLE handle_ = win::INVALID_HANDLE_VALUE;
};

std::string AllByteValues() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

TEST_F(LinuxSerialTest, OpenedLineIsRawInBothDirections) {
  const termios raw = Attributes();
  EXPECT_EQ(raw.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(raw.c_iflag & (ICRNL | IXON), 0u);
  EXPECT_EQ(raw.c_oflag & OPOST, 0u);

  // Every byte value crosses unchanged: no CR/NL mapping, no XON/XOFF, no signals, no echo.
  const std::string bytes = AllByteValues();
  win::DWORD written = 0;
  ASSERT_TRUE(win::WriteFile(handle_, bytes.data(), 256, &written, nullptr));
  EXPECT_EQ(written, 256u);
  EXPECT_EQ(pty_.Receive(257, 300ms), bytes);

  ASSERT_TRUE(pty_.Send(bytes));
  ASSERT_EQ(WaitForInput(256), 256u);
  char buffer[256];
  win::DWORD read_count = 0;
  ASSERT_TRUE(win::ReadFile(handle_, buffer, 256, &read_count, nullptr));
  EXPECT_EQ(read_count, 256u);
  EXPECT_EQ(std::string(buffer, 256), bytes);
  EXPECT_EQ(pty_.Receive(1, 50ms), "");  // nothing echoed back
}

TEST_F(LinuxSerialTest, BytesWaitingCountsAndPurgeEmptiesTheInputQueue) {
  win::COMSTAT status{};
  win::DWORD errors = 0xFF;
  ASSERT_TRUE(win::ClearCommError(handle_, &errors, &status));
  EXPECT_EQ(status.cbInQue, 0u);
  EXPECT_EQ(errors, 0u);

  ASSERT_TRUE(pty_.Send("0123456789"));
  EXPECT_EQ(WaitForInput(10), 10u);
  ASSERT_TRUE(pty_.Send("ab"));
  EXPECT_EQ(WaitForInput(12), 12u);

  // Reading part of the queue leaves the rest counted.
  char buffer[4];
  win::DWORD read_count = 0;
  ASSERT_TRUE(win::ReadFile(handle_, buffer, 4, &read_count, nullptr));
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(WaitForInput(8), 8u);

  ASSERT_TRUE(win::PurgeComm(handle_, win::PURGE_RXABORT | win::PURGE_RXCLEAR));
  ASSERT_TRUE(win::ClearCommError(handle_, &errors, &status));
  EXPECT_EQ(status.cbInQue, 0u);
  EXPECT_FALSE(win::PurgeComm(handle_, 0x10));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

struct LineSettings {
  const char* name;
  win::DWORD baud;
  win::BYTE byte_size, parity, stop_bits;
  bool cts_flow, out_x, in_x, check_parity;
  speed_t speed;
  tcflag_t cflag;  // CSTOPB | CRTSCTS as the kernel must hold them
};

// A device that goes away must not look like a read that simply found nothing: bytes still in
// flight are delivered, then the read fails and names the closed line.
TEST_F(LinuxSerialTest, ReadAfterTheFarEndHungUpFailsWithBrokenPipe) {
  ASSERT_TRUE(pty_.Send("xy"));
  ASSERT_EQ(WaitForInput(2), 2u);
  char buffer[8];
  win::DWORD read_count = 0;
  ASSERT_TRUE(win::ReadFile(handle_, buffer, 2, &read_count, nullptr));
  EXPECT_EQ(std::string(buffer, read_count), "xy");

  pty_.HangUp();
  read_count = 99;
  EXPECT_FALSE(win::ReadFile(handle_, buffer, 2, &read_count, nullptr));
  EXPECT_EQ(read_count, 0u);
  EXPECT_EQ(win::GetLastError(), win::ERROR_BROKEN_PIPE);
}

TEST_F(LinuxSerialTest, LineSettingsReachTheTerminalAndReadBack) {
  const LineSettings cases[] = {
      {"9600 8N2", 9600, 8, win::NOPARITY, win::TWOSTOPBITS, false, false, false, false, B9600,
       CSTOPB},
      {"19200 7E1", 19200, 7, win::EVENPARITY, win::ONESTOPBIT, false, false, false, true, B19200,
       0},
      {"1200 7O1", 1200, 7, win::ODDPARITY, win::ONESTOPBIT, false, false, false, true, B1200, 0},
      {"115200 8M1", 115200, 8, win::MARKPARITY, win::ONESTOPBIT, false, false, false, false,
       B115200, 0},
      {"4800 6S2", 4800, 6, win::SPACEPARITY, win::TWOSTOPBITS, false, false, false, false, B4800,
       CSTOPB},
      {"110 5N1.5", 110, 5, win::NOPARITY, win::ONE5STOPBITS, false, false, false, false, B110,
       CSTOPB},
      {"57600 8N1 RTS/CTS", 57600, 8, win::NOPARITY, win::ONESTOPBIT, true, false, false, false,
       B57600, CRTSCTS},
      {"921600 8N1 XON/XOFF", 921600, 8, win::NOPARITY, win::ONESTOPBIT, false, true, true, false,
       B921600, 0},
  };
  // A pseudo-terminal keeps itself at 8 data bits without parity (it has no wire), so only stop
  // bits and handshake reach its termios; data bits and parity must still read back.
  const tcflag_t checked = CSTOPB | CRTSCTS;
  for (const LineSettings& c : cases) {
    SCOPED_TRACE(c.name);
    win::DCB dcb{};
    ASSERT_TRUE(win::GetCommState(handle_, &dcb));
    dcb.BaudRate = c.baud;
    dcb.ByteSize = c.byte_size;
    dcb.Parity = c.parity;
    dcb.StopBits = c.stop_bits;
    dcb.fOutxCtsFlow = c.cts_flow;
    dcb.fRtsControl = c.cts_flow ? win::RTS_CONTROL_HANDSHAKE : win::RTS_CONTROL_ENABLE;
    dcb.fOutX = c.out_x;
    dcb.fInX = c.in_x;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.fParity = c.check_parity;
    ASSERT_TRUE(win::SetCommState(handle_, &dcb)) << win::GetLastError();

    const termios attributes = Attributes();
    EXPECT_EQ(cfgetospeed(&attributes), c.speed);
    EXPECT_EQ(attributes.c_cflag & checked, c.cflag);
    EXPECT_EQ((attributes.c_iflag & IXON) != 0, c.out_x);
    EXPECT_EQ((attributes.c_iflag & IXOFF) != 0, c.in_x);
    EXPECT_EQ((attributes.c_iflag & INPCK) != 0, c.check_parity);
    EXPECT_EQ(attributes.c_cc[VSTART], 0x11);
    EXPECT_EQ(attributes.c_cc[VSTOP], 0x13);
    EXPECT_EQ(attributes.c_lflag & ICANON, 0u);  // still raw

    win::DCB back{};
    ASSERT_TRUE(win::GetCommState(handle_, &back));
    EXPECT_EQ(std::memcmp(&back, &dcb, sizeof dcb), 0);
  }
}

TEST_F(LinuxSerialTest, FieldsTermiosCannotHoldStillReadBack) {
  win::DCB dcb{};
  ASSERT_TRUE(win::GetCommState(handle_, &dcb));
  EXPECT_EQ(dcb.DCBlength, sizeof(win::DCB));
  EXPECT_EQ(dcb.fBinary, 1u);
  dcb.fOutxDsrFlow = 1;
  dcb.fDtrControl = win::DTR_CONTROL_HANDSHAKE;
  dcb.fDsrSensitivity = 1;
  dcb.fTXContinueOnXoff = 1;
  dcb.fErrorChar = 1;
  dcb.fNull = 1;
  dcb.fAbortOnError = 1;
  dcb.XonLim = 100;
  dcb.XoffLim = 200;
  dcb.ErrorChar = '?';
  dcb.EofChar = 0x1A;
  dcb.EvtChar = 0x7E;
  ASSERT_TRUE(win::SetCommState(handle_, &dcb)) << win::GetLastError() << " " << dcb.BaudRate << " "
                                                << int(dcb.ByteSize) << " " << int(dcb.StopBits);
  win::DCB back{};
  ASSERT_TRUE(win::GetCommState(handle_, &back));
  EXPECT_EQ(std::memcmp(&back, &dcb, sizeof dcb), 0);

  win::COMMCONFIG config{};
  win::DWORD size = sizeof config;
  ASSERT_TRUE(win::GetCommConfig(handle_, &config, &size));
  EXPECT_EQ(std::memcmp(&config.dcb, &dcb, sizeof dcb), 0);
  config.dcb.BaudRate = 38400;
  ASSERT_TRUE(win::SetCommConfig(handle_, &config, sizeof config));
  EXPECT_EQ(cfgetospeed(&static_cast<const termios&>(Attributes())), B38400);

  size = 8;
  EXPECT_FALSE(win::GetCommConfig(handle_, &config, &size));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(size, sizeof(win::COMMCONFIG));
}

TEST_F(LinuxSerialTest, SettingsWindowsRefusesAreRefusedAndChangeNothing) {
  win::DCB good{};
  ASSERT_TRUE(win::GetCommState(handle_, &good));
  good.BaudRate = 9600;
  good.ByteSize = 8;
  good.StopBits = win::ONESTOPBIT;
  ASSERT_TRUE(win::SetCommState(handle_, &good));
  const struct {
    const char* name;
    void (*spoil)(win::DCB&);
  } cases[] = {
      {"14400 bit/s", [](win::DCB& d) { d.BaudRate = 14400; }},
      {"0 bit/s", [](win::DCB& d) { d.BaudRate = 0; }},
      {"4 data bits", [](win::DCB& d) { d.ByteSize = 4; }},
      {"9 data bits", [](win::DCB& d) { d.ByteSize = 9; }},
      {"parity 5", [](win::DCB& d) { d.Parity = 5; }},
      {"stop bits 3", [](win::DCB& d) { d.StopBits = 3; }},
      {"1.5 stop bits with 8 data bits", [](win::DCB& d) { d.StopBits = win::ONE5STOPBITS; }},
      {"2 stop bits with 5 data bits",
       [](win::DCB& d) {
         d.ByteSize = 5;
         d.StopBits = win::TWOSTOPBITS;
       }},
      {"XON equal to XOFF",
       [](win::DCB& d) {
         d.fOutX = 1;
         d.XonChar = d.XoffChar = 0x11;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    win::DCB bad = good;
    c.spoil(bad);
    win::SetLastError(0);
    EXPECT_FALSE(win::SetCommState(handle_, &bad));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    win::DCB back{};
    ASSERT_TRUE(win::GetCommState(handle_, &back));
    EXPECT_EQ(back.BaudRate, 9600u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.StopBits, win::ONESTOPBIT);
  }
}

TEST_F(LinuxSerialTest, SecondExclusiveOpenIsDeniedUntilTheFirstCloses) {
  win::HANDLE second =
      win::CreateFileA(pty_.slave_path().c_str(), win::GENERIC_READ | win::GENERIC_WRITE, 0,
                       nullptr, win::OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(second, win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);

  ASSERT_TRUE(win::CloseHandle(handle_));
  handle_ = win::CreateFileA(pty_.slave_path().c_str(), win::GENERIC_READ | win::GENERIC_WRITE, 0,
                             nullptr, win::OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(handle_, win::INVALID_HANDLE_VALUE);
}

TEST_F(LinuxSerialTest, QueuesMasksAndPropertiesAnswerAsOnWindows) {
  ASSERT_TRUE(win::SetupComm(handle_, 4096, 1024));
  win::COMMPROP properties{};
  ASSERT_TRUE(win::GetCommProperties(handle_, &properties));
  EXPECT_EQ(properties.wPacketLength, sizeof(win::COMMPROP));
  EXPECT_EQ(properties.dwProvSubType, win::PST_RS232);
  EXPECT_EQ(properties.dwCurrentRxQueue, 4096u);
  EXPECT_EQ(properties.dwCurrentTxQueue, 1024u);
  EXPECT_NE(properties.dwSettableBaud & 0x800, 0u);  // BAUD_9600
  EXPECT_NE(properties.wSettableStopParity & win::STOPBITS_20, 0);

  win::DWORD mask = 0;
  ASSERT_TRUE(win::SetCommMask(handle_, win::EV_RXCHAR | win::EV_ERR));
  ASSERT_TRUE(win::GetCommMask(handle_, &mask));
  EXPECT_EQ(mask, win::EV_RXCHAR | win::EV_ERR);
  EXPECT_FALSE(win::SetCommMask(handle_, 0x2000));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);

  EXPECT_TRUE(win::FlushFileBuffers(handle_));
  EXPECT_TRUE(win::SetCommBreak(handle_));
  EXPECT_TRUE(win::ClearCommBreak(handle_));
  EXPECT_TRUE(win::EscapeCommFunction(handle_, win::SETXOFF));
  EXPECT_TRUE(win::EscapeCommFunction(handle_, win::SETXON));
  EXPECT_FALSE(win::EscapeCommFunction(handle_, 99));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

TEST_F(LinuxSerialTest, PseudoTerminalHasNoModemLines) {
  win::DWORD status = 0;
  for (const win::DWORD function : {win::SETDTR, win::CLRDTR, win::SETRTS, win::CLRRTS}) {
    SCOPED_TRACE(function);
    win::SetLastError(0);
    EXPECT_FALSE(win::EscapeCommFunction(handle_, function));
    EXPECT_EQ(win::GetLastError(), win::ERROR_NOT_SUPPORTED);
  }
  EXPECT_FALSE(win::GetCommModemStatus(handle_, &status));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NOT_SUPPORTED);
}

TEST_F(LinuxSerialTest, ClosedOrForeignHandlesAreInvalid) {
  ASSERT_TRUE(win::CloseHandle(handle_));
  const win::HANDLE stale = handle_;
  handle_ = win::INVALID_HANDLE_VALUE;
  char buffer[4];
  win::DWORD count = 0;
  win::COMSTAT status{};
  const struct {
    const char* name;
    bool (*call)(win::HANDLE, char*, win::DWORD*, win::COMSTAT*);
  } calls[] = {
      {"CloseHandle",
       [](win::HANDLE h, char*, win::DWORD*, win::COMSTAT*) { return win::CloseHandle(h) != 0; }},
      {"ReadFile", [](win::HANDLE h, char* b, win::DWORD* n,
                      win::COMSTAT*) { return win::ReadFile(h, b, 4, n, nullptr) != 0; }},
      {"WriteFile", [](win::HANDLE h, char* b, win::DWORD* n,
                       win::COMSTAT*) { return win::WriteFile(h, b, 4, n, nullptr) != 0; }},
      {"ClearCommError", [](win::HANDLE h, char*, win::DWORD* n,
                            win::COMSTAT* s) { return win::ClearCommError(h, n, s) != 0; }},
      {"GetCommState",
       [](win::HANDLE h, char*, win::DWORD*, win::COMSTAT*) {
         win::DCB dcb{};
         return win::GetCommState(h, &dcb) != 0;
       }},
  };
  for (const win::HANDLE handle : {stale, win::INVALID_HANDLE_VALUE}) {
    for (const auto& c : calls) {
      SCOPED_TRACE(c.name);
      win::SetLastError(0);
      EXPECT_FALSE(c.call(handle, buffer, &count, &status));
      EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
    }
  }
}

TEST(LinuxDeviceTest, MissingDevicesAndNonTerminalsFailWithWindowsCodes) {
  win::HANDLE handle = win::CreateFileA("/nonexistent/ttyX", win::GENERIC_READ | win::GENERIC_WRITE,
                                        0, nullptr, win::OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(handle, win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(setenv("RDS_COM7", "/nonexistent/ttyX", 1), 0);
  handle = win::CreateFileA("\\\\.\\COM7", win::GENERIC_READ | win::GENERIC_WRITE, 0, nullptr,
                            win::OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(handle, win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  unsetenv("RDS_COM7");

  // A plain file opens (as on Windows) but is no serial line.
  char path[] = "/tmp/serial_test_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  handle = win::CreateFileA(path, win::GENERIC_READ | win::GENERIC_WRITE, 0, nullptr,
                            win::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, win::INVALID_HANDLE_VALUE);
  win::DCB dcb{};
  EXPECT_FALSE(win::GetCommState(handle, &dcb));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_FUNCTION);
  EXPECT_FALSE(win::PurgeComm(handle, win::PURGE_RXCLEAR));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_FUNCTION);
  EXPECT_TRUE(win::CloseHandle(handle));
  unlink(path);
}

TEST(LinuxDeviceTest, ComNamesMapToTheEnvironmentOrTheTtySDevices) {
  // Only names are computed here; nothing is opened.
  unsetenv("RDS_COM1");
  unsetenv("RDS_COM255");
  ASSERT_EQ(setenv("RDS_COM12", "/dev/pts/42", 1), 0);
  ASSERT_EQ(setenv("RDS_COM13", "", 1), 0);
  const struct {
    const char* path;
    const char* device;
  } cases[] = {
      {"\\\\.\\COM1", "/dev/ttyS0"},
      {"\\\\.\\COM255", "/dev/ttyS254"},
      {"\\\\.\\COM12", "/dev/pts/42"},
      {"\\\\.\\COM13", "/dev/ttyS12"},
      {"\\\\.\\COM0", "\\\\.\\COM0"},
      {"\\\\.\\COM256", "\\\\.\\COM256"},
      {"\\\\.\\COM01", "\\\\.\\COM01"},
      {"\\\\.\\COM1x", "\\\\.\\COM1x"},
      {"COM1", "COM1"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::SystemDeviceName(c.path), c.device) << c.path;
  }
  unsetenv("RDS_COM12");
  unsetenv("RDS_COM13");
}

TEST(LinuxErrorTest, ErrnoValuesMapToTheWindowsCodesCallersCheck) {
  const struct {
    int errno_value;
    win::DWORD code;
  } cases[] = {{0, 0},      {ENOENT, 2},      {ENXIO, 2}, {ENOTDIR, 3}, {EACCES, 5},
               {EBUSY, 5},  {EWOULDBLOCK, 5}, {EBADF, 6}, {ENOTTY, 1},  {EINVAL, 87},
               {EIO, 1117}, {EPIPE, 109},     {EDOM, 31}};
  for (const auto& c : cases) {
    EXPECT_EQ(win::ErrorFromErrno(c.errno_value), c.code) << std::strerror(c.errno_value);
  }
}

TEST(LinuxSleepTest, SleepLastsAtLeastItsTime) {
  const auto start = std::chrono::steady_clock::now();
  win::Sleep(30);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

// SerialPort over the real layer, with COM1 pointed at the pseudo-terminal.
TEST(SerialPortOnPtyTest, DriverSettingsOnCom1AndASecondOpenDenied) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(setenv("RDS_COM1", pty.slave_path().c_str(), 1), 0);
  serial::SerialPort port;
  ASSERT_TRUE(port.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, serial::FlowControl::kNone))
      << port.LastError();
  EXPECT_EQ(port.LastError(), 0u);
  win::DCB dcb{};
  ASSERT_TRUE(port.GetState(&dcb));
  EXPECT_EQ(dcb.BaudRate, 9600u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, win::NOPARITY);
  EXPECT_EQ(dcb.StopBits, win::TWOSTOPBITS);
  EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
  EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
  EXPECT_EQ(dcb.fOutX, 0u);
  EXPECT_EQ(dcb.fInX, 0u);
  EXPECT_EQ(dcb.fDsrSensitivity, 0u);

  serial::SerialPort second;
  EXPECT_FALSE(
      second.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, serial::FlowControl::kNone));
  EXPECT_EQ(second.LastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_FALSE(second.IsOpen());

  // Stop-bit code 3 refuses after opening: the port is open and closes cleanly.
  ASSERT_TRUE(port.Close());
  EXPECT_FALSE(port.Open(1, 9600, 8, win::NOPARITY, 3, serial::FlowControl::kNone));
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(port.Close());
  unsetenv("RDS_COM1");
}

}  // namespace
