#include "SystemVersion.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform::win {

bool GetVersionEx(OsVersionInfo* pInfo) {
    OsVersionInfo info;
    const char* v = std::getenv("NOTAVEX_WINVER");
    if (v && *v) {
        char family[8] = {};
        unsigned major = 0, minor = 0;
        char rest = 0;
        if (std::sscanf(v, "%7s %u.%u %c", family, &major, &minor, &rest) != 3) return false;
        if (std::strcmp(family, "nt") == 0) {
            info.lngPlatformId = VER_PLATFORM_WIN32_NT;
        } else if (std::strcmp(family, "9x") == 0) {
            info.lngPlatformId = VER_PLATFORM_WIN32_WINDOWS;
        } else if (std::strcmp(family, "win32s") == 0) {
            info.lngPlatformId = VER_PLATFORM_WIN32s;
        } else {
            return false;
        }
        info.lngMajor = major;
        info.lngMinor = minor;
    }
    if (pInfo) *pInfo = info;
    return true;
}

}  // namespace platform::win
