// SerialPort over the real Windows serial calls. ctest makes COM1 and COM2 the two ends of one
// line (under Wine: a pair of pseudo-terminals), so what one port writes the other receives.
//
// A pseudo-terminal has no wire: it keeps 8 data bits without parity whatever is asked, and has
// no modem lines. So only the settings a pseudo-terminal holds are read back here; the rest is
// covered by the Linux tests of our own stand-ins.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>

#include "platform/last_error.h"
#include "platform/serial_api.h"
#include "serial/serial_port.h"

namespace {

using namespace std::chrono_literals;
using serial::FlowControl;
using serial::SerialPort;

std::string AllByteValues() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

// Polls until at least count bytes wait (or two seconds passed); the count last seen.
std::uint32_t WaitForBytes(SerialPort& port, std::uint32_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  std::uint32_t waiting = port.BytesWaiting();
  while (waiting < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
    waiting = port.BytesWaiting();
  }
  return waiting;
}

std::string ReadExactly(SerialPort& port, std::uint32_t count) {
  std::string bytes(count, '\0');
  bytes.resize(port.Read(bytes.data(), count));
  return bytes;
}

class WindowsSerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The driver's line: 9600 bit/s, 8 data bits, no parity, two stop bits, no flow control.
    for (auto [port, number] : {std::pair{&com1_, 1}, std::pair{&com2_, 2}}) {
      ASSERT_TRUE(port->Open(static_cast<std::int16_t>(number), 9600, 8, win::NOPARITY,
                             win::TWOSTOPBITS, FlowControl::kNone))
          << "COM" << number << ": system error " << port->LastError()
          << "; COM1 and COM2 must be the two ends of one line (ctest links them)";
    }
  }

  SerialPort com1_;
  SerialPort com2_;
};

TEST_F(WindowsSerialTest, EveryByteValueCrossesUnchangedInBothDirections) {
  // UECP frames carry any byte: 0x0D must not become 0x0A, 0x11/0x13 must not act as XON/XOFF,
  // 0xFF must not be doubled, and nothing may echo back.
  const std::string bytes = AllByteValues();
  for (auto [from, to] : {std::pair{&com1_, &com2_}, std::pair{&com2_, &com1_}}) {
    SCOPED_TRACE(from == &com1_ ? "COM1 to COM2" : "COM2 to COM1");
    EXPECT_EQ(from->Write(bytes.data(), 256), 256u);
    ASSERT_EQ(WaitForBytes(*to, 256), 256u);
    EXPECT_EQ(ReadExactly(*to, 256), bytes);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(from->BytesWaiting(), 0u);
    EXPECT_EQ(to->BytesWaiting(), 0u);
  }
}

TEST_F(WindowsSerialTest, ReplyReadInPartsLeavesTheRestQueued) {
  // The sender reads what BytesWaiting reports; bytes arriving later wait for the next read.
  const std::string frame("\xFE\x00\x00\x2A\x02\x18\x00\x4A\xB0\xFF", 10);
  ASSERT_EQ(com2_.Write(frame.data(), 4), 4u);
  ASSERT_EQ(WaitForBytes(com1_, 4), 4u);
  EXPECT_EQ(ReadExactly(com1_, 4), frame.substr(0, 4));
  ASSERT_EQ(com2_.Write(frame.data() + 4, 6), 6u);
  ASSERT_EQ(WaitForBytes(com1_, 6), 6u);
  EXPECT_EQ(ReadExactly(com1_, 2), frame.substr(4, 2));
  EXPECT_EQ(com1_.BytesWaiting(), 4u);
  EXPECT_EQ(ReadExactly(com1_, 4), frame.substr(6, 4));
  EXPECT_EQ(com1_.BytesWaiting(), 0u);
}

TEST_F(WindowsSerialTest, PurgeDropsWhatWaits) {
  ASSERT_EQ(com2_.Write("stale", 5), 5u);
  ASSERT_EQ(WaitForBytes(com1_, 5), 5u);
  EXPECT_TRUE(com1_.PurgeRxClear());
  EXPECT_EQ(com1_.BytesWaiting(), 0u);
  ASSERT_EQ(com2_.Write("new", 3), 3u);
  ASSERT_EQ(WaitForBytes(com1_, 3), 3u);
  EXPECT_EQ(ReadExactly(com1_, 3), "new");
}

struct OpenCase {
  const char* name;
  std::uint32_t baud;
  std::uint32_t stop_bits;
  FlowControl flow;
  // What the port must report afterwards. (RTS control is left out: Wine reports a handshake
  // port's RTS control as enabled.)
  unsigned out_x, in_x, cts_flow;
};

TEST_F(WindowsSerialTest, OpenSettingsReachThePortAndReadBack) {
  const OpenCase cases[] = {
      {"driver 9600 8N2", 9600, win::TWOSTOPBITS, FlowControl::kNone, 0, 0, 0},
      {"19200 8N1 XON/XOFF", 19200, win::ONESTOPBIT, FlowControl::kXonXoff, 1, 1, 0},
      {"57600 8N1 CTS/RTS", 57600, win::ONESTOPBIT, FlowControl::kCtsRts, 0, 0, 1},
      {"115200 8N2", 115200, win::TWOSTOPBITS, FlowControl::kNone, 0, 0, 0},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(com1_.Close());
    ASSERT_TRUE(com1_.Open(1, c.baud, 8, win::NOPARITY, c.stop_bits, c.flow)) << com1_.LastError();
    win::DCB dcb{};
    ASSERT_TRUE(com1_.GetState(&dcb)) << com1_.LastError();
    EXPECT_EQ(dcb.BaudRate, c.baud);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, win::NOPARITY);
    EXPECT_EQ(dcb.StopBits, c.stop_bits);
    EXPECT_EQ(dcb.fOutX, c.out_x);
    EXPECT_EQ(dcb.fInX, c.in_x);
    EXPECT_EQ(dcb.fOutxCtsFlow, c.cts_flow);
    if (c.out_x) {
      EXPECT_EQ(dcb.XonChar, 0x11);
      EXPECT_EQ(dcb.XoffChar, 0x13);
    }
  }
}

struct FailCase {
  const char* name;
  std::int16_t port;
  std::uint32_t last_error;
};

TEST(WindowsSerialOpenTest, RefusedOpensLeaveThePortClosedWithTheSystemsReason) {
  const FailCase cases[] = {
      {"port 0", 0, win::ERROR_SUCCESS},
      {"port 256", 256, win::ERROR_SUCCESS},
      {"no such port", 9, win::ERROR_FILE_NOT_FOUND},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.name);
    SerialPort port;
    EXPECT_FALSE(port.Open(c.port, 9600, 8, win::NOPARITY, win::TWOSTOPBITS, FlowControl::kNone));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastError(), c.last_error);
    char byte = 0;
    EXPECT_EQ(port.Write(&byte, 1), 0u);
    EXPECT_EQ(port.Read(&byte, 1), 0u);
    EXPECT_FALSE(port.Close());
  }
}

}  // namespace
