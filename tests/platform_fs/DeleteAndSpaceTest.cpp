// Deletes, permission failures, and the free space of real and simulated media.
#include <sys/stat.h>

#include <stdexcept>

#include "platform/fs/SpaceEstimate.h"
#include "tests/platform_fs/FsFixture.h"

using namespace platform::fs;

namespace twtest {
namespace {

class Delete : public FsFixture {};

TEST_F(Delete, ReadOnlyFileNeedsForce) {
    BuildTree(mC, "ro.txt=x\nd/sub/ro.txt=y\nd/sub/other.txt=z\n");
    mFs->GetFile("C:\\ro.txt")->SetAttributes(vbReadOnly);
    mFs->GetFile("C:\\d\\sub\\ro.txt")->SetAttributes(vbReadOnly);
    EXPECT_EQ(ErrOf([&] { mFs->DeleteFile("C:\\ro.txt", false); }), 70);
    EXPECT_TRUE(std::filesystem::exists(mC / "ro.txt"));
    EXPECT_EQ(ErrOf([&] { mFs->GetFile("C:\\RO.TXT")->Delete(true); }), 0);
    EXPECT_FALSE(std::filesystem::exists(mC / "ro.txt"));

    EXPECT_EQ(ErrOf([&] { mFs->GetFolder("C:\\d")->Delete(false); }), 70);
    EXPECT_TRUE(std::filesystem::exists(mC / "d" / "sub" / "ro.txt"));
    mFs->DeleteFolder("C:\\D", true);
    EXPECT_FALSE(std::filesystem::exists(mC / "d"));
    EXPECT_EQ(ErrOf([&] { mFs->DeleteFile("C:\\ro.txt", true); }), 53);
    EXPECT_EQ(ErrOf([&] { mFs->DeleteFolder("C:\\d", true); }), 76);
    EXPECT_EQ(ErrOf([&] { mFs->GetFolder("C:\\")->Delete(true); }), 70);
}

TEST_F(Delete, FolderDeleteRemovesLinksNotWhatTheyPointTo) {
    BuildTree(mC, "keep/k.txt=k\nd/a.txt=a\n");
    std::filesystem::create_symlink(mC / "keep", mC / "d" / "linkdir");
    std::filesystem::create_symlink(mC / "keep" / "k.txt", mC / "d" / "linkfile");
    mFs->DeleteFolder("C:\\d", false);
    EXPECT_EQ(ReadTree(mC), "keep/k.txt=k\n");
}

TEST_F(Delete, PermissionFailuresOfAnUnprivilegedUserAre70) {
    BuildTree(mC, "locked/f.txt=x\nsrc.txt=s\n");
    for (auto p = mC; p != mTmp.path().parent_path(); p = p.parent_path())
        chmod(p.c_str(), 0755);  // nobody may look, but not write
    EXPECT_EQ(ErrAsNobody([&] { mFs->DeleteFile("C:\\locked\\f.txt", false); }), 70);
    EXPECT_EQ(ErrAsNobody([&] { mFs->CopyFile("C:\\src.txt", "C:\\locked\\g.txt", false); }), 70);
    EXPECT_EQ(ErrAsNobody([&] { mFs->CreateFolder("C:\\locked\\new"); }), 70);
    EXPECT_EQ(ErrAsNobody([&] { mFs->GetFile("C:\\src.txt")->SetAttributes(vbReadOnly); }), 70);
    EXPECT_EQ(ReadTree(mC), "locked/f.txt=x\nsrc.txt=s\n");
    EXPECT_EQ(mFs->GetFile("C:\\src.txt")->Attributes() & vbReadOnly, 0);
}

class Space : public FsFixture {
  protected:
    void SetUp() override {
        FsFixture::SetUp();
        MakeFs(100000);
    }
    uint64_t Available() { return mFs->GetDiskFreeSpace("E:\\").available; }
};

TEST_F(Space, SimulatedMediumFillsUpAndCountsOwnWritesAndDeletes) {
    BuildTree(mE, "old/x.bin=" + std::string(10000, 'o') + "\n");
    WriteFile(mC / "a.bin", std::string(30000, 'a'));
    WriteFile(mC / "big.bin", std::string(70000, 'b'));
    const DiskSpace first = mFs->GetDiskFreeSpace("E:\\");
    EXPECT_EQ(first.total, 100000u);
    EXPECT_EQ(first.available, 90000u);
    EXPECT_EQ(first.free, 90000u);

    mFs->CopyFile("C:\\a.bin", "E:\\a1.bin", false);
    mFs->CopyFile("C:\\a.bin", "E:\\a2.bin", false);
    EXPECT_EQ(Available(), 30000u);
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\big.bin", "E:\\big.bin", false); }), 61);
    EXPECT_FALSE(std::filesystem::exists(mE / "big.bin"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mE), {}), 3);  // no temp file
    mFs->CopyFile("C:\\a.bin", "E:\\a1.bin", true);  // replacing frees the old copy
    EXPECT_EQ(Available(), 30000u);
    mFs->WriteFileReplacing("E:\\note.txt", std::string(5000, 'n'));
    EXPECT_EQ(Available(), 25000u);

