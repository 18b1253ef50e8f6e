// The base of every UECP message element.
//
// Inside a frame's message field an element is its element code (MEC), up to three optional
// header bytes (DSN, PSN, MEL) and its data bytes. A concrete element fixes its header fields
// and data in its constructor and writes them when encoded; a frame encodes it once, when the
// element is appended, and from then on owns it.
#ifndef RDS_UECP_MESSAGE_ELEMENT_H_
#define RDS_UECP_MESSAGE_ELEMENT_H_

#include <cstdint>
#include <memory>

namespace uecp {

// Marks an optional header byte (DSN, PSN, MEL) as not sent. 0 is a real value and goes on the
// wire as 0x00.
constexpr std::uint16_t kAbsent = 0xFFFF;

class UecpFrame;

class MessageElement {
 public:
  virtual ~MessageElement();
  MessageElement(const MessageElement&) = delete;
  MessageElement& operator=(const MessageElement&) = delete;
  MessageElement(MessageElement&&) = delete;
  MessageElement& operator=(MessageElement&&) = delete;

  // Writes the element into its buffer and returns the buffer start (nullptr for an element
  // that has no buffer). The base version writes the present header bytes and returns the
  // position behind them; concrete classes add their data there.
  virtual std::uint8_t* Encode();

  // Bytes the element takes in the message field: the present header bytes plus the data.
  std::uint16_t EncodedLength() const;

  // The encoded element, valid after Encode.
  const std::uint8_t* Data() const { return buffer_.get(); }

  MessageElement* Next() const { return next_; }
  MessageElement* Previous() const { return previous_; }
  void SetNext(MessageElement* element) { next_ = element; }
  void SetPrevious(MessageElement* element) { previous_ = element; }

  std::uint8_t ElementCode() const { return element_code_; }
  std::uint16_t DataSetNumber() const { return data_set_number_; }
  std::uint16_t ProgrammeServiceNumber() const { return programme_service_number_; }
  std::uint16_t ElementLength() const { return element_length_; }
  std::uint16_t DataLength() const { return data_length_; }

 protected:
  MessageElement() = default;

  // Header fields as a concrete constructor fixes them; kAbsent leaves a byte out.
  void SetHeader(std::uint8_t element_code, std::uint16_t data_set_number,
                 std::uint16_t programme_service_number, std::uint16_t element_length = kAbsent);
  void SetDataLength(std::uint16_t data_length) { data_length_ = data_length; }
  // Room for the four possible header bytes and the data; called last by a constructor.
  void AllocateBuffer();
  std::uint8_t* Buffer() { return buffer_.get(); }

 private:
  friend class UecpFrame;  // marks the elements it has taken over

  std::uint8_t element_code_ = 0;
  std::uint16_t data_set_number_ = kAbsent;
  std::uint16_t programme_service_number_ = kAbsent;
  std::uint16_t element_length_ = kAbsent;
  std::uint16_t data_length_ = 0;
  std::unique_ptr<std::uint8_t[]> buffer_;
  MessageElement* next_ = nullptr;
  MessageElement* previous_ = nullptr;
  // Set once a frame owns the element, so that a second frame (or the same one again) refuses
  // it instead of deleting it twice.
  bool owned_by_frame_ = false;
};

}  // namespace uecp

#endif  // RDS_UECP_MESSAGE_ELEMENT_H_
