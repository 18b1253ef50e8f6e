// FrameReader against byte streams an encoder may send: acknowledgements with stuffed bytes,
// damaged frames, plain text and frames split across reads.
#include "uecp/frame_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uecp/crc.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The raw frame (address .. CRC) for a message, computed here from the CRC alone.
Bytes Raw(std::uint16_t address, std::uint8_t sqc, const Bytes& message) {
  Bytes raw;
  raw.reserve(message.size() + 6);
  for (const std::uint8_t byte :
       {static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), sqc,
        static_cast<std::uint8_t>(message.size())}) {
    raw.push_back(byte);
  }
  for (const std::uint8_t byte : message) raw.push_back(byte);
  const std::uint16_t crc = uecp::uecp_crc16(raw.data(), static_cast<int>(raw.size()));
  raw.push_back(static_cast<std::uint8_t>(crc >> 8));
  raw.push_back(static_cast<std::uint8_t>(crc));
  return raw;
}

std::vector<uecp::StreamItem> ReadAll(const Bytes& stream, std::size_t chunk) {
  uecp::FrameReader reader;
  std::vector<uecp::StreamItem> items;
  for (std::size_t at = 0; at < stream.size(); at += chunk) {
    reader.Feed(stream.data() + at, std::min(chunk, stream.size() - at));
  }
  reader.FlushText();
  uecp::StreamItem item;
  while (reader.Next(&item)) items.push_back(item);
  return items;
}

TEST(FrameReaderTest, TheDocumentedAcknowledgementFrame) {
  const Bytes ack = {0xFE, 0x00, 0x00, 0x2A, 0x02, 0x18, 0x00, 0x4A, 0xB0, 0xFF};
  const auto items = ReadAll(ack, 3);
  ASSERT_EQ(items.size(), 1U);
  ASSERT_EQ(items[0].kind, uecp::StreamItem::Kind::kFrame);
  EXPECT_EQ(items[0].frame.sequence_counter, 0x2A);
  EXPECT_EQ(items[0].frame.message, (Bytes{0x18, 0x00}));
}

TEST(FrameReaderTest, StuffedBytesComeBackAndAddressesSplit) {
  // SQC 0xFE and a refusal naming SQC 0xFF: both must be stuffed on the line.
  const Bytes raw = Raw(0x3FF << 6 | 0x3F, 0xFE, {0x18, 0x06, 0xFF});
  const Bytes stuffed = uecp::StuffFrame(raw);
  for (std::size_t i = 1; i + 1 < stuffed.size(); ++i) EXPECT_LT(stuffed[i], 0xFE);
  const auto items = ReadAll(stuffed, 1);
  ASSERT_EQ(items.size(), 1U);
  ASSERT_EQ(items[0].kind, uecp::StreamItem::Kind::kFrame) << items[0].problem;
  EXPECT_EQ(items[0].frame.site_address, 0x3FF);
  EXPECT_EQ(items[0].frame.encoder_address, 0x3F);
  EXPECT_EQ(items[0].frame.sequence_counter, 0xFE);
  EXPECT_EQ(items[0].frame.message, (Bytes{0x18, 0x06, 0xFF}));
}

TEST(FrameReaderTest, DamagedFramesAreNamedAndTextIsKept) {
  const Bytes good = uecp::StuffFrame(Raw(0, 1, {0x18, 0x00}));
  Bytes bad_crc = good;
  bad_crc[bad_crc.size() - 2] ^= 0x01;
  Bytes bad_length = Raw(0, 1, {0x18, 0x00});
  bad_length[3] = 5;  // MFL says 5, two bytes follow; the CRC is made to match
  bad_length.resize(bad_length.size() - 2);
  const std::uint16_t crc =
      uecp::uecp_crc16(bad_length.data(), static_cast<int>(bad_length.size()));
  bad_length.push_back(static_cast<std::uint8_t>(crc >> 8));
  bad_length.push_back(static_cast<std::uint8_t>(crc));
  const struct {
    const char* name;
    Bytes stream;
    uecp::StreamItem::Kind kind;
    std::string detail;  // problem, or the text
  } cases[] = {
      {"CRC", bad_crc, uecp::StreamItem::Kind::kBadFrame, "CRC error"},
      {"stuffing",
       {0xFE, 0x00, 0xFD, 0x07, 0x00, 0xFF},
       uecp::StreamItem::Kind::kBadFrame,
       "bad byte stuffing"},
      {"short", {0xFE, 0x00, 0x01, 0xFF}, uecp::StreamItem::Kind::kBadFrame, "frame too short"},
      {"length", uecp::StuffFrame(bad_length), uecp::StreamItem::Kind::kBadFrame,
       "message field length does not match"},
      {"cut",
       {0xFE, 0x00, 0x00},
       uecp::StreamItem::Kind::kBadFrame,
       "frame cut short by a new start byte"},
      {"text", {'O', 'K', '\r', '\n'}, uecp::StreamItem::Kind::kText, "OK\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes stream = c.stream;
    stream.insert(stream.end(), good.begin(), good.end());  // the reader must recover
    const auto items = ReadAll(stream, 2);
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].kind, c.kind);
    const std::string text(items[0].bytes.begin(), items[0].bytes.end());
    EXPECT_EQ(c.kind == uecp::StreamItem::Kind::kText ? text : items[0].problem, c.detail);
    EXPECT_EQ(items[1].kind, uecp::StreamItem::Kind::kFrame);
  }
}

}  // namespace
