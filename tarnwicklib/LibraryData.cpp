#include "LibraryData.h"

#include "ErrorHandler.h"
#include "GlobalThings.h"

namespace tarnwick {

LibraryData& StartedLibraryData() {
    thread_local LibraryData datLibrary;
    if (!datLibrary.blnStarted) {
        // Marked first: the GlobalThings made here comes back to this function.
        datLibrary.blnStarted = true;
        datLibrary.datStartup = std::chrono::system_clock::now();
        datLibrary.objGlobalThings = std::make_shared<GlobalThings>();
    }
    return datLibrary;
}

}  // namespace tarnwick