    mFs->DeleteFile("E:\\a1.bin", false);
    mFs->GetFolder("E:\\old")->Delete(false);
    EXPECT_EQ(Available(), 65000u);
    mFs->GetFile("E:\\a2.bin")->Delete(false);
    mFs->CopyFile("C:\\big.bin", "E:\\big.bin", false);
    EXPECT_EQ(Available(), 25000u);
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.bin", "E:\\a3.bin", false); }), 61);
}

TEST_F(Space, NewMediumIsCountedAfresh) {
    BuildTree(mE, "x.bin=" + std::string(40000, 'x') + "\n");
    EXPECT_EQ(Available(), 60000u);
    // Another disc: the folder is replaced by one holding different files.
    std::filesystem::rename(mE, mTmp / "e-old");
    BuildTree(mE, "y.bin=" + std::string(1000, 'y') + "\n");
    EXPECT_EQ(Available(), 99000u);
    // Outside writes on the same medium are not rescanned per query...
    WriteFile(mE / "outside.bin", std::string(5000, 'o'));
    EXPECT_EQ(Available(), 99000u);
    // ...but a removed medium is not ready, and the next one is scanned.
    std::filesystem::rename(mE, mTmp / "e-second");
    EXPECT_EQ(ErrOf([&] { Available(); }), 71);
    EXPECT_FALSE(mFs->GetDrive("E")->IsReady());
    std::filesystem::rename(mTmp / "e-second", mE);
    EXPECT_EQ(Available(), 94000u);
}

TEST_F(Space, RealVolumeAndDriveQueries) {
    const DiskSpace c = mFs->GetDiskFreeSpace("c:\\");
    EXPECT_GT(c.total, 0u);
    EXPECT_LE(c.available, c.free);
    EXPECT_LE(c.free, c.total);
    EXPECT_EQ(ErrOf([&] { mFs->GetDiskFreeSpace("Q:\\"); }), 68);
    EXPECT_EQ(ErrOf([&] { mFs->GetDrive("Q"); }), 68);
    EXPECT_NO_THROW(mFs->FlushDrive("E:"));
    EXPECT_EQ(mFs->GetDrive("e")->RootFolder()->Path(), "E:\\");
    EXPECT_TRUE(mFs->DriveExists("e:\\backup"));
}

// A run asks before every copy; the answer between two real queries is the
// last one less what was written since, and a query comes whenever that
// could be wrong enough to matter.
TEST(SpaceEstimate, AsksAgainWhenOldNearlyFullForgottenOrFailed) {
    using namespace std::chrono_literals;
    const uint64_t kGiB = uint64_t{1} << 30;
    SpaceEstimate estimate;
    int asks = 0;
    uint64_t hostAvailable = 10 * kGiB;
    const auto ask = [&] {
        ++asks;
        return DiskSpace{hostAvailable, hostAvailable + 100, 50 * kGiB};
    };
    const auto t0 = SpaceEstimate::Clock::now();
    EXPECT_EQ(estimate.Get(ask, t0).available, 10 * kGiB);
    estimate.Written(1);  // a whole block
    estimate.Written(8192);
    const DiskSpace later = estimate.Get(ask, t0 + 50ms);
    EXPECT_EQ(asks, 1);
    EXPECT_EQ(later.available, 10 * kGiB - 3 * 4096);
    EXPECT_EQ(later.free, 10 * kGiB + 100 - 3 * 4096);

    EXPECT_EQ(estimate.Get(ask, t0 + 100ms).available, 10 * kGiB);  // too old
    EXPECT_EQ(asks, 2);

    estimate.Written(9 * kGiB + 1);  // within a GiB of full: exact from now on
    hostAvailable = kGiB / 2;
    EXPECT_EQ(estimate.Get(ask, t0 + 110ms).available, kGiB / 2);
    EXPECT_EQ(estimate.Get(ask, t0 + 111ms).available, kGiB / 2);
    EXPECT_EQ(asks, 4);

    hostAvailable = 20 * kGiB;
    estimate.Get(ask, t0 + 112ms);
    estimate.Forget();  // a delete, a flush before a medium change
    EXPECT_EQ(estimate.Get(ask, t0 + 113ms).available, 20 * kGiB);
    EXPECT_EQ(asks, 6);

    EXPECT_THROW(estimate.Get([]() -> DiskSpace { throw std::runtime_error("gone"); }, t0 + 300ms),
                 std::runtime_error);
    EXPECT_EQ(estimate.Get(ask, t0 + 301ms).available, 20 * kGiB);
    EXPECT_EQ(asks, 7);
}

}  // namespace
}  // namespace twtest
