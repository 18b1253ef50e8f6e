// Basic Windows API types, shared by every part of the platform layer.
//
// The layer lives in namespace win and never includes <windows.h> in its headers: the same
// declarations serve the real KERNEL32 calls (forwarded in the *_win32.cpp files) and our own
// Linux stand-ins (*_linux.cpp), and a test can link a scripted fake in their place.
//
// Constants are C++ constants, never macros. A *_win32.cpp file includes our headers first and
// <windows.h> after them (inside clang-format off/on), so that the macros of <windows.h> with the
// same names cannot reach our declarations; after that include it uses only the :: names.
#ifndef RDS_PLATFORM_WIN_TYPES_H_
#define RDS_PLATFORM_WIN_TYPES_H_

#include <cstdint>

namespace win {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using HANDLE = void*;

// The value CreateFileA returns on failure: all bits set. The handle value is what is constant,
// as in the Windows headers; it points to nothing.
// NOLINTNEXTLINE(misc-misplaced-const)
inline const HANDLE INVALID_HANDLE_VALUE =
    reinterpret_cast<HANDLE>(~std::uintptr_t{0});  // NOLINT(performance-no-int-to-ptr)

}  // namespace win

#endif  // RDS_PLATFORM_WIN_TYPES_H_
