#include "PlatformStart.h"

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace platform::qt {

namespace {

constexpr const char* kOffscreen = "offscreen";

bool blnEnvSet(const char* pszName) {
    const char* value = std::getenv(pszName);
    return value && *value;
}

// The names of a ';'-separated platform list, without plugin arguments.
std::vector<std::string> astrPlatformNames(const std::string& strList) {
    std::vector<std::string> astrNames;
    std::size_t ixStart = 0;
    while (ixStart <= strList.size()) {
        const std::size_t ixEnd = std::min(strList.find(';', ixStart), strList.size());
        const std::string strEntry = strList.substr(ixStart, ixEnd - ixStart);
        if (!strEntry.empty()) astrNames.push_back(strEntry.substr(0, strEntry.find(':')));
        ixStart = ixEnd + 1;
    }
    return astrNames;
}

// What Qt picks by itself where there is a display: X11 (also under
// XWayland), Wayland only where no X display is offered.
std::string strSessionPlatforms() {
    if (blnEnvSet("DISPLAY")) return "xcb";
    if (blnEnvSet("WAYLAND_DISPLAY")) return "wayland;xcb";
    return kOffscreen;
}

// Qt's messages: held while the platform starts (a display that cannot be
// opened is reported several times before the fallback works), then
// dropped or handed on. Fatal ones always go on: they end the program.
enum class MessageMode { Hold, Drop, PassOn };

struct HeldMessage {
    QtMsgType eType;
    std::string strCategory;
    QString strText;
};

std::mutex gMessageMutex;
MessageMode geMessageMode = MessageMode::Hold;
std::vector<HeldMessage> gaHeld;
QtMessageHandler gfnQtHandler = nullptr;

void OnQtMessage(QtMsgType eType, const QMessageLogContext& context, const QString& strText) {
    std::unique_lock lock(gMessageMutex);
    if (eType != QtFatalMsg && geMessageMode == MessageMode::Drop) return;
    if (eType != QtFatalMsg && geMessageMode == MessageMode::Hold) {
        gaHeld.push_back({eType, context.category ? context.category : "", strText});
        return;
    }
    lock.unlock();
    gfnQtHandler(eType, context, strText);
}

}  // namespace

PlatformStart::PlatformStart(int argc, char** argv) {
    std::string strList;
    for (int i = 0; i < argc; ++i) {
        const std::string strArg = argv[i];
        if (i > 0 && (strArg == "-platform" || strArg == "--platform") && i + 1 < argc) {
            strList = argv[++i];
            continue;
        }
        mastrArgs.push_back(strArg);
    }
    if (strList.empty() && blnEnvSet("QT_QPA_PLATFORM")) strList = std::getenv("QT_QPA_PLATFORM");
    if (strList.empty()) strList = strSessionPlatforms();
    const std::vector<std::string> astrNames = astrPlatformNames(strList);
    mstrFirst = astrNames.empty() ? kOffscreen : astrNames.front();
    if (std::find(astrNames.begin(), astrNames.end(), kOffscreen) == astrNames.end())
        strList += std::string(";") + kOffscreen;
    setenv("QT_QPA_PLATFORM", strList.c_str(), 1);

    for (std::string& strArg : mastrArgs) mapArgv.push_back(strArg.data());
    mapArgv.push_back(nullptr);
    mlngArgc = static_cast<int>(mastrArgs.size());
    gfnQtHandler = qInstallMessageHandler(OnQtMessage);
}

bool PlatformStart::blnStarted(const std::string& strPlatformName) {
    const bool blnHeadless = strPlatformName == kOffscreen;
    mblnFellBack = blnHeadless && mstrFirst != kOffscreen;
    std::vector<HeldMessage> aHeld;
    {
        std::lock_guard lock(gMessageMutex);
        geMessageMode = blnHeadless ? MessageMode::Drop : MessageMode::PassOn;
        aHeld.swap(gaHeld);
    }
    if (mblnFellBack) {
        for (const HeldMessage& objHeld : aHeld)
            if (objHeld.eType != QtDebugMsg && objHeld.eType != QtInfoMsg) {
                mstrWhy = objHeld.strText.toStdString();
                break;
            }
    }
    if (!blnHeadless) {
        for (const HeldMessage& objHeld : aHeld) {
            const QMessageLogContext context(nullptr, 0, nullptr, objHeld.strCategory.c_str());
            gfnQtHandler(objHeld.eType, context, objHeld.strText);
        }
    }
    return blnHeadless;
}

std::string PlatformStart::strFallbackNote(const std::string& strAppTitle) const {
    if (!mblnFellBack) return {};
    return "[" + strAppTitle + "] The display cannot be used (Qt platform \"" + mstrFirst + "\"" +
           (mstrWhy.empty() ? "" : ": " + mstrWhy) + "): running without one.";
}

}  // namespace platform::qt
