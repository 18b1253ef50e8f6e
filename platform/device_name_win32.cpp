#include "platform/device_name.h"

namespace platform {

std::string SystemDeviceName(const char* windows_path) { return windows_path; }

}  // namespace platform
