// RadioText Plus (RT+) content types and the open data applications a station may announce.
#ifndef RDS_DECODER_STATION_RTPLUS_TABLE_H_
#define RDS_DECODER_STATION_RTPLUS_TABLE_H_

#include <cstdint>

namespace decoder {

constexpr std::uint16_t kRtPlusAid = 0x4BD7;

// The RT+ content-type name of codes 0..63 in the lower-case dotted form receivers show
// ("item.title", "item.artist", "programme.now"); an empty string for any other code.
const char* RtPlusContentTypeName(int type);

// The name of an open data application by its application identification (AID), or nullptr
// for one we do not know.
const char* OdaApplicationName(std::uint16_t aid);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_RTPLUS_TABLE_H_
