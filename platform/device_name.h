// Which operating-system device a Windows device path stands for, so that messages can name it.
#ifndef RDS_PLATFORM_DEVICE_NAME_H_
#define RDS_PLATFORM_DEVICE_NAME_H_

#include <string>

namespace platform {

// On Windows the path itself. On Linux "\\.\COMn" (n from 1 to 255) names the path in the
// environment variable RDS_COMn when it is set and not empty, else /dev/ttyS<n-1>; any other path
// is used as it is.
std::string SystemDeviceName(const char* windows_path);

}  // namespace platform

#endif  // RDS_PLATFORM_DEVICE_NAME_H_
