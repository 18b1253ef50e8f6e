#include "fuzz/uecp_reference.h"

#include "fuzz/fuzz_check.h"

namespace fuzz {

std::uint16_t ReferenceCrc(const std::uint8_t* data, std::size_t count) {
  unsigned crc = 0xFFFF;
  for (std::size_t i = 0; i < count; ++i) {
    crc ^= static_cast<unsigned>(data[i]) << 8;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
      crc &= 0xFFFF;
    }
  }
  return static_cast<std::uint16_t>(crc ^ 0xFFFF);
}

std::vector<std::uint8_t> ReferenceFrame(std::uint16_t address, std::uint8_t sequence,
                                         const std::vector<std::uint8_t>& message) {
  std::vector<std::uint8_t> body = {static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address & 0xFF), sequence,
                                    static_cast<std::uint8_t>(message.size())};
  body.insert(body.end(), message.begin(), message.end());
  const std::uint16_t crc = ReferenceCrc(body.data(), body.size());
  body.push_back(static_cast<std::uint8_t>(crc >> 8));
  body.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  std::vector<std::uint8_t> frame{0xFE};
  for (const std::uint8_t byte : body) {
    if (byte >= 0xFD) {
      frame.push_back(0xFD);
      frame.push_back(static_cast<std::uint8_t>(byte - 0xFD));
    } else {
      frame.push_back(byte);
    }
  }
  frame.push_back(0xFF);
  return frame;
}

std::vector<std::uint8_t> Unstuff(const std::uint8_t* stuffed, std::size_t length) {
  Require(length >= 2, "a frame has STA and STP");
  Require(stuffed[0] == 0xFE && stuffed[length - 1] == 0xFF,
          "a frame starts with STA and ends with STP");
  std::vector<std::uint8_t> raw{stuffed[0]};
  for (std::size_t i = 1; i + 1 < length; ++i) {
    const std::uint8_t byte = stuffed[i];
    Require(byte != 0xFE && byte != 0xFF, "no STA or STP inside a stuffed frame");
    if (byte == 0xFD) {
      Require(i + 2 < length && stuffed[i + 1] <= 0x02, "stuffing byte followed by 0..2");
      raw.push_back(static_cast<std::uint8_t>(0xFD + stuffed[++i]));
    } else {
      raw.push_back(byte);
    }
  }
  raw.push_back(stuffed[length - 1]);
  return raw;
}

std::vector<std::vector<std::uint8_t>> SplitFrames(const std::vector<std::uint8_t>& stream) {
  std::vector<std::vector<std::uint8_t>> frames;
  std::size_t start = 0;
  while (start < stream.size()) {
    std::size_t stop = start;
    while (stop < stream.size() && stream[stop] != 0xFF) ++stop;
    Require(stop < stream.size(), "every reply frame ends with STP");
    std::vector<std::uint8_t> raw = Unstuff(&stream[start], stop - start + 1);
    Require(raw.size() >= 8 && raw[4] == raw.size() - 8, "reply MFL matches its length");
    const std::uint16_t crc = ReferenceCrc(&raw[1], raw.size() - 4);
    Require(raw[raw.size() - 3] == crc >> 8 && raw[raw.size() - 2] == (crc & 0xFF), "reply CRC");
    frames.push_back(std::move(raw));
    start = stop + 1;
  }
  return frames;
}

}  // namespace fuzz
