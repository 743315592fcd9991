// Deletions left for the next start: both lists, carried out by the
// start-up program, never through a symbolic link.
#include <sys/stat.h>

#include "platform/win/Locations.h"
#include "platform/win/Process.h"
#include "platform/win/RestartOps.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class Restart : public WinFixture {};

TEST_F(Restart, TheStartupProgramDeletesTheListedFilesButNothingThroughALink) {
    blnMakeFolders(Path("opt/Notavex"));
    blnMakeFolders(Path("outside"));
    WriteText(Path("opt/Notavex/notavex.dll"), "old");
    WriteText(Path("opt/nvInst.exe"), "copy");
    WriteText(Path("outside/keep.dll"), "keep");
    std::filesystem::create_directory_symlink(Path("outside"), Path("opt/link"));
    auto reg = NewRegistry();
    for (const char* f : {"opt/Notavex/notavex.dll", "opt/link/keep.dll", "opt/nvInst.exe"})
        ASSERT_TRUE(MoveFileEx(*reg, Path(f), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_TRUE(std::filesystem::exists(Path("opt/Notavex/notavex.dll")));

    // The older family's list, as the installer writes it: read "Rename",
    // add an entry after those there, write back as "rename".
    WriteText(strWinInitPath(), "[Other]\r\na=b\r\n[Rename]\r\nNUL=" + Path("gone.txt") + "\r\n");
    WriteText(Path("w9x.dll"), "9x");
    std::string section;
    GetPrivateProfileSection("Rename", &section, 0x8000, strWinInitPath());
    section.pop_back();
    section += "NUL=" + Path("w9x.dll") + '\0' + '\0';
    ASSERT_TRUE(WritePrivateProfileSection("rename", section, strWinInitPath()));
    EXPECT_EQ(ReadText(strWinInitPath()), "[Other]\r\na=b\r\n[rename]\r\nNUL=" + Path("gone.txt") +
                                              "\r\nNUL=" + Path("w9x.dll") + "\r\n");

    int32_t code = -1;
    ASSERT_TRUE(blnRunAndWait("nvrestartops", &code));
    EXPECT_EQ(code, 1);  // the entry through the link failed
    EXPECT_FALSE(std::filesystem::exists(Path("opt/Notavex/notavex.dll")));
    EXPECT_FALSE(std::filesystem::exists(Path("opt/nvInst.exe")));
    EXPECT_FALSE(std::filesystem::exists(Path("w9x.dll")));
    EXPECT_EQ(ReadText(Path("outside/keep.dll")), "keep");
    EXPECT_TRUE(std::filesystem::exists(strJoin(strWindowsFolder(), "WININIT.BAK")));
    HKEY h = 0;
    ASSERT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_READ, &h), ERROR_SUCCESS);
    uint32_t size = 0;
    EXPECT_EQ(reg->QueryValue(h, kPendingValue, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

    // A section larger than the buffer is cut as Windows cuts it.
    std::string cut;
    WriteText(strWinInitPath(), "[rename]\r\nNUL=/abcdef\r\n");
    EXPECT_EQ(GetPrivateProfileSection("RENAME", &cut, 8, strWinInitPath()), 6u);
    EXPECT_EQ(cut, std::string("NUL=/a\0\0", 8));
}

}  // namespace
}  // namespace twtest
