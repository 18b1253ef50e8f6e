// What the bit errors of a stream look like, learned from corrections that are known to be right.
//
// RDS is differentially coded: a receiver decides the transmitted levels and takes each bit as
// the difference of two neighbouring ones, so one wrong level inverts two adjacent bits, or a
// single bit at a block's edge (the other one lies in the neighbouring block). A lone wrong bit
// inside a block takes a long run of wrong levels, such as a carrier phase slip. From a receiver
// like that, a damaged block whose syndrome is that of a lone inner bit almost always holds two
// or more wrong levels instead, and flipping that bit makes a wrong block.
//
// The block layer knows which corrections are right: a corrected block A or C' that comes out
// carrying the station's PI. ErrorShape watches their bursts. Once the last kEvidence of them
// were all one wrong level, lone inner bits are no longer believed in blocks nothing else
// checks; a single verified lone bit (a stream with independent bit errors) lifts that again.
#ifndef RDS_DECODER_ERROR_SHAPE_H_
#define RDS_DECODER_ERROR_SHAPE_H_

#include <cstdint>

namespace decoder {

class ErrorShape {
 public:
  static constexpr int kEvidence = 16;

  // `burst`: the bits a verified correction inverted (bit 25 the first on air).
  void NoteVerified(std::uint32_t burst);
  // Whether a correction by `burst` of a block that nothing else can check is believable.
  bool Believable(std::uint32_t burst) const {
    return one_level_in_a_row_ < kEvidence || !IsLoneInnerBit(burst);
  }
  bool LoneBitsRuledOut() const { return one_level_in_a_row_ >= kEvidence; }

  static bool IsLoneInnerBit(std::uint32_t burst);
  static bool IsOneWrongLevel(std::uint32_t burst);

 private:
  int one_level_in_a_row_ = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_ERROR_SHAPE_H_
