// The block layer of a receiver: bits in, blocks and groups out.
//
// Bits are pushed as they arrive. The layer finds block synchronisation, then judges each block
// at its place in the group (A, B, C or C', D), corrects burst errors against the offset due
// there, and searches again when the blocks stop matching. Every block it reports goes to a
// BlockObserver (the report lines) and each completed group to the GroupListeners.
//
// Two configurations:
//  - plain: the synchronisation of brovik's fixed report (a block A followed by a block B; the A
//    itself is not reported), no correction, never searching again. Its blocks, named by their
//    syndromes, are exactly the lines of the fixed report.
//  - receiver: synchronisation on any two clean blocks 26 bits apart whose offsets follow each
//    other (both reported), burst correction up to max_burst bits, and re-synchronisation.
//
// In receiver mode a damaged block (corrected or missing) is held back until a later block at the
// same alignment confirms it: a clean one, or one whose correction gave back the station's PI. If
// instead two clean blocks in sequence turn up at another alignment first (a bit slip), the held
// blocks are dropped and reported as skipped from the end of the last good block. So a slip costs
// the block it hit, never the blocks after it. After kLossBlocks blocks in a row without a
// confirmation the alignment is given up and the search goes on alone.
#ifndef RDS_DECODER_BLOCK_RECEIVER_H_
#define RDS_DECODER_BLOCK_RECEIVER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "decoder/bit_chars.h"
#include "decoder/block_code.h"
#include "decoder/burst_corrector.h"
#include "decoder/error_shape.h"
#include "decoder/received_group.h"
#include "decoder/station_memory.h"

namespace decoder {

// One reported block.
struct ReportedBlock {
  std::int64_t position;  // 0-based stream position of its first bit
  std::uint32_t block;    // the 26 bits as received, or as corrected
  BlockOffset offset;     // the offset its line names; None for "?"
  BlockStatus status;     // against the offset expected at its place in the group
  int slot;               // its place in the group: 0 A, 1 B, 2 C or C', 3 D
};

class BlockObserver {
 public:
  virtual ~BlockObserver() = default;
  virtual void OnBlock(const ReportedBlock& block) = 0;
  // Synchronisation was lost and found again (or the input ended first): `bits` bits from
  // `position` (0-based) on belong to no reported block.
  virtual void OnSkip(std::int64_t position, std::int64_t bits) = 0;
};

// Guards against correcting a block into the wrong one. Both are on in brovik; they can be turned
// off to measure what each is worth.
struct CorrectionGuards {
  // A corrected A or C' must carry the PI of the last clean one, a corrected B its PTY and TP:
  // one station's identity does not change from group to group (station_memory.h).
  bool same_station = true;
  // Once the corrections the PI verified show the errors of differential decoding, a lone bit
  // inside a block B, C or D is not flipped (error_shape.h).
  bool error_shape = true;
};

struct ReceiverConfig {
  enum class Mode { kPlain, kReceiver };
  Mode mode = Mode::kReceiver;
  int max_burst = 2;  // receiver mode: longest burst corrected, 1..kMaxCorrectableBurst
  CorrectionGuards guards;
  // Blocks starting at or after this position are not reported, except the ones that found
  // synchronisation (the end rule of counted captures: the last 52 to 77 bits are not reported).
  std::int64_t report_limit = std::numeric_limits<std::int64_t>::max();
};

class BlockReceiver {
 public:
  static constexpr int kLossBlocks = 8;

  // `observer` may be null (groups and figures only). The listeners must outlive the receiver.
  BlockReceiver(const ReceiverConfig& config, BlockObserver* observer,
                std::vector<GroupListener*> listeners);

  // Takes the next bits of the stream, each 0 or 1.
  void Push(const std::uint8_t* bits, std::size_t count) {
    PushEach(bits, count, [](std::uint8_t bit) { return std::uint64_t{bit}; });
  }
  // The same from bit characters: '1' is a one, any other character a zero. Between the
  // positions where something is due, eight characters go into the window at once.
  void PushChars(const char* chars, std::size_t count) {
    std::size_t i = 0;
    while (i < count) {
      if (kEightAtOnce && count - i >= 8 && next_step_ - position_ > 8) {
        window_ = (window_ << 8) | OnesOf8(chars + i);
        position_ += 8;
        i += 8;
        continue;
      }
      window_ = (window_ << 1) | std::uint64_t{chars[i++] == '1'};
      if (++position_ >= next_step_) Step();
    }
  }

