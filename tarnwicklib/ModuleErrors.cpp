#include "ModuleErrors.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "ErrorHandler.h"
#include "SharedData.h"

namespace tarnwick {

namespace {

// The file of the module that holds pvAddress; the program's own file when
// the loader names none (the main program has no name of its own there).
std::string strModuleFile(const void* pvAddress) {
    Dl_info info{};
    if (dladdr(pvAddress, &info) != 0 && info.dli_fname && *info.dli_fname) return info.dli_fname;
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

ErrorHandler& SharedHandler() {
    auto objHandler = SharedData().objErrorHandler();
    if (!objHandler) throw platform::RtError(platform::rt::kObjectNotSet);
    // The shared data keeps the handler alive until gShutdownTarnwickLib.
    return *objHandler;
}

}  // namespace

std::string strModuleBaseName(const void* pvAddress) {
    return std::filesystem::path(strModuleFile(pvAddress)).stem().string();
}

ModuleErrors::ModuleErrors(const void* pvAddressInModule)
    : mstrBaseName(strModuleBaseName(pvAddressInModule)) {}

void ModuleErrors::NestedError(const std::string& strName) const {
    const auto Err_ = platform::CurrentErr();
    SharedHandler().NestedError(Err_, mstrBaseName + "." + strName);
}

void ModuleErrors::TopError(const std::string& strName) const {
    const auto Err_ = platform::CurrentErr();
    SharedHandler().TopError(Err_, mstrBaseName + "." + strName);
}

void ModuleErrors::SaveError() const {
    SharedHandler().SaveError(platform::CurrentErr());
}

void ModuleErrors::RaiseError(const std::string& strMsg) const {
    SharedHandler().RaiseError(strMsg);
}

namespace {
const char gchModuleTag = 0;  // an address inside this library
}

const ModuleErrors& TwLibErrors() {
    static const ModuleErrors objErrors(&gchModuleTag);
    return objErrors;
}

}  // namespace tarnwick
