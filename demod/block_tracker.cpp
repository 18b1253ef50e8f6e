#include "demod/block_tracker.h"

#include <cmath>

namespace demod {

namespace {

// Slot in the group (A 0, B 1, C 2, D 3) of a syndrome, or −1; C' counts as slot 2.
int SlotOf(std::uint16_t syndrome) {
  static const std::uint16_t kA = rds::OffsetSyndrome(rds::Offset::kA);
  static const std::uint16_t kB = rds::OffsetSyndrome(rds::Offset::kB);
  static const std::uint16_t kC = rds::OffsetSyndrome(rds::Offset::kC);
  static const std::uint16_t kCPrime = rds::OffsetSyndrome(rds::Offset::kCPrime);
  static const std::uint16_t kD = rds::OffsetSyndrome(rds::Offset::kD);
  if (syndrome == kA) return 0;
  if (syndrome == kB) return 1;
  if (syndrome == kC || syndrome == kCPrime) return 2;
  if (syndrome == kD) return 3;
  return -1;
}

// Blocks in a row with the wrong syndrome after which synchronisation counts as lost (a slip of
// the bit clock shifts every later block). Long enough that noise alone seldom ends it.
constexpr int kLossAfterFailures = 12;
// The soft decoder's bounds in log-likelihood units, chosen on noisy captures so that soft
// correction lets no more wrong groups through than hard decisions with brovik's burst
// correction (docs/rds-demod.md): a correction gives up at most 8, and the next candidate costs
// at least 4 more.
constexpr float kSoftCostLimit = 8.0f;
constexpr float kSoftMargin = 4.0f;

}  // namespace

BlockTracker::BlockTracker(bool soft_correct)
    : soft_correct_(soft_correct), soft_decoder_(kSoftMargin) {}

int BlockTracker::BitAt(long long position) {
  const Level& here = At(position);
  const Level& before = At(position - 1);
  return (here.level ^ before.level ^ here.flip) & 1;
}

std::uint32_t BlockTracker::BlockEndingAt(long long position) {
  std::uint32_t block = 0;
  for (long long p = position - rds::kBlockBits + 1; p <= position; ++p) {
    block = (block << 1) | static_cast<std::uint32_t>(BitAt(p));
  }
  return block;
}

float BlockTracker::LikelihoodScale() const {
  // A level value is ±A plus Gaussian noise of variance σ²; flipping a decision on a value of
  // magnitude r costs 2·A·r/σ² in log-likelihood. A is about the mean magnitude (its bias from
  // the noise stays below 5 % down to the lowest usable signal) and σ² the rest of the power.
  const float amplitude = mean_reliability_;
  const float noise =
      std::fmax(mean_square_ - amplitude * amplitude, 1e-3f * amplitude * amplitude);
  return 2 * amplitude / noise;
}

void BlockTracker::Push(float level, std::string* out) {
  ++newest_;
  Level& entry = At(newest_);
  entry.level = level > 0 ? 1 : 0;
  entry.flip = 0;
  entry.reliability = std::fabs(level);
  // Amplitude and noise of the level values, for the soft decoder's log-likelihood scale.
  mean_reliability_ += (entry.reliability - mean_reliability_) / 256.0f;
  mean_square_ += (level * level - mean_square_) / 256.0f;

  if (newest_ > 0) {
    shift_ = ((shift_ << 1) | static_cast<std::uint32_t>(BitAt(newest_))) & rds::kBlockMask;
  }
  if (synchronised_) {
    if (newest_ == next_block_end_) CheckBlock();
  } else if (newest_ >= rds::kBlockBits) {
    Search(rds::Syndrome(shift_));
  }

  // A bit leaves once the block it belongs to has been checked.
  while (emitted_ <= newest_ - rds::kBlockBits) {
    out->push_back(emitted_ == 0 ? static_cast<char>('0' + At(0).level)
                                 : static_cast<char>('0' + BitAt(emitted_)));
    ++emitted_;
  }
}

void BlockTracker::Flush(std::string* out) {
  while (emitted_ <= newest_) {
    out->push_back(emitted_ == 0 ? static_cast<char>('0' + At(0).level)
                                 : static_cast<char>('0' + BitAt(emitted_)));
    ++emitted_;
  }
}

void BlockTracker::Search(std::uint16_t syndrome) {
  const int slot = SlotOf(syndrome);
  if (slot < 0) return;
  // Two blocks in the right order one block apart are a synchronisation: one alone is found by
  // chance once in every few hundred bits.
  if (candidate_end_ == newest_ - rds::kBlockBits && slot == (candidate_slot_ + 1) % 4) {
    synchronised_ = true;
    ++counts_.syncs;
    failures_in_a_row_ = 0;
    next_block_end_ = newest_ + rds::kBlockBits;
    next_slot_ = (slot + 1) % 4;
    group_good_ = slot == 1 && candidate_slot_ == 0;
    if (slot == 1) {
      version_b_known_ = true;
      version_b_ = ((shift_ >> 10) & 0x0800U) != 0;
    }
    return;
  }
  candidate_end_ = newest_;
  candidate_slot_ = slot;
}

// What stays the same from group to group: the PI in every block A (and C' of version-B groups)
// and TP and PTY in every block B. A clean block sets them; a soft-corrected block A, C' or B
// must agree with them, which keeps a correction from inventing a block that only looks valid.
void BlockTracker::RememberStation(int slot, std::uint32_t block) {
  const auto info = static_cast<std::uint16_t>(block >> 10);
  if (CarriesPi(slot, block)) {
    pi_ = info;
    pi_known_ = true;
  } else if (slot == 1) {
    tp_pty_ = info & kTpPtyMask;
    tp_pty_known_ = true;
  }
}

bool BlockTracker::CarriesPi(int slot, std::uint32_t block) {
  return slot == 0 ||
         (slot == 2 && rds::Syndrome(block) == rds::OffsetSyndrome(rds::Offset::kCPrime));
}

float BlockTracker::UncheckedLimit() const {
  // Blocks C and D carry nothing the station repeats, so only their syndrome vouches for a
  // correction. The more blocks arrive damaged, the likelier a damaged block is beyond repair and
  // a cheap flip that fits it a coincidence: such blocks are corrected less boldly as the share
  // of damaged blocks rises (about 35 % at SNR −2.5 dB, 75 % at −5 dB), and not at all beyond.
  if (damage_ < 0.35f) return kSoftCostLimit;
  if (damage_ < 0.75f) return kSoftCostLimit * 5 / 8;
  return -1.0f;
}

bool BlockTracker::FitsTheStation(int slot, std::uint32_t block) const {
  const auto info = static_cast<std::uint16_t>(block >> 10);
  if (CarriesPi(slot, block)) return pi_known_ && info == pi_;
  if (slot == 1) return tp_pty_known_ && (info & kTpPtyMask) == tp_pty_;
  return true;
}

void BlockTracker::CheckBlock() {
  const int slot = next_slot_;
  next_slot_ = (next_slot_ + 1) % 4;
  next_block_end_ += rds::kBlockBits;
  if (slot == 0) group_good_ = true;

  std::uint32_t block = BlockEndingAt(newest_);
  const std::uint16_t syndrome = rds::Syndrome(block);
  ++counts_.blocks;
  bool good = SlotOf(syndrome) == slot;
  const bool clean = good;
  if (!good) {
    ++counts_.bad_blocks;
    if (soft_correct_ && mean_reliability_ > 0 && mean_square_ > 0) {
      const rds::Offset wanted[4][2] = {{rds::Offset::kA, rds::Offset::kA},
                                        {rds::Offset::kB, rds::Offset::kB},
                                        {rds::Offset::kC, rds::Offset::kCPrime},
                                        {rds::Offset::kD, rds::Offset::kD}};
      rds::Offset first = wanted[slot][0];
      rds::Offset second = wanted[slot][1];
      if (slot == 2 && version_b_known_)
        first = second = version_b_ ? rds::Offset::kCPrime : rds::Offset::kC;
      SoftBlock soft;
      soft.bits = block;
      const long long start = newest_ - rds::kBlockBits + 1;
      for (int k = 0; k <= rds::kBlockBits; ++k) {
        soft.reliability[static_cast<std::size_t>(k)] = At(start - 1 + k).reliability;
      }
      const SoftCorrection fix =
          soft_decoder_.Correct(soft, rds::OffsetSyndrome(first), rds::OffsetSyndrome(second),
                                LikelihoodScale(), kSoftCostLimit);
      if (fix.found && FitsTheStation(slot, fix.bits) &&
          fix.cost <=
              (CarriesPi(slot, fix.bits) || slot == 1 ? kSoftCostLimit : UncheckedLimit())) {
        // Level 0 belongs to the block before, which has been judged already: its flip is kept
        // to this block's first bit. The others flip the stored levels, so that the next block's
        // first bit follows the corrected last level.
        if (fix.levels & 1U) At(start).flip ^= 1;
        for (int k = 1; k <= rds::kBlockBits; ++k) {
          if (fix.levels & (std::uint32_t{1} << k)) At(start - 1 + k).level ^= 1;
        }
        block = fix.bits;
        good = true;
        ++counts_.corrected;
      }
    }
  }
  if (slot == 1 && good) {
    version_b_known_ = true;
    version_b_ = ((block >> 10) & 0x0800U) != 0;
  }
  if (clean) RememberStation(slot, block);
  damage_ += ((clean ? 0.0f : 1.0f) - damage_) / 32.0f;
  group_good_ = group_good_ && good;
  if (slot == 3 && group_good_) ++counts_.groups;

  failures_in_a_row_ = good ? 0 : failures_in_a_row_ + 1;
  if (failures_in_a_row_ >= kLossAfterFailures) {
    synchronised_ = false;
    candidate_end_ = -1;
  }
}

}  // namespace demod
