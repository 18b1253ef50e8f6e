#include "decoder/block_sync.h"

namespace decoder {

int BlockSync::ReadBit() {
  if (read_position_ >= bit_count_) return 0;
  const std::size_t p = static_cast<std::size_t>(read_position_++);
  return p < bit_text_.size() && bit_text_[p] == '1' ? 1 : 0;
}

void BlockSync::Reset() {
  window_fill_ = 0;
  for (std::uint16_t& cell : window_) cell = 0;
  read_position_ = 0;
  discarded_ = 0;
}

void BlockSync::Fill() {
  while (window_fill_ < kWindowCells)
    window_[window_fill_++] = static_cast<std::uint16_t>(ReadBit());
}

void BlockSync::Discard(std::int16_t n) {
  for (int cell = n; cell < kWindowCells; ++cell) window_[cell - n] = window_[cell];
  window_fill_ -= n;
  discarded_ += n;
}

void BlockSync::Advance(std::int16_t n) {
  Discard(n);
  Fill();
}

void BlockSync::Evaluate() {
  for (int k = 0; k < kCandidates; ++k) {
    std::uint32_t block = 0;
    for (int j = 0; j < kBlockBits; ++j) {
      if (window_[k + j] != 0) block |= std::uint32_t{1} << (kBlockBits - 1 - j);
    }
    candidates_[k] = block;
  }
  for (int k = 0; k < kCandidates; ++k) syndromes_[k] = Syndrome(candidates_[k]);
}

std::int32_t BlockSync::FindOffset(BlockOffset offset) const {
  for (int k = 0; k < kCandidates; ++k) {
    if (syndromes_[k] == OffsetSyndromeTable[offset]) return k;
  }
  return -1;
}

bool BlockSync::SyncTo(BlockOffset offset) {
  for (;;) {
    const std::int32_t k = FindOffset(offset);
    if (k == 0) return true;
    if (k > 0) {
      Discard(static_cast<std::int16_t>(k));
      Evaluate();
      return true;
    }
    // None of the 26 start positions fits. The next search starts at cell 26; once the input is
    // exhausted, zero bits follow the window, and if cells 26 onward are zero as well every later
    // candidate is the all-zero block, whose syndrome is 0 and names no offset but E.
    if (AtEnd()) {
      bool ones_ahead = false;
      for (int cell = kCandidates; cell < window_fill_; ++cell) ones_ahead |= window_[cell] != 0;
      if (!ones_ahead) return false;
    }
    Advance(kCandidates);
    Evaluate();
  }
}

}  // namespace decoder
