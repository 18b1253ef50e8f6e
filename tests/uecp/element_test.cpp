// Encodings of the message elements, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/uecp/test_support.h"
#include "uecp/uecp.h"

namespace {

using uecp::kAbsent;
using uecp_test::Bytes;
using uecp_test::ElementCase;
using uecp_test::Encoded;
using uecp_test::TestElement;

const std::string k64 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-";

Bytes Concat(Bytes head, const std::string& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

void ExpectEncodings(const std::vector<ElementCase>& cases) {
  for (const ElementCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<uecp::MessageElement> element(c.make());
    const std::uint16_t length_before = element->EncodedLength();
    EXPECT_EQ(Encoded(*element), c.bytes);
    EXPECT_EQ(element->EncodedLength(), length_before);
    EXPECT_EQ(element->EncodedLength(), c.bytes.size());
    // Encoding twice writes the same bytes.
    EXPECT_EQ(Encoded(*element), c.bytes);
  }
}

TEST(MessageElementHeader, PresentBytesInOrderAbsentOnesSkipped) {
  ExpectEncodings({
      {"all optional bytes absent",
       [] { return new TestElement(0x30, kAbsent, kAbsent, kAbsent, 2); },
       {0x30, 0xA0, 0xA1}},
      {"no element code", [] { return new TestElement(0, 1, 2, kAbsent, 1); }, {0x01, 0x02, 0xA0}},
      {"nothing but data",
       [] { return new TestElement(0, kAbsent, kAbsent, kAbsent, 2); },
       {0xA0, 0xA1}},
      {"DSN and PSN 0 are present",
       [] { return new TestElement(0x30, 0, 0, kAbsent, 0); },
       {0x30, 0x00, 0x00}},
      {"wide values send their low byte",
       [] { return new TestElement(0x30, 0x1FF, 0x2FE, 0x100, 1); },
       {0x30, 0xFF, 0xFE, 0x00, 0xA0}},
      {"only MEL", [] { return new TestElement(0x30, kAbsent, kAbsent, 0, 0); }, {0x30, 0x00}},
  });
}

TEST(ServiceElements, Encodings) {
  ExpectEncodings({
      {"PI", [] { return new uecp::PiElement(0x4123, 0, 0); }, {0x01, 0x00, 0x00, 0x41, 0x23}},
      {"PI without DSN and PSN",
       [] { return new uecp::PiElement(0x4123, kAbsent, kAbsent); },
       {0x01, 0x41, 0x23}},
      {"PI with DSN 0x1234 PSN 0x0105",
       [] { return new uecp::PiElement(0xFEFD, 0x1234, 0x0105); },
       {0x01, 0x34, 0x05, 0xFE, 0xFD}},
      {"PTY 9", [] { return new uecp::PtyElement(9, 0, 0); }, {0x07, 0x00, 0x00, 0x09}},
      {"PTY 0x29 masked",
       [] { return new uecp::PtyElement(0x29, 0, 0); },
       {0x07, 0x00, 0x00, 0x09}},
      {"TA/TP 2", [] { return new uecp::TaTpElement(2, 0, 0); }, {0x03, 0x00, 0x00, 0x02}},
      {"TA/TP 7 masked", [] { return new uecp::TaTpElement(7, 0, 0); }, {0x03, 0x00, 0x00, 0x03}},
      {"DI 9", [] { return new uecp::DiElement(9, 0, 0); }, {0x04, 0x00, 0x00, 0x09}},
      {"DI 0x19 masked", [] { return new uecp::DiElement(0x19, 0, 0); }, {0x04, 0x00, 0x00, 0x09}},
      {"MS 1", [] { return new uecp::MsElement(1, 0, 0); }, {0x05, 0x00, 0x00, 0x01}},
      {"MS 2 masked", [] { return new uecp::MsElement(2, 0, 0); }, {0x05, 0x00, 0x00, 0x00}},
      {"PIN", [] { return new uecp::PinElement(0xABCD, 1, 2); }, {0x06, 0x01, 0x02, 0xAB, 0xCD}},
      {"RTC correction 258",
       [] { return new uecp::RtcCorrectionElement(258); },
       {0x09, 0x01, 0x02}},
      {"RTC correction -1",
       [] { return new uecp::RtcCorrectionElement(static_cast<std::uint16_t>(-1)); },
       {0x09, 0xFF, 0xFF}},
      {"CT on", [] { return new uecp::CtOnOffElement(1); }, {0x19, 0x01}},
      {"CT 0x80 unmasked", [] { return new uecp::CtOnOffElement(0x80); }, {0x19, 0x80}},
  });
}

TEST(NameElements, CutOrPaddedToEight) {
  ExpectEncodings({
      {"PS \" RADIO\"",
       [] { return new uecp::PsElement(" RADIO", 0, 0); },
       {0x02, 0x00, 0x00, 0x20, 0x52, 0x41, 0x44, 0x49, 0x4F, 0x20, 0x20}},
      {"PTYN TRANCE",
       [] { return new uecp::PtynElement("TRANCE", 0, 0); },
       {0x3E, 0x00, 0x00, 0x54, 0x52, 0x41, 0x4E, 0x43, 0x45, 0x20, 0x20}},
      {"exactly eight",
       [] { return new uecp::PsElement("ABCDEFGH", 1, 2); },
       {0x02, 0x01, 0x02, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48}},
      {"longer text cut",
       [] { return new uecp::PtynElement("abcdefghijk", 0, 0); },
       {0x3E, 0x00, 0x00, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68}},
      {"empty text",
       [] { return new uecp::PsElement("", 0, 0); },
       {0x02, 0x00, 0x00, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
      {"null text as empty",
       [] { return new uecp::PsElement(nullptr, kAbsent, kAbsent); },
       {0x02, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
      {"bytes kept as they are",
       [] { return new uecp::PsElement("a\xFE\x01", 0, 0); },
       {0x02, 0x00, 0x00, 0x61, 0xFE, 0x01, 0x20, 0x20, 0x20, 0x20, 0x20}},
  });
}

TEST(RtElement, Encodings) {
  ExpectEncodings({
      {"TEST RADIOTEXT",
       [] { return new uecp::RtElement("TEST RADIOTEXT", 1, 0, 0, 0, 0); },
       {0x0A, 0x00, 0x00, 0x0F, 0x02, 0x54, 0x45, 0x53, 0x54, 0x20, 0x52, 0x41, 0x44, 0x49, 0x4F,
        0x54, 0x45, 0x58, 0x54}},
      {"empty text ignores the rest",
       [] { return new uecp::RtElement("", 15, 0x60, 1, 3, 4); },
       {0x0A, 0x03, 0x04, 0x00}},
      {"null text as empty",
       [] { return new uecp::RtElement(nullptr, 1, 0, 0, 0, 0); },
       {0x0A, 0x00, 0x00, 0x00}},
      {"all configuration bits",
       [] { return new uecp::RtElement("AB", 15, 0x60, 1, 0, 0); },
       {0x0A, 0x00, 0x00, 0x03, 0x7F, 0x41, 0x42}},
      {"transmissions masked to four bits",
       [] { return new uecp::RtElement("A", 0x1F, 0, 0, 0, 0); },
       {0x0A, 0x00, 0x00, 0x02, 0x1E, 0x41}},
      {"buffer configuration in place",
       [] { return new uecp::RtElement("A", 0, 0x20, 0, 0, 0); },
       {0x0A, 0x00, 0x00, 0x02, 0x20, 0x41}},
      {"buffer configuration 1 is nothing",
       [] { return new uecp::RtElement("A", 0, 0x01, 0xFE, 0, 0); },
       {0x0A, 0x00, 0x00, 0x02, 0x00, 0x41}},
      {"64 characters, MEL 65", [] { return new uecp::RtElement(k64.c_str(), 0, 0, 0, 0, 0); },
       Concat({0x0A, 0x00, 0x00, 0x41, 0x00}, k64)},
      {"100 characters cut to 64",
       [] { return new uecp::RtElement((k64 + std::string(36, 'Z')).c_str(), 0, 0, 0, 0, 0); },
       Concat({0x0A, 0x00, 0x00, 0x41, 0x00}, k64)},
  });
}

TEST(AfElement, Encodings) {
  struct Frequencies {
    std::vector<float> values;
    uecp::MessageElement* operator()() const {
      return new uecp::AfElement(0, static_cast<std::uint8_t>(values.size()), values.data(), 0, 0);
    }
  };
  const Bytes kEmptyList = {0x13, 0x00, 0x00, 0x04, 0x00, 0x00, 0xE0, 0x00};
  ExpectEncodings({
      {"88.1 and 107.5: filler, closing 0x00 in MEL",
       Frequencies{{88.1f, 107.5f}},
       {0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE2, 0x06, 0xC8, 0xCD, 0x00}},
      {"87.6", Frequencies{{87.6f}}, {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x01, 0x00}},
      {"87.7", Frequencies{{87.7f}}, {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x02, 0x00}},
      {"88.2", Frequencies{{88.2f}}, {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x07, 0x00}},
      {"107.9", Frequencies{{107.9f}}, {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0xCC, 0x00}},
      {"87.5 below FM", Frequencies{{87.5f}}, kEmptyList},
      {"108.0 above FM", Frequencies{{108.0f}}, kEmptyList},
      {"between bands and NaN", Frequencies{{152.9f, 280.0f, 530.0f, 1603.0f, std::nanf("")}},
       kEmptyList},
      {"no frequencies", Frequencies{{}}, kEmptyList},
      {"three FM, no filler",
       Frequencies{{88.1f, 90.0f, 100.0f}},
       {0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE3, 0x06, 0x19, 0x7D, 0x00}},
      {"skipped ones not counted",
       Frequencies{{50.0f, 88.1f, 2000.0f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x06, 0x00}},
      {"LF 153",
       Frequencies{{153.0f}},
       {0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE1, 0xFA, 0x01, 0xCD, 0x00}},
      {"LF 160 rounds down",
       Frequencies{{160.0f}},
       {0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE1, 0xFA, 0x01, 0xCD, 0x00}},
      {"LF 162",
       Frequencies{{162.0f}},
       {0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE1, 0xFA, 0x02, 0xCD, 0x00}},
      {"LF 279 and MF 531",
       Frequencies{{279.0f, 531.0f}},
       {0x13, 0x00, 0x00, 0x09, 0x00, 0x00, 0xE2, 0xFA, 0x0F, 0xFA, 0x10, 0xCD, 0x00}},
      {"MF 1602 and FM",
       Frequencies{{1602.0f, 87.6f}},
       {0x13, 0x00, 0x00, 0x07, 0x00, 0x00, 0xE2, 0xFA, 0x87, 0x01, 0x00}},
      // Halfway between two channels goes to the upper one, whichever side of the midpoint
      // the float lands on.
      {"87.65 halfway",
       Frequencies{{87.65f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x02, 0x00}},
      {"87.85 halfway",
       Frequencies{{87.85f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x04, 0x00}},
      {"87.95 halfway",
       Frequencies{{87.95f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x05, 0x00}},
      {"95.45 halfway",
       Frequencies{{95.45f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x50, 0x00}},
      {"107.85 halfway",
       Frequencies{{107.85f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0xCC, 0x00}},
      {"88.149 nearest below",
       Frequencies{{88.149f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x06, 0x00}},
      {"88.151 nearest above",
       Frequencies{{88.151f}},
       {0x13, 0x00, 0x00, 0x05, 0x00, 0x00, 0xE1, 0x07, 0x00}},
  });
}

TEST(AfElement, ListHeaderWordAndNullArray) {
  uecp::AfElement header(0x12FE, 0, nullptr, 5, 6);
  EXPECT_EQ(Encoded(header), (Bytes{0x13, 0x05, 0x06, 0x04, 0x12, 0xFE, 0xE0, 0x00}));
  uecp::AfElement null_array(0, 3, nullptr, 0, 0);
  EXPECT_EQ(Encoded(null_array), (Bytes{0x13, 0x00, 0x00, 0x04, 0x00, 0x00, 0xE0, 0x00}));
}

TEST(AfElement, TwentyFiveAcceptedTwentySixRefused) {
  const std::vector<float> mf(26, 531.0f);
  uecp::AfElement full(0, 25, mf.data(), 0, 0);
  Bytes expected = {0x13, 0x00, 0x00, 55, 0x00, 0x00, 0xF9};
  for (int i = 0; i < 25; ++i) expected.insert(expected.end(), {0xFA, 0x10});
  expected.insert(expected.end(), {0xCD, 0x00});
  EXPECT_EQ(Encoded(full), expected);

  uecp::AfElement refused(0, 26, mf.data(), 0, 0);
  EXPECT_EQ(refused.Encode(), nullptr);
  EXPECT_EQ(refused.ElementCode(), 0);
  EXPECT_EQ(refused.ElementLength(), kAbsent);
  EXPECT_EQ(refused.EncodedLength(), 0);
  EXPECT_EQ(refused.Data(), nullptr);
}

TEST(FreeFormatGroupElement, Encodings) {
  struct Group {
    std::uint16_t type, config, block_b, block_c, block_d;
    uecp::MessageElement* operator()() const {
      auto* group = new uecp::FreeFormatGroupElement;
      group->SetGroup(type, config, block_b, block_c, block_d);
      return group;
    }
  };
  ExpectEncodings({
      {"never set",
       [] { return new uecp::FreeFormatGroupElement; },
       {0x24, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"4A", Group{0x08, 0, 1, 0xDF8B, 0x7B42}, {0x24, 0x08, 0x01, 0xDF, 0x8B, 0x7B, 0x42}},
      {"configuration and block B", Group{0, 0x60, 0x1F, 0, 0}, {0x24, 0x00, 0x7F, 0, 0, 0, 0}},
      {"configuration outside bits 6..5",
       Group{0, 0x01, 0x02, 0, 0},
       {0x24, 0x00, 0x02, 0, 0, 0, 0}},
      {"wide values masked",
       Group{0x3F, 0xFF9F, 0xFFE0, 0xFFFF, 0x0102},
       {0x24, 0x1F, 0x00, 0xFF, 0xFF, 0x01, 0x02}},
  });
}

}  // namespace
