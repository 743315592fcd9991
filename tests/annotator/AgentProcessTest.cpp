// The agent as a real process: one instance, -v handed to the component
// from a second start, the registration call at start, the stop signal.
#include "annotator/src/AgentWindow.h"
#include "platform/win/Registry.h"
#include "tests/annotator/AgentFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class AgentProcess : public AgentFixture {};

TEST_F(AgentProcess, TwoStartsLeaveOneAndTheStopSignalEndsItAndFreesTheClass) {
    // Started with a display that cannot be opened, as from a stale
    // session: both run without it rather than end in Qt's abort.
    setenv("DISPLAY", ":32761", 1);
    const pid_t a = StartAgent({});
    const pid_t b = StartAgent({});
    unsetenv("DISPLAY");
    ASSERT_TRUE(a && b);
    std::optional<int> endA, endB;
    blnEventually(
        [&] {
            endA = WaitExit(a, 0);
            endB = WaitExit(b, 0);
            return endA || endB;
        },
        10000);
    ASSERT_NE(endA.has_value(), endB.has_value()) << "exactly one of the two hands over";
    EXPECT_EQ(endA ? *endA : *endB, 0);
    const pid_t survivor = endA ? b : a;
    EXPECT_EQ(WaitExit(survivor, 300), std::nullopt);
    const HWND hwnd = FindWindow(kAgentClass);
    EXPECT_EQ(hwnd.pid, survivor);

    int64_t lngResult = -1;
    EXPECT_EQ(SendMessageTimeout(hwnd, WM_NV_QUIT, 0, 0, 5000, &lngResult), 0);
    EXPECT_EQ(WaitExit(survivor, 5000), 0);
    EXPECT_FALSE(FindWindow(kAgentClass));
}

TEST_F(AgentProcess, MinusVReachesStartBrowserInTheSecondProcessAndNeverFromTheProgramPath) {
    RegisterStandin();
    // An empty DLLPath names the library beside the agent.
    auto reg = NewRegistry();
    HKEY h = 0;
    ASSERT_EQ(reg->CreateKey(HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator", KEY_WRITE, &h), 0);
    ASSERT_EQ(reg->SetValue(h, "DLLPath", REG_SZ, "", 1), 0);
    reg->CloseKey(h);

    const pid_t first = StartAgent({});
    ASSERT_TRUE(blnEventually([] { return static_cast<bool>(FindWindow(kAgentClass)); }, 10000));
    EXPECT_EQ(WaitForLog(1), std::vector<std::string>{"ForceRegisterClient"});

    EXPECT_EQ(WaitExit(StartAgent({}, "/opt/my-v/take -v/NVAgent"), 10000), 0);
    EXPECT_EQ(WaitExit(StartAgent({"-v"}), 10000), 0);
    // The object was made and released by the second process, while the
    // first still runs.
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()),
              (std::vector<std::string>{"CreateInstance", "StartBrowser", "Release"}));
    EXPECT_EQ(WaitExit(first, 0), std::nullopt);
    StopAgent(first);
}

}  // namespace
}  // namespace twtest
