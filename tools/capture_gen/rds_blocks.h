// Building RDS bit streams: blocks with checkword and offset word, and the groups a broadcaster
// sends (basic tuning 0A/0B, radiotext 2A/2B, clock time 4A, anything else raw). Written from the
// block code's generator polynomial, independently of the decoder.
#ifndef RDS_TOOLS_RDS_BLOCKS_H_
#define RDS_TOOLS_RDS_BLOCKS_H_

#include <cstdint>
#include <string>

namespace capture {

enum class Offset { A, B, C, CPrime, D };

// Offset words added to the checkword of each block of a group.
std::uint16_t OffsetWord(Offset offset);

// 10-bit checkword of `info`: info × x^10 modulo g(x) = x^10+x^8+x^7+x^5+x^4+x^3+1.
std::uint16_t Checkword(std::uint16_t info);

// The 26 bits sent for `info` with `offset`: info, then checkword XOR offset word.
std::uint32_t EncodeBlock(std::uint16_t info, Offset offset);

// Appends the 26 bits of `block` (bit 25 first) as '0'/'1' characters.
void AppendBits(std::string& out, std::uint32_t block);

// Appends a whole group: blocks A, B, C (C' when version B) and D.
void AppendGroup(std::string& out, std::uint16_t a, std::uint16_t b, std::uint16_t c,
                 std::uint16_t d);

// Block B of a group: type 0..15, version 0 (A) or 1 (B), TP, PTY and the low 5 bits.
std::uint16_t BlockB(int type, int version, int tp, int pty, int low5);

// Block C and D of a 4A clock-time group, and its block B's low bits.
struct ClockTime {
  std::uint32_t mjd;
  int hour, minute, negative, half_hours;
};
void ClockTimeWords(const ClockTime& ct, int* b_low5, std::uint16_t* c, std::uint16_t* d);

}  // namespace capture

#endif  // RDS_TOOLS_RDS_BLOCKS_H_
