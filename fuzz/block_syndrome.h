// The RDS block syndrome written out here, from the rows of the parity-check matrix, so that the
// fuzz targets check the decoder against a computation of their own.
#ifndef RDS_FUZZ_BLOCK_SYNDROME_H_
#define RDS_FUZZ_BLOCK_SYNDROME_H_

#include <cstdint>

namespace fuzz {

// Syndrome of a 26-bit block, first bit received (bit 25) first.
inline unsigned BlockSyndrome(std::uint32_t block) {
  constexpr unsigned kRows[26] = {0x200, 0x100, 0x080, 0x040, 0x020, 0x010, 0x008, 0x004, 0x002,
                                  0x001, 0x2DC, 0x16E, 0x0B7, 0x287, 0x39F, 0x313, 0x355, 0x376,
                                  0x1BB, 0x201, 0x3DC, 0x1EE, 0x0F7, 0x2A7, 0x38F, 0x31B};
  unsigned syndrome = 0;
  for (int i = 0; i < 26; ++i) {
    if ((block >> (25 - i) & 1) != 0) syndrome ^= kRows[i];
  }
  return syndrome;
}

}  // namespace fuzz

#endif  // RDS_FUZZ_BLOCK_SYNDROME_H_
