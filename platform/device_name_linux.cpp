#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/device_name.h"

namespace platform {
namespace {

constexpr char kComPrefix[] = "\\\\.\\COM";

// The port number of "\\.\COMn", or 0 when the path has another form. Leading zeros and numbers
// outside 1..255 are not COM names (Windows has no "COM01").
int ComPortNumber(const char* path) {
  const std::size_t prefix_length = std::strlen(kComPrefix);
  if (std::strncmp(path, kComPrefix, prefix_length) != 0) return 0;
  const char* digits = path + prefix_length;
  if (*digits < '1' || *digits > '9') return 0;
  int number = 0;
  for (const char* p = digits; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || p - digits >= 3) return 0;
    number = number * 10 + (*p - '0');
  }
  return number <= 255 ? number : 0;
}

}  // namespace

std::string SystemDeviceName(const char* windows_path) {
  const int port = ComPortNumber(windows_path);
  if (port == 0) return windows_path;
  const std::string variable = "RDS_COM" + std::to_string(port);
  const char* mapped = std::getenv(variable.c_str());
  if (mapped != nullptr && *mapped != '\0') return mapped;
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace platform
