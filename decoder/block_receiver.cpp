#include "decoder/block_receiver.h"

#include <utility>

namespace decoder {

namespace {

constexpr std::int64_t kPairBits = std::int64_t{2} * kBlockBits;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

int SlotOf(BlockOffset offset) {
  switch (offset) {
    case A:
      return 0;
    case B:
      return 1;
    case C:
    case CPrime:
      return 2;
    default:
      return 3;
  }
}

// A damaged block A or C' is taken for the station's own when it differs from it in at most four
// bits (two wrong levels), or in two (one) when only single-bit bursts are corrected: a block of
// noise lies within four bits of one given word once in 3750, a quarter as often as it passes a
// syndrome check.
int NearOwnBits(int max_burst) { return max_burst < 2 ? 2 : 4; }

int VersionBit(std::uint32_t block_b) { return static_cast<int>((block_b >> (10 + 11)) & 1); }

// Whether `second`, 26 bits after `first`, is the block that follows it in a group: A B, B C
// (version A) or B C' (version B), C D, C' D, and D A of the next group.
bool Follows(BlockOffset first, std::uint32_t first_block, BlockOffset second) {
  switch (first) {
    case A:
      return second == B;
    case B:
      return second == (VersionBit(first_block) ? CPrime : C);
    case C:
    case CPrime:
      return second == D;
    case D:
      return second == A;
    default:
      return false;
  }
}

}  // namespace

BlockReceiver::BlockReceiver(const ReceiverConfig& config, BlockObserver* observer,
                             std::vector<GroupListener*> listeners)
    : config_(config),
      plain_(config.mode == ReceiverConfig::Mode::kPlain),
      observer_(observer),
      listeners_(std::move(listeners)) {
  PlanNextStep();
}

void BlockReceiver::Step() {
  switch (state_) {
    case State::kSearching:
      if (plain_) {
        if (position_ >= kBlockBits) PlainSearch(BlockEndingHere());
      } else {
        SearchPair();
      }
      break;
    case State::kSynced:
      if (position_ - kBlockBits == next_block_) JudgeNext(BlockEndingHere());
      if (state_ == State::kSynced && held_count_ > 0) {
        WatchForSlip();
      } else if (state_ == State::kSearching) {
        SearchPair();  // the alignment was just given up: the search covers this bit too
      }
      break;
    case State::kDone:
      break;
  }
  PlanNextStep();
}

void BlockReceiver::SearchPair() {
  const std::int64_t start = position_ - kPairBits;
  if (start < search_from_ || start >= config_.report_limit) return;
  BlockOffset first = None;
  BlockOffset second = None;
  if (!PairEndingHere(&first, &second)) return;
  if (ever_synced_) ++stats_.slips;
  Acquire(start, first, second);
}

// While blocks are held: two clean blocks in sequence at another alignment, or at another place
// in the group, mean the stream has slipped. What was held since the last good block is skipped.
void BlockReceiver::WatchForSlip() {
  const std::int64_t start = position_ - kPairBits;
  const std::int64_t since = start - held_[0].position;
  if (since < 0 || start >= config_.report_limit) return;
  BlockOffset first = None;
  BlockOffset second = None;
  if (!PairEndingHere(&first, &second)) return;
  const bool where_expected =
      since % kBlockBits == 0 &&
      SlotOf(first) == (held_[0].slot + static_cast<int>(since / kBlockBits)) % 4;
  if (where_expected) return;  // judged at its place already
  DropHeld();
  ++stats_.slips;
  Acquire(start, first, second);
}

void BlockReceiver::PlanNextStep() {
  switch (state_) {
    case State::kSearching:
      next_step_ = position_ + 1;
      break;
    case State::kSynced:
      next_step_ = held_count_ > 0 ? position_ + 1 : next_block_ + kBlockBits;
      break;
    case State::kDone:
      next_step_ = kNever;
      break;
  }
}

// The fixed report's search: the first block A at or after search_from_, then a block B right
// after it. After an A without its B the search resumes behind that A, at the block that was
// not a B.
void BlockReceiver::PlainSearch(std::uint32_t block) {
  const std::int64_t start = position_ - kBlockBits;
  const std::uint16_t syndrome = FastSyndrome(block);
  if (plain_a_ >= 0) {
    if (start != plain_a_ + kBlockBits) return;
    if (syndrome == OffsetSyndromeTable[B]) {
      ever_synced_ = true;
      stats_.bits_without_sync += start;
      state_ = State::kSynced;
      next_block_ = start;
      slot_ = 1;
      JudgeNext(block);
      return;
    }
    plain_a_ = -1;
    search_from_ = start;
  }
  if (start >= search_from_ && syndrome == OffsetSyndromeTable[A]) plain_a_ = start;
}

bool BlockReceiver::PairEndingHere(BlockOffset* first, BlockOffset* second) const {
  const std::uint32_t first_block = BlockBeforeThat();
  *first = FastOffsetOf(FastSyndrome(first_block));
  if (*first == None || *first == E) return false;
  *second = FastOffsetOf(FastSyndrome(BlockEndingHere()));
  return Follows(*first, first_block, *second);
}

void BlockReceiver::Acquire(std::int64_t first_position, BlockOffset first, BlockOffset second) {
  HandOnGroup();
  if (ever_synced_) {
    if (observer_ != nullptr) observer_->OnSkip(reported_end_, first_position - reported_end_);
    stats_.bits_without_sync += first_position - reported_end_;
  } else {
    stats_.bits_without_sync += first_position;
  }
  ever_synced_ = true;
  state_ = State::kSynced;
  group_version_ = -1;
  const std::uint32_t blocks[2] = {BlockBeforeThat(), BlockEndingHere()};
  const BlockOffset offsets[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    const JudgedBlock judged{blocks[i], offsets[i], BlockStatus::kClean};
    if (offsets[i] == B) group_version_ = VersionBit(blocks[i]);
    Report(first_position + std::int64_t{i} * kBlockBits, judged, offsets[i], SlotOf(offsets[i]));
  }
  next_block_ = first_position + kPairBits;
  slot_ = (SlotOf(second) + 1) % 4;
  if (next_block_ >= config_.report_limit) state_ = State::kDone;
}

void BlockReceiver::JudgeNext(std::uint32_t block) {
  const int slot = slot_;
  if (plain_) {
    // Named by its syndrome as the fixed report names it; counted against the expected offset.
    BlockOffset alternative = None;
    const BlockOffset expected = ExpectedAt(slot, &alternative);
    const JudgedBlock judged = JudgeBlock(block, expected, alternative, 0);
    NoteVersion(judged, slot);
    Report(next_block_, judged, FastOffsetOf(FastSyndrome(block)), slot);
    AdvanceBlock();
    return;
  }
  bool confirms = false;
  const JudgedBlock judged = JudgeInReceiver(block, slot, &confirms);
  NoteVersion(judged, slot);
  if (!confirms) {
    Hold(judged, slot);
    if (held_count_ == kLossBlocks) {
      // Too long without a confirmation at this alignment: give it up and search anywhere from
      // the end of the last good block.
      DropHeld();
      HandOnGroup();
      state_ = State::kSearching;
      search_from_ = reported_end_;
      return;
    }
  } else {
    ReportHeld();
    Report(next_block_, judged, judged.offset, slot);
  }
  AdvanceBlock();
}

// A received block B tells whether its group's third block is C or C'. Noted when the block is
// judged: a held block reported later belongs to a group already past.
void BlockReceiver::NoteVersion(const JudgedBlock& judged, int slot) {
  if (slot == 1 && judged.status != BlockStatus::kMissing) {
    group_version_ = VersionBit(judged.block);
  }
}

// The offset due at `slot`; at the third block of a group whose block B was lost, C or C'.
BlockOffset BlockReceiver::ExpectedAt(int slot, BlockOffset* alternative) const {
  *alternative = None;
  switch (slot) {
    case 0:
      return A;
    case 1:
      return B;
    case 2:
      if (group_version_ < 0) *alternative = CPrime;
      return group_version_ == 1 ? CPrime : C;
    default:
      return D;
  }
}

// Judges a block at its place. A block of any syndrome, another offset's included, is corrected
// when a burst of at most max_burst bits turns it into the offset due: at a known alignment a
// block B where A is due is a block A with bits 18 and 19 inverted, not a block B. `confirms`
// says whether the block proves the alignment: it is clean, or a correction gave back the
// station's PI (a block of noise does that once in 2^16 corrections).
JudgedBlock BlockReceiver::JudgeInReceiver(std::uint32_t block, int slot, bool* confirms) {
  BlockOffset alternative = None;
  const BlockOffset expected = ExpectedAt(slot, &alternative);
  JudgedBlock judged = JudgeBlock(block, expected, alternative, config_.max_burst);
  *confirms = judged.status == BlockStatus::kClean;
  const JudgedBlock missing{block, None, BlockStatus::kMissing};
  if (judged.status == BlockStatus::kCorrected && config_.guards.same_station) {
    if (!station_.Fits(judged)) {
      judged = missing;
    } else if (judged.offset == A || judged.offset == CPrime) {
      *confirms = true;
      error_shape_.NoteVerified(judged.block ^ block);
    }
  }
  if (judged.status == BlockStatus::kCorrected && !*confirms && config_.guards.error_shape &&
      !error_shape_.Believable(judged.block ^ block)) {
    judged = missing;
  }
  // Beyond the bursts: a block A or C' (where the version says which) near the station's own.
  std::uint32_t own = 0;
  if (judged.status == BlockStatus::kMissing && alternative == None &&
      station_.NearOwnBlock(block, expected, NearOwnBits(config_.max_burst), &own)) {
    judged = JudgedBlock{own, expected, BlockStatus::kCorrected};
  }
  return judged;
}

void BlockReceiver::Hold(const JudgedBlock& judged, int slot) {
  held_[static_cast<std::size_t>(held_count_++)] = HeldBlock{next_block_, judged, slot};
}

void BlockReceiver::ReportHeld() {
  for (int i = 0; i < held_count_; ++i) {
    const HeldBlock& held = held_[static_cast<std::size_t>(i)];
    Report(held.position, held.judged, held.judged.offset, held.slot);
  }
  held_count_ = 0;
}

void BlockReceiver::DropHeld() { held_count_ = 0; }

void BlockReceiver::Report(std::int64_t position, const JudgedBlock& judged, BlockOffset named,
                           int slot) {
  ++stats_.blocks;
  switch (judged.status) {
    case BlockStatus::kClean:
      ++stats_.clean_blocks;
      station_.NoteClean(judged);
      break;
    case BlockStatus::kCorrected:
      ++stats_.corrected_blocks;
      break;
    case BlockStatus::kMissing:
      ++stats_.error_blocks;
      break;
  }
  reported_end_ = position + kBlockBits;
  if (observer_ != nullptr)
    observer_->OnBlock(ReportedBlock{position, judged.block, named, judged.status, slot});
  AddToGroup(position, judged, slot);
}

void BlockReceiver::AddToGroup(std::int64_t position, const JudgedBlock& judged, int slot) {
  const std::int64_t first_bit = position - std::int64_t{slot} * kBlockBits;
  if (group_open_ && group_.first_bit != first_bit) HandOnGroup();
  if (!group_open_) {
    group_ = ReceivedGroup{};
    group_.first_bit = first_bit;
    group_open_ = true;
  }
  const auto index = static_cast<std::size_t>(slot);
  group_.status[index] = judged.status;
  if (judged.status != BlockStatus::kMissing) {
    group_.info[index] = static_cast<std::uint16_t>(judged.block >> 10);
    if (slot == 2) group_.third_is_c_prime = judged.offset == CPrime;
  }
  if (slot == 3) HandOnGroup();
}

void BlockReceiver::HandOnGroup() {
  if (!group_open_) return;
  group_open_ = false;
  for (GroupListener* listener : listeners_) listener->OnGroup(group_);
}

void BlockReceiver::AdvanceBlock() {
  next_block_ += kBlockBits;
  slot_ = (slot_ + 1) % 4;
  if (slot_ == 0) group_version_ = -1;
  if (next_block_ >= config_.report_limit) state_ = State::kDone;
}

void BlockReceiver::Finish(std::int64_t end) {
  if (state_ == State::kSearching && ever_synced_ && end > reported_end_) {
    if (observer_ != nullptr) observer_->OnSkip(reported_end_, end - reported_end_);
    stats_.bits_without_sync += end - reported_end_;
  } else if (!ever_synced_) {
    stats_.bits_without_sync = end;
  }
  ReportHeld();
  HandOnGroup();
  stats_.bits = end;
  state_ = State::kDone;
  next_step_ = kNever;
}

}  // namespace decoder
