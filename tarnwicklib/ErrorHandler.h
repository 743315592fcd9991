// The process's error chain: each failing procedure records its name and
// passes the failure up as lngPassThru; the entry point reports the chain
// once (message box "Error Detected" and error.log in the program's folder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TarnwickLibExport.h"
#include "platform/fs/RtError.h"

namespace tarnwick {

enum ErrorConstants : int32_t { lngPassThru = 50000 };
inline constexpr int32_t glngRAISED_ERROR = 30000;

// The host's application object: only Path (the program's folder) is read.
struct AppObject {
    std::string Path;
};

using platform::ErrObject;

class TWLIB_API ErrorHandler {
  public:
    ErrorHandler();

    void Init(const AppObject& App_);
    [[noreturn]] void NestedError(const ErrObject& Err_, const std::string& strRoutine);
    // Never fails. When error.log cannot be written (the report has been
    // shown by then) one line goes to standard error and the chain is
    // emptied all the same.
    void TopError(const ErrObject& Err_, const std::string& strRoutine);
    void SaveError(const ErrObject& Err_);
    // Shows the report, then appends it to error.log in strAppPath (the
    // log is rewritten whole, so a failed write leaves it as it was). When
    // that folder cannot be written, the log is error.log in the user's
    // state folder (platform::fs::UserStateFolder, made when missing) and
    // the report shown gains a line naming it. A log that cannot be written
    // fails with its run-time error.
    void ShowErrors();
    void ClearErrors();
    [[noreturn]] void RaiseError(const std::string& strMsg);

    // Read access for hosts and tests.
    const std::string& strAppPath() const { return mstrAppPath; }
    const std::string& strErrorDesc() const { return mstrErrorDesc; }
    int16_t intRoutineCount() const { return mintRoutineCount; }
    const std::vector<std::string>& astrRoutines() const { return mastrRoutines; }
    // The report text that ShowErrors shows and logs.
    std::string strReport() const;

  private:
    void AddRoutine(const ErrObject& Err_, const std::string& strRoutine);

    std::string mstrAppPath;
    std::string mstrLogShown;  // the log of the last report, as a person would look for it
    std::string mstrErrorDesc;
    int32_t mlngSavedNumber = 0;
    std::string mstrSavedDesc;
    std::vector<std::string> mastrRoutines;  // element 0 is routine 1
    int16_t mintRoutineCount = 0;
};

}  // namespace tarnwick
