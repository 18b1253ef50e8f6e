// SerialPort's logic against the scripted fake of the platform calls.
#include "serial/serial_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "tests/serial/fake_platform.h"

namespace {

using fake::Call;
using serial::FlowControl;
using serial::SerialPort;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Call kOpenSequence[] = {Call::kCreateFile, Call::kPurgeComm, Call::kGetCommState,
                                  Call::kSetCommState, Call::kGetCommProperties};

// A device state in which every field has a value of its own, so that a field Open should leave
// alone but overwrites, or one it should set but leaves, shows up.
win::DCB DistinctDeviceState() {
  win::DCB dcb{};
  dcb.DCBlength = sizeof(win::DCB);
  dcb.BaudRate = 1200;
  dcb.fBinary = 1;
  dcb.fParity = 1;
  dcb.fOutxCtsFlow = 1;
  dcb.fOutxDsrFlow = 1;
  dcb.fDtrControl = win::DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = 1;
  dcb.fTXContinueOnXoff = 1;
  dcb.fOutX = 1;
  dcb.fInX = 1;
  dcb.fErrorChar = 1;
  dcb.fNull = 1;
  dcb.fRtsControl = win::RTS_CONTROL_TOGGLE;
  dcb.fAbortOnError = 1;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 7;
  dcb.Parity = win::EVENPARITY;
  dcb.StopBits = win::ONESTOPBIT;
  dcb.XonChar = 0x21;
  dcb.XoffChar = 0x23;
  dcb.ErrorChar = '?';
  dcb.EofChar = 0x1A;
  dcb.EvtChar = 0x7E;
  return dcb;
}

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset().device = DistinctDeviceState(); }

  // Opens COM1 with the driver's settings and forgets the calls that took.
  void OpenDriverPort() {
    ASSERT_TRUE(port_.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    fake::Current().calls.clear();
  }

  SerialPort port_;
};

TEST_F(SerialPortTest, NewObjectIsClosedAndEmpty) {
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(port_.PortNumber(), 0);
  EXPECT_STREQ(port_.DevicePath(), "");
  EXPECT_EQ(port_.LastError(), 0u);
  EXPECT_EQ(port_.BytesWaiting(), 0u);
  EXPECT_EQ(port_.ModemStatus(0xFFFFFFFF), 0u);
}

