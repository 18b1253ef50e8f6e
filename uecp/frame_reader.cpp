#include "uecp/frame_reader.h"

#include <utility>

#include "uecp/crc.h"
#include "uecp/uecp_frame.h"

namespace uecp {
namespace {

// Address (2), SQC, MFL, CRC (2): a frame without a message field.
constexpr std::size_t kMinRawFrame = 6;
constexpr std::size_t kMaxTextItem = 512;

}  // namespace

void FrameReader::Feed(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = data[i];
    if (byte == kStartByte) {
      // A new STA inside a frame means the earlier one was cut short.
      if (in_frame_) {
        StreamItem cut;
        cut.kind = StreamItem::Kind::kBadFrame;
        cut.problem = "frame cut short by a new start byte";
        cut.bytes = std::move(stuffed_);
        items_.push_back(std::move(cut));
      }
      FlushText();
      in_frame_ = true;
      stuffed_.assign(1, byte);
      continue;
    }
    if (!in_frame_) {
      text_.push_back(byte);
      // A line end closes a text answer; a stream without any is cut into bounded pieces.
      if (byte == '\n' || text_.size() >= kMaxTextItem) FlushText();
      continue;
    }
    stuffed_.push_back(byte);
    if (byte == kStopByte) {
      FinishFrame();
    } else if (stuffed_.size() > kMaxStuffedFrame) {
      StreamItem overlong;
      overlong.kind = StreamItem::Kind::kBadFrame;
      overlong.problem = "frame longer than any UECP frame";
      overlong.bytes = std::move(stuffed_);
      items_.push_back(std::move(overlong));
      stuffed_.clear();
      in_frame_ = false;
    }
  }
}

bool FrameReader::Next(StreamItem* item) {
  if (items_.empty()) return false;
  *item = std::move(items_.front());
  items_.pop_front();
  return true;
}

void FrameReader::FlushText() {
  if (text_.empty()) return;
  StreamItem item;
  item.kind = StreamItem::Kind::kText;
  item.bytes = std::move(text_);
  text_.clear();
  items_.push_back(std::move(item));
}

void FrameReader::FinishFrame() {
  in_frame_ = false;
  StreamItem item;
  item.kind = StreamItem::Kind::kBadFrame;
  std::vector<std::uint8_t> raw;
  if (!UnstuffFrame(stuffed_, &raw)) {
    item.problem = "bad byte stuffing";
  } else if (raw.size() < kMinRawFrame) {
    item.problem = "frame too short";
  } else if (uecp_crc16(raw.data(), static_cast<int>(raw.size() - 2)) !=
             (raw[raw.size() - 2] << 8 | raw[raw.size() - 1])) {
    item.problem = "CRC error";
  } else if (raw[3] != raw.size() - kMinRawFrame) {
    item.problem = "message field length does not match";
  } else {
    item.kind = StreamItem::Kind::kFrame;
    const auto address = static_cast<unsigned>(raw[0] << 8 | raw[1]);
    item.frame.site_address = static_cast<std::uint16_t>(address >> 6);
    item.frame.encoder_address = static_cast<std::uint8_t>(address & 0x3F);
    item.frame.sequence_counter = raw[2];
    item.frame.message.assign(raw.begin() + 4, raw.end() - 2);
  }
  if (item.kind == StreamItem::Kind::kBadFrame) item.bytes = stuffed_;
  stuffed_.clear();
  items_.push_back(std::move(item));
}

std::vector<std::uint8_t> StuffFrame(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> stuffed;
  stuffed.reserve(2 * raw.size() + 2);
  stuffed.push_back(kStartByte);
  for (const std::uint8_t byte : raw) {
    // STA and STP must stay unique on the line.
    if (byte >= kStuffByte) {
      stuffed.push_back(kStuffByte);
      stuffed.push_back(static_cast<std::uint8_t>(byte - kStuffByte));
    } else {
      stuffed.push_back(byte);
    }
  }
  stuffed.push_back(kStopByte);
  return stuffed;
}

bool UnstuffFrame(const std::vector<std::uint8_t>& stuffed, std::vector<std::uint8_t>* raw) {
  raw->clear();
  if (stuffed.size() < 2 || stuffed.front() != kStartByte || stuffed.back() != kStopByte) {
    return false;
  }
  for (std::size_t i = 1; i + 1 < stuffed.size(); ++i) {
    std::uint8_t byte = stuffed[i];
    if (byte == kStuffByte) {
      if (i + 2 >= stuffed.size() || stuffed[i + 1] > 2) return false;
      byte = static_cast<std::uint8_t>(kStuffByte + stuffed[++i]);
    } else if (byte > kStuffByte) {
      return false;
    }
    raw->push_back(byte);
  }
  return true;
}

}  // namespace uecp
