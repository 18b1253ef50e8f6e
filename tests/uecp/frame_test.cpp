// Frame assembly: layout, CRC, byte stuffing, the 255-byte limit and element ownership.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/uecp/test_support.h"
#include "uecp/uecp.h"

namespace {

using uecp::kAbsent;
using uecp_test::Bytes;
using uecp_test::Stuffed;
using uecp_test::TestElement;

// Reverses the stuffing independently of the frame code.
Bytes Unstuffed(const Bytes& stuffed) {
  Bytes raw;
  for (std::size_t i = 0; i < stuffed.size(); ++i) {
    if (stuffed[i] == 0xFD && i + 1 < stuffed.size()) {
      raw.push_back(static_cast<std::uint8_t>(0xFD + stuffed[++i]));
    } else {
      raw.push_back(stuffed[i]);
    }
  }
  return raw;
}

// STA and STP only at the ends: a receiver can always find the frame boundaries.
void ExpectDelimitersOnlyAtEnds(const Bytes& stuffed) {
  ASSERT_GE(stuffed.size(), 2u);
  EXPECT_EQ(stuffed.front(), 0xFE);
  EXPECT_EQ(stuffed.back(), 0xFF);
  for (std::size_t i = 1; i + 1 < stuffed.size(); ++i) {
    EXPECT_LT(stuffed[i], 0xFE) << "at " << i;
  }
}

TEST(UecpCrc16, KnownValues) {
  const struct {
    Bytes data;
    std::uint16_t crc;
  } cases[] = {
      {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0xD64E},
      {{0x00, 0x00, 0x00, 0x00}, 0x7B3F},
      {{0xFF, 0xFF, 0x00, 0x00}, 0xFFFF},
      {{0xFD, 0x3D, 0x00, 0x00}, 0x5A00},
      {{0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x41, 0x23}, 0x2421},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(uecp::uecp_crc16(c.data.data(), static_cast<int>(c.data.size())), c.crc);
  }
  const std::uint8_t byte = 0x31;
  EXPECT_EQ(uecp::uecp_crc16(&byte, 0), 0x0000);
  EXPECT_EQ(uecp::uecp_crc16(&byte, -5), 0x0000);
  EXPECT_EQ(uecp::uecp_crc16(nullptr, 4), 0x0000);
}

TEST(UecpFrame, BuildsAndStuffs) {
  const struct {
    const char* name;
    std::uint16_t site, encoder;
    std::function<uecp::MessageElement*()> element;  // none: empty frame
    Bytes stuffed;
  } cases[] = {
      {"empty", 0, 0, nullptr, {0xFE, 0x00, 0x00, 0x00, 0x00, 0x7B, 0x3F, 0xFF}},
      {"high address bits dropped",
       0xFC00,
       0xC0,
       nullptr,
       {0xFE, 0x00, 0x00, 0x00, 0x00, 0x7B, 0x3F, 0xFF}},
      {"all address bits set",
       0x3FF,
       0x3F,
       nullptr,
       {0xFE, 0xFD, 0x02, 0xFD, 0x02, 0x00, 0x00, 0xFD, 0x02, 0xFD, 0x02, 0xFF}},
      {"address byte 0xFD",
       0x3F4,
       0x3D,
       nullptr,
       {0xFE, 0xFD, 0x00, 0x3D, 0x00, 0x00, 0x5A, 0x00, 0xFF}},
      // The frames the sender puts on the wire.
      {"PI",
       0,
       0,
       [] { return new uecp::PiElement(0x4123, 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x41, 0x23, 0x24, 0x21, 0xFF}},
      {"PS",
       0,
       0,
       [] { return new uecp::PsElement(" RADIO", 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x0B, 0x02, 0x00, 0x00, 0x20, 0x52, 0x41, 0x44, 0x49, 0x4F, 0x20,
        0x20, 0xC7, 0x89, 0xFF}},
      {"DI",
       0,
       0,
       [] { return new uecp::DiElement(9, 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x04, 0x04, 0x00, 0x00, 0x09, 0x1C, 0x1F, 0xFF}},
      {"MS",
       0,
       0,
       [] { return new uecp::MsElement(1, 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x04, 0x05, 0x00, 0x00, 0x01, 0xEB, 0xA3, 0xFF}},
      {"PTY",
       0,
       0,
       [] { return new uecp::PtyElement(9, 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x04, 0x07, 0x00, 0x00, 0x09, 0x87, 0xC3, 0xFF}},
      {"PTYN",
       0,
       0,
       [] { return new uecp::PtynElement("TRANCE", 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x0B, 0x3E, 0x00, 0x00, 0x54, 0x52, 0x41, 0x4E, 0x43, 0x45, 0x20,
        0x20, 0x9D, 0xA2, 0xFF}},
      {"TA/TP",
       0,
       0,
       [] { return new uecp::TaTpElement(2, 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x04, 0x03, 0x00, 0x00, 0x02, 0xFC, 0x59, 0xFF}},
      {"AF",
       0,
       0,
       [] {
         static const float kAf[] = {88.1f, 107.5f};
         return new uecp::AfElement(0, 2, kAf, 0, 0);
       },
       {0xFE, 0x00, 0x00, 0x00, 0x0B, 0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE2, 0x06, 0xC8, 0xCD,
        0x00, 0xF2, 0x9C, 0xFF}},
      {"RT",
       0,
       0,
       [] { return new uecp::RtElement("TEST RADIOTEXT", 1, 0, 0, 0, 0); },
       {0xFE, 0x00, 0x00, 0x00, 0x13, 0x0A, 0x00, 0x00, 0x0F, 0x02, 0x54, 0x45, 0x53, 0x54,
        0x20, 0x52, 0x41, 0x44, 0x49, 0x4F, 0x54, 0x45, 0x58, 0x54, 0x7D, 0xE9, 0xFF}},
      {"AF of 26 adds nothing",
       0,
       0,
       [] {
         static const float kMany[26] = {};
         return new uecp::AfElement(0, 26, kMany, 0, 0);
       },
       {0xFE, 0x00, 0x00, 0x00, 0x00, 0x7B, 0x3F, 0xFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    uecp::UecpFrame frame(c.site, c.encoder);
    if (c.element) {
      EXPECT_TRUE(frame.AddElement(c.element()));
    }
    frame.Build();
    EXPECT_EQ(Stuffed(frame), c.stuffed);
    ExpectDelimitersOnlyAtEnds(Stuffed(frame));
    frame.Build();  // building again changes nothing
    EXPECT_EQ(Stuffed(frame), c.stuffed);
  }
}

TEST(UecpFrame, ElementsInAppendOrderAndAppendingAfterBuild) {
  uecp::UecpFrame frame(0, 0);
  auto* first = new TestElement(0x30, kAbsent, kAbsent, kAbsent, 1, 0x10);
  auto* second = new TestElement(0x31, kAbsent, kAbsent, kAbsent, 1, 0x20);
  ASSERT_TRUE(frame.AddElement(first));
  frame.Build();
  ASSERT_TRUE(frame.AddElement(second));
  EXPECT_EQ(frame.FirstElement(), first);
  EXPECT_EQ(frame.LastElement(), second);
  EXPECT_EQ(first->Next(), second);
  EXPECT_EQ(second->Previous(), first);
  EXPECT_EQ(second->Next(), nullptr);
  frame.Build();
  const Bytes raw = Unstuffed(Stuffed(frame));
  EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 9),
            (Bytes{0xFE, 0x00, 0x00, 0x00, 0x04, 0x30, 0x10, 0x31, 0x20}));
  EXPECT_EQ(frame.MessageLength(), 4);
}

TEST(UecpFrame, MessageFieldLimit) {
  const std::string text64(64, 'x');
  uecp::UecpFrame frame(0, 0);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(frame.AddElement(new uecp::RtElement(text64.c_str(), 0, 0, 0, 0, 0)));  // 69
  }
  ASSERT_EQ(frame.MessageLength(), 207);

  // 207 + 69 = 276: refused, and the frame is unchanged.
  auto* too_big = new uecp::RtElement(text64.c_str(), 0, 0, 0, 0, 0);
  uecp::MessageElement* const tail = frame.LastElement();
  EXPECT_FALSE(frame.AddElement(too_big));
  EXPECT_EQ(frame.MessageLength(), 207);
  EXPECT_EQ(frame.LastElement(), tail);
  delete too_big;

  // A smaller one that takes the sum to exactly 255 still fits.
  EXPECT_TRUE(frame.AddElement(new uecp::RtElement(std::string(43, 'y').c_str(), 0, 0, 0, 0, 0)));
  EXPECT_EQ(frame.MessageLength(), 255);
  auto* one_more = new uecp::CtOnOffElement(1);  // 256
  EXPECT_FALSE(frame.AddElement(one_more));
  delete one_more;
  frame.Build();
  // 263 raw bytes; only MFL 255 needs stuffing. The CRC is 0x2B55.
  const Bytes stuffed = Stuffed(frame);
  ASSERT_EQ(stuffed.size(), 264u);
  EXPECT_EQ(Bytes(stuffed.begin(), stuffed.begin() + 11),
            (Bytes{0xFE, 0x00, 0x00, 0x00, 0xFD, 0x02, 0x0A, 0x00, 0x00, 0x41, 0x00}));
  EXPECT_EQ(Bytes(stuffed.end() - 3, stuffed.end()), (Bytes{0x2B, 0x55, 0xFF}));
}

TEST(UecpFrame, WorstCaseStuffingFitsTheBuffer) {
  // Every byte that may be 0xFF is: address, MFL and all 255 message bytes.
  uecp::UecpFrame frame(0x3FF, 0x3F);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(frame.AddElement(new TestElement(0xFF, 0xFF, 0xFF, 0xFF, 81, 0xFF)));  // 85
  }
  ASSERT_EQ(frame.MessageLength(), uecp::kMaxMessageLength);
  frame.Build();

  Bytes raw = {0xFE, 0xFF, 0xFF, 0x00, 0xFF};
  raw.insert(raw.end(), 255, 0xFF);
  raw.insert(raw.end(), {0xE5, 0x38, 0xFF});  // CRC of the 259 covered bytes
  ASSERT_EQ(raw.size(), static_cast<std::size_t>(uecp::kRawFrameCapacity));
  EXPECT_EQ(frame.StuffedLength(), 521);
  EXPECT_LE(frame.StuffedLength(), 524);
  EXPECT_EQ(Unstuffed(Stuffed(frame)), raw);
  ExpectDelimitersOnlyAtEnds(Stuffed(frame));
}

TEST(UecpFrame, DeletesEveryAcceptedElementOnceAndNoRefusedOne) {
  TestElement::destroyed = 0;
  auto* refused = new TestElement(0x30, kAbsent, kAbsent, kAbsent, 255);  // 256 bytes
  auto* elsewhere = new TestElement(0x31, kAbsent, kAbsent, kAbsent, 1);
  auto* twice = new TestElement(0x32, kAbsent, kAbsent, kAbsent, 1);
  {
    auto frame = std::make_unique<uecp::UecpFrame>(0, 0);
    uecp::UecpFrame other(0, 0);
    EXPECT_TRUE(other.AddElement(elsewhere));
    EXPECT_TRUE(frame->AddElement(new TestElement(0x33, kAbsent, kAbsent, kAbsent, 1)));
    EXPECT_TRUE(frame->AddElement(twice));
    EXPECT_FALSE(frame->AddElement(refused));
    EXPECT_FALSE(frame->AddElement(twice)) << "already owned by this frame";
    EXPECT_FALSE(frame->AddElement(elsewhere)) << "already owned by another frame";
    EXPECT_FALSE(frame->AddElement(static_cast<uecp::MessageElement*>(nullptr)));
    EXPECT_EQ(frame->MessageLength(), 4);

    auto accepted = std::make_unique<TestElement>(0x34, kAbsent, kAbsent, kAbsent, 1);
    EXPECT_TRUE(frame->AddElement(accepted));
    EXPECT_EQ(accepted, nullptr);
    std::unique_ptr<uecp::MessageElement> held =
        std::make_unique<TestElement>(0x35, kAbsent, kAbsent, kAbsent, 300);
    EXPECT_FALSE(frame->AddElement(held));
    EXPECT_NE(held, nullptr);  // still ours; deleted when it goes out of scope

    EXPECT_EQ(TestElement::destroyed, 0);
    frame.reset();
    EXPECT_EQ(TestElement::destroyed, 3);
  }
  EXPECT_EQ(TestElement::destroyed, 5);  // plus `other`'s element and the refused unique_ptr
  delete refused;
  EXPECT_EQ(TestElement::destroyed, 6);
}

}  // namespace
