// The RDS character set: the EBU Latin based repertoire that PS, radiotext and PTYN are sent in,
// turned into Unicode so that the station's texts can leave the decoder as UTF-8.
#ifndef RDS_DECODER_STATION_RDS_CHARSET_H_
#define RDS_DECODER_STATION_RDS_CHARSET_H_

#include <cstdint>
#include <string>

namespace decoder {

// U+FFFD stands for every code that has no printable character: the control codes other than
// the line break, 0x7F and 0xFF.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// The Unicode character of one RDS code. 0x0A, the line break radiotext may carry, stays a line
// feed; 0x1F, the soft hyphen position marker, becomes U+00AD.
char32_t RdsCharToUnicode(std::uint8_t code);

// Appends the UTF-8 form of RDS code `code` to `out`.
void AppendRdsCharAsUtf8(std::uint8_t code, std::string& out);

// Appends `count` RDS codes as UTF-8.
void AppendRdsTextAsUtf8(const std::uint8_t* codes, int count, std::string& out);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_RDS_CHARSET_H_
