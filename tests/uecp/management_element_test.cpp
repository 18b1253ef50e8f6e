// Encodings of the encoder-management, address, sequence and request elements, byte for byte,
// and the descriptions of received elements.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(ManagementElements, Encodings) {
  const std::vector<ElementCase> cases = {
      {"RDS level 1000 mV", [] { return new uecp::RdsLevelElement(1000); }, {0x0E, 0x03, 0xE8}},
      {"RDS level masked to 13 bits",
       [] { return new uecp::RdsLevelElement(0xFFFF); },
       {0x0E, 0x1F, 0xFF}},
      {"RDS phase 90.0 degrees",
       [] { return new uecp::RdsPhaseElement(0, 900); },
       {0x22, 0x03, 0x84}},
      {"RDS phase reference 7, masked",
       [] { return new uecp::RdsPhaseElement(0x0F, 0xFFFF); },
       {0x22, 0xFF, 0xFF}},
      {"RDS off", [] { return new uecp::RdsOnOffElement(0); }, {0x1E, 0x00}},
      {"data set 2", [] { return new uecp::DataSetSelectElement(2); }, {0x1C, 0x02}},
      {"requested response",
       [] { return new uecp::CommunicationModeElement(uecp::kRequestedResponse); },
       {0x2C, 0x01}},
      {"site addresses 1 and 0x3FF, masked",
       [] {
         return new uecp::SiteAddressElement({1, 0xFFFF});
       },
       {0x23, 0x04, 0x00, 0x01, 0x03, 0xFF}},
      {"no site address", [] { return new uecp::SiteAddressElement({}); }, {0x23, 0x00}},
      {"site addresses cut to eight",
       [] { return new uecp::SiteAddressElement(std::vector<std::uint16_t>(9, 2)); },
       {0x23, 0x10, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2}},
      {"encoder addresses 3 and 0x7F masked",
       [] {
         return new uecp::EncoderAddressElement({3, 0x7F});
       },
       {0x27, 0x02, 0x03, 0x3F}},
      {"request PS of DSN 0 PSN 0",
       [] { return new uecp::RequestElement(0x02, 0, 0); },
       {0x17, 0x03, 0x02, 0x00, 0x00}},
      {"request the clock", [] { return new uecp::RequestElement(0x0D); }, {0x17, 0x01, 0x0D}},
      {"request a group sequence of DSN 2",
       [] { return new uecp::RequestElement(0x16, 2); },
       {0x17, 0x02, 0x16, 0x02}},
      {"request: no PSN without a DSN",
       [] { return new uecp::RequestElement(0x01, kAbsent, 1); },
       {0x17, 0x01, 0x01}},
      {"group sequence 0A 2A 10A, masked",
       [] {
         return new uecp::GroupSequenceElement({0x00, 0x24, 0x14}, 1);
       },
       {0x16, 0x01, 0x03, 0x00, 0x04, 0x14}},
      {"own cycle", [] { return new uecp::GroupSequenceElement({}, 0); }, {0x16, 0x00, 0x00}},
      {"slow labelling ECC E0 and language 9",
       [] {
         return new uecp::SlowLabellingElement({uecp::SlowLabellingElement::CountryCodeLabel(0xE0),
                                                uecp::SlowLabellingElement::LanguageLabel(0x09)},
                                               0, 0);
       },
       {0x1A, 0x00, 0x00, 0x04, 0x00, 0xE0, 0x30, 0x09}},
  };
  for (const ElementCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<uecp::MessageElement> element(c.make());
    EXPECT_EQ(Encoded(*element), c.bytes);
    EXPECT_EQ(element->EncodedLength(), c.bytes.size());
  }
}

