// Library-global data shared by the application and the engine: one copy
// per thread that uses the library. Every SharedData reads and writes it.
#pragma once

#include <chrono>
#include <memory>

#include "TarnwickLibExport.h"

namespace tarnwick {

class ErrorHandler;
class GlobalThings;

class TWLIB_API SharedData {
  public:
    SharedData();  // starts the library in this thread on first use

    std::shared_ptr<ErrorHandler> objErrorHandler() const;
    void objErrorHandler(std::shared_ptr<ErrorHandler> objHandler);
    std::shared_ptr<GlobalThings> objGlobalThings() const;
    std::chrono::system_clock::time_point datStartup() const;
};

class TWLIB_API TarnwickLibPublics {
  public:
    TarnwickLibPublics();  // starts the library in this thread on first use
    // Empties objGlobalThings, then objErrorHandler, so both can be released.
    void gShutdownTarnwickLib();
};

}  // namespace tarnwick
