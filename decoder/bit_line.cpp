#include "decoder/bit_line.h"

#include <algorithm>
#include <cstring>

#include "decoder/bit_chars.h"

namespace decoder {

namespace {

inline std::uint32_t Gather26(const char* chars) {
  std::uint32_t block = 0;
  if (!kEightAtOnce) {
    for (int i = 0; i < 26; ++i) block = (block << 1) | (chars[i] == '1');
    return block;
  }
  for (int i = 0; i < 32; i += 8) block = (block << 8) | OnesOf8(chars + i);
  return block >> 6;  // 32 characters gathered, 26 wanted
}

}  // namespace

BitLine::BitLine(ByteSource& source, std::size_t chunk_size)
    : source_(source), chunk_size_(std::max<std::size_t>(chunk_size, 256)) {
  text_.resize(chunk_size_ + kSlack + 32);
}

std::size_t BitLine::ReadSource(char* buffer, std::size_t capacity) {
  const std::size_t n = source_.Read(buffer, capacity);
  if (n == 0 && source_.Failed()) read_failed_ = true;
  return n;
}

bool BitLine::FillRaw() {
  if (head_ < length_) return true;
  head_ = 0;
  length_ = ReadSource(text_.data(), chunk_size_);
  return length_ != 0;
}

int BitLine::RawChar() {
  if (!FillRaw()) return -1;
  return static_cast<unsigned char>(text_[head_++]);
}

bool BitLine::ReadCount(std::int32_t* count) {
  // At most 9 characters, up to and including a newline (CR LF counts as one).
  char line[9];
  int n = 0;
  while (n < 9) {
    int c = RawChar();
    if (c < 0) break;
    if (c == '\r' && FillRaw() && text_[head_] == '\n') {
      ++head_;
      c = '\n';
    }
    line[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (read_failed_) return false;

  // As strtol: white space, an optional sign, then digits up to the first non-digit (a zero byte
  // included); no digits gives 0. Nine characters cannot overflow.
  auto is_space = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  };
  int i = 0;
  while (i < n && is_space(line[i])) ++i;
  bool negative = false;
  if (i < n && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
  std::int32_t value = 0;
  while (i < n && line[i] >= '0' && line[i] <= '9') value = value * 10 + (line[i++] - '0');
  *count = negative ? -value : value;
  return true;
}

void BitLine::Begin(std::int32_t count) {
  limit_ = std::int64_t{count} - 1;
  // What the count line left in the buffer starts the bit line.
  const std::size_t left = length_ - head_;
  std::memmove(text_.data(), text_.data() + head_, left);
  length_ = left;
  head_ = 0;
  base_ = 0;
  valid_ = readable_ = 0;
  released_ = 0;
  last_one_ = -1;
  complete_ = false;
  previous_cr_ = false;
  if (limit_ <= 0) {
    FinishLine(0);
  } else if (length_ != 0) {
    Accept(0, length_);
  }
}

// Takes bytes text_[from, to) into the line, stopping at its first newline or its length limit.
void BitLine::Accept(std::size_t from, std::size_t to) {
  const std::int64_t room = limit_ - (base_ + static_cast<std::int64_t>(from));
  std::size_t end = to;
  bool capped = false;
  if (static_cast<std::int64_t>(to - from) >= room) {
    end = from + static_cast<std::size_t>(room);
    capped = true;
  }
  if (previous_cr_ && from < end && text_[from] == '\n') {
    FinishLine(from);  // the LF completes a CR LF newline that the CR already stands for
    return;
  }
  const void* newline = std::memchr(text_.data() + from, '\n', end - from);
  if (newline != nullptr) {
    const std::size_t at =
        static_cast<std::size_t>(static_cast<const char*>(newline) - text_.data());
    const bool crlf = at > from && text_[at - 1] == '\r';
    NoteOnes(from, at);
    FinishLine(crlf ? at : at + 1);
  } else if (capped) {
    NoteOnes(from, end);
    FinishLine(end);
  } else {
    NoteOnes(from, to);
    valid_ = readable_ = static_cast<std::int64_t>(to);
    length_ = to;
    previous_cr_ = to > from && text_[to - 1] == '\r';
  }
}

void BitLine::NoteOnes(std::size_t from, std::size_t to) {
  for (std::size_t i = to; i > from; --i) {
    if (text_[i - 1] == '1') {
      last_one_ = base_ + static_cast<std::int64_t>(i - 1);
      return;
    }
  }
}

void BitLine::FinishLine(std::size_t chars) {
  complete_ = true;
  length_ = chars;
  valid_ = static_cast<std::int64_t>(chars);
  readable_ = valid_ + static_cast<std::int64_t>(kSlack);
  std::memset(text_.data() + chars, '0', kSlack);
}

bool BitLine::LoadChunk() {
  if (complete_) return false;
  const std::int64_t drop = std::clamp<std::int64_t>(released_ - base_, 0, valid_);
  if (drop > 0) {
    const auto d = static_cast<std::size_t>(drop);
    std::memmove(text_.data(), text_.data() + d, length_ - d);
    length_ -= d;
    valid_ -= drop;
    base_ += drop;
  }
  if (length_ + 256 > chunk_size_) {
    // Nothing released: only when a caller holds on to more than a chunk, which the decoder
    // never does; grow rather than fail.
    chunk_size_ *= 2;
    text_.resize(chunk_size_ + kSlack + 32);
  }
  const std::size_t n = ReadSource(text_.data() + length_, chunk_size_ - length_);
  if (n == 0) {
    FinishLine(length_);  // end of input (or a read error, which Failed() reports)
    return false;
  }
  const std::size_t from = length_;
  Accept(from, from + n);
  return true;
}

int BitLine::SlowBit(std::int64_t position) {
  while (!complete_ && position - base_ >= valid_) LoadChunk();
  const std::int64_t at = position - base_;
  return at < valid_ && text_[static_cast<std::size_t>(at)] == '1';
}

std::size_t BitLine::Piece(std::int64_t position, const char** chars) {
  while (!complete_ && position - base_ >= valid_) LoadChunk();
  const std::int64_t at = position - base_;
  if (at >= valid_) return 0;
  *chars = text_.data() + at;
  return static_cast<std::size_t>(valid_ - at);
}

std::uint32_t BitLine::Block(std::int64_t position) {
  std::int64_t at = position - base_;
  if (at + 26 > readable_) {
    if (complete_) return 0;  // wholly after the line: zero bits
    while (!complete_ && at + 26 > readable_) {
      LoadChunk();
      at = position - base_;
    }
    if (at + 26 > readable_) return 0;  // the line ended well before this block
  }
  return Gather26(text_.data() + at);
}

}  // namespace decoder
