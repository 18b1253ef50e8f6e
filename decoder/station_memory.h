// What the block layer remembers of the station it receives: the PI of the last clean block A or
// C', and the TP and PTY of the last clean block B. A station does not change them from group to
// group. So a corrected block that carries other values was corrected wrongly; and a damaged
// block A or C' that lies within a few bits of the station's own block is that block, since a
// block made of noise is that close to one given word far more rarely than it passes a syndrome
// check.
#ifndef RDS_DECODER_STATION_MEMORY_H_
#define RDS_DECODER_STATION_MEMORY_H_

#include <cstdint>

#include "decoder/block_code.h"
#include "decoder/burst_corrector.h"

namespace decoder {

class StationMemory {
 public:
  // A block received clean: A and C' give the PI, B the TP and PTY.
  void NoteClean(const JudgedBlock& clean);

  // Whether a corrected block agrees with what the station sent before: A and C' its PI, B its
  // TP and PTY. Blocks C and D carry nothing that stays, and pass. Before the station has shown
  // the value, nothing agrees with it.
  bool Fits(const JudgedBlock& corrected) const;

  // The station's own block with `offset` (A or C': the PI and its checkword), when `block`
  // differs from it in at most `max_bits` bits.
  bool NearOwnBlock(std::uint32_t block, BlockOffset offset, int max_bits,
                    std::uint32_t* own) const;

 private:
  int pi_ = -1;                     // PI of the last clean block A or C'
  std::uint32_t pi_code_word_ = 0;  // the PI with its checkword, without an offset word
  int pty_tp_ = -1;                 // TP and PTY bits of the last clean block B
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_MEMORY_H_
