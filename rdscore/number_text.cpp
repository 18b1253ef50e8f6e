#include "rdscore/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace rds {

bool ParseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

bool ParseNumber(const std::string& text, double low, double high, double* value) {
  double parsed = 0;
  if (!ParseNumber(text, &parsed) || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

}  // namespace rds
