// Test aid, not in --help: frames damaged on purpose, so that tests can provoke each refusal an
// encoder gives a sender (CRC error, incomplete message, bad stuffing, ...) and check that tamsel
// names it.
#ifndef RDS_SENDER_FRAME_DAMAGE_H_
#define RDS_SENDER_FRAME_DAMAGE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace sender {

enum class FrameDamage {
  kNone,
  kCrc,       // the CRC does not match (response code 1)
  kCut,       // the frame ends without its stop byte (2, after the encoder's frame timeout)
  kUnknown,   // the first element code is one no encoder knows (3)
  kMfl,       // MFL one more than the message bytes, with a matching CRC (8)
  kStuffing,  // 0xFD followed by a byte no stuffing makes (12)
  kShort,     // the message field ends inside the last element (13, or 7 for one with a MEL)
};

// "crc", "cut", "unknown", "mfl", "stuffing", "short"; false for another word.
[[nodiscard]] bool ParseFrameDamage(const std::string& word, FrameDamage* damage);

// The stuffed frame with the damage done.
std::vector<std::uint8_t> DamageFrame(const std::vector<std::uint8_t>& stuffed, FrameDamage damage);

}  // namespace sender

#endif  // RDS_SENDER_FRAME_DAMAGE_H_
