// NVAgent: the Notavex tray agent. One runs per user session; a second
// start hands over to it (shows its icon) and ends.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#include "annotator/src/AgentCommandLine.h"
#include "annotator/src/AgentWindow.h"
#include "annotator/src/CaptureClient.h"
#include "annotator/src/HotKeys.h"
#include "annotator/src/NVPrefs.h"
#include "annotator/src/TrayIcon.h"
#include "platform/qt/PlatformStart.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/UiServices.h"
#include "platform/win/Registry.h"

using namespace platform::win;

namespace {

// Long enough for a capture the user takes time over, short enough that a
// component that never answers is noticed.
constexpr std::chrono::milliseconds kHangLimit{30000};

void ShowAllYourBase() {
    const std::string strText = "All Your Base Are Belong To Us.";
    const std::string strTitle = "How Are You Gentlemen !!";
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::fprintf(stderr, "[%s] %s\n", strTitle.c_str(), strText.c_str());
        return;
    }
    std::unique_ptr<QMessageBox> box(platform::qt::QtUi::NewMessageBox(
        strText, platform::ui::vbCritical | platform::ui::vbOKOnly, strTitle));
    box->exec();
}

// Claims the agent's class; when another agent has it, asks that one to
// show its icon and returns null with *pblnHandedOver set.
std::unique_ptr<WindowClassOwner> ClaimAgentClass(bool* pblnHandedOver) {
    *pblnHandedOver = false;
    // An agent started at the same moment holds the class a little before
    // it listens: give it two seconds to answer.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (attempt) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        int32_t lngError = 0;
        if (auto owner = WindowClassOwner::Claim(kAgentClass, &lngError)) return owner;
        if (lngError != ERROR_CLASS_ALREADY_EXISTS) {
            std::fprintf(stderr, "NVAgent: the window class cannot be made (error %d).\n",
                         lngError);
            return nullptr;
        }
        const HWND hwnd = FindWindow(kAgentClass);
        if (hwnd && PostMessage(hwnd, WM_NV_SHOWICON, 0, 1) == ERROR_SUCCESS) {
            *pblnHandedOver = true;
            return nullptr;
        }
        // Not listening yet, or ended in between: claim again.
    }
    std::fprintf(stderr, "NVAgent: another agent holds the window class but does not answer.\n");
    return nullptr;
}

// The machine-wide DLLPath (up to 260 bytes), when the value exists.
std::optional<std::string> ReadDllPath(Registry& registry) {
    HKEY hKey = 0;
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, kAddOnKey, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return std::nullopt;
    char buffer[260];
    uint32_t lngType = 0, lngSize = sizeof buffer;
    const int32_t lngResult = registry.QueryValue(hKey, "DLLPath", &lngType, buffer, &lngSize);
    registry.CloseKey(hKey);
    if (lngResult != ERROR_SUCCESS) return std::nullopt;
    std::string strPath(buffer, lngSize);
    while (!strPath.empty() && strPath.back() == '\0') strPath.pop_back();
    return strPath;
}

void RegisterComponentClient(Registry& registry, CaptureClient& capture) {
    if (auto strPath = ReadDllPath(registry))
        capture.ForceRegisterClient(strPath->empty() ? "notavex.dll" : *strPath);
}

}  // namespace

int main(int argc, char** argv) {
    const AgentCommandLine cmd = ParseAgentCommandLine(argc, argv);
    // Without any display (a session started by a service), or with one
    // that cannot be opened, Qt runs offscreen and the agent still runs, so
    // the installer and the add-on can reach it.
    platform::qt::PlatformStart objStart(argc, argv);
    QApplication app(objStart.Argc(), objStart.Argv());
    objStart.blnStarted(QGuiApplication::platformName().toStdString());
    if (objStart.blnFellBack())
        std::fprintf(stderr, "NVAgent: the display cannot be used: running without one.\n");
    app.setApplicationName(QStringLiteral("NVAgent"));
    app.setQuitOnLastWindowClosed(false);

    auto registry = OpenRegistry();
    NVPrefs prefs(*registry);
    // Closed, the store answers every read with the caller's preset.
    prefs.Open();

    TrayIcon* pTray = nullptr;
    CaptureClient capture(CaptureClient::RegistryCreator(), kHangLimit,
                          [&app, &pTray](const std::string& strText) {
                              std::fprintf(stderr, "NVAgent: %s\n", strText.c_str());
                              QMetaObject::invokeMethod(
                                  &app,
                                  [&pTray, text = QString::fromStdString(strText)] {
                                      if (pTray) pTray->Notify(text);
                                  },
                                  Qt::QueuedConnection);
                          });
    if (cmd.blnStartBrowser) capture.Call(CaptureClient::Slot::StartBrowser);
    if (cmd.blnAllYourBase) ShowAllYourBase();

    bool blnHandedOver = false;
    auto owner = ClaimAgentClass(&blnHandedOver);
    if (!owner) {
        capture.blnWaitIdle(kHangLimit);
        return blnHandedOver ? 0 : 1;
    }

    TrayIcon tray;
    pTray = &tray;
    auto hotKeys = NewDesktopHotKeys(nullptr);
    auto window = std::make_unique<AgentWindow>(std::move(owner), prefs, *hotKeys, tray, capture,
                                                [] { QCoreApplication::quit(); });
    window->Start();
    RegisterComponentClient(*registry, capture);

    QTimer hangCheck;
    QObject::connect(&hangCheck, &QTimer::timeout, [&capture] { capture.CheckHang(); });
    hangCheck.start(1000);

    app.exec();
    pTray = nullptr;
    // The class goes first, so an installer waiting for it goes on at once.
    window.reset();
    tray.Delete();
    prefs.Close();
    return 0;
}
