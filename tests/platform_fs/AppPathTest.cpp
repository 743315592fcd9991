#include <filesystem>

#include "FsFixture.h"
#include "platform/fs/UserFolders.h"

namespace twtest {
namespace {

class AppPathTest : public FsFixture {};

TEST_F(AppPathTest, FolderOnATableDriveIsNamedOnThatDrive) {
    std::filesystem::create_directories(mC / "Programs" / "Tarnwick");
    EXPECT_EQ(mFs->AppPathOf(mC / "Programs" / "Tarnwick"), "C:\\Programs\\Tarnwick");
    EXPECT_EQ(mFs->AppPathOf(mC), "C:\\");
    // A host path through ".." or with a trailing slash names the same folder.
    EXPECT_EQ(mFs->AppPathOf(mC / "Programs" / ".." / "Programs" / "Tarnwick" / ""),
              "C:\\Programs\\Tarnwick");
}

TEST_F(AppPathTest, FolderOffTheTableGetsAHiddenFreeLetterThatResolves) {
    const auto prog = mTmp / "opt" / "bin";
    std::filesystem::create_directories(prog);
    const std::string strPath = mFs->AppPathOf(prog);
    EXPECT_EQ(strPath, "Z:\\");
    EXPECT_EQ(mFs->AppPathOf(prog), strPath) << "asked twice, same letter";
    EXPECT_EQ(mFs->AppPathOf(prog / "sub"), "Z:\\sub");

    // Never listed, so no run walks the program's folder.
    for (const auto& objDrive : mFs->Drives()) EXPECT_NE(objDrive->DriveLetter(), "Z");

    // But lookups and writes reach it: error.log and the help file live here.
    mFs->WriteFileReplacing(strPath + "error.log", "report");
    EXPECT_EQ(ReadFile(prog / "error.log"), "report");
    EXPECT_TRUE(mFs->FileExists("Z:\\error.log"));
    EXPECT_EQ(mFs->HostPathOf("Z:\\TarnwickBackup.hlp"), prog / "TarnwickBackup.hlp");

    // A letter the table takes is skipped.
    platform::fs::DriveTable table;
    table.drives.push_back({'C', mC, 2, "", "", std::nullopt, false});
    table.drives.push_back({'Z', mE, 1, "", "", std::nullopt, false});
    auto objFs = platform::fs::FileSystem::Create(table);
    EXPECT_EQ(objFs->AppPathOf(prog), "Y:\\");
    EXPECT_EQ(objFs->Drives().size(), 2u);
}

// XDG_STATE_HOME counts only when absolute, as the base directory layout
// says; otherwise ~/.local/state. The folder is made with its parents.
TEST_F(AppPathTest, StateFolderFollowsXdgStateHomeElseTheHomeFolder) {
    const std::string strOldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", (mC / "home").c_str(), 1);
    setenv("XDG_STATE_HOME", "relative/state", 1);
    EXPECT_EQ(platform::fs::UserStateFolder(), mC / "home/.local/state/TarnwickBackup");
    setenv("XDG_STATE_HOME", (mC / "st").c_str(), 1);
    EXPECT_EQ(platform::fs::MakeUserStateFolder(), mC / "st/TarnwickBackup");
    EXPECT_TRUE(std::filesystem::is_directory(mC / "st/TarnwickBackup"));
    EXPECT_EQ(std::filesystem::status(mC / "st/TarnwickBackup").permissions(),
              std::filesystem::perms::owner_all);
    setenv("HOME", strOldHome.c_str(), 1);
    unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace twtest
