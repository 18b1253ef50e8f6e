// Block synchronisation the plain way: a 77-bit window over the bit text, and all 26 candidate
// blocks with their syndromes recomputed from the window cells at every step. This is the
// yardstick the fast decoder (fast_decoder.h) is measured against.
#ifndef RDS_DECODER_BLOCK_SYNC_H_
#define RDS_DECODER_BLOCK_SYNC_H_

#include <cstdint>
#include <utility>
#include <vector>

#include "decoder/block_code.h"

namespace decoder {

class BlockSync {
 public:
  static constexpr int kWindowCells = 77;
  static constexpr int kCandidates = 26;

  // `bit_text` holds the characters read from the bit line; positions from its size up to
  // bit_count - 1 read as zero bits.
  BlockSync(std::vector<char> bit_text, std::int32_t bit_count)
      : bit_text_(std::move(bit_text)), bit_count_(bit_count) {}

  int ReadBit();
  bool AtEnd() const { return read_position_ >= bit_count_; }
  void Reset();
  void Fill();
  void Discard(std::int16_t n);
  void Advance(std::int16_t n);
  void Evaluate();
  static std::uint16_t Syndrome(std::uint32_t block) { return decoder::Syndrome(block); }
  static BlockOffset OffsetOf(std::uint16_t syndrome) { return decoder::OffsetOf(syndrome); }
  std::int32_t FindOffset(BlockOffset offset) const;

  // Moves the window until candidate 0 carries `offset`. Returns false, leaving the window where
  // it is, once the input is exhausted and no later window position can carry it: only zero bits
  // are still to come and the bits left in the window cannot form a block with a nonzero syndrome.
  [[nodiscard]] bool SyncTo(BlockOffset offset);

  std::uint32_t FrontBlock() const { return candidates_[0]; }
  std::uint16_t FrontSyndrome() const { return syndromes_[0]; }
  // 0-based stream position of window cell 0.
  std::int32_t Discarded() const { return discarded_; }

 private:
  std::vector<char> bit_text_;
  std::int32_t bit_count_;
  std::int32_t read_position_ = 0;
  std::uint16_t window_[kWindowCells] = {};
  std::int32_t window_fill_ = 0;
  std::int32_t discarded_ = 0;
  std::uint32_t candidates_[kCandidates] = {};
  std::uint16_t syndromes_[kCandidates] = {};
};

}  // namespace decoder

#endif  // RDS_DECODER_BLOCK_SYNC_H_
