// What the receiver's block layer hands to the listener's view of a station: one group at a time,
// each block with how it arrived, and the reception figures of the whole run.
//
// The block layer (synchronisation, error correction, re-synchronisation) fills these; the station
// layer (group decoding of every type, JSON, the summary) reads them. Neither knows how the other
// works.
#ifndef RDS_DECODER_RECEIVED_GROUP_H_
#define RDS_DECODER_RECEIVED_GROUP_H_

#include <array>
#include <cstdint>

namespace decoder {

enum class BlockStatus : std::uint8_t {
  kMissing,    // not received: no syndrome match where the block was expected, or skipped
  kClean,      // its syndrome was that of the expected offset
  kCorrected,  // a burst error was corrected to the expected offset
};

// One group as received. Blocks are in group order (A, B, C or C', D); the information word of
// a missing block is 0 and must not be read.
struct ReceivedGroup {
  std::array<std::uint16_t, 4> info{};
  std::array<BlockStatus, 4> status{};
  // The third block carried offset C' (a version-B group repeats the PI there).
  bool third_is_c_prime = false;
  // 0-based stream position of the group's first bit (block A, received or not). Divide by
  // 1187.5 for seconds since the start of the capture.
  std::int64_t first_bit = 0;

  bool Has(int block) const {
    return status[static_cast<std::size_t>(block)] != BlockStatus::kMissing;
  }
};

// Reception over the whole run, as the block layer counted it.
struct ReceptionStats {
  std::int64_t bits = 0;               // bits read
  std::int64_t blocks = 0;             // blocks reported while synchronised
  std::int64_t clean_blocks = 0;       // arrived without error
  std::int64_t corrected_blocks = 0;   // arrived with a burst error that was corrected
  std::int64_t error_blocks = 0;       // could not be used
  std::int64_t slips = 0;              // times synchronisation was lost and found again
  std::int64_t bits_without_sync = 0;  // bits read before the first sync and while searching again
  std::int64_t erased_bits = 0;  // stream bytes that were neither a bit nor layout, read as 0 bits
};

// Receives each group as it is completed, in stream order.
class GroupListener {
 public:
  virtual ~GroupListener() = default;
  virtual void OnGroup(const ReceivedGroup& group) = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_RECEIVED_GROUP_H_
