#include "demod/soft_block_decoder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace demod {

namespace {

constexpr int kLevels = rds::kBlockBits + 1;
constexpr int kCandidates = 8;

// The bits of the block that flipping level k changes (bit 25 is the first on air).
std::uint32_t LevelMask(int k) {
  std::uint32_t mask = 0;
  if (k >= 1) mask |= std::uint32_t{1} << (rds::kBlockBits - k);
  if (k <= rds::kBlockBits - 1) mask |= std::uint32_t{1} << (rds::kBlockBits - 1 - k);
  return mask;
}

}  // namespace

// NOLINTBEGIN(bugprone-easily-swappable-parameters): the two offsets count in either order
SoftCorrection SoftBlockDecoder::Correct(const SoftBlock& block, std::uint16_t syndrome,
                                         std::uint16_t other_syndrome, float likelihood_scale,
                                         float max_cost) const {
  // NOLINTEND(bugprone-easily-swappable-parameters)
  std::array<int, kLevels> order{};
  for (int k = 0; k < kLevels; ++k) order[static_cast<std::size_t>(k)] = k;
  std::partial_sort(order.begin(), order.begin() + kCandidates, order.end(), [&](int a, int b) {
    return block.reliability[static_cast<std::size_t>(a)] <
           block.reliability[static_cast<std::size_t>(b)];
  });
  std::array<std::uint32_t, kCandidates> masks{};
  std::array<std::uint16_t, kCandidates> syndromes{};
  std::array<float, kCandidates> costs{};
  for (std::size_t i = 0; i < kCandidates; ++i) {
    masks[i] = LevelMask(order[i]);
    syndromes[i] = rds::Syndrome(masks[i]);
    costs[i] = likelihood_scale * block.reliability[static_cast<std::size_t>(order[i])];
  }
  const std::uint16_t received = rds::Syndrome(block.bits);
  SoftCorrection best;
  float runner_up = std::numeric_limits<float>::infinity();
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): syndrome, then the flip that gives it
  auto consider = [&](std::uint16_t s, std::uint32_t mask, std::uint32_t levels, float cost) {
    if (s != syndrome && s != other_syndrome) return;
    if (best.found && cost >= best.cost) {
      runner_up = std::fmin(runner_up, cost);
      return;
    }
    if (best.found) runner_up = best.cost;
    best = {true, block.bits ^ mask, levels, cost};
  };
  consider(received, 0, 0, 0);
  for (std::size_t a = 0; a < kCandidates; ++a) {
    const std::uint32_t la = std::uint32_t{1} << order[a];
    consider(received ^ syndromes[a], masks[a], la, costs[a]);
    for (std::size_t b = a + 1; b < kCandidates; ++b) {
      consider(received ^ syndromes[a] ^ syndromes[b], masks[a] ^ masks[b],
               la | (std::uint32_t{1} << order[b]), costs[a] + costs[b]);
    }
  }
  // Believe a correction only when it is likely in itself and far likelier than the next one.
  if (best.found && (best.cost > max_cost || runner_up - best.cost < margin_)) best.found = false;
  return best;
}

}  // namespace demod
