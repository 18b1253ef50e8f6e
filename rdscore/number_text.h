// Numbers on the tools' command lines: the whole text must be one finite decimal number, so that
// "12x", "" and "nan" are refused rather than read as 12, 0 or a value no range check can catch.
#ifndef RDS_RDSCORE_NUMBER_TEXT_H_
#define RDS_RDSCORE_NUMBER_TEXT_H_

#include <string>

namespace rds {

[[nodiscard]] bool ParseNumber(const std::string& text, double* value);

// Also within [low, high].
[[nodiscard]] bool ParseNumber(const std::string& text, double low, double high, double* value);

}  // namespace rds

#endif  // RDS_RDSCORE_NUMBER_TEXT_H_
