// Alternative frequencies sent by method A: a count code 224 + N, then the N frequencies two
// codes per group, repeated over and over. A list counts as received once N different
// frequencies have followed its count code.
#ifndef RDS_DECODER_STATION_AF_LIST_H_
#define RDS_DECODER_STATION_AF_LIST_H_

#include <cstdint>

namespace decoder {

class AfList {
 public:
  static constexpr int kMaxEntries = 25;

  // Reads one code pair (block C of 0A, or an other-network AF of 14A); true when the pair
  // completed the announced list.
  bool AddPair(std::uint8_t first, std::uint8_t second);

  // The last completed list, in the order its frequencies arrived, in kHz (FM 87600..107900,
  // LF 153..279, MF 531..1602).
  int Size() const { return size_; }
  std::int32_t KiloHertz(int index) const { return list_[index]; }
  bool Known() const { return known_; }

  // kHz of an FM code 1..204; 0 for any other code.
  static std::int32_t FmKiloHertz(int code);
  // kHz of an LF/MF code 1..135 (the code after the 250 marker); 0 for any other code.
  static std::int32_t LfMfKiloHertz(int code);

 private:
  bool AddCode(int code);

  int expected_ = 0;  // frequencies announced by the last count code
  int pending_size_ = 0;
  std::int32_t pending_[kMaxEntries] = {};
  bool lf_mf_next_ = false;  // code 250 came: the next code is an LF/MF frequency
  int size_ = 0;
  std::int32_t list_[kMaxEntries] = {};
  bool known_ = false;
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_AF_LIST_H_
