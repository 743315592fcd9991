#include "ModuleName.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace platform {

namespace {

// The loader names no file for the main program: that is /proc/self/exe.
std::string strModuleFile(const void* pvAddress) {
    Dl_info info{};
    if (dladdr(pvAddress, &info) != 0 && info.dli_fname && *info.dli_fname) return info.dli_fname;
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

}  // namespace

std::string strModuleBaseName(const void* pvAddress) {
    return std::filesystem::path(strModuleFile(pvAddress)).stem().string();
}

}  // namespace platform