  // The stream ends at `end` bits. Bits pushed beyond it were padding (zeros standing for the
  // positions after a counted capture); bits not pushed up to it are zeros that the caller knows
  // cannot synchronise. Held blocks are reported as they were judged, the last group is handed
  // on, and a search still running reports the rest of the stream as skipped.
  void Finish(std::int64_t end);

  std::int64_t Position() const { return position_; }
  bool EverSynchronised() const { return ever_synced_; }
  bool Searching() const { return state_ == State::kSearching; }
  // Nothing pushed from now on can change what is reported.
  bool Done() const { return state_ == State::kDone; }
  int HeldBlocks() const { return held_count_; }
  const ReceptionStats& Stats() const { return stats_; }

 private:
  enum class State { kSearching, kSynced, kDone };

  struct HeldBlock {
    std::int64_t position;
    JudgedBlock judged;
    int slot;
  };

  // Shifts each element's bit into the window; between the positions where something is due,
  // nothing else happens, so the window and the position stay in registers.
  template <typename Element, typename BitOf>
  void PushEach(const Element* elements, std::size_t count, BitOf bit_of) {
    std::uint64_t window = window_;
    std::int64_t position = position_;
    for (std::size_t i = 0; i < count; ++i) {
      window = (window << 1) | bit_of(elements[i]);
      if (++position >= next_step_) {
        window_ = window;
        position_ = position;
        Step();
      }
    }
    window_ = window;
    position_ = position;
  }
  void Step();
  void PlainSearch(std::uint32_t block);
  void SearchPair();
  void WatchForSlip();
  bool PairEndingHere(BlockOffset* first, BlockOffset* second) const;
  void Acquire(std::int64_t first_position, BlockOffset first, BlockOffset second);
  void JudgeNext(std::uint32_t block);
  BlockOffset ExpectedAt(int slot, BlockOffset* alternative) const;
  void NoteVersion(const JudgedBlock& judged, int slot);
  JudgedBlock JudgeInReceiver(std::uint32_t block, int slot, bool* confirms);
  void Hold(const JudgedBlock& judged, int slot);
  void ReportHeld();
  void DropHeld();
  void Report(std::int64_t position, const JudgedBlock& judged, BlockOffset named, int slot);
  void AddToGroup(std::int64_t position, const JudgedBlock& judged, int slot);
  void HandOnGroup();
  void AdvanceBlock();
  void PlanNextStep();

  std::uint32_t BlockEndingHere() const { return static_cast<std::uint32_t>(window_) & kBlockMask; }
  std::uint32_t BlockBeforeThat() const {
    return static_cast<std::uint32_t>(window_ >> kBlockBits) & kBlockMask;
  }

  ReceiverConfig config_;
  bool plain_;
  BlockObserver* observer_;
  std::vector<GroupListener*> listeners_;

  std::uint64_t window_ = 0;    // the last 64 bits, the newest in bit 0
  std::int64_t position_ = 0;   // bits pushed
  std::int64_t next_step_ = 0;  // Step() runs once position_ reaches this
  State state_ = State::kSearching;
  bool ever_synced_ = false;

  // Searching: blocks starting before search_from_ are not looked at. The plain search also
  // remembers a block A found and waits for the block 26 bits later.
  std::int64_t search_from_ = 0;
  std::int64_t plain_a_ = -1;

  // Synchronised: where the next block starts and its place in the group.
  std::int64_t next_block_ = 0;
  int slot_ = 0;
  int group_version_ = -1;  // version bit of this group's block B, -1 while unknown

  // Damaged blocks held back until a clean block or a verified correction confirms the alignment.
  std::array<HeldBlock, kLossBlocks> held_{};
  int held_count_ = 0;

  std::int64_t reported_end_ = 0;  // the bit after the last reported block
  StationMemory station_;
  ErrorShape error_shape_;

  ReceivedGroup group_{};
  bool group_open_ = false;
  ReceptionStats stats_{};
};

}  // namespace decoder

#endif  // RDS_DECODER_BLOCK_RECEIVER_H_
