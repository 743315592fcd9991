// The agent's hidden window: it owns the window class "Notavex Agent" that
// other programs find the agent by, and its message table is where every
// message, menu command and hot key ends up. It shows nothing itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/win/WindowClass.h"

class CaptureClient;
class ClassListener;
class HotKeys;
class NVPrefs;
class TrayIcon;

inline constexpr char kAgentClass[] = "Notavex Agent";

inline constexpr uint32_t WM_NV_HOTKEYCHANGED = platform::win::WM_USER + 100;  // 1124
inline constexpr uint32_t WM_NV_SHOWICON = platform::win::WM_USER + 101;       // 1125
inline constexpr uint32_t WM_NV_USEHOTKEYS = platform::win::WM_USER + 102;     // 1126
inline constexpr uint32_t WM_NV_QUIT = platform::win::WM_USER + 103;           // 1127
inline constexpr uint32_t WM_NV_NOTIFYICON = platform::win::WM_USER + 200;     // 1224

inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;

inline constexpr int32_t IDH_CAPTUREWINDOW = 21073;
inline constexpr int32_t IDH_CAPTUREREGION = 21074;
inline constexpr int32_t kShowPageCollection = 310;

// The 12-byte record the preference store keeps for a hot key.
struct HotkeyRecord {
    int32_t lngId = 0;
    uint32_t lngKey = 0;  // virtual-key code; 0 = no hot key
    uint32_t lngSpare = 0;
};
static_assert(sizeof(HotkeyRecord) == 12);

class AgentWindow {
  public:
    // Serves the class's socket from the event loop; quit ends the loop.
    AgentWindow(std::unique_ptr<platform::win::WindowClassOwner> owner, NVPrefs& prefs,
                HotKeys& hotKeys, TrayIcon& tray, CaptureClient& capture,
                std::function<void()> quit);
    ~AgentWindow();
    AgentWindow(const AgentWindow&) = delete;
    AgentWindow& operator=(const AgentWindow&) = delete;

    // Hot keys when they are wanted, the icon when it is.
    void Start();
    int64_t WindowProc(const platform::win::WindowMessage& msg);
    void RegisterHotKeys();

  private:
    void OnCommand(uint32_t lngId);
    void OnHotKey(int32_t lngId);
    void RegisterRecord(const HotkeyRecord& record);
    bool blnUseHotkeys();
    void HideIcon();
    void Destroy();

    std::unique_ptr<platform::win::WindowClassOwner> mOwner;
    std::unique_ptr<ClassListener> mListener;
    NVPrefs& mPrefs;
    HotKeys& mHotKeys;
    TrayIcon& mTray;
    CaptureClient& mCapture;
    std::function<void()> mQuit;
    bool mblnDestroyed = false;
};
