// The system's version, as GetVersionEx reports it. Linux is reported as the
// NT family 5.1; NOTAVEX_WINVER names another for trying the checks of
// other systems: "<family> <major>.<minor>" with family "nt", "9x" or
// "win32s" (e.g. "9x 4.0" is Windows 95), or "none" for no information.
#pragma once

#include <cstdint>

namespace platform::win {

inline constexpr uint32_t VER_PLATFORM_WIN32s = 0;
inline constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

struct OsVersionInfo {
    uint32_t lngPlatformId = VER_PLATFORM_WIN32_NT;
    uint32_t lngMajor = 5;
    uint32_t lngMinor = 1;
};

// False when the version information is unavailable (or unreadable).
bool GetVersionEx(OsVersionInfo* pInfo);

}  // namespace platform::win
