// The per-module wrappers of the error chain. Each program or library has one
// ModuleErrors; it records names as "<base name>.<name>", the base name being
// the module's file name without extension, read at run time. Call
// NestedError, TopError and SaveError only inside a catch block: they read
// the exception being handled as the current error.
#pragma once

#include <string>

#include "TarnwickLibExport.h"

namespace tarnwick {

// The file name, without folder and extension, of the module (program or
// shared library) that holds pvAddress.
TWLIB_API std::string strModuleBaseName(const void* pvAddress);

class TWLIB_API ModuleErrors {
  public:
    // pvAddressInModule: any function of the module, e.g. a static in it.
    explicit ModuleErrors(const void* pvAddressInModule);

    const std::string& strBaseName() const { return mstrBaseName; }

    [[noreturn]] void NestedError(const std::string& strName) const;
    void TopError(const std::string& strName) const;
    void SaveError() const;
    [[noreturn]] void RaiseError(const std::string& strMsg) const;

  private:
    std::string mstrBaseName;
};

// The library's own wrappers (base name TarnwickLib10).
TWLIB_API const ModuleErrors& TwLibErrors();

}  // namespace tarnwick
