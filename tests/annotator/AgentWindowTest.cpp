// The agent's window in process, offscreen: its menu and hot keys drive the
// stand-in component, Hide and message 1125 move the icon, 1124 and 1126
// reach the hot-key service, and 1127 ends the loop.
#include <QAction>
#include <QApplication>
#include <QSystemTrayIcon>

#include "annotator/src/AgentMenu.h"
#include "annotator/src/AgentWindow.h"
#include "annotator/src/CaptureClient.h"
#include "annotator/src/NVPrefs.h"
#include "annotator/src/TrayIcon.h"
#include "tests/annotator/AgentFixture.h"
#include "tests/annotator/DesktopApp.h"
#include "tests/annotator/RecordingHotKeys.h"

using namespace platform::win;
using namespace std::chrono_literals;

namespace twtest {
namespace {

class Agent : public AgentFixture {
  protected:
    void SetUp() override {
        AgentFixture::SetUp();
        EnsureDesktopApp<QApplication>();
        mRegistry = NewRegistry();
        mPrefs = std::make_unique<NVPrefs>(*mRegistry);
        ASSERT_EQ(mPrefs->Open(), S_OK);
        mCapture = std::make_unique<CaptureClient>(
            CaptureClient::RegistryCreator(), 5s,
            [this](const std::string& s) { maReports.push_back(s); });
        mTray = std::make_unique<TrayIcon>();
        mWindow =
            std::make_unique<AgentWindow>(WindowClassOwner::Claim(kAgentClass), *mPrefs, mHotKeys,
                                          *mTray, *mCapture, [this] { mblnQuit = true; });
    }
    void TearDown() override {
        mWindow.reset();
        mTray.reset();
        mCapture.reset();
        mPrefs.reset();
        AgentFixture::TearDown();
    }
    QAction* Item(uint32_t lngId) {
        for (QAction* a : mTray->Menu().actions())
            if (AgentMenu::lngCommandOf(a) == lngId) return a;
        return nullptr;
    }

    std::unique_ptr<Registry> mRegistry;
    std::unique_ptr<NVPrefs> mPrefs;
    std::vector<std::string> maReports;
    RecordingHotKeys mHotKeys;
    std::unique_ptr<CaptureClient> mCapture;
    std::unique_ptr<TrayIcon> mTray;
    std::unique_ptr<AgentWindow> mWindow;
    bool mblnQuit = false;
};

TEST_F(Agent, MenuItemsAndHotKeysReachTheirSlotsInOrderOnOneObjectReleasedAtTheEnd) {
    std::vector<std::string> aItems;
    for (QAction* a : mTray->Menu().actions())
        aItems.push_back(a->isSeparator() ? "-"
                                          : a->text().toStdString() + " " +
                                                std::to_string(AgentMenu::lngCommandOf(a)));
    EXPECT_EQ(aItems, (std::vector<std::string>{
                          "Start Notavex 40007", "My Collection... 40003", "-",
                          "Capture Window for Markup 40001", "Capture Region for Markup 40002", "-",
                          "Capture Options... 40005", "-", "Hide Notavex Icon 40004"}));
    EXPECT_EQ(mTray->Menu().defaultAction(), Item(IDM_STARTNOTAVEX));
    EXPECT_TRUE(Item(IDM_STARTNOTAVEX)->font().bold());
    EXPECT_EQ(mTray->Icon().toolTip(), "Notavex");

    RegisterStandin();
    for (uint32_t id : {IDM_STARTNOTAVEX, IDM_MYCOLLECTION, IDM_CAPTUREWINDOW, IDM_CAPTUREREGION,
                        IDM_CAPTUREOPTIONS})
        Item(id)->trigger();
    mHotKeys.Press(IDH_CAPTUREWINDOW);
    mHotKeys.Press(0);  // ids other than the two do nothing
    mHotKeys.Press(IDH_CAPTUREREGION);
    ASSERT_TRUE(mCapture->blnWaitIdle(5s));
    mWindow.reset();
    mCapture.reset();  // the agent's end releases the object

    const auto lines = LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"CreateInstance", "StartBrowser", "ShowPage 310",
                                        "CaptureWindow", "CaptureRegion", "ShowOptions",
                                        "CaptureWindow", "CaptureRegion", "Release"}));
    EXPECT_TRUE(maReports.empty());
}

TEST_F(Agent, HideStoresShowIconAndRemovesTheIconAnd1125BringsItBack) {
    mWindow->Start();
    EXPECT_TRUE(mTray->blnShown());  // nothing stored: the icon shows

    Item(IDM_HIDEICON)->trigger();
    EXPECT_FALSE(mTray->blnShown());
    uint8_t blnShow = 7;
    ASSERT_EQ(mPrefs->Read("Capture", "ShowIcon", &blnShow, 1), S_OK);
    EXPECT_EQ(blnShow, 0);

    // A later start hands over through 1125 on the class socket.
    const HWND hwnd = FindWindow(kAgentClass);
    ASSERT_EQ(PostMessage(hwnd, WM_NV_SHOWICON, 0, 1), 0);
    EXPECT_TRUE(blnRunUntil([&] { return mTray->blnShown(); }));
    mWindow->WindowProc({WM_NV_QUIT, 0, 0});
    EXPECT_TRUE(mblnQuit);
    EXPECT_FALSE(mTray->blnShown());
}

TEST_F(Agent, Messages1124And1126RegisterAndUnregisterTheStoredHotKeys) {
    // UseHotkeys unset: nothing registers; 1124 only unregisters its id.
    mWindow->Start();
    mWindow->WindowProc({WM_NV_USEHOTKEYS, 0, 1});
    mWindow->WindowProc({WM_NV_HOTKEYCHANGED, IDH_CAPTUREWINDOW, 'Q'});
    EXPECT_EQ(mHotKeys.Take(), (std::vector<std::string>{"unregister 21073"}));

    // Set, nothing stored: Ctrl+Shift (6) W and R, each under its own id.
    const uint8_t one = 1;
    ASSERT_EQ(mPrefs->Write("Capture", "UseHotkeys", &one, 1), S_OK);
    mWindow->WindowProc({WM_NV_USEHOTKEYS, 0, 1});
    EXPECT_EQ(mHotKeys.Take(),
              (std::vector<std::string>{"unregister 21073", "register 21073 6 W",
                                        "unregister 21074", "register 21074 6 R"}));

    const HotkeyRecord window{IDH_CAPTUREWINDOW, 'X', 0}, region{IDH_CAPTUREREGION, 0, 0};
    ASSERT_EQ(mPrefs->Write("Capture", "WindowHotkey", &window, 12), S_OK);
    ASSERT_EQ(mPrefs->Write("Capture", "RegionHotkey", &region, 12), S_OK);
    mWindow->WindowProc({WM_NV_USEHOTKEYS, 0, 1});
    // Only the low word of lParam is the key.
    mWindow->WindowProc({WM_NV_HOTKEYCHANGED, IDH_CAPTUREREGION, 0x10000 | 'Z'});
    mWindow->WindowProc({WM_NV_USEHOTKEYS, 0, 0});
    EXPECT_EQ(mHotKeys.Take(),
              (std::vector<std::string>{
                  "unregister 21073", "register 21073 6 X", "unregister 21074", "unregister 21074",
                  "register 21074 6 Z", "unregister 21073", "unregister 21074"}));
}

}  // namespace
}  // namespace twtest