TEST_F(SerialPortTest, PortNumbersOutsideOneTo255AreRefusedWithoutASystemCall) {
  const std::int16_t refused[] = {0, 256, -1, 1000, 32767, -32768};
  for (const std::int16_t number : refused) {
    SCOPED_TRACE(number);
    SerialPort port;
    EXPECT_FALSE(port.Open(number, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastError(), 0u);
    EXPECT_EQ(port.PortNumber(), 0);
    EXPECT_STREQ(port.DevicePath(), "");
  }
  EXPECT_THAT(fake::CallsMade(), IsEmpty());
}

TEST_F(SerialPortTest, OpensTheComDeviceExclusivelyAndSynchronously) {
  const struct {
    std::int16_t number;
    const char* path;
  } cases[] = {{1, "\\\\.\\COM1"},   {9, "\\\\.\\COM9"},     {10, "\\\\.\\COM10"},
               {99, "\\\\.\\COM99"}, {100, "\\\\.\\COM100"}, {255, "\\\\.\\COM255"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    fake::Reset();
    SerialPort port;
    EXPECT_TRUE(port.Open(c.number, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    EXPECT_EQ(port.PortNumber(), c.number);
    EXPECT_STREQ(port.DevicePath(), c.path);
    EXPECT_LT(std::strlen(port.DevicePath()), sizeof(char[SerialPort::kDevicePathSize]));
    EXPECT_EQ(fake::Current().opened_path, c.path);
    EXPECT_EQ(fake::Current().access, 0xC0000000u);
    EXPECT_EQ(fake::Current().share, 0u);
    EXPECT_EQ(fake::Current().creation, 3u);
    EXPECT_EQ(fake::Current().flags, 0u);
  }
}

TEST_F(SerialPortTest, OpenWithTheDriverSettingsChangesOnlyWhatItMust) {
  EXPECT_TRUE(port_.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
  EXPECT_TRUE(port_.IsOpen());
  EXPECT_EQ(port_.LastError(), 0u);
  EXPECT_THAT(fake::CallsMade(), ::testing::ElementsAreArray(kOpenSequence));
  EXPECT_EQ(fake::Current().calls[1].argument, 0x0Fu);  // purge all four

  win::DCB expected = DistinctDeviceState();
  expected.BaudRate = 9600;
  expected.ByteSize = 8;
  expected.Parity = 0;
  expected.StopBits = 2;
  expected.fDsrSensitivity = 0;
  expected.fOutxCtsFlow = 0;
  expected.fOutxDsrFlow = 0;
  expected.fOutX = 0;
  expected.fInX = 0;
  const win::DCB& applied = fake::Current().device;
  EXPECT_EQ(std::memcmp(&applied, &expected, sizeof expected), 0);
  EXPECT_EQ(applied.fDtrControl, win::DTR_CONTROL_ENABLE);  // as the port had them
  EXPECT_EQ(applied.fRtsControl, win::RTS_CONTROL_TOGGLE);
  EXPECT_EQ(std::memcmp(&port_.Settings(), &expected, sizeof expected), 0);
}

TEST_F(SerialPortTest, EachFlowControlModeSetsItsRow) {
  const struct {
    FlowControl mode;
    unsigned cts, dsr, dtr, rts, out_x, in_x;
  } rows[] = {
      {FlowControl::kNone, 0, 0, 1, 3, 0, 0},   {FlowControl::kCtsRts, 1, 0, 1, 2, 0, 0},
      {FlowControl::kCtsDtr, 1, 0, 2, 3, 0, 0}, {FlowControl::kDsrRts, 0, 1, 1, 2, 0, 0},
      {FlowControl::kDsrDtr, 0, 1, 2, 3, 0, 0}, {FlowControl::kXonXoff, 0, 0, 1, 3, 1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.mode));
    fake::Reset().device = DistinctDeviceState();
    SerialPort port;
    ASSERT_TRUE(port.Open(3, 19200, 7, win::ODDPARITY, win::ONESTOPBIT, row.mode));
    const win::DCB& dcb = fake::Current().device;
    EXPECT_EQ(dcb.fOutxCtsFlow, row.cts);
    EXPECT_EQ(dcb.fOutxDsrFlow, row.dsr);
    EXPECT_EQ(dcb.fDtrControl, row.dtr);
    EXPECT_EQ(dcb.fRtsControl, row.rts);
    EXPECT_EQ(dcb.fOutX, row.out_x);
    EXPECT_EQ(dcb.fInX, row.in_x);
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    const bool xon_xoff = row.mode == FlowControl::kXonXoff;
    EXPECT_EQ(dcb.XonChar, xon_xoff ? 0x11 : 0x21);
    EXPECT_EQ(dcb.XoffChar, xon_xoff ? 0x13 : 0x23);
    EXPECT_EQ(dcb.XonLim, xon_xoff ? 100 : 2048);
    EXPECT_EQ(dcb.XoffLim, xon_xoff ? 100 : 512);
  }
}

TEST_F(SerialPortTest, SpeedDataBitsParityAndStopBitsGoUnchangedIntoTheSettings) {
  const struct {
    std::uint32_t baud;
    std::uint8_t data_bits;
    std::uint32_t parity, stop_bits;
  } cases[] = {{110, 5, 0, 1},     {9600, 8, 1, 0}, {38400, 6, 2, 2},
               {4000000, 7, 3, 0}, {0, 0, 4, 2},    {123456, 255, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.baud);
    fake::Reset();
    SerialPort port;
    ASSERT_TRUE(port.Open(2, c.baud, c.data_bits, c.parity, c.stop_bits, FlowControl::kNone));
    EXPECT_EQ(fake::Current().device.BaudRate, c.baud);
    EXPECT_EQ(fake::Current().device.ByteSize, c.data_bits);
    EXPECT_EQ(fake::Current().device.Parity, c.parity);
    EXPECT_EQ(fake::Current().device.StopBits, c.stop_bits);
  }
}

TEST_F(SerialPortTest, UnknownCodesLeaveThePortOpenPurgedAndUnchanged) {
  const struct {
    const char* what;
    std::uint32_t parity, stop_bits, flow;
  } cases[] = {{"parity 5", 5, 2, 0},    {"parity -1", 0xFFFFFFFF, 2, 0},
               {"stop bits 3", 0, 3, 0}, {"stop bits -1", 0, 0xFFFFFFFF, 0},
               {"flow 6", 0, 2, 6},      {"flow -1", 0, 2, 0xFFFFFFFF}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake::Reset().device = DistinctDeviceState();
    SerialPort port;
    EXPECT_FALSE(port.Open(1, 9600, 8, c.parity, c.stop_bits, static_cast<FlowControl>(c.flow)));
    EXPECT_EQ(port.LastError(), 0u);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_THAT(fake::CallsMade(),
                ElementsAre(Call::kCreateFile, Call::kPurgeComm, Call::kGetCommState));
    const win::DCB untouched = DistinctDeviceState();
    EXPECT_EQ(std::memcmp(&fake::Current().device, &untouched, sizeof untouched), 0);
    EXPECT_TRUE(port.Close());
  }
}

TEST_F(SerialPortTest, DeviceThatCannotBeOpenedLeavesThePortClosedWithTheSystemCode) {
  for (const win::DWORD code : {win::ERROR_FILE_NOT_FOUND, win::ERROR_ACCESS_DENIED}) {
    SCOPED_TRACE(code);
    fake::Reset().failures[Call::kCreateFile] = code;
    SerialPort port;
    EXPECT_FALSE(port.Open(4, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    EXPECT_EQ(port.LastError(), code);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.PortNumber(), 4);
    EXPECT_STREQ(port.DevicePath(), "\\\\.\\COM4");
    EXPECT_THAT(fake::CallsMade(), ElementsAre(Call::kCreateFile));
  }
}

TEST_F(SerialPortTest, FailedPurgeLeavesThePortOpenAndOwned) {
  fake::Current().failures[Call::kPurgeComm] = win::ERROR_GEN_FAILURE;
  EXPECT_FALSE(port_.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
  EXPECT_EQ(port_.LastError(), win::ERROR_GEN_FAILURE);
  EXPECT_TRUE(port_.IsOpen());
  EXPECT_THAT(fake::CallsMade(), ElementsAre(Call::kCreateFile, Call::kPurgeComm));
  EXPECT_TRUE(port_.Close());
}

TEST_F(SerialPortTest, OnlyAFailedPropertiesQueryShowsAfterASuccessfulOpen) {
  const struct {
    Call failing;
    win::DWORD expected_error;
  } cases[] = {{Call::kGetCommState, 0},
               {Call::kSetCommState, 0},
               {Call::kGetCommProperties, win::ERROR_NOT_SUPPORTED}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.failing));
    fake::Reset().failures[c.failing] = win::ERROR_NOT_SUPPORTED;
    SerialPort port;
    EXPECT_TRUE(port.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    EXPECT_EQ(port.LastError(), c.expected_error);
    EXPECT_THAT(fake::CallsMade(), ::testing::ElementsAreArray(kOpenSequence));
  }
}

TEST_F(SerialPortTest, OpenOnAnOpenPortRefusesAndKeepsTheHandle) {
  OpenDriverPort();
  EXPECT_FALSE(port_.Open(2, 19200, 8, win::NOPARITY, win::ONESTOPBIT, FlowControl::kNone));
  EXPECT_EQ(port_.LastError(), win::ERROR_BUSY);
  EXPECT_FALSE(port_.OpenDevice("/dev/ttyUSB0", 9600, 8, 0, 0, FlowControl::kNone));
  EXPECT_EQ(port_.LastError(), win::ERROR_BUSY);
  EXPECT_EQ(port_.PortNumber(), 1);
  EXPECT_STREQ(port_.DevicePath(), "\\\\.\\COM1");
  EXPECT_THAT(fake::CallsMade(), IsEmpty());
  EXPECT_TRUE(port_.Close());
  ASSERT_EQ(fake::Current().calls.size(), 1u);
  EXPECT_EQ(fake::Current().calls[0].handle, fake::kHandle);
}

TEST_F(SerialPortTest, OpenDeviceUsesThePathAsGiven) {
  EXPECT_TRUE(
      port_.OpenDevice("/dev/pts/7", 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
  EXPECT_EQ(fake::Current().opened_path, "/dev/pts/7");
  EXPECT_EQ(port_.PortNumber(), 0);
  EXPECT_STREQ(port_.DevicePath(), "");
  EXPECT_THAT(fake::CallsMade(), ::testing::ElementsAreArray(kOpenSequence));
  EXPECT_EQ(fake::Current().device.StopBits, win::TWOSTOPBITS);

  SerialPort unnamed;
  EXPECT_FALSE(unnamed.OpenDevice("", 9600, 8, 0, 2, FlowControl::kNone));
  EXPECT_EQ(unnamed.LastError(), win::ERROR_INVALID_NAME);
  EXPECT_FALSE(unnamed.OpenDevice(nullptr, 9600, 8, 0, 2, FlowControl::kNone));
}

TEST_F(SerialPortTest, CloseReleasesTheHandleOnceEvenWhenTheSystemFails) {
  EXPECT_FALSE(port_.Close());
  EXPECT_EQ(port_.LastError(), 0u);
  EXPECT_THAT(fake::CallsMade(), IsEmpty());

  OpenDriverPort();
  EXPECT_TRUE(port_.Close());
  EXPECT_EQ(port_.LastError(), 0u);
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_FALSE(port_.Close());
  EXPECT_THAT(fake::CallsMade(), ElementsAre(Call::kCloseHandle));

  OpenDriverPort();
  fake::Current().failures[Call::kCloseHandle] = win::ERROR_INVALID_HANDLE;
  EXPECT_FALSE(port_.Close());
  EXPECT_EQ(port_.LastError(), win::ERROR_INVALID_HANDLE);
  EXPECT_FALSE(port_.IsOpen());
}

TEST_F(SerialPortTest, DeletingAnOpenPortClosesIt) {
  auto port = std::make_unique<SerialPort>();
  ASSERT_TRUE(port->Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
  fake::Current().calls.clear();
  port.reset();
  EXPECT_THAT(fake::CallsMade(), ElementsAre(Call::kCloseHandle));
}

TEST_F(SerialPortTest, ReadReturnsTheBytesTheSystemDeliveredAndNothingOnFailure) {
  char buffer[8] = {};
  EXPECT_EQ(port_.Read(buffer, 3), 0u);
  EXPECT_THAT(fake::CallsMade(), IsEmpty());

  OpenDriverPort();
  fake::Current().incoming = "ABC";
  EXPECT_EQ(port_.Read(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), "ABC");
  EXPECT_EQ(port_.LastError(), 0u);
  EXPECT_EQ(fake::Current().calls.back().argument, 3u);

  fake::Current().failures[Call::kReadFile] = win::ERROR_OPERATION_ABORTED;
  fake::Current().partial_count = 2;
  EXPECT_EQ(port_.Read(buffer, 5), 0u);
  EXPECT_EQ(port_.LastError(), win::ERROR_OPERATION_ABORTED);
}

TEST_F(SerialPortTest, WriteReportsTheCountWrittenAlsoWhenTheSystemFails) {
  EXPECT_EQ(port_.Write("xyz", 3), 0u);
  EXPECT_THAT(fake::CallsMade(), IsEmpty());

  OpenDriverPort();
  const unsigned char frame[] = {0xFE, 0x00, 0x00, 0x00, 0x00, 0x7B, 0x3F, 0xFF};
  EXPECT_EQ(port_.Write(frame, sizeof frame), 8u);
  EXPECT_EQ(port_.LastError(), 0u);
  EXPECT_EQ(fake::Current().written, std::string("\xFE\0\0\0\0\x7B\x3F\xFF", 8));

  fake::Current().failures[Call::kWriteFile] = win::ERROR_IO_DEVICE;
  fake::Current().partial_count = 5;
  EXPECT_EQ(port_.Write(frame, sizeof frame), 5u);
  EXPECT_EQ(port_.LastError(), win::ERROR_IO_DEVICE);
}

TEST_F(SerialPortTest, BytesWaitingKeepsTheLastGoodCountAndNeverTouchesTheLastError) {
  OpenDriverPort();
  fake::Current().in_queue = 17;
  EXPECT_EQ(port_.BytesWaiting(), 17u);
  EXPECT_EQ(port_.Status().cbInQue, 17u);

  fake::Current().failures[Call::kSetCommBreak] = win::ERROR_GEN_FAILURE;
  EXPECT_FALSE(port_.SetBreak());
  fake::Current().failures[Call::kClearCommError] = win::ERROR_IO_DEVICE;
  fake::Current().in_queue = 3;
  EXPECT_EQ(port_.BytesWaiting(), 17u);
  EXPECT_EQ(port_.LastError(), win::ERROR_GEN_FAILURE);

  // On a closed port the query is still made (and fails on the invalid handle).
  fake::Current().failures.clear();
  ASSERT_TRUE(port_.Close());
  fake::Current().calls.clear();
  EXPECT_EQ(port_.BytesWaiting(), 17u);
  ASSERT_THAT(fake::CallsMade(), ElementsAre(Call::kClearCommError));
  EXPECT_EQ(fake::Current().calls[0].handle, win::INVALID_HANDLE_VALUE);
}

TEST_F(SerialPortTest, ModemStatusQueriesOnlyAnOpenPortAndMasks) {
  OpenDriverPort();
  fake::Current().modem_lines = win::MS_CTS_ON | win::MS_RLSD_ON;
  EXPECT_EQ(port_.ModemStatus(0xFFFFFFFF), 0x90u);
  EXPECT_EQ(port_.ModemStatus(win::MS_CTS_ON | win::MS_DSR_ON), 0x10u);
  EXPECT_EQ(port_.LastError(), 0u);

  // A failed query records nothing and answers from the stored status.
  fake::Current().failures[Call::kGetCommModemStatus] = win::ERROR_NOT_SUPPORTED;
  fake::Current().modem_lines = win::MS_RING_ON;
  EXPECT_EQ(port_.ModemStatus(0xFF), 0x90u);
  EXPECT_EQ(port_.LastError(), 0u);

  ASSERT_TRUE(port_.Close());
  fake::Current().calls.clear();
  EXPECT_EQ(port_.ModemStatus(0x80), 0x80u);
  EXPECT_THAT(fake::CallsMade(), IsEmpty());

  // Open resets the stored status: after Open and Close every mask gives 0.
  fake::Current().failures.clear();
  OpenDriverPort();
  ASSERT_TRUE(port_.Close());
  for (const std::uint32_t mask : {0x10u, 0x20u, 0x40u, 0x80u, 0xFFFFFFFFu}) {
    EXPECT_EQ(port_.ModemStatus(mask), 0u);
  }
}

struct Wrapper {
  const char* name;
  std::function<bool(SerialPort&)> invoke;
  Call call;
  win::DWORD argument;
  win::DWORD second_argument;
};

win::COMMCONFIG config_record;
win::DCB dcb_record;
win::COMMPROP properties_record;
std::uint32_t mask_record;

const Wrapper kWrappers[] = {
    {"GetConfig", [](SerialPort& p) { return p.GetConfig(&config_record); }, Call::kGetCommConfig,
     sizeof(win::COMMCONFIG), 0},
    {"SetConfig", [](SerialPort& p) { return p.SetConfig(&config_record); }, Call::kSetCommConfig,
     sizeof(win::COMMCONFIG), 0},
    {"SetBreak", [](SerialPort& p) { return p.SetBreak(); }, Call::kSetCommBreak, 0, 0},
    {"ClearBreak", [](SerialPort& p) { return p.ClearBreak(); }, Call::kClearCommBreak, 0, 0},
    {"GetState", [](SerialPort& p) { return p.GetState(&dcb_record); }, Call::kGetCommState, 0, 0},
    {"SetState", [](SerialPort& p) { return p.SetState(&dcb_record); }, Call::kSetCommState, 0, 0},
    {"ClearDtr", [](SerialPort& p) { return p.ClearDtr(); }, Call::kEscapeCommFunction, 6, 0},
    {"ClearRts", [](SerialPort& p) { return p.ClearRts(); }, Call::kEscapeCommFunction, 4, 0},
    {"SetDtr", [](SerialPort& p) { return p.SetDtr(); }, Call::kEscapeCommFunction, 5, 0},
    {"SetRts", [](SerialPort& p) { return p.SetRts(); }, Call::kEscapeCommFunction, 3, 0},
    {"SetXoff", [](SerialPort& p) { return p.SetXoff(); }, Call::kEscapeCommFunction, 1, 0},
    {"SetXon", [](SerialPort& p) { return p.SetXon(); }, Call::kEscapeCommFunction, 2, 0},
    {"GetProperties", [](SerialPort& p) { return p.GetProperties(&properties_record); },
     Call::kGetCommProperties, 0, 0},
    {"SetEventMask", [](SerialPort& p) { return p.SetEventMask(0x1FF); }, Call::kSetCommMask, 0x1FF,
     0},
    {"GetEventMask", [](SerialPort& p) { return p.GetEventMask(&mask_record); }, Call::kGetCommMask,
     0, 0},
    {"Flush", [](SerialPort& p) { return p.Flush(); }, Call::kFlushFileBuffers, 0, 0},
    {"PurgeTxClear", [](SerialPort& p) { return p.PurgeTxClear(); }, Call::kPurgeComm, 0x4, 0},
    {"PurgeRxClear", [](SerialPort& p) { return p.PurgeRxClear(); }, Call::kPurgeComm, 0x8, 0},
    {"PurgeTxAbort", [](SerialPort& p) { return p.PurgeTxAbort(); }, Call::kPurgeComm, 0x1, 0},
    {"PurgeRxAbort", [](SerialPort& p) { return p.PurgeRxAbort(); }, Call::kPurgeComm, 0x2, 0},
    {"SetupQueues", [](SerialPort& p) { return p.SetupQueues(4096, 1024); }, Call::kSetupComm, 4096,
     1024},
};

TEST_F(SerialPortTest, ThinWrappersRefuseAClosedPortWithoutASystemCall) {
  for (const Wrapper& wrapper : kWrappers) {
    SCOPED_TRACE(wrapper.name);
    fake::Reset();
    SerialPort port;
    EXPECT_FALSE(wrapper.invoke(port));
    EXPECT_EQ(port.LastError(), 0u);
    EXPECT_THAT(fake::CallsMade(), IsEmpty());
  }
}

TEST_F(SerialPortTest, ThinWrappersPassTheirFixedValueAndReportTheOutcome) {
  for (const Wrapper& wrapper : kWrappers) {
    SCOPED_TRACE(wrapper.name);
    fake::Reset();
    SerialPort port;
    ASSERT_TRUE(port.Open(1, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    fake::Current().calls.clear();
    EXPECT_TRUE(wrapper.invoke(port));
    EXPECT_EQ(port.LastError(), 0u);
    ASSERT_EQ(fake::Current().calls.size(), 1u);
    const fake::Record& record = fake::Current().calls[0];
    EXPECT_EQ(record.call, wrapper.call);
    EXPECT_EQ(record.handle, fake::kHandle);
    EXPECT_EQ(record.argument, wrapper.argument);
    EXPECT_EQ(record.second_argument, wrapper.second_argument);

    fake::Current().failures[wrapper.call] = win::ERROR_INVALID_PARAMETER;
    EXPECT_FALSE(wrapper.invoke(port));
    EXPECT_EQ(port.LastError(), win::ERROR_INVALID_PARAMETER);
    // The next operation starts from a clear last error.
    fake::Current().failures.clear();
    EXPECT_TRUE(wrapper.invoke(port));
    EXPECT_EQ(port.LastError(), 0u);
  }
}

}  // namespace
