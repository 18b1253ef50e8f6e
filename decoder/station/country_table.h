// The country of a programme from its PI code and the extended country code (ECC) of group 1A:
// the PI's first hexadecimal digit alone names up to five countries, the ECC tells which.
#ifndef RDS_DECODER_STATION_COUNTRY_TABLE_H_
#define RDS_DECODER_STATION_COUNTRY_TABLE_H_

#include <cstdint>

namespace decoder {

// ISO 3166-1 alpha-2 code in lower case ("de"), or nullptr when the pair names no country
// in the tables we hold (the European Broadcasting Area, the USA and Canada).
const char* CountryCode(std::uint16_t pi, std::uint8_t ecc);

// Whether the ECC belongs to a country that uses the North American RBDS conventions.
bool IsNorthAmericanEcc(std::uint8_t ecc);

}  // namespace decoder

#endif  // RDS_DECODER_STATION_COUNTRY_TABLE_H_