TEST(DescribeElement, ValuesInWords) {
  struct Case {
    Bytes element;
    const char* name;
    const char* text;
    std::vector<std::pair<std::string, std::string>> some_fields;
  } const cases[] = {
      {{0x01, 0x00, 0x00, 0x41, 0x23}, "PI", "4123", {{"dsn", "0"}, {"pi", "0x4123"}}},
      {{0x02, 0x01, 0x00, ' ', 'R', 'A', 'D', 'I', 'O', ' ', ' '},
       "PS",
       "\" RADIO  \"",
       {{"dsn", "1"}, {"ps", " RADIO  "}}},
      {{0x03, 0x00, 0x00, 0x02}, "TA/TP", "TP on, TA off", {{"tp", "1"}, {"ta", "0"}}},
      {{0x04, 0x00, 0x00, 0x09}, "DI", "dynamic PTY, stereo", {{"di", "9"}}},
      {{0x05, 0x00, 0x00, 0x00}, "MS", "speech", {{"ms", "0"}}},
      {{0x06, 0x00, 0x00, 0x12, 0x34}, "PIN", "day 2, 08:52", {{"pin", "0x1234"}, {"day", "2"}}},
      {{0x07, 0x00, 0x00, 0x1F}, "PTY", "31", {{"pty", "31"}}},
      {{0x3E, 0x00, 0x00, 'T', 'R', 'A', 'N', 'C', 'E', ' ', ' '},
       "PTYN",
       "\"TRANCE  \"",
       {{"ptyn", "TRANCE  "}}},
      {{0x0A, 0x00, 0x00, 0x04, 0x43, 'H', 'I', 0x0D},
       "RT",
       "\"HI\\r\" (append, 1 transmission(s), flag B)",
       {{"text", "HI\\r"}, {"buffer", "append"}, {"ab", "B"}}},
      {{0x0A, 0x00, 0x00, 0x00}, "RT", "(empty)", {{"buffer", "empty"}}},
      {{0x13, 0x00, 0x00, 0x09, 0x00, 0x00, 0xE3, 0x06, 0xC8, 0xFA, 0x10, 0xCD, 0x00},
       "AF",
       "88.1 MHz, 107.5 MHz, 531 kHz",
       {{"count", "3"}}},
      {{0x13, 0x00, 0x00, 0x04, 0x00, 0x00, 0xE0, 0x00}, "AF", "none", {{"count", "0"}}},
      {{0x19, 0x01}, "CT", "on", {{"ct", "1"}}},
      {{0x0D, 0x1A, 0x0C, 0x07, 0x17, 0x2D, 0x2B, 0x0C, 0x23},
       "RTC",
       "2026-12-07 23:45:43.12 UTC, local offset -01:30",
       {{"date", "2026-12-07"}, {"offset", "-01:30"}}},
      {{0x0E, 0x03, 0xE8}, "RDS level", "1000 mV", {{"level_mv", "1000"}}},
      {{0x1E, 0x00}, "RDS on/off", "off", {{"rds", "0"}}},
      {{0x22, 0x03, 0x85}, "RDS phase", "90.1 degrees against reference 0", {}},
      {{0x23, 0x04, 0x00, 0x01, 0x03, 0xFF}, "site addresses", "1, 1023", {}},
      {{0x27, 0x00}, "encoder addresses", "none", {{"addresses", ""}}},
      {{0x2C, 0x01}, "communication mode", "1 (bidirectional, requested response)", {}},
      {{0x1C, 0x02}, "data set", "data set 2", {{"data_set", "2"}}},
      {{0x16, 0x00, 0x04, 0x00, 0x00, 0x04, 0x14}, "group sequence", "0A 0A 2A 10A", {}},
      {{0x1A, 0x00, 0x00, 0x04, 0x00, 0xE0, 0x30, 0x09},
       "slow labelling",
       "ECC 0xE0, language 0x09",
       {{"labels", "0x00E0 0x3009"}}},
      {{0x17, 0x03, 0x02, 0x00, 0x01}, "request", "PS, DSN 0, PSN 1", {{"requested", "0x02"}}},
      {{0x18, 0x00}, "acknowledgement", "0 OK", {{"code", "0"}}},
      {{0x18, 0x06, 0x2A},
       "acknowledgement",
       "6 parameter out of range (message SQC 0x2A)",
       {{"sqc", "42"}}},
      {{0x24, 0x08, 0x01, 0xDF, 0x8B, 0x7B, 0x42},
       "free-format group",
       "4A: 0x01 0xDF8B 0x7B42",
       {}},
  };
  for (const Case& c : cases) {
    const std::optional<uecp::ElementDescription> d =
        uecp::DescribeElement(c.element.data(), c.element.size());
    ASSERT_TRUE(d.has_value()) << c.name << " " << c.text;
    EXPECT_EQ(d->name, c.name);
    EXPECT_EQ(d->text, c.text);
    for (const auto& field : c.some_fields) {
      EXPECT_NE(std::find(d->fields.begin(), d->fields.end(), field), d->fields.end())
          << c.text << ": " << field.first << "=" << field.second;
    }
    EXPECT_EQ(uecp::ElementSize(c.element.data(), c.element.size()), c.element.size()) << c.text;
  }
}

TEST(DescribeElement, NothingForBytesThatAreNoElement) {
  const Bytes cases[] = {
      {},
      {0x30, 0x00},                          // unknown code
      {0x01, 0x00, 0x00, 0x41},              // PI cut short
      {0x01, 0x00, 0x00, 0x41, 0x23, 0x00},  // one byte too many
      {0x0A, 0x00, 0x00, 0x05, 0x02},        // MEL past the end
      {0x0A, 0x00, 0x00, 0x42},              // MEL above 65
      {0x13, 0x00, 0x00, 0x02, 0x00, 0x00},  // AF without its count code
      {0x17, 0x00},                          // a request for nothing
      {0x18, 0x06},                          // refusal without its SQC
  };
  for (const Bytes& bytes : cases) {
    EXPECT_FALSE(uecp::DescribeElement(bytes.data(), bytes.size()).has_value()) << bytes.size();
  }
  EXPECT_FALSE(uecp::DescribeElement(nullptr, 4).has_value());
  // Two elements back to back: the size of the first.
  const Bytes field = {0x19, 0x01, 0x01, 0x00, 0x00, 0x41, 0x23};
  EXPECT_EQ(uecp::ElementSize(field.data(), field.size()), 2U);
  EXPECT_EQ(uecp::ElementSize(field.data() + 2, 4), 0U);
}

}  // namespace
