#include "annotator/src/X11HotKeys.h"

#include <QSocketNotifier>
#include <cstdlib>

namespace {

constexpr uint32_t kNumLockKeysym = 0xff7f;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

}  // namespace

std::unique_ptr<X11HotKeys> X11HotKeys::Connect(const char* display, std::string* pstrError) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        if (pstrError) *pstrError = "cannot connect to the X display";
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    return std::unique_ptr<X11HotKeys>(new X11HotKeys(connection, it.data->root));
}

X11HotKeys::X11HotKeys(xcb_connection_t* connection, xcb_window_t root)
    : mConnection(connection), mRoot(root) {
    mNumLock = NumLockMask();
    mNotifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                  QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
}

X11HotKeys::~X11HotKeys() {
    mNotifier.reset();
    for (const auto& [id, grab] : mGrabs) Ungrab(grab);
    xcb_flush(mConnection);
    xcb_disconnect(mConnection);
}

uint32_t X11HotKeys::lngKeysymFromVirtualKey(uint32_t vk) {
    if ((vk >= '0' && vk <= '9')) return vk;
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 'a';
    if (vk >= 0x60 && vk <= 0x69) return 0xffb0 + (vk - 0x60);  // the number pad's digits
    if (vk >= 0x70 && vk <= 0x87) return 0xffbe + (vk - 0x70);  // F1 to F24
    switch (vk) {
        case 0x08:
            return 0xff08;  // Backspace
        case 0x09:
            return 0xff09;  // Tab
        case 0x0D:
            return 0xff0d;  // Return
        case 0x13:
            return 0xff13;  // Pause
        case 0x1B:
            return 0xff1b;  // Escape
        case 0x20:
            return 0x0020;  // space
        case 0x21:
            return 0xff55;  // Page Up
        case 0x22:
            return 0xff56;  // Page Down
        case 0x23:
            return 0xff57;  // End
        case 0x24:
            return 0xff50;  // Home
        case 0x25:
            return 0xff51;  // Left
        case 0x26:
            return 0xff52;  // Up
        case 0x27:
            return 0xff53;  // Right
        case 0x28:
            return 0xff54;  // Down
        case 0x2C:
            return 0xff61;  // Print Screen
        case 0x2D:
            return 0xff63;  // Insert
        case 0x2E:
            return 0xffff;  // Delete
        default:
            return 0;
    }
}

xcb_keycode_t X11HotKeys::KeycodeOf(uint32_t lngKeysym) {
    const xcb_setup_t* setup = xcb_get_setup(mConnection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        mConnection, xcb_get_keyboard_mapping(mConnection, setup->min_keycode, count), nullptr));
    if (!reply) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int perCode = reply->keysyms_per_keycode;
    for (int code = 0; code < count; ++code)
        for (int col = 0; col < perCode; ++col)
            if (syms[code * perCode + col] == lngKeysym)
                return static_cast<xcb_keycode_t>(setup->min_keycode + code);
    return 0;
}

uint16_t X11HotKeys::NumLockMask() {
    const xcb_keycode_t numLock = KeycodeOf(kNumLockKeysym);
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(xcb_get_modifier_mapping_reply(
        mConnection, xcb_get_modifier_mapping(mConnection), nullptr));
    if (!reply || numLock == 0) return XCB_MOD_MASK_2;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perMod = reply->keycodes_per_modifier;
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < perMod; ++i)
            if (codes[mod * perMod + i] == numLock) return static_cast<uint16_t>(1u << mod);
    return XCB_MOD_MASK_2;
}

std::vector<uint16_t> X11HotKeys::LockVariants(uint16_t modifiers) {
    return {modifiers, static_cast<uint16_t>(modifiers | XCB_MOD_MASK_LOCK),
            static_cast<uint16_t>(modifiers | mNumLock),
            static_cast<uint16_t>(modifiers | XCB_MOD_MASK_LOCK | mNumLock)};
}

bool X11HotKeys::RegisterHotKey(int32_t lngId, uint32_t lngModifiers, uint32_t lngVirtualKey) {
    const uint32_t keysym = lngKeysymFromVirtualKey(lngVirtualKey);
    const xcb_keycode_t keycode = keysym ? KeycodeOf(keysym) : 0;
    if (keycode == 0) return false;
    uint16_t modifiers = 0;
    if (lngModifiers & MOD_SHIFT) modifiers |= XCB_MOD_MASK_SHIFT;
    if (lngModifiers & MOD_CONTROL) modifiers |= XCB_MOD_MASK_CONTROL;
    if (lngModifiers & MOD_ALT) modifiers |= XCB_MOD_MASK_1;
    // Our own grab of the same key would succeed again on X; on Windows it
    // is taken.
    for (const auto& [id, grab] : mGrabs)
        if (grab == Grab{keycode, modifiers}) return false;

    std::vector<uint16_t> made;
    bool blnTaken = false;
    for (uint16_t variant : LockVariants(modifiers)) {
        xcb_void_cookie_t cookie = xcb_grab_key_checked(mConnection, 1, mRoot, variant, keycode,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        XcbReply<xcb_generic_error_t> error(xcb_request_check(mConnection, cookie));
        // BadAccess: another client holds the key.
        if (error) {
            blnTaken = true;
            break;
        }
        made.push_back(variant);
    }
    if (blnTaken) {
        for (uint16_t variant : made) xcb_ungrab_key(mConnection, keycode, mRoot, variant);
        Sync();
        return false;
    }
    mGrabs.emplace(lngId, Grab{keycode, modifiers});
    // The checks above waited for replies, as Sync does.
    ReadEventsLater();
    return true;
}

void X11HotKeys::Ungrab(const Grab& grab) {
    for (uint16_t variant : LockVariants(grab.modifiers))
        xcb_ungrab_key(mConnection, grab.keycode, mRoot, variant);
}

void X11HotKeys::UnregisterHotKey(int32_t lngId) {
    auto [first, last] = mGrabs.equal_range(lngId);
    for (auto it = first; it != last; ++it) Ungrab(it->second);
    mGrabs.erase(first, last);
    Sync();
}

void X11HotKeys::ReadEventsLater() {
    // Waiting for a reply may have read key presses off the socket, where
    // the notifier no longer sees them.
    QMetaObject::invokeMethod(
        mNotifier.get(), [this] { ReadEvents(); }, Qt::QueuedConnection);
}

void X11HotKeys::Sync() {
    // A key given up is free for another program only once the server has
    // read the release, not when it has merely been sent.
    std::free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
    ReadEventsLater();
}

void X11HotKeys::ReadEvents() {
    while (xcb_generic_event_t* raw = xcb_poll_for_event(mConnection)) {
        XcbReply<xcb_generic_event_t> event(raw);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS) continue;
        const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(raw);
        const uint16_t state =
            press->state & static_cast<uint16_t>(~(XCB_MOD_MASK_LOCK | mNumLock)) & 0xff;
        for (const auto& [id, grab] : mGrabs)
            if (grab.keycode == press->detail && grab.modifiers == state) {
                RaisePressed(id);
                break;
            }
    }
    // A lost display would keep the socket readable for ever.
    if (xcb_connection_has_error(mConnection)) mNotifier->setEnabled(false);
}
