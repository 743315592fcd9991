// Special folders, links as .desktop entries, and the file queue.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ui/ScriptedUi.h"
#include "platform/win/FileQueue.h"
#include "platform/win/Locations.h"
#include "platform/win/ShellFolders.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class Shell : public WinFixture {};

TEST_F(Shell, LinksAreDesktopEntriesInTheFoldersOfTheUserAndOfAllUsers) {
    std::string common, user, startup;
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_COMMON_PROGRAMS, &common, true));
    EXPECT_FALSE(SHGetSpecialFolderPath(CSIDL_STARTMENU, &user, false));  // not made yet
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_STARTMENU, &user, true));
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_STARTUP, &startup, true));
    EXPECT_EQ(common, Path("machine/usr/local/share/applications"));
    EXPECT_EQ(user, Path("data/applications"));
    EXPECT_EQ(startup, Path("config/autostart"));
    EXPECT_FALSE(SHGetSpecialFolderPath(0x1234, &user, true));

    const ShellLink link{Path("machine/opt/Note vex/NVAgent$1.exe"), "-v \"a\\b\" 100%",
                         "Start an Notavex-enabled browser", ""};
    EXPECT_EQ(SaveShellLink(common + "/Notavex/Start Notavex.lnk", link),
              HRESULT_FROM_WIN32(3));  // the subfolder is the caller's to make
    ASSERT_TRUE(blnMakeFolders(common + "/Notavex"));
    ASSERT_EQ(SaveShellLink(common + "/Notavex/Start Notavex.lnk", link), S_OK);
    // Exec quotes what the format reserves, escapes inside the quotes, and
    // doubles backslashes once more as every string value does.
    EXPECT_EQ(ReadText(common + "/Notavex/Start Notavex.desktop"),
              "[Desktop Entry]\nType=Application\nName=Start Notavex\n"
              "Comment=Start an Notavex-enabled browser\nExec=\"" +
                  Path("machine/opt/Note vex/NVAgent\\\\$1.exe") + "\" -v \"a\\\\\\\\b\" 100%%\n");

    OpenToNobody();
    const int r = RunAsNobody([&] {
        return SaveShellLink(startup + "/Notavex Agent.lnk",
                             ShellLink{"/x", "", "Notavex Icon", ""}) == HRESULT_FROM_WIN32(5)
                   ? 0
                   : 1;
    });
    EXPECT_EQ(r, 0);
}

struct ScriptedCallback : FileQueueCallback {
    std::vector<QueueAnswer> answers;
    std::vector<std::string> errors, files;
    std::function<void()> onError;
    void OnFile(int, const std::string& strPath) override { files.push_back(strPath); }
    QueueAnswer OnError(const std::string& op, const std::string& path,
                        const std::string&) override {
        errors.push_back(op + " " + path);
        if (onError) onError();
        const QueueAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

TEST_F(Shell, TheFileQueueCopiesWholeFilesAndAsksAboutEachFailure) {
    blnMakeFolders(Path("src"));
    WriteText(Path("src/NVAgent.exe"), "new agent");
    chmod(Path("src/NVAgent.exe").c_str(), 0755);
    WriteText(Path("src/linebreak.gif"), "gif");
    blnMakeFolders(Path("dst"));
    WriteText(Path("dst/NVAgent.exe"), "old agent");
    WriteText(Path("dst/old.txt"), "x");
    // A running program keeps the file it has open; the name gets the new one.
    const int held = open(Path("dst/NVAgent.exe").c_str(), O_RDONLY);

    FileQueue q;
    q.QueueCopy(Path("src"), "NVAgent.exe", Path("dst/Notavex"));
    q.QueueCopy(Path("src"), "missing.dll", Path("dst"));
    q.QueueCopy(Path("src"), "linebreak.gif", Path("dst"), "renamed.gif");
    q.QueueCopy(Path("src"), "NVAgent.exe", Path("dst"));
    q.QueueDelete(Path("dst"), "old.txt");
    q.QueueDelete(Path("dst"), "never-there.txt");
    ScriptedCallback cb;
    cb.answers = {QueueAnswer::Retry, QueueAnswer::Skip};
    ASSERT_TRUE(q.blnCommit(cb));
    EXPECT_EQ(cb.errors, (std::vector<std::string>(2, "copy " + Path("src/missing.dll"))));
    EXPECT_EQ(cb.files.size(), 6u);
    EXPECT_EQ(ReadText(Path("dst/Notavex/NVAgent.exe")), "new agent");
    EXPECT_EQ(access(Path("dst/Notavex/NVAgent.exe").c_str(), X_OK), 0);
    EXPECT_EQ(ReadText(Path("dst/renamed.gif")), "gif");
    EXPECT_EQ(ReadText(Path("dst/NVAgent.exe")), "new agent");
    char buf[16] = {};
    EXPECT_EQ(read(held, buf, sizeof buf), 9);
    EXPECT_STREQ(buf, "old agent");
    close(held);
    EXPECT_FALSE(std::filesystem::exists(Path("dst/old.txt")));
    EXPECT_EQ(q.lngPending(), 0u);

    // A retry after the cause is gone succeeds; cancel stops the rest.
    q.QueueCopy(Path("src"), "late.txt", Path("dst"));
    q.QueueCopy(Path("src"), "missing.dll", Path("dst"));
    q.QueueCopy(Path("src"), "linebreak.gif", Path("dst"));
    cb.answers = {QueueAnswer::Retry, QueueAnswer::Cancel};
    cb.onError = [&] { WriteText(Path("src/late.txt"), "late"); };
    EXPECT_FALSE(q.blnCommit(cb));
    EXPECT_EQ(ReadText(Path("dst/late.txt")), "late");
    EXPECT_FALSE(std::filesystem::exists(Path("dst/linebreak.gif")));

    // Without a window, the failure is a box of the user-interface services.
    auto ui = std::make_shared<platform::ui::ScriptedUi>();
    auto previous = platform::ui::InstallUi(ui);
    ui->QueueMsgBoxAnswer(platform::ui::vbIgnore);
    q.QueueCopy(Path("src"), "missing.dll", Path("dst"));
    UiQueueCallback uiCallback;
    EXPECT_TRUE(q.blnCommit(uiCallback));
    ASSERT_EQ(ui->Prompts().size(), 1u);
    EXPECT_EQ(ui->Prompts()[0].strTitle, "File Operation Failed");
    platform::ui::InstallUi(previous);
    for (const auto& e : std::filesystem::directory_iterator(Path("dst")))
        EXPECT_EQ(e.path().filename().string().rfind(".nvq-", 0), std::string::npos);
}

}  // namespace
}  // namespace twtest
