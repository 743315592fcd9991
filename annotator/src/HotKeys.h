// Global hot keys as the agent asks for them: registered under an id with a
// virtual-key code and modifiers, unregistered by id. A press of a registered
// key calls the pressed handler with the id, in the event loop.
//
// As on Windows, registering a second key under an id keeps the first one
// until the id is unregistered, and a key already registered (by this
// program under another id, or by another program) fails to register.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

inline constexpr uint32_t MOD_ALT = 0x0001;
inline constexpr uint32_t MOD_CONTROL = 0x0002;
inline constexpr uint32_t MOD_SHIFT = 0x0004;

class HotKeys {
  public:
    using Pressed = std::function<void(int32_t lngId)>;
    virtual ~HotKeys() = default;
    virtual bool RegisterHotKey(int32_t lngId, uint32_t lngModifiers, uint32_t lngVirtualKey) = 0;
    virtual void UnregisterHotKey(int32_t lngId) = 0;
    void SetPressed(Pressed pressed) { mPressed = std::move(pressed); }

  protected:
    void RaisePressed(int32_t lngId) {
        if (mPressed) mPressed(lngId);
    }

  private:
    Pressed mPressed;
};

// The service this desktop offers: the global-shortcuts portal in a Wayland
// session, X11 key grabs where an X display is the session's, else one that
// registers nothing and says once why (*pstrWhyNone says it too).
std::unique_ptr<HotKeys> NewDesktopHotKeys(std::string* pstrWhyNone);
