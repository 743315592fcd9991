// Window classes between real processes: one owner per class, sent messages
// answered after the handler, stale sockets, hung windows, other users.
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "platform/win/MessageFrame.h"
#include "platform/win/Process.h"
#include "platform/win/WindowClass.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

constexpr char kClass[] = "Notavex Agent";

class Windows : public WinFixture {
  protected:
    // A child process that owns the class and handles messages until 1127.
    pid_t StartOwner(const WindowClassOwner::Handler& extra, bool blnDispatch = true) {
        const pid_t pid = fork();
        if (pid == 0) {
            auto owner = WindowClassOwner::Claim(kClass);
            if (!owner) _exit(3);
            bool quit = false;
            const WindowClassOwner::Handler handler = [&](const WindowMessage& m) {
                if (m.lngMsg == WM_USER + 103) quit = true;
                return extra(m);
            };
            while (!quit) {
                if (blnDispatch)
                    owner->blnWaitAndDispatch(handler, 100);
                else
                    pause();
            }
            _exit(0);
        }
        for (int i = 0; i < 500 && !FindWindow(kClass); ++i) usleep(10000);
        return pid;
    }
    static int ExitOf(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(Windows, TwoClaimsAtTheSameMomentLeaveOne) {
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> kids;
    for (int i = 0; i < 6; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(gate[1]);
            char c;
            (void)!read(gate[0], &c, 1);  // all start when the gate closes
            auto owner = WindowClassOwner::Claim(kClass);
            usleep(300000);
            _exit(owner ? 0 : 1);
        }
        kids.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    int owners = 0;
    for (pid_t k : kids) owners += ExitOf(k) == 0;
    EXPECT_EQ(owners, 1);
}

TEST_F(Windows, ASentMessageReturnsOnlyAfterItsHandlerRanAndAPostStopsTheOwner) {
    const std::string marker = Path("handled");
    const pid_t pid = StartOwner([&](const WindowMessage& m) -> int64_t {
        if (m.lngMsg != WM_USER + 101) return 0;
        usleep(200000);
        WriteText(marker, std::to_string(m.wParam) + " " + std::to_string(m.lParam));
        return int64_t(m.wParam) + m.lParam;
    });
    const HWND hwnd = FindWindow("NOTAVEX agent");  // class names without case
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(hwnd.pid, pid);
    int64_t result = 0;
    ASSERT_EQ(SendMessageTimeout(hwnd, WM_USER + 101, 7, -1, kSendTimeoutMs, &result),
              ERROR_SUCCESS);
    EXPECT_EQ(result, 6);
    EXPECT_EQ(ReadText(marker), "7 -1");

    // The message tool sends and posts as a person would type it.
    const auto nvmsg = [](const std::string& args) {
        int32_t code = -1;
        return blnRunAndWait("nvmsg " + args, &code) ? code : -1;
    };
    EXPECT_EQ(nvmsg("--send \"notavex AGENT\" WM_USER+101 40 2"), 0);
    EXPECT_EQ(ReadText(marker), "40 2");
    EXPECT_EQ(nvmsg("--send \"Notavex Agent\""), 2);
    EXPECT_EQ(nvmsg("\"No Such Class\" 1127"), 1);
    EXPECT_EQ(nvmsg("\"Notavex Agent\" 1127"), 0);
    EXPECT_EQ(ExitOf(pid), 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(PostMessage(hwnd, WM_USER + 103, 0, 0), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(std::filesystem::exists(strClassSocketPath(kClass)));
}

TEST_F(Windows, TheSocketOfADeadOwnerIsClearedAndTheClassIsFreeAgain) {
    const pid_t pid = fork();
    if (pid == 0) {
        auto owner = WindowClassOwner::Claim(kClass);
        _exit(owner ? 0 : 1);  // _exit: no destructor removes the socket
    }
    ASSERT_EQ(ExitOf(pid), 0);
    ASSERT_TRUE(std::filesystem::exists(strClassSocketPath(kClass)));
    EXPECT_FALSE(FindWindow(kClass));
    EXPECT_FALSE(std::filesystem::exists(strClassSocketPath(kClass)));
    auto owner = WindowClassOwner::Claim(kClass);
    EXPECT_TRUE(owner);
    EXPECT_EQ(FindWindow(kClass).pid, getpid());
}

TEST_F(Windows, ASenderGivesUpOnAWindowThatHangs) {
    const pid_t pid = StartOwner([](const WindowMessage&) { return 0; }, false);
    const HWND hwnd = FindWindow(kClass);
    ASSERT_TRUE(hwnd);
    const auto start = std::chrono::steady_clock::now();
    int64_t result = 5;
    EXPECT_EQ(SendMessageTimeout(hwnd, WM_USER + 102, 0, 1, 300, &result), ERROR_TIMEOUT);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_LT(ms.count(), 1500);
    EXPECT_EQ(result, 5);
    // Posting does not wait for the handler.
    EXPECT_EQ(PostMessage(hwnd, WM_USER + 101, 0, 1), ERROR_SUCCESS);
    kill(pid, SIGKILL);
    ExitOf(pid);
}

TEST_F(Windows, APeerOfAnotherUserIsRefused) {
    auto owner = WindowClassOwner::Claim(kClass);
    ASSERT_TRUE(owner);
    // Open the way to the socket, so only the owner's own check stands.
    OpenToNobody();
    chmod(Path("run").c_str(), 0755);
    chmod(Path("run/notavex").c_str(), 0755);
    chmod(strClassSocketPath(kClass).c_str(), 0777);
    const std::string socketPath = strClassSocketPath(kClass);
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(RunAsNobody([&] {
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un a{};
            a.sun_family = AF_UNIX;
            std::strncpy(a.sun_path, socketPath.c_str(), sizeof a.sun_path - 1);
            if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return 2;
            uint8_t frame[kFrameBytes];
            EncodeFrame(MessageFrame{FrameKind::Send, WM_USER + 103, 0, 0}, frame);
            if (write(fd, frame, sizeof frame) != static_cast<ssize_t>(sizeof frame)) return 3;
            return read(fd, frame, sizeof frame) == 0 ? 0 : 1;  // closed unanswered
        }));
    }
    bool handled = false;
    for (int i = 0; i < 20 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        owner->blnWaitAndDispatch([&](const WindowMessage&) { return handled = true; }, 100);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(handled);
}

}  // namespace
}  // namespace twtest
