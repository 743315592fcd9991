// Claimed folders: one run at a time, and no write below them through a
// symbolic link; set-id bits on copies made by another owner.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/platform_fs/FsFixture.h"

using namespace platform::fs;
namespace fs = std::filesystem;

namespace twtest {
namespace {

class Claim : public FsFixture {
  protected:
    void SetUp() override {
        FsFixture::SetUp();
        BuildTree(mC, "src.txt=data\n");
        BuildTree(mTmp / "outside", "keep.txt=mine\n");
        BuildTree(mE, "Backup/real/\n");
        fs::create_directory_symlink(mTmp / "outside", mE / "Backup/link");
    }
    std::string Outside() { return ReadTree(mTmp / "outside"); }
};

TEST_F(Claim, SecondClaimIsRefusedUntilTheFirstGoesAlsoFromAnotherOpenOfTheFolder) {
    auto first = mFs->ClaimFolder("E:\\Backup");
    EXPECT_EQ(ErrOf([&] { mFs->ClaimFolder("e:\\BACKUP\\"); }), 55);
    // Another process locks through its own open of the folder.
    const int fd = open((mE / "Backup").c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
    first.reset();
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(ErrOf([&] { mFs->ClaimFolder("E:\\Backup"); }), 55);
    close(fd);
    EXPECT_EQ(ErrOf([&] { mFs->ClaimFolder("E:\\Missing"); }), 76);
}

TEST_F(Claim, NoWriteBelowAClaimPassesThroughALinkButOutsideOneItDoes) {
    {
        auto claim = mFs->ClaimFolder("E:\\Backup");
        EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\src.txt", "E:\\Backup\\link\\a.txt", false); }),
                  75);
        EXPECT_EQ(ErrOf([&] { mFs->CreateFolder("E:\\Backup\\link\\new"); }), 75);
        EXPECT_EQ(ErrOf([&] { mFs->CreateEmptyFile("E:\\Backup\\link\\b.txt"); }), 75);
        EXPECT_EQ(ErrOf([&] { mFs->DeleteFile("E:\\Backup\\link\\keep.txt", true); }), 75);
        EXPECT_EQ(
            ErrOf([&] { mFs->GetFile("E:\\Backup\\link\\keep.txt")->SetAttributes(vbReadOnly); }),
            75);
        EXPECT_EQ(Outside(), "keep.txt=mine\n");
        // Real folders below the claim take writes as always.
        EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\src.txt", "E:\\Backup\\real\\a.txt", false); }),
                  0);
        EXPECT_TRUE(mFs->LinkExists("E:\\Backup\\LINK"));
        EXPECT_FALSE(mFs->LinkExists("E:\\Backup\\real"));
    }
    // Without a claim a link in a path is followed, as the host would.
    mFs->CopyFile("C:\\src.txt", "E:\\Backup\\link\\a.txt", false);
    EXPECT_EQ(Outside(), "a.txt=data\nkeep.txt=mine\n");
}

TEST_F(Claim, OverwritingALinkReplacesTheLinkAndLeavesItsFile) {
    BuildTree(mC, "t/\n");
    fs::create_symlink(mTmp / "outside/keep.txt", mC / "t/f.txt");
    chmod((mTmp / "outside/keep.txt").c_str(), 0444);
    mFs->CopyFile("C:\\src.txt", "C:\\t\\f.txt", true);
    EXPECT_FALSE(fs::is_symlink(mC / "t/f.txt"));
    EXPECT_EQ(ReadFile(mC / "t/f.txt"), "data");
    EXPECT_EQ(Outside(), "keep.txt=mine\n");
    EXPECT_EQ(fs::status(mTmp / "outside/keep.txt").permissions(), fs::perms(0444));
}

TEST_F(Claim, SetIdBitsStayOnlyWhereTheCopyKeepsTheSourcesOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a file another owner";
    BuildTree(mC, "own.bin\nuser.bin\n");
    chmod((mC / "own.bin").c_str(), 06755);
    ASSERT_EQ(chown((mC / "user.bin").c_str(), 1000, 1000), 0);
    chmod((mC / "user.bin").c_str(), 06755);  // chown cleared the bits
    mFs->CopyFile("C:\\own.bin", "E:\\own.bin", false);
    mFs->CopyFile("C:\\user.bin", "E:\\user.bin", false);
    struct stat st;
    ASSERT_EQ(stat((mE / "own.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 06755u);
    ASSERT_EQ(stat((mE / "user.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

}  // namespace
}  // namespace twtest
