// Values of element options as people write them: programme type names, times in ISO 8601,
// RDS texts. Each parser says why it refuses a text.
#ifndef RDS_SENDER_ELEMENT_VALUES_H_
#define RDS_SENDER_ELEMENT_VALUES_H_

#include <cstdint>
#include <string>
#include <vector>

namespace sender {

// A programme type: 0 to 31, or its RDS name ("Pop Music", "pop-music", "POP_MUSIC" alike).
[[nodiscard]] bool ParseProgrammeType(const std::string& text, std::uint8_t* type);
// The RDS name of a programme type, for reports.
const char* ProgrammeTypeName(std::uint8_t type);

// Checks a text for the RDS display: no control characters. Longer than max_length: refused,
// or cut when truncate. error names the option.
[[nodiscard]] bool CheckRdsText(const std::string& option, std::string* text,
                                std::size_t max_length, bool truncate, std::string* error);

// The eight data bytes of the real-time clock element (YY MM DD hh mm ss cc, offset byte) for a
// time "YYYY-MM-DDThh:mm[:ss[.ff]]" followed by "Z" or an offset "+hh:mm"/"-hh:mm" (whole half
// hours). The clock element carries UTC and the local offset.
[[nodiscard]] bool ParseClockTime(const std::string& text, std::vector<std::uint8_t>* bytes,
                                  std::string* error);

// Alternative frequencies "88.1,107.5,1440": below 150 MHz FM, otherwise LF/MF in kHz. Each
// must lie in its band (FM 87.6-107.9 MHz, LF 153-279 kHz, MF 531-1602 kHz); at most 25.
[[nodiscard]] bool ParseFrequencies(const std::string& text, std::vector<float>* frequencies,
                                    std::string* error);

// Programme item number "DAY,HH:MM" (day 1-31) or the 16 bits as 0xNNNN.
[[nodiscard]] bool ParseProgrammeItem(const std::string& text, std::uint16_t* code);

// Hexadecimal bytes, blanks, ':' and '.' between them allowed.
[[nodiscard]] bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes);

// Bytes as upper-case hex pairs without spaces, as frames are shown and logged.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace sender

#endif  // RDS_SENDER_ELEMENT_VALUES_H_
