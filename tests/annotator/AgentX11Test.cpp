// Real key grabs on an X server (run under xvfb-run): a grab is held against
// other clients, a key another client holds cannot be registered, and a
// synthetic press, with Caps Lock on as well, reaches the component.
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <cstdlib>

#include "annotator/src/AgentWindow.h"
#include "annotator/src/NVPrefs.h"
#include "annotator/src/X11HotKeys.h"
#include "platform/win/Process.h"
#include "tests/annotator/AgentFixture.h"
#include "tests/annotator/DesktopApp.h"

using namespace platform::win;

namespace twtest {
namespace {

constexpr uint16_t kCtrlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;

class X11 : public AgentFixture {
  protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        mstrDisplay = display ? display : "";
        AgentFixture::SetUp();
        if (mstrDisplay.empty()) GTEST_SKIP() << "no X display";
        setenv("DISPLAY", mstrDisplay.c_str(), 1);
        mOther = xcb_connect(nullptr, nullptr);
        ASSERT_EQ(xcb_connection_has_error(mOther), 0);
        mRoot = xcb_setup_roots_iterator(xcb_get_setup(mOther)).data->root;
    }
    void TearDown() override {
        if (mOther) xcb_disconnect(mOther);
        AgentFixture::TearDown();
    }
    xcb_keycode_t Keycode(char letter) {
        const xcb_setup_t* setup = xcb_get_setup(mOther);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* reply = xcb_get_keyboard_mapping_reply(
            mOther, xcb_get_keyboard_mapping(mOther, setup->min_keycode, count), nullptr);
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        xcb_keycode_t code = 0;
        for (int i = 0; i < count * reply->keysyms_per_keycode && !code; ++i)
            if (syms[i] == static_cast<xcb_keysym_t>(letter - 'A' + 'a'))
                code =
                    static_cast<xcb_keycode_t>(setup->min_keycode + i / reply->keysyms_per_keycode);
        free(reply);
        return code;
    }
    // Whether this other client may grab Ctrl+Shift+letter (and keeps it).
    bool blnOtherGrabs(char letter, uint16_t extra = 0) {
        auto cookie = xcb_grab_key_checked(mOther, 1, mRoot, kCtrlShift | extra, Keycode(letter),
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(mOther, cookie);
        const bool blnGrabbed = error == nullptr;
        free(error);
        return blnGrabbed;
    }

    std::string mstrDisplay;
    xcb_connection_t* mOther = nullptr;
    xcb_window_t mRoot = 0;
};

TEST_F(X11, AGrabIsHeldAgainstOtherClientsAndAKeyTakenElsewhereFailsToRegister) {
    EnsureDesktopApp();
    std::string strError;
    auto keys = X11HotKeys::Connect(nullptr, &strError);
    ASSERT_TRUE(keys) << strError;

    ASSERT_TRUE(keys->RegisterHotKey(IDH_CAPTUREWINDOW, MOD_CONTROL | MOD_SHIFT, 'W'));
    EXPECT_FALSE(blnOtherGrabs('W'));
    EXPECT_FALSE(blnOtherGrabs('W', XCB_MOD_MASK_LOCK));
    // Ours under another id is taken as well.
    EXPECT_FALSE(keys->RegisterHotKey(IDH_CAPTUREREGION, MOD_CONTROL | MOD_SHIFT, 'W'));
    keys->UnregisterHotKey(IDH_CAPTUREWINDOW);
    EXPECT_TRUE(blnOtherGrabs('W'));

    // Held elsewhere (only its Num Lock variant): the registration fails
    // whole and leaves no variant of its own behind.
    ASSERT_TRUE(blnOtherGrabs('Q', XCB_MOD_MASK_2));
    EXPECT_FALSE(keys->RegisterHotKey(IDH_CAPTUREREGION, MOD_CONTROL | MOD_SHIFT, 'Q'));
    EXPECT_TRUE(blnOtherGrabs('Q'));
}

TEST_F(X11, ASyntheticPressReachesTheComponentWithAndWithoutCapsLock) {
    if (platform::win::strResolveProgram("xdotool").empty()) GTEST_SKIP() << "no xdotool";
    RegisterStandin();
    {
        auto reg = NewRegistry();
        NVPrefs prefs(*reg);
        ASSERT_EQ(prefs.Open(), S_OK);
        const uint8_t one = 1;
        ASSERT_EQ(prefs.Write("Capture", "UseHotkeys", &one, 1), S_OK);
    }
    const pid_t agent = StartAgent({});
    // Held by the agent once the other client can no longer grab it.
    ASSERT_TRUE(blnEventually([&] {
        if (!blnOtherGrabs('R')) return true;
        xcb_ungrab_key(mOther, Keycode('R'), mRoot, kCtrlShift);
        xcb_flush(mOther);
        return false;
    }));

    int32_t code = -1;
    ASSERT_TRUE(blnRunAndWait("xdotool key ctrl+shift+w", &code));
    EXPECT_EQ(WaitForLog(3).back(), "CaptureWindow");
    ASSERT_TRUE(blnRunAndWait("xdotool key Caps_Lock key ctrl+shift+r key Caps_Lock", &code));
    EXPECT_EQ(WaitForLog(4).back(), "CaptureRegion");

    StopAgent(agent);
}

}  // namespace
}  // namespace twtest
