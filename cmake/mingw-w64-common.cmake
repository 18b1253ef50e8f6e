# Shared part of the mingw-w64 toolchain files; they set RDS_MINGW_TRIPLET and include this.
#
# Debian ships each mingw-w64 GCC in two thread flavours. The win32 one of GCC 12 has no
# std::thread or std::mutex, so we always take the posix one (the -posix compiler names).
if(NOT RDS_MINGW_TRIPLET)
  message(FATAL_ERROR "set RDS_MINGW_TRIPLET before including mingw-w64-common.cmake")
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${RDS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RDS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${RDS_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${RDS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the GCC runtime, libstdc++ and winpthreads into each program, so that an .exe imports
# nothing but KERNEL32 and the C runtime (msvcrt) and runs from any folder without extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian's libgtest-dev holds Linux objects; the Windows tests compile GoogleTest from the
# sources that the same package ships.
set(RDS_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")

