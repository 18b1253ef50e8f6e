// Turns the stream of half-bit samples (after the matched filter, at the half-bit centres, carrier
// removed) into one soft value per bit. Each RDS bit is a biphase symbol: two half-bits of
// opposite sign. Which of two neighbouring half-bits open a bit cannot be told from one pair, but
// over many bits the true pairs differ by twice the amplitude every time while the false pairs,
// which straddle two bits, do so only when the levels of neighbouring bits agree. The decoder
// keeps both pairings' mean |difference| and follows the larger, with hysteresis.
#ifndef RDS_DEMOD_BIPHASE_DECODER_H_
#define RDS_DEMOD_BIPHASE_DECODER_H_

namespace demod {

class BiphaseDecoder {
 public:
  // Feeds one half-bit sample; true with the bit's soft value in `*bit` when a pair is complete
  // (positive for a symbol that starts high; the magnitude is the decision's reliability).
  bool Push(float half_bit, float* bit);

  // Number of times the pairing was changed (each one drops or repeats a half-bit).
  long long pairing_changes() const { return pairing_changes_; }

 private:
  float previous_ = 0;
  int parity_ = 0;              // parity of the half-bit just received
  int pairing_ = 0;             // parity of the half-bits that open a bit
  float contrast_[2] = {0, 0};  // mean |first − second| for the pairs opening at each parity
  long long pairing_changes_ = 0;
};

}  // namespace demod

#endif  // RDS_DEMOD_BIPHASE_DECODER_H_
