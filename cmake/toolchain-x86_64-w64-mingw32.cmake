# 64-bit Windows (x86-64) with mingw-w64. Usage:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake
# The binaries run on Linux under Wine: ctest starts each one through scripts/windows/wine-run,
# which keeps a private, headless Wine prefix in the build folder (<build>/wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RDS_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

get_filename_component(_rds_wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/windows/wine-run ABSOLUTE)
set(RDS_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_rds_wine_run} --prefix ${RDS_WINEPREFIX})
