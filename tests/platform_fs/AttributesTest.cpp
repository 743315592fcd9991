// Attribute bits, the archive flag, and the write-protected drive.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>

#include "tests/platform_fs/FsFixture.h"

using namespace platform::fs;

namespace twtest {
namespace {

class Attributes : public FsFixture {
  protected:
    bool XattrsWork() {
        WriteFile(mC / "probe", "");
        const bool ok = setxattr((mC / "probe").c_str(), "user.probe", "1", 1, 0) == 0;
        std::filesystem::remove(mC / "probe");
        return ok;
    }
};

TEST_F(Attributes, RoundTripAndTheArchiveBitComesBackOnlyAfterAChange) {
    if (!XattrsWork()) GTEST_SKIP() << "no user extended attributes here";
    BuildTree(mC, "f.txt=one\n.dot=y\n");
    const FilePtr f = mFs->GetFile("C:\\f.txt");
    EXPECT_EQ(f->Attributes(), vbArchive);
    EXPECT_EQ(mFs->GetFile("C:\\.dot")->Attributes(), vbHidden | vbArchive);
    f->SetAttributes(vbReadOnly | vbHidden | vbSystem | vbArchive);
    EXPECT_EQ(f->Attributes(), vbReadOnly | vbHidden | vbSystem | vbArchive);
    EXPECT_EQ(
        std::filesystem::status(mC / "f.txt").permissions() & std::filesystem::perms::owner_write,
        std::filesystem::perms::none);
    EXPECT_EQ(mFs->GetFolder("C:\\")->Attributes() & vbDirectory, vbDirectory);

    // The archive bit stays cleared until the file changes.
    f->SetAttributes(vbNormal);
    EXPECT_EQ(f->Attributes(), vbNormal);
    EXPECT_EQ(mFs->GetFile("C:\\F.TXT")->Attributes() & vbArchive, 0);  // stored, not cached
    // A rewrite with the same size still moves the modification time.
    const auto before = f->DateLastModified();
    const timespec later[2] = {{0, UTIME_OMIT}, {time(nullptr) + 5, 123456789}};
    WriteFile(mC / "f.txt", "two");
    ASSERT_EQ(utimensat(AT_FDCWD, (mC / "f.txt").c_str(), later, 0), 0);
    EXPECT_EQ(f->Attributes() & vbArchive, vbArchive);
    EXPECT_GT(f->DateLastModified(), before);
    EXPECT_EQ(f->DateLastModified().time_since_epoch() % std::chrono::seconds(1),
              std::chrono::nanoseconds(123456789));
    f->SetAttributes(vbReadOnly);  // clears the archive bit again, read-only on top
    EXPECT_EQ(f->Attributes(), vbReadOnly);
    // A copy is a new file: archive set, read-only kept as a permission bit.
    f->Copy("E:\\f.txt", false);
    EXPECT_EQ(mFs->GetFile("E:\\f.txt")->Attributes(), vbReadOnly | vbArchive);
}

TEST_F(Attributes, WriteProtectedDriveRefusesEveryChange) {
    BuildTree(mR, "d/f.txt=x\n");
    BuildTree(mC, "src.txt=s\n");
    const FilePtr f = mFs->GetFile("R:\\d\\f.txt");
    EXPECT_EQ(mFs->ReadFile("R:\\d\\f.txt"), "x");
    EXPECT_EQ(ErrOf([&] { f->SetAttributes(vbNormal); }), 70);
    EXPECT_EQ(ErrOf([&] { f->Delete(true); }), 70);
    EXPECT_EQ(ErrOf([&] { mFs->GetFolder("R:\\d")->Delete(true); }), 70);
    EXPECT_EQ(ErrOf([&] { mFs->CreateFolder("R:\\new"); }), 70);
    EXPECT_EQ(ErrOf([&] { mFs->CreateEmptyFile("R:\\new.txt"); }), 70);
    EXPECT_EQ(ErrOf([&] { mFs->WriteFileReplacing("R:\\d\\f.txt", "y"); }), 70);
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\src.txt", "R:\\d\\g.txt", false); }), 70);
    EXPECT_EQ(ReadTree(mR), "d/f.txt=x\n");
}

}  // namespace
}  // namespace twtest
