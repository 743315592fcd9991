#include "tests/annotator/AgentFixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "annotator/src/AgentWindow.h"
#include "platform/win/Locations.h"
#include "platform/win/Process.h"

extern char** environ;

using namespace platform::win;

namespace twtest {

void AgentFixture::SetUp() {
    WinFixture::SetUp();
    // Agents started here run without a display, so no key is grabbed on a
    // desktop the tests happen to run in.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        SaveEnv(name);
        unsetenv(name);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

void AgentFixture::TearDown() {
    for (pid_t pid : mStarted)
        if (!WaitExit(pid, 0)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    WinFixture::TearDown();
}

void AgentFixture::RegisterStandin() {
    int32_t code = -1;
    ASSERT_TRUE(
        blnRunAndWait("Regsvr32.exe /s " + strJoin(strProgramFolder(), "notavex.dll"), &code));
    ASSERT_EQ(code, 0);
    std::filesystem::remove(Path("calls.log"));
}

pid_t AgentFixture::StartAgent(const std::vector<std::string>& args, const std::string& strArgv0) {
    const std::string strProgram = strJoin(strProgramFolder(), "NVAgent");
    std::vector<std::string> argv{strArgv0.empty() ? strProgram : strArgv0};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, strProgram.c_str(), nullptr, nullptr, raw.data(), environ) != 0) return 0;
    mStarted.push_back(pid);
    return pid;
}

std::optional<int> AgentFixture::WaitExit(pid_t pid, int lngLimitMs) {
    int status = 0;
    pid_t r = 0;
    blnEventually([&] { return (r = waitpid(pid, &status, WNOHANG)) != 0; }, lngLimitMs);
    if (r != pid) return std::nullopt;
    std::erase(mStarted, pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> AgentFixture::WaitForLog(size_t lngLines, int lngLimitMs) {
    std::vector<std::string> lines;
    blnEventually([&] { return (lines = LogLines()).size() >= lngLines; }, lngLimitMs);
    return lines;
}

void AgentFixture::StopAgent(pid_t pid) {
    EXPECT_EQ(PostMessage(FindWindow(kAgentClass), WM_NV_QUIT, 0, 0), 0);
    EXPECT_EQ(WaitExit(pid, 5000), 0);
}

}  // namespace twtest
