// UECP framing written out plainly for the fuzz targets, independent of both the library and the
// simulator, so that each can be checked against it.
#ifndef RDS_FUZZ_UECP_REFERENCE_H_
#define RDS_FUZZ_UECP_REFERENCE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

// CRC-CCITT bit by bit: polynomial 0x1021, most significant bit first, start 0xFFFF, result
// inverted.
std::uint16_t ReferenceCrc(const std::uint8_t* data, std::size_t count);

// The stuffed frame STA, address, SQC, MFL, message, CRC, STP for a message of at most 255 bytes.
std::vector<std::uint8_t> ReferenceFrame(std::uint16_t address, std::uint8_t sequence,
                                         const std::vector<std::uint8_t>& message);

// The raw frame (STA to STP) of one stuffed frame; a malformed one breaks a property.
std::vector<std::uint8_t> Unstuff(const std::uint8_t* stuffed, std::size_t length);

// Splits a stream of back-to-back stuffed frames, as an encoder's replies arrive, into raw
// frames whose CRC and MFL agree; anything else breaks a property.
std::vector<std::vector<std::uint8_t>> SplitFrames(const std::vector<std::uint8_t>& stream);

}  // namespace fuzz

#endif  // RDS_FUZZ_UECP_REFERENCE_H_
