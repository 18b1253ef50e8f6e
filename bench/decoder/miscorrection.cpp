// How often receiver mode corrects a block into the wrong one, for every longest burst N = 1..5,
// next to a plain burst-trapping decoder that corrects every block whose syndrome matches a burst
// of at most N bits at the offset due (and never loses the alignment, which it is told).
//
//  - random noise: every correction is wrong; the rate is per 26-bit block of noise;
//  - the station fading in and out (50 groups heard, 50 groups of noise): per block of noise;
//  - a clean station with one burst longer than N (N+1..10 bits, all detectable by the code) in
//    one block of every group: the rate is per damaged block;
//  - the same station with bursts of at most N bits: how many of them each decoder repairs;
//  - random bit errors at 1 %: wrong corrections among all corrections;
//  - wrong levels at 1 %, as a receiver that decodes differentially makes them (each inverts two
//    adjacent bits): wrong corrections among all corrections.
// Receiver mode is measured with all its guards, and with each guard left out.
//
// Usage: brovik_miscorrection [GROUPS] (default 20000 groups per measurement).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "decoder/block_receiver.h"
#include "decoder/burst_corrector.h"
#include "tools/capture_gen/station.h"

namespace {

struct Tally {
  long long corrected = 0;
  long long wrong = 0;
};

// Received bits and, where the station sent a block, the block it sent (by its first bit).
struct Capture {
  std::vector<std::uint8_t> bits;
  std::vector<std::uint32_t> sent;        // per bit position: the block sent starting there, or ~0
  std::vector<decoder::BlockOffset> due;  // the offset it was sent with (C for noise)
};

constexpr std::uint32_t kNoBlock = ~0u;

std::uint32_t BlockAt(const std::vector<std::uint8_t>& bits, std::size_t at) {
  std::uint32_t block = 0;
  for (std::size_t i = 0; i < 26; ++i) block = (block << 1) | bits[at + i];
  return block;
}

Capture Station(int groups) {
  Capture c;
  std::string text;
  capture::Station station{capture::StationConfig{}};
  for (int g = 0; g < groups; ++g) station.AppendNextGroup(text);
  for (const char ch : text) c.bits.push_back(ch == '1');
  c.sent.assign(c.bits.size(), kNoBlock);
  c.due.assign(c.bits.size(), decoder::C);
  for (std::size_t at = 0; at + 26 <= c.bits.size(); at += 26) {
    c.sent[at] = BlockAt(c.bits, at);
    c.due[at] = decoder::OffsetOf(decoder::Syndrome(c.sent[at]));
  }
  return c;
}

Capture Noise(std::size_t bits, std::mt19937& random) {
  Capture c;
  for (std::size_t i = 0; i < bits; ++i) c.bits.push_back(random() & 1);
  c.sent.assign(bits, kNoBlock);
  c.due.assign(bits, decoder::C);
  return c;
}

// The station fading in and out: `groups` groups in turns of 50 heard and 50 lost in noise.
Capture Fading(int groups, std::mt19937& random) {
  Capture c = Station(groups);
  for (std::size_t at = 0; at < c.bits.size(); ++at) {
    if (at / (std::size_t{50} * 104) % 2 == 1) c.bits[at] = random() & 1;
  }
  return c;
}

// A burst of `length` bits (first and last set, random between) at a random place in a block.
void AddBurst(Capture& c, std::size_t block_start, int length, std::mt19937& random) {
  const std::size_t at = block_start + random() % static_cast<unsigned>(27 - length);
  for (int i = 0; i < length; ++i) {
    const bool flip = i == 0 || i == length - 1 || (random() & 1);
    if (flip) c.bits[at + static_cast<std::size_t>(i)] ^= 1;
  }
}

struct BurstLengths {
  int shortest;
  int longest;
};

// One burst per group in a random block.
Capture StationWithBursts(int groups, BurstLengths lengths, std::mt19937& random) {
  Capture c = Station(groups);
  for (int g = 0; g < groups; ++g) {
    const int length =
        lengths.shortest +
        static_cast<int>(random() % static_cast<unsigned>(lengths.longest - lengths.shortest + 1));
    AddBurst(c, static_cast<std::size_t>(g) * 104 + 26 * (random() % 4), length, random);
  }
  return c;
}

// Bits inverted at random, one in a hundred.
Capture StationWithBitErrors(int groups, std::mt19937& random) {
  Capture c = Station(groups);
  std::bernoulli_distribution error(0.01);
  for (std::uint8_t& bit : c.bits) {
    if (error(random)) bit = static_cast<std::uint8_t>(bit ^ 1U);
  }
  return c;
}

// Levels decided wrongly, one in a hundred: a bit is the difference of the levels before and
// after it, so a wrong level inverts the bit before it and the bit after it.
Capture StationWithLevelErrors(int groups, std::mt19937& random) {
  Capture c = Station(groups);
  std::bernoulli_distribution error(0.01);
  for (std::size_t level = 0; level <= c.bits.size(); ++level) {
    if (!error(random)) continue;
    if (level > 0) c.bits[level - 1] ^= 1;
    if (level < c.bits.size()) c.bits[level] ^= 1;
  }
  return c;
}

class Counter : public decoder::BlockObserver {
 public:
  explicit Counter(const Capture& capture) : capture_(capture) {}
  void OnBlock(const decoder::ReportedBlock& b) override {
    if (b.status != decoder::BlockStatus::kCorrected) return;
    ++tally.corrected;
    const auto at = static_cast<std::size_t>(b.position);
    if (capture_.sent[at] != b.block) ++tally.wrong;
  }
  void OnSkip(std::int64_t, std::int64_t) override {}
  Tally tally;

