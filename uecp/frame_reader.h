// Reading UECP frames out of a byte stream, as a sender reads its encoder's answers: find STA
// (0xFE) .. STP (0xFF), undo the byte stuffing (0xFD 0x00..0x02 stands for 0xFD..0xFF), check the
// CRC and the message field length, and split the frame into address, SQC and message field.
//
// Bytes outside frames are kept as text: encoders that answer in plain text (or a line that
// carries something else) are shown what they said, not dropped.
#ifndef RDS_UECP_FRAME_READER_H_
#define RDS_UECP_FRAME_READER_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace uecp {

struct ReadFrame {
  std::uint16_t site_address = 0;    // 10 bits
  std::uint8_t encoder_address = 0;  // 6 bits
  std::uint8_t sequence_counter = 0;
  std::vector<std::uint8_t> message;  // the message field, MFL bytes
};

// What the reader found in the stream, in the order it came.
struct StreamItem {
  enum class Kind {
    kFrame,     // a good frame
    kBadFrame,  // between STA and STP, but not a valid frame (problem says why)
    kText,      // bytes outside frames, up to a line end or the start of a frame
  };
  Kind kind = Kind::kText;
  ReadFrame frame;                  // kFrame
  std::string problem;              // kBadFrame
  std::vector<std::uint8_t> bytes;  // kBadFrame: the stuffed bytes; kText: the bytes
};

class FrameReader {
 public:
  // The longest stuffed frame: STA, STP and every other byte doubled.
  static constexpr std::size_t kMaxStuffedFrame = 2 + 2 * (2 + 1 + 1 + 255 + 2);

  void Feed(const std::uint8_t* data, std::size_t size);

  // Takes the next item found; false when there is none yet.
  [[nodiscard]] bool Next(StreamItem* item);

  // Text waiting without a line end yet (an answer that ends without CR or LF); FlushText turns
  // it into an item.
  [[nodiscard]] bool HasPendingText() const { return !text_.empty(); }
  void FlushText();
  // True while a frame has started but not ended.
  [[nodiscard]] bool InFrame() const { return in_frame_; }

 private:
  void FinishFrame();

  bool in_frame_ = false;
  std::vector<std::uint8_t> stuffed_;
  std::vector<std::uint8_t> text_;
  std::deque<StreamItem> items_;
};

// The raw frame bytes (address .. CRC, without STA and STP) stuffed and framed by STA and STP.
std::vector<std::uint8_t> StuffFrame(const std::vector<std::uint8_t>& raw);

// Undoes the stuffing of a whole frame (STA .. STP); false on a bad escape or a frame without
// STA/STP. raw gets the bytes between STA and STP.
[[nodiscard]] bool UnstuffFrame(const std::vector<std::uint8_t>& stuffed,
                                std::vector<std::uint8_t>* raw);

}  // namespace uecp

#endif  // RDS_UECP_FRAME_READER_H_
