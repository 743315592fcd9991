// Global hot keys on X11: a passive key grab on the root window, made for
// the wanted modifiers alone and with Caps Lock, Num Lock and both, so the
// key works whatever the lock keys say. A grab another client holds fails
// with BadAccess, which is the honest "already taken". The agent keeps its
// own connection, so the grabs do not depend on which platform Qt runs on.
#pragma once

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "annotator/src/HotKeys.h"

class QSocketNotifier;

class X11HotKeys : public HotKeys {
  public:
    // Null when the display cannot be reached (*pstrError says why).
    static std::unique_ptr<X11HotKeys> Connect(const char* display, std::string* pstrError);
    ~X11HotKeys() override;

    bool RegisterHotKey(int32_t lngId, uint32_t lngModifiers, uint32_t lngVirtualKey) override;
    void UnregisterHotKey(int32_t lngId) override;

    // Handles the events waiting now (the socket notifier calls this).
    void ReadEvents();

    // The X key symbol of a Windows virtual-key code; 0 for one with none.
    static uint32_t lngKeysymFromVirtualKey(uint32_t lngVirtualKey);

  private:
    struct Grab {
        xcb_keycode_t keycode;
        uint16_t modifiers;
        bool operator==(const Grab&) const = default;
    };
    X11HotKeys(xcb_connection_t* connection, xcb_window_t root);
    xcb_keycode_t KeycodeOf(uint32_t lngKeysym);
    uint16_t NumLockMask();
    std::vector<uint16_t> LockVariants(uint16_t modifiers);
    void Ungrab(const Grab& grab);
    // Returns once the server has done every request sent so far.
    void Sync();
    // Handles, from the event loop, events read off the socket while
    // waiting for a reply.
    void ReadEventsLater();

    xcb_connection_t* mConnection;
    xcb_window_t mRoot;
    uint16_t mNumLock = 0;
    std::multimap<int32_t, Grab> mGrabs;
    std::unique_ptr<QSocketNotifier> mNotifier;
};
