// One UECP frame: STA, address, sequence counter, message field length, the encoded elements,
// CRC, STP, and the byte-stuffed form that goes on the serial line.
#ifndef RDS_UECP_UECP_FRAME_H_
#define RDS_UECP_UECP_FRAME_H_

#include <array>
#include <cstdint>
#include <memory>

#include "uecp/message_element.h"

namespace uecp {

// MFL is one byte, so the message field holds at most 255 bytes.
constexpr int kMaxMessageLength = 255;
// STA + address (2) + SQC + MFL + message field + CRC (2) + STP.
constexpr int kRawFrameCapacity = 1 + 2 + 1 + 1 + kMaxMessageLength + 2 + 1;
// STA and STP are never stuffed; each of the other 261 bytes may become two.
constexpr int kStuffedFrameCapacity = 1 + 2 * (kRawFrameCapacity - 2) + 1;

constexpr std::uint8_t kStartByte = 0xFE;
constexpr std::uint8_t kStopByte = 0xFF;
constexpr std::uint8_t kStuffByte = 0xFD;

class UecpFrame {
 public:
  // Only the low 10 bits of the site address and the low 6 of the encoder address are sent.
  UecpFrame(std::uint16_t site_address, std::uint16_t encoder_address);
  // Deletes every element the frame accepted.
  virtual ~UecpFrame();
  UecpFrame(const UecpFrame&) = delete;
  UecpFrame& operator=(const UecpFrame&) = delete;
  UecpFrame(UecpFrame&&) = delete;
  UecpFrame& operator=(UecpFrame&&) = delete;

  // Encodes the element and appends it if the message field stays within 255 bytes; the frame
  // then owns it. On false the element stays with the caller, who must delete it: it did not
  // fit, it is null, or a frame already owns it.
  bool AddElement(MessageElement* element);
  // The same for an element held in a unique_ptr, which is released only when the frame
  // accepts the element.
  template <typename Element>
  bool AddElement(std::unique_ptr<Element>& element) {
    if (!AddElement(static_cast<MessageElement*>(element.get()))) return false;
    static_cast<void>(element.release());  // the frame deletes it from now on
    return true;
  }

  // The sequence counter (SQC) sent in the frame: 0 when the sender does not number its frames,
  // 1 to 255 in turn when it matches each acknowledgement to its frame. Set it before Build.
  void SetSequenceCounter(std::uint8_t sequence_counter) { sequence_counter_ = sequence_counter; }

  // Assembles the raw frame and its stuffed form from the elements as encoded when appended.
  // Never allocates.
  void Build();

  // The stuffed frame, meaningful after Build.
  const std::uint8_t* StuffedData() const { return stuffed_.data(); }
  std::uint16_t StuffedLength() const { return stuffed_length_; }

  std::uint16_t MessageLength() const { return message_length_; }
  MessageElement* FirstElement() const { return first_element_; }
  MessageElement* LastElement() const { return last_element_; }

 private:
  std::uint16_t site_address_;
  std::uint16_t encoder_address_;
  std::uint8_t sequence_counter_ = 0;
  std::uint16_t message_length_ = 0;
  std::uint16_t raw_length_ = 0;
  std::uint16_t stuffed_length_ = 0;
  std::array<std::uint8_t, kRawFrameCapacity> raw_{};
  std::array<std::uint8_t, kStuffedFrameCapacity> stuffed_{};
  MessageElement* first_element_ = nullptr;
  MessageElement* last_element_ = nullptr;
};

}  // namespace uecp

#endif  // RDS_UECP_UECP_FRAME_H_
