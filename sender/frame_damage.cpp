#include "sender/frame_damage.h"

#include "uecp/crc.h"
#include "uecp/frame_reader.h"

namespace sender {
namespace {

// An element code that UECP leaves free.
constexpr std::uint8_t kUnusedElementCode = 0x7F;

// Raw frame positions: address (2), SQC, MFL, message field, CRC (2).
constexpr std::size_t kMflAt = 3;
constexpr std::size_t kMessageAt = 4;

void SetCrc(std::vector<std::uint8_t>* raw) {
  const std::uint16_t crc = uecp::uecp_crc16(raw->data(), static_cast<int>(raw->size() - 2));
  (*raw)[raw->size() - 2] = static_cast<std::uint8_t>(crc >> 8);
  (*raw)[raw->size() - 1] = static_cast<std::uint8_t>(crc & 0xFF);
}

}  // namespace

bool ParseFrameDamage(const std::string& word, FrameDamage* damage) {
  static const struct {
    const char* word;
    FrameDamage damage;
  } kWords[] = {{"crc", FrameDamage::kCrc},           {"cut", FrameDamage::kCut},
                {"unknown", FrameDamage::kUnknown},   {"mfl", FrameDamage::kMfl},
                {"stuffing", FrameDamage::kStuffing}, {"short", FrameDamage::kShort}};
  for (const auto& entry : kWords) {
    if (word == entry.word) {
      *damage = entry.damage;
      return true;
    }
  }
  return false;
}

std::vector<std::uint8_t> DamageFrame(const std::vector<std::uint8_t>& stuffed,
                                      FrameDamage damage) {
  std::vector<std::uint8_t> raw;
  if (damage == FrameDamage::kNone || !uecp::UnstuffFrame(stuffed, &raw) ||
      raw.size() < kMessageAt + 3) {
    return stuffed;
  }
  switch (damage) {
    case FrameDamage::kNone:
      break;
    case FrameDamage::kCrc:
      raw.back() ^= 0x5A;
      break;
    case FrameDamage::kCut: {
      std::vector<std::uint8_t> cut = stuffed;
      cut.pop_back();
      return cut;
    }
    case FrameDamage::kUnknown:
      raw[kMessageAt] = kUnusedElementCode;
      SetCrc(&raw);
      break;
    case FrameDamage::kMfl:
      ++raw[kMflAt];
      SetCrc(&raw);
      break;
    case FrameDamage::kStuffing: {
      std::vector<std::uint8_t> bad = uecp::StuffFrame(raw);
      bad.insert(bad.end() - 1, {0xFD, 0x07});
      return bad;
    }
    case FrameDamage::kShort:
      raw.erase(raw.end() - 3);  // the message field's last byte
      --raw[kMflAt];
      SetCrc(&raw);
      break;
  }
  return uecp::StuffFrame(raw);
}

}  // namespace sender
