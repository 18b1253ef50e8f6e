#include "decoder/station_memory.h"

namespace decoder {

namespace {

constexpr int kTpPtyBits = 0x07E0;  // bits 10..5 of block B's information word: TP, then PTY

int InfoOf(std::uint32_t block) { return static_cast<int>(block >> 10); }

bool CarriesPi(BlockOffset offset) { return offset == A || offset == CPrime; }

// The code word of an information word: its 16 bits, then the remainder of their polynomial times
// x^10 divided by g(x) = x^10+x^8+x^7+x^5+x^4+x^3+1 as the checkword (no offset word yet).
std::uint32_t CodeWord(int info) {
  constexpr std::uint32_t kGenerator = 0x5B9;
  const std::uint32_t word = static_cast<std::uint32_t>(info) << 10;
  std::uint32_t remainder = word;
  for (int bit = kBlockBits - 1; bit >= 10; --bit) {
    if (remainder & (std::uint32_t{1} << bit)) remainder ^= kGenerator << (bit - 10);
  }
  return word | remainder;
}

int PopCount(std::uint32_t bits) {
  int count = 0;
  for (; bits != 0; bits &= bits - 1) ++count;
  return count;
}

}  // namespace

void StationMemory::NoteClean(const JudgedBlock& clean) {
  if (CarriesPi(clean.offset) && InfoOf(clean.block) != pi_) {
    pi_ = InfoOf(clean.block);
    pi_code_word_ = CodeWord(pi_);
  }
  if (clean.offset == B) pty_tp_ = InfoOf(clean.block) & kTpPtyBits;
}

bool StationMemory::Fits(const JudgedBlock& corrected) const {
  if (CarriesPi(corrected.offset)) return InfoOf(corrected.block) == pi_;
  if (corrected.offset == B) return (InfoOf(corrected.block) & kTpPtyBits) == pty_tp_;
  return true;
}

bool StationMemory::NearOwnBlock(std::uint32_t block, BlockOffset offset, int max_bits,
                                 std::uint32_t* own) const {
  if (pi_ < 0 || !CarriesPi(offset)) return false;
  *own = pi_code_word_ ^ OffsetWordTable[offset];
  return PopCount(block ^ *own) <= max_bits;
}

}  // namespace decoder
