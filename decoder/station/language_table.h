// Language identification codes of group 1A (variant 3): the spoken language of the programme.
#ifndef RDS_DECODER_STATION_LANGUAGE_TABLE_H_
#define RDS_DECODER_STATION_LANGUAGE_TABLE_H_

namespace decoder {

// English name of a language code, or nullptr for an unassigned code. Code 0 is "Unknown".
const char* LanguageName(int code);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_LANGUAGE_TABLE_H_
