// Streaming input of a capture for the fast decoder: the count line, then the bit line as a
// window of characters that slides forward as the decoder releases positions. Memory stays at
// one chunk however long the capture is.
//
// Text-mode rules, the same on every platform: a CR directly followed by LF is one newline, a CR
// alone is an ordinary character. The count line is at most 9 characters (its rest, if longer,
// starts the bit line); the bit line is at most N - 1 characters, up to and including the first
// newline; every position after it reads as a zero bit.
#ifndef RDS_DECODER_BIT_LINE_H_
#define RDS_DECODER_BIT_LINE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "decoder/byte_io.h"

namespace decoder {

class BitLine {
 public:
  explicit BitLine(ByteSource& source, std::size_t chunk_size = std::size_t{1} << 20);

  // Reads and converts the count line like strtol on its characters. False on a read error.
  [[nodiscard]] bool ReadCount(std::int32_t* count);

  // Starts the bit line of a capture of `count` bits (count >= 1).
  void Begin(std::int32_t count);

  // Bit at stream position `position`; positions below the last Release must not be asked for.
  int Bit(std::int64_t position) {
    const std::int64_t at = position - base_;
    if (at < valid_) return text_[static_cast<std::size_t>(at)] == '1';
    return SlowBit(position);
  }

  // The 26-bit block starting at `position`, its first bit as bit 25.
  std::uint32_t Block(std::int64_t position);

  // The bit characters held in one piece from `position` on, through `chars`: at least one while
  // the line goes on, none once `position` lies after it (every bit there is zero). Valid until
  // the next call that reads.
  std::size_t Piece(std::int64_t position, const char** chars);

  // Positions below `position` are no longer needed.
  void Release(std::int64_t position) { released_ = position; }

  // True once the whole bit line is known; then LastOne() is the position of its last '1' bit
  // (-1 if it has none): every position after it reads as zero.
  bool Complete() const { return complete_; }
  std::int64_t LastOne() const { return last_one_; }
  bool Failed() const { return read_failed_; }

 private:
  static constexpr std::size_t kSlack = 64;  // zero padding after the line and room for wide loads

  int SlowBit(std::int64_t position);
  bool LoadChunk();
  void Accept(std::size_t from, std::size_t to);
  void FinishLine(std::size_t chars);
  void NoteOnes(std::size_t from, std::size_t to);
  [[nodiscard]] bool FillRaw();
  int RawChar();
  [[nodiscard]] std::size_t ReadSource(char* buffer, std::size_t capacity);

  ByteSource& source_;
  std::size_t chunk_size_;
  std::vector<char> text_;  // bytes read; from Begin on, text_[i] is stream position base_ + i
  std::size_t length_ = 0;  // bytes held in text_
  std::size_t head_ = 0;    // next unread byte while reading the count line
  std::int64_t base_ = 0;
  std::int64_t valid_ = 0;     // bytes at the front of text_ that are bit characters
  std::int64_t readable_ = 0;  // bytes at the front of text_ that a block may be read from
  std::int64_t released_ = 0;
  std::int64_t limit_ = 0;  // characters the bit line may hold: N - 1
  std::int64_t last_one_ = -1;
  bool complete_ = false;
  bool previous_cr_ = false;  // the last byte taken into the line was a CR
  bool read_failed_ = false;
};

}  // namespace decoder

#endif  // RDS_DECODER_BIT_LINE_H_
