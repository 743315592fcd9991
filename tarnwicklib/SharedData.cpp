#include "SharedData.h"

#include <utility>

#include "LibraryData.h"

namespace tarnwick {

SharedData::SharedData() {
    StartedLibraryData();
}

std::shared_ptr<ErrorHandler> SharedData::objErrorHandler() const {
    return StartedLibraryData().objErrorHandler;
}

void SharedData::objErrorHandler(std::shared_ptr<ErrorHandler> objHandler) {
    StartedLibraryData().objErrorHandler = std::move(objHandler);
}

std::shared_ptr<GlobalThings> SharedData::objGlobalThings() const {
    return StartedLibraryData().objGlobalThings;
}

std::chrono::system_clock::time_point SharedData::datStartup() const {
    return StartedLibraryData().datStartup;
}

TarnwickLibPublics::TarnwickLibPublics() {
    StartedLibraryData();
}

void TarnwickLibPublics::gShutdownTarnwickLib() {
    auto& datLibrary = StartedLibraryData();
    datLibrary.objGlobalThings.reset();
    datLibrary.objErrorHandler.reset();
}

}  // namespace tarnwick
