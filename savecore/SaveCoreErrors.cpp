#include "SaveCoreErrors.h"

#include "platform/fs/RtError.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/ModuleErrors.h"
#include "tarnwicklib/SharedData.h"

namespace savecore {

namespace {

struct EngineGlobals {
    bool blnStarted = false;
    std::shared_ptr<tarnwick::ErrorHandler> objErrorHandler;
    std::shared_ptr<tarnwick::GlobalThings> objGlobalThings;
    std::string strBaseName;
};

EngineGlobals& Globals() {
    static EngineGlobals g;
    return g;
}

tarnwick::ErrorHandler& Handler() {
    EngineStart();
    auto& g = Globals();
    // A host that stored its handler only after the first engine object still
    // gets its reports.
    if (!g.objErrorHandler) g.objErrorHandler = tarnwick::SharedData().objErrorHandler();
    if (!g.objErrorHandler) throw platform::RtError(platform::rt::kObjectNotSet);
    return *g.objErrorHandler;
}

std::string Qualified(const std::string& strName) {
    EngineStart();
    return Globals().strBaseName + "." + strName;
}

}  // namespace

void EngineStart() {
    auto& g = Globals();
    if (g.blnStarted) return;
    g.blnStarted = true;
    tarnwick::SharedData objShared;
    g.objErrorHandler = objShared.objErrorHandler();
    g.objGlobalThings = objShared.objGlobalThings();
    g.strBaseName = tarnwick::strModuleBaseName(reinterpret_cast<const void*>(&EngineStart));
}

std::shared_ptr<tarnwick::ErrorHandler> EngineErrorHandler() {
    EngineStart();
    return Globals().objErrorHandler;
}

std::shared_ptr<tarnwick::GlobalThings> EngineGlobalThings() {
    EngineStart();
    return Globals().objGlobalThings;
}

void NestedError(const std::string& strName) {
    const platform::ErrObject err = platform::CurrentErr();
    Handler().NestedError(err, Qualified(strName));
}

void SaveError() {
    Handler().SaveError(platform::CurrentErr());
}

void RaiseError(const std::string& strMsg) {
    Handler().RaiseError(strMsg);
}

void ClassErrors::NestedError(const std::string& strRoutine) const {
    savecore::NestedError(std::string(mpszClass) + "." + strRoutine);
}

}  // namespace savecore
