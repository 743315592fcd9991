#include "ModuleErrors.h"

#include "ErrorHandler.h"
#include "SharedData.h"
#include "platform/fs/ModuleName.h"

namespace tarnwick {

namespace {

ErrorHandler& SharedHandler() {
    auto objHandler = SharedData().objErrorHandler();
    if (!objHandler) throw platform::RtError(platform::rt::kObjectNotSet);
    // The shared data keeps the handler alive until gShutdownTarnwickLib.
    return *objHandler;
}

}  // namespace

std::string strModuleBaseName(const void* pvAddress) {
    return platform::strModuleBaseName(pvAddress);
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
