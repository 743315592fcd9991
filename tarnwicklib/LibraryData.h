// The library-global data behind SharedData: one copy per thread that uses
// the library. Not part of the library's interface.
#pragma once

#include <chrono>
#include <memory>

namespace tarnwick {

class ErrorHandler;
class GlobalThings;

struct LibraryData {
    bool blnStarted = false;
    std::chrono::system_clock::time_point datStartup;
    std::shared_ptr<GlobalThings> objGlobalThings;
    std::shared_ptr<ErrorHandler> objErrorHandler;  // the library never creates one
};

// This thread's data; the first call starts the library (start time and a
// new GlobalThings). Every object of the library calls it when created.
LibraryData& StartedLibraryData();

}  // namespace tarnwick
