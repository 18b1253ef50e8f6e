# 32-bit Windows (i686) with mingw-w64. Usage:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
# Our Linux hosts cannot run 32-bit Windows programs (Debian's 64-bit Wine has no 32-bit
# half), so this build is only compiled and linked; there is no emulator for ctest.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(RDS_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
