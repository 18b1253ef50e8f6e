// Encodings of the encoder-management, address, sequence and request elements, byte for byte,
// and the descriptions of received elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/uecp/test_support.h"
#include "uecp/uecp.h"

namespace {

using uecp::kAbsent;
using uecp_test::Bytes;
using uecp_test::Encoded;

Bytes Hex(const std::string& text) {
  Bytes bytes;
  std::istringstream in(text);
  for (std::string word; in >> word;) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
  }
  return bytes;
}

// Takes the element over and checks its bytes.
void ExpectBytes(uecp::MessageElement* made, const char* hex) {
  const std::unique_ptr<uecp::MessageElement> element(made);
  EXPECT_EQ(Encoded(*element), Hex(hex)) << hex;
  EXPECT_EQ(element->EncodedLength(), Hex(hex).size()) << hex;
}

TEST(ManagementElements, Encodings) {
  using Labels = uecp::SlowLabellingElement;
  ExpectBytes(new uecp::RdsLevelElement(1000), "0E 03 E8");
  ExpectBytes(new uecp::RdsLevelElement(0xFFFF), "0E 1F FF");
  ExpectBytes(new uecp::RdsPhaseElement(0, 900), "22 03 84");
  ExpectBytes(new uecp::RdsPhaseElement(0x0F, 0xFFFF), "22 FF FF");
  ExpectBytes(new uecp::RdsOnOffElement(0), "1E 00");
  ExpectBytes(new uecp::DataSetSelectElement(2), "1C 02");
  ExpectBytes(new uecp::CommunicationModeElement(1), "2C 01");
  ExpectBytes(new uecp::SiteAddressElement({1, 0xFFFF}), "23 04 00 01 03 FF");
  ExpectBytes(new uecp::SiteAddressElement({}), "23 00");
  // Masked to 6 bits, cut to eight.
  ExpectBytes(new uecp::EncoderAddressElement(std::vector<std::uint8_t>(9, 0x43)),
              "27 08 03 03 03 03 03 03 03 03");
  ExpectBytes(new uecp::RequestElement(0x02, 0, 0), "17 03 02 00 00");
  ExpectBytes(new uecp::RequestElement(0x0D), "17 01 0D");
  ExpectBytes(new uecp::RequestElement(0x16, 2), "17 02 16 02");
  ExpectBytes(new uecp::RequestElement(0x01, kAbsent, 1), "17 01 01");  // no PSN without a DSN
  ExpectBytes(new uecp::GroupSequenceElement({0x00, 0x24, 0x14}, 1), "16 01 03 00 04 14");
  ExpectBytes(new Labels({Labels::CountryCodeLabel(0xE0), Labels::LanguageLabel(0x09)}, 0, 0),
              "1A 00 00 04 00 E0 30 09");
}

// Each case: the element, its name, its text and some of its fields as "key=value;...".
TEST(DescribeElement, ValuesInWords) {
  const char* const cases[][4] = {
      {"01 00 00 41 23", "PI", "4123", "dsn=0;pi=0x4123"},
      {"02 01 00 20 52 41 44 49 4F 20 20", "PS", "\" RADIO  \"", "dsn=1;ps= RADIO  "},
      {"03 00 00 02", "TA/TP", "TP on, TA off", "tp=1;ta=0"},
      {"04 00 00 09", "DI", "dynamic PTY, stereo", "di=9"},
      {"06 00 00 12 34", "PIN", "day 2, 08:52", "pin=0x1234;day=2"},
      {"0A 00 00 04 43 48 49 0D", "RT", "\"HI\\r\" (append, 1 transmission(s), flag B)",
       "text=HI\\r;buffer=append;ab=B"},
      {"0A 00 00 00", "RT", "(empty)", "buffer=empty"},
      {"13 00 00 09 00 00 E3 06 C8 FA 10 CD 00", "AF", "88.1 MHz, 107.5 MHz, 531 kHz", "count=3"},
      {"0D 1A 0C 07 17 2D 2B 0C 23", "RTC", "2026-12-07 23:45:43.12 UTC, local offset -01:30",
       "date=2026-12-07;offset=-01:30"},
      {"0E 03 E8", "RDS level", "1000 mV", "level_mv=1000"},
      {"22 03 85", "RDS phase", "90.1 degrees against reference 0", "phase_degrees=90.1"},
      {"23 04 00 01 03 FF", "site addresses", "1, 1023", "addresses=1 1023"},
      {"2C 01", "communication mode", "1 (bidirectional, requested response)", "mode=1"},
      {"16 00 04 00 00 04 14", "group sequence", "0A 0A 2A 10A", "dsn=0"},
      {"1A 00 00 04 00 E0 30 09", "slow labelling", "ECC 0xE0, language 0x09",
       "labels=0x00E0 0x3009"},
      {"17 03 02 00 01", "request", "PS, DSN 0, PSN 1", "requested=0x02;requested_psn=1"},
      {"18 06 2A", "acknowledgement", "6 parameter out of range (message SQC 0x2A)", "sqc=42"},
      {"24 08 01 DF 8B 7B 42", "free-format group", "4A: 0x01 0xDF8B 0x7B42", "group=4A"},
  };
  for (const auto& c : cases) {
    const Bytes element = Hex(c[0]);
    const std::optional<uecp::ElementDescription> d =
        uecp::DescribeElement(element.data(), element.size());
    ASSERT_TRUE(d.has_value()) << c[0];
    EXPECT_EQ(d->name, c[1]);
    EXPECT_EQ(d->text, c[2]) << c[0];
    std::istringstream fields(c[3]);
    for (std::string field; std::getline(fields, field, ';');) {
      const std::size_t equals = field.find('=');
      const std::pair<std::string, std::string> wanted(field.substr(0, equals),
                                                       field.substr(equals + 1));
      EXPECT_NE(std::find(d->fields.begin(), d->fields.end(), wanted), d->fields.end())
          << c[0] << ": " << field;
    }
  }
}

TEST(DescribeElement, NothingForBytesThatAreNoElement) {
  const char* const cases[] = {
      "",
      "30 00",              // unknown code
      "01 00 00 41",        // PI cut short
      "01 00 00 41 23 00",  // one byte too many
      "0A 00 00 05 02",     // MEL past the end
      "0A 00 00 42",        // MEL above 65
      "13 00 00 02 00 00",  // AF without its count code
      "17 00",              // a request for nothing
      "18 06",              // refusal without its SQC
  };
  for (const char* bytes : cases) {
    const Bytes element = Hex(bytes);
    EXPECT_FALSE(uecp::DescribeElement(element.data(), element.size()).has_value()) << bytes;
  }
  // Two elements back to back: the size of the first; the second runs past the field.
  const Bytes field = Hex("19 01 01 00 00 41 23");
  EXPECT_EQ(uecp::ElementSize(field.data(), field.size()), 2U);
  EXPECT_EQ(uecp::ElementSize(field.data() + 2, 4), 0U);
}

}  // namespace
