#include "annotator/src/AgentWindow.h"

#include "annotator/src/AgentMenu.h"
#include "annotator/src/CaptureClient.h"
#include "annotator/src/ClassListener.h"
#include "annotator/src/HotKeys.h"
#include "annotator/src/NVPrefs.h"
#include "annotator/src/TrayIcon.h"

using namespace platform::win;

namespace {
constexpr char kSection[] = "Capture";
}

AgentWindow::AgentWindow(std::unique_ptr<WindowClassOwner> owner, NVPrefs& prefs, HotKeys& hotKeys,
                         TrayIcon& tray, CaptureClient& capture, std::function<void()> quit)
    : mOwner(std::move(owner)),
      mPrefs(prefs),
      mHotKeys(hotKeys),
      mTray(tray),
      mCapture(capture),
      mQuit(std::move(quit)) {
    if (mOwner)
        mListener = std::make_unique<ClassListener>(
            *mOwner, [this](const WindowMessage& msg) { return WindowProc(msg); });
    mTray.SetMouseHandler([this](uint32_t lngMouse) {
        WindowProc({WM_NV_NOTIFYICON, 0, lngMouse});
    });
    mTray.SetCommandHandler([this](uint32_t lngId) { WindowProc({WM_COMMAND, lngId, 0}); });
    mHotKeys.SetPressed([this](int32_t lngId) {
        WindowProc({WM_HOTKEY, static_cast<uint64_t>(static_cast<uint32_t>(lngId)), 0});
    });
}

AgentWindow::~AgentWindow() {
    mHotKeys.SetPressed(nullptr);
    mTray.SetMouseHandler(nullptr);
    mTray.SetCommandHandler(nullptr);
}

void AgentWindow::Start() {
    RegisterHotKeys();
    uint8_t blnShowIcon = 1;
    mPrefs.Read(kSection, "ShowIcon", &blnShowIcon, 1);
    if (blnShowIcon) mTray.Add();
}

int64_t AgentWindow::WindowProc(const WindowMessage& msg) {
    if (mblnDestroyed) return 0;
    switch (msg.lngMsg) {
        case WM_NV_HOTKEYCHANGED: {
            const auto lngId = static_cast<int32_t>(msg.wParam);
            if (blnUseHotkeys())
                RegisterRecord({lngId, static_cast<uint32_t>(msg.lParam & 0xFFFF), 0});
            else
                mHotKeys.UnregisterHotKey(lngId);
            break;
        }
        case WM_NV_SHOWICON:
            if (msg.lParam)
                mTray.Add();
            else
                mTray.Delete();
            break;
        case WM_NV_USEHOTKEYS:
            if (msg.lParam) {
                RegisterHotKeys();
            } else {
                mHotKeys.UnregisterHotKey(IDH_CAPTUREWINDOW);
                mHotKeys.UnregisterHotKey(IDH_CAPTUREREGION);
            }
            break;
        case WM_NV_NOTIFYICON:
            if (msg.lParam == WM_LBUTTONUP || msg.lParam == WM_RBUTTONUP) mTray.ShowMenu();
            break;
        case WM_HOTKEY:
            OnHotKey(static_cast<int32_t>(msg.wParam));
            break;
        case WM_COMMAND:
            OnCommand(static_cast<uint32_t>(msg.wParam & 0xFFFF));
            break;
        // What the default window procedure makes of a close.
        case WM_NV_QUIT:
        case WM_CLOSE:
        case WM_DESTROY:
            Destroy();
            break;
        default:
            break;
    }
    return 0;
}

void AgentWindow::OnCommand(uint32_t lngId) {
    switch (lngId) {
        case IDM_STARTNOTAVEX:
            mCapture.Call(CaptureClient::Slot::StartBrowser);
            break;
        case IDM_MYCOLLECTION:
            mCapture.Call(CaptureClient::Slot::ShowPage, kShowPageCollection);
            break;
        case IDM_CAPTUREWINDOW:
            mCapture.Call(CaptureClient::Slot::CaptureWindow);
            break;
        case IDM_CAPTUREREGION:
            mCapture.Call(CaptureClient::Slot::CaptureRegion);
            break;
        case IDM_CAPTUREOPTIONS:
            mCapture.Call(CaptureClient::Slot::ShowOptions);
            break;
        case IDM_HIDEICON:
            HideIcon();
            break;
        default:
            break;
    }
}

void AgentWindow::OnHotKey(int32_t lngId) {
    if (lngId == IDH_CAPTUREWINDOW)
        mCapture.Call(CaptureClient::Slot::CaptureWindow);
    else if (lngId == IDH_CAPTUREREGION)
        mCapture.Call(CaptureClient::Slot::CaptureRegion);
}

bool AgentWindow::blnUseHotkeys() {
    uint8_t blnUse = 0;
    mPrefs.Read(kSection, "UseHotkeys", &blnUse, 1);
    return blnUse != 0;
}

void AgentWindow::RegisterRecord(const HotkeyRecord& record) {
    mHotKeys.UnregisterHotKey(record.lngId);
    if (record.lngKey != 0)
        mHotKeys.RegisterHotKey(record.lngId, MOD_CONTROL | MOD_SHIFT, record.lngKey);
}

void AgentWindow::RegisterHotKeys() {
    if (!blnUseHotkeys()) return;
    // Each record's preset carries its own id: a record that is not stored
    // must neither land on id 0, which no press acts on, nor take the other
    // record's id and so unregister it.
    HotkeyRecord window{IDH_CAPTUREWINDOW, 'W', 0};
    mPrefs.Read(kSection, "WindowHotkey", &window, sizeof window);
    RegisterRecord(window);
    HotkeyRecord region{IDH_CAPTUREREGION, 'R', window.lngSpare};
    mPrefs.Read(kSection, "RegionHotkey", &region, sizeof region);
    RegisterRecord(region);
}

void AgentWindow::HideIcon() {
    const uint8_t blnShowIcon = 0;
    mPrefs.Write(kSection, "ShowIcon", &blnShowIcon, 1);
    mTray.Delete();
}

void AgentWindow::Destroy() {
    mblnDestroyed = true;
    mTray.Delete();
    if (mQuit) mQuit();
}