 private:
  const Capture& capture_;
};

Tally Receiver(const Capture& capture, int max_burst, decoder::CorrectionGuards guards) {
  decoder::ReceiverConfig config;
  config.max_burst = max_burst;
  config.guards = guards;
  Counter counter(capture);
  decoder::BlockReceiver receiver(config, &counter, {});
  receiver.Push(capture.bits.data(), capture.bits.size());
  receiver.Finish(receiver.Position());
  return counter.tally;
}

// Told the alignment; corrects whatever a burst of at most N bits reaches at the offset due.
Tally PlainBurstDecoder(const Capture& capture, int max_burst) {
  static const decoder::BlockOffset kDue[4] = {decoder::A, decoder::B, decoder::C, decoder::D};
  Tally tally;
  for (std::size_t at = 0; at + 26 <= capture.bits.size(); at += 26) {
    const std::uint32_t block = BlockAt(capture.bits, at);
    const decoder::BlockOffset due = at / 26 % 4 == 2 ? capture.due[at] : kDue[at / 26 % 4];
    const std::uint16_t syndrome = decoder::Syndrome(block);
    if (syndrome == decoder::OffsetSyndromeTable[due]) continue;
    const decoder::BurstPattern burst =
        decoder::BurstWithSyndrome(syndrome ^ decoder::OffsetSyndromeTable[due]);
    if (burst.length == 0 || burst.length > max_burst) continue;
    ++tally.corrected;
    if (capture.sent[at] != (block ^ burst.bits)) ++tally.wrong;
  }
  return tally;
}

double Percent(long long part, long long whole) {
  return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

enum class Measure { kWrongPerBlock, kRepairedPerBlock, kWrongAmongCorrections };

struct Scenario {
  const char* title;
  Measure measure;
  // The input for longest burst N, and the blocks the rates are taken over.
  std::function<Capture(int n)> make;
  long long blocks;
};

double Rate(const Scenario& scenario, const Tally& t) {
  switch (scenario.measure) {
    case Measure::kWrongPerBlock:
      return Percent(t.wrong, scenario.blocks);
    case Measure::kRepairedPerBlock:
      return Percent(t.corrected - t.wrong, scenario.blocks);
    case Measure::kWrongAmongCorrections:
      return Percent(t.wrong, t.corrected);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int groups = 20000;
  if (argc > 1) {
    // A count that is not a whole number from 1 on would silently measure nothing: "abc" and
    // "-5" are no stations.
    char* end = nullptr;
    const long given = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || given < 1 || given > 10000000) {
      std::fprintf(stderr,
                   "usage: brovik_miscorrection [GROUPS]  (1 to 10000000, default 20000)\n");
      return 64;
    }
    groups = static_cast<int>(given);
  }
  const long long blocks = 4LL * groups;
  std::mt19937 random(2026);
  const Scenario scenarios[] = {
      {"random noise: wrong corrections per block", Measure::kWrongPerBlock,
       [&](int) { return Noise(static_cast<std::size_t>(blocks) * 26, random); }, blocks},
      {"fading in turns of 50 groups: wrong corrections per lost block", Measure::kWrongPerBlock,
       [&](int) { return Fading(groups, random); }, blocks / 2},
      {"bursts of N+1..10 bits: wrong corrections per damaged block", Measure::kWrongPerBlock,
       [&](int n) {
         return StationWithBursts(groups, BurstLengths{n + 1, 10}, random);
       },
       groups},
      {"bursts of 1..N bits: blocks repaired per damaged block", Measure::kRepairedPerBlock,
       [&](int n) {
         return StationWithBursts(groups, BurstLengths{1, n}, random);
       },
       groups},
      {"bit errors 1 %: wrong among corrections", Measure::kWrongAmongCorrections,
       [&](int) { return StationWithBitErrors(groups, random); }, blocks},
      {"wrong levels 1 %: wrong among corrections", Measure::kWrongAmongCorrections,
       [&](int) { return StationWithLevelErrors(groups, random); }, blocks},
  };
  const decoder::CorrectionGuards guards[3] = {
      {}, {/*same_station=*/false, true}, {true, /*error_shape=*/false}};

  std::printf(
      "| input | N | plain burst decoder | receiver mode | without station guard "
      "| without error-shape rule |\n|---|---|---|---|---|---|\n");
  for (const Scenario& scenario : scenarios) {
    for (int n = 1; n <= decoder::kMaxCorrectableBurst; ++n) {
      const Capture capture = scenario.make(n);
      std::printf("| %s | %d | %.3f %%", scenario.title, n,
                  Rate(scenario, PlainBurstDecoder(capture, n)));
      for (const decoder::CorrectionGuards& guard : guards) {
        std::printf(" | %.4f %%", Rate(scenario, Receiver(capture, n, guard)));
      }
      std::printf(" |\n");
    }
  }
  return 0;
}
