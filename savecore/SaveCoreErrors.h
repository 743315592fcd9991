// The engine's wrappers of the error chain. The engine takes the shared
// ErrorHandler and GlobalThings from SharedData when its first object is
// made in the process and keeps them for its lifetime. Recorded names read
// "SaveCore30.<Class>.<routine>"; call NestedError and SaveError only inside
// a catch block.
#pragma once

#include <memory>
#include <string>

#include "SaveCoreExport.h"

namespace tarnwick {
class ErrorHandler;
class GlobalThings;
}  // namespace tarnwick

namespace savecore {

// Runs once per process, at the first engine object.
SAVECORE_API void EngineStart();
SAVECORE_API std::shared_ptr<tarnwick::ErrorHandler> EngineErrorHandler();
SAVECORE_API std::shared_ptr<tarnwick::GlobalThings> EngineGlobalThings();

[[noreturn]] void NestedError(const std::string& strName);
void SaveError();
[[noreturn]] void RaiseError(const std::string& strMsg);

// A class's own prefix: ClassErrors("DefinitionFile").NestedError("blnLoad")
// records SaveCore30.DefinitionFile.blnLoad.
class ClassErrors {
  public:
    explicit ClassErrors(const char* pszClass) : mpszClass(pszClass) {}
    [[noreturn]] void NestedError(const std::string& strRoutine) const;

  private:
    const char* mpszClass;
};

}  // namespace savecore
