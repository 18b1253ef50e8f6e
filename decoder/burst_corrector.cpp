#include "decoder/burst_corrector.h"

namespace decoder {

namespace {

struct BurstTable {
  BurstPattern by_syndrome[1024];
  bool unique;  // no two bursts of at most kMaxCorrectableBurst bits share a syndrome
};

constexpr std::uint16_t PatternSyndrome(std::uint32_t pattern) {
  std::uint16_t syndrome = 0;
  for (int bit = 0; bit < kBlockBits; ++bit) {
    if (pattern & (std::uint32_t{1} << bit)) syndrome ^= ParityCheckTable[bit];
  }
  return syndrome;
}

// Every burst: a first and a last set bit `length` - 1 apart with any bits between them, at every
// place it fits in the block.
constexpr BurstTable BuildBurstTable() {
  BurstTable t{};
  t.unique = true;
  for (int length = 1; length <= kMaxCorrectableBurst; ++length) {
    const std::uint32_t inner_count = length > 2 ? 1u << (length - 2) : 1u;
    for (int low = 0; low + length <= kBlockBits; ++low) {
      for (std::uint32_t inner = 0; inner < inner_count; ++inner) {
        std::uint32_t pattern = 1u | (1u << (length - 1));
        if (length > 2) pattern |= inner << 1;
        pattern <<= low;
        BurstPattern& entry = t.by_syndrome[PatternSyndrome(pattern)];
        if (entry.length != 0) t.unique = false;
        entry = BurstPattern{pattern, static_cast<std::uint8_t>(length)};
      }
    }
  }
  if (t.by_syndrome[0].length != 0) t.unique = false;
  return t;
}

constexpr BurstTable kBursts = BuildBurstTable();
static_assert(kBursts.unique, "the RDS code corrects every burst of up to 5 bits");

// The burst that turns `syndrome` into that of `offset`, if it is short enough.
bool BurstTo(std::uint16_t syndrome, BlockOffset offset, int max_burst, BurstPattern* burst) {
  *burst = kBursts.by_syndrome[(syndrome ^ OffsetSyndromeTable[offset]) & 0x3FF];
  return burst->length != 0 && burst->length <= max_burst;
}

}  // namespace

BurstPattern BurstWithSyndrome(std::uint16_t syndrome) {
  return kBursts.by_syndrome[syndrome & 0x3FF];
}

JudgedBlock JudgeBlock(std::uint32_t block, BlockOffset expected, BlockOffset alternative,
                       int max_burst) {
  const std::uint16_t syndrome = FastSyndrome(block);
  if (syndrome == OffsetSyndromeTable[expected]) return {block, expected, BlockStatus::kClean};
  if (alternative != None && syndrome == OffsetSyndromeTable[alternative]) {
    return {block, alternative, BlockStatus::kClean};
  }
  const JudgedBlock missing{block, None, BlockStatus::kMissing};
  if (max_burst <= 0) return missing;
  BurstPattern to_expected{};
  BurstPattern to_alternative{};
  const bool reaches_expected = BurstTo(syndrome, expected, max_burst, &to_expected);
  const bool reaches_alternative =
      alternative != None && BurstTo(syndrome, alternative, max_burst, &to_alternative);
  if (reaches_expected == reaches_alternative) return missing;  // neither, or ambiguous
  if (reaches_expected) return {block ^ to_expected.bits, expected, BlockStatus::kCorrected};
  return {block ^ to_alternative.bits, alternative, BlockStatus::kCorrected};
}

}  // namespace decoder
