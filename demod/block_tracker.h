// The demodulator's own view of the blocks: it undoes the differential coding, finds block
// synchronisation with the syndromes of the offset words, counts good and bad blocks for the
// progress line, and, when asked, corrects bad blocks with soft decisions before their bits
// leave. Bits leave one block (26 bits) after they arrive, so that a correction can still reach
// them.
#ifndef RDS_DEMOD_BLOCK_TRACKER_H_
#define RDS_DEMOD_BLOCK_TRACKER_H_

#include <array>
#include <cstdint>
#include <string>

#include "demod/soft_block_decoder.h"
#include "rdscore/block_code.h"

namespace demod {

struct BlockCounts {
  long long blocks = 0;      // blocks checked while synchronised
  long long bad_blocks = 0;  // of those, blocks that had the wrong syndrome (before correction)
  long long corrected = 0;   // bad blocks the soft decoder recovered
  long long groups = 0;      // groups whose four blocks all arrived right (after correction)
  long long syncs = 0;       // times synchronisation was found
};

class BlockTracker {
 public:
  explicit BlockTracker(bool soft_correct);

  // Feeds one bit level's soft value (sign: level, magnitude: reliability); appends the bits
  // that are ready ('0'/'1') to `out`.
  void Push(float level, std::string* out);
  // Appends the bits still held back.
  void Flush(std::string* out);

  const BlockCounts& counts() const { return counts_; }
  bool synchronised() const { return synchronised_; }

 private:
  struct Level {
    std::uint8_t level = 0;
    std::uint8_t flip = 0;  // the bit at this position is flipped on output
    float reliability = 0;
  };
  static constexpr std::size_t kRing = 64;  // holds the 26 bits in flight and the block checked

  Level& At(long long position) { return ring_[static_cast<std::size_t>(position) % kRing]; }
  int BitAt(long long position);
  std::uint32_t BlockEndingAt(long long position);
  void CheckBlock();
  void Search(std::uint16_t syndrome);
  float LikelihoodScale() const;
  void RememberStation(int slot, std::uint32_t block);
  bool FitsTheStation(int slot, std::uint32_t block) const;
  static bool CarriesPi(int slot, std::uint32_t block);
  float UncheckedLimit() const;

  bool soft_correct_;
  SoftBlockDecoder soft_decoder_;
  std::array<Level, kRing> ring_{};
  long long newest_ = -1;       // position of the newest level
  long long emitted_ = 0;       // next position whose bit is to leave
  std::uint32_t shift_ = 0;     // the newest 26 hard bits, newest in bit 0
  float mean_reliability_ = 0;  // mean |level|
  float mean_square_ = 0;       // mean level²

  bool synchronised_ = false;
  long long next_block_end_ = 0;
  int next_slot_ = 0;  // 0..3: A, B, C/C', D
  int failures_in_a_row_ = 0;
  float damage_ = 0;  // share of blocks recently arrived damaged (about the last 32)
  bool group_good_ = true;
  bool version_b_known_ = false;
  bool version_b_ = false;
  // The last block found while searching: where it ended and its slot in the group.
  long long candidate_end_ = -1;
  int candidate_slot_ = -1;

  // The station's identity as the last clean blocks gave it.
  static constexpr std::uint16_t kTpPtyMask = 0x07E0;  // block B: TP (bit 10), PTY (bits 9..5)
  std::uint16_t pi_ = 0;
  bool pi_known_ = false;
  std::uint16_t tp_pty_ = 0;
  bool tp_pty_known_ = false;

  BlockCounts counts_;
};

}  // namespace demod

#endif  // RDS_DEMOD_BLOCK_TRACKER_H_
