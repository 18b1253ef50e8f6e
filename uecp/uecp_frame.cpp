#include "uecp/uecp_frame.h"

#include <cstring>

#include "uecp/crc.h"

namespace uecp {

UecpFrame::UecpFrame(std::uint16_t site_address, std::uint16_t encoder_address)
    : site_address_(site_address), encoder_address_(encoder_address) {}

UecpFrame::~UecpFrame() {
  MessageElement* element = first_element_;
  while (element != nullptr) {
    MessageElement* next = element->Next();
    delete element;
    element = next;
  }
}

bool UecpFrame::AddElement(MessageElement* element) {
  if (element == nullptr || element->owned_by_frame_) return false;
  element->Encode();
  const int length = element->EncodedLength();
  if (message_length_ + length > kMaxMessageLength) return false;

  element->SetNext(nullptr);
  element->SetPrevious(last_element_);
  if (last_element_ == nullptr) {
    first_element_ = element;
  } else {
    last_element_->SetNext(element);
  }
  last_element_ = element;
  element->owned_by_frame_ = true;
  message_length_ = static_cast<std::uint16_t>(message_length_ + length);
  return true;
}

void UecpFrame::Build() {
  const unsigned address = (site_address_ & 0x3FFu) << 6 | (encoder_address_ & 0x3Fu);
  raw_[0] = kStartByte;
  raw_[1] = static_cast<std::uint8_t>(address >> 8);
  raw_[2] = static_cast<std::uint8_t>(address & 0xFF);
  raw_[3] = sequence_counter_;
  raw_[4] = static_cast<std::uint8_t>(message_length_);
  std::size_t position = 5;
  for (const MessageElement* element = first_element_; element != nullptr;
       element = element->Next()) {
    const std::size_t length = element->EncodedLength();
    if (length == 0) continue;  // e.g. an AF list that was refused for its size
    std::memcpy(&raw_[position], element->Data(), length);
    position += length;
  }
  // The CRC covers address, SQC, MFL and message field: not STA, not itself, not STP.
  const std::uint16_t crc = uecp_crc16(&raw_[1], static_cast<int>(position - 1));
  raw_[position++] = static_cast<std::uint8_t>(crc >> 8);
  raw_[position++] = static_cast<std::uint8_t>(crc & 0xFF);
  raw_[position++] = kStopByte;
  raw_length_ = static_cast<std::uint16_t>(position);

  // STA and STP must stay unique on the line, so every 0xFD..0xFF between them is sent as
  // 0xFD followed by its distance from 0xFD.
  std::size_t out = 0;
  stuffed_[out++] = kStartByte;
  for (std::size_t i = 1; i + 1 < raw_length_; ++i) {
    const std::uint8_t byte = raw_[i];
    if (byte >= kStuffByte) {
      stuffed_[out++] = kStuffByte;
      stuffed_[out++] = static_cast<std::uint8_t>(byte - kStuffByte);
    } else {
      stuffed_[out++] = byte;
    }
  }
  stuffed_[out++] = kStopByte;
  stuffed_length_ = static_cast<std::uint16_t>(out);
}

}  // namespace uecp
