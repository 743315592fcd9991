// The drive table file and the default table built from the mount table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/fs/DriveTable.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/RtError.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

using platform::RtError;
using platform::fs::DriveTable;

namespace {

std::string ParseError(const std::string& strText) {
    try {
        DriveTable::Parse(strText, "/cfg/drives.ini");
    } catch (const RtError& e) {
        return e.Description();
    }
    return "(no error)";
}

}  // namespace

TEST(DriveTable, ParsesSectionsWithDefaultsInLetterOrder) {
    const DriveTable t = DriveTable::Parse(
        "; drives\n[e]\npath = /tmp/media/e\nTYPE=1\nVolume=BACKUP01\nCapacity=1457664\n"
        "ReadOnly=1\n\n[C:]\r\nPath=/home/ann\r\n",
        "x.ini");
    ASSERT_EQ(t.drives.size(), 2u);
    EXPECT_EQ(t.drives[0].chLetter, 'C');
    EXPECT_EQ(t.drives[0].hostPath, "/home/ann");
    EXPECT_EQ(t.drives[0].lngType, 2);
    EXPECT_EQ(t.drives[0].strVolumeName, "");
    EXPECT_FALSE(t.drives[0].capacity);
    EXPECT_FALSE(t.drives[0].blnReadOnly);
    EXPECT_EQ(t.drives[1].chLetter, 'E');
    EXPECT_EQ(t.drives[1].lngType, 1);
    EXPECT_EQ(t.drives[1].strVolumeName, "BACKUP01");
    EXPECT_EQ(t.drives[1].capacity, 1457664u);
    EXPECT_TRUE(t.drives[1].blnReadOnly);
}

TEST(DriveTable, ErrorsNameTheFileAndTheLineAndAMissingFileIsNamed) {
    EXPECT_EQ(ParseError("[C]\nPath=/a\nthis is no key\n"),
              "Drive table /cfg/drives.ini, line 3: expected [Letter] or Key=Value, not \"this is "
              "no key\"");
    const std::pair<const char*, const char*> aCases[] = {
        {"[C]\nPath=/a\n[CD]\nPath=/b\n", "line 3: \"CD\" is not a drive letter"},
        {"[C]\nPath=/a\nType=7\n", "line 3: \"Type\" must be a whole number"},
        {"[E]\nPath=/e\nCapacity=12k\n", "line 3"},
        {"[E]\nPath=/e\nReadOnly=2\n", "line 3"},
        {"[C]\nPath=/a\n\n[E]\nType=1\n", "line 4: section [E] has no Path"},
        {"Path=/a\n", "line 1"},
        {"[C]\nPath=relative\n", "line 2"},
        {"[C]\nPath=/a\n[c]\nPath=/b\n", "line 3: drive C appears twice"},
        {"[C]\nPath=/a\nCapcity=5\n", "line 3: unknown key \"Capcity\""},
    };
    for (const auto& [pszText, pszPart] : aCases)
        EXPECT_THAT(ParseError(pszText), testing::HasSubstr(pszPart));
    try {
        DriveTable::Load("/nonexistent/drives.ini");
        ADD_FAILURE() << "no error for a missing file";
    } catch (const RtError& e) {
        EXPECT_EQ(e.Number(), 53);
        EXPECT_NE(e.Description().find("/nonexistent/drives.ini"), std::string::npos);
    }
}

TEST(DriveTable, DefaultGivesLettersToMediaOpticalAndNetworkMounts) {
    const std::string mounts =
        "/dev/vda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /media/ann/MY\\040STICK vfat rw 0 0\n"
        "/dev/sr0 /media/ann/CDROM iso9660 ro 0 0\n"
        "//nas/share /mnt/nas cifs rw 0 0\n"
        "nas:/export/home /net/home nfs4 rw 0 0\n"
        "/dev/vda2 /home ext4 rw 0 0\n";
    const DriveTable t = DriveTable::FromMounts(mounts, "/home/ann");
    ASSERT_EQ(t.drives.size(), 5u);
    EXPECT_EQ(t.drives[0].chLetter, 'C');
    EXPECT_EQ(t.drives[0].hostPath, "/home/ann");
    EXPECT_EQ(t.drives[0].lngType, platform::fs::kDriveFixed);
    EXPECT_EQ(t.drives[1].chLetter, 'D');
    EXPECT_EQ(t.drives[1].hostPath, "/media/ann/MY STICK");
    EXPECT_EQ(t.drives[1].lngType, platform::fs::kDriveRemovable);
    EXPECT_EQ(t.drives[2].lngType, platform::fs::kDriveCDRom);
    EXPECT_EQ(t.drives[3].lngType, platform::fs::kDriveRemote);
    EXPECT_EQ(t.drives[3].strShareName, "\\\\nas\\share");
    EXPECT_EQ(t.drives[4].chLetter, 'G');
    EXPECT_EQ(t.drives[4].strShareName, "\\\\nas\\export\\home");
}

TEST(DriveTable, TheProcessFileSystemComesFromTheEnvironmentOnFirstUse) {
    twtest::TempDir tmp;
    twtest::WriteFile(tmp / "drives.ini", "[Q]\nPath=" + tmp.path().string() + "\n");
    const char* old = std::getenv("TARNWICK_DRIVES");
    const std::string saved = old ? old : "";
    setenv("TARNWICK_DRIVES", (tmp / "drives.ini").c_str(), 1);
    const auto previous = platform::fs::InstallProcessFileSystem(nullptr);
    EXPECT_TRUE(platform::fs::ProcessFileSystem().DriveExists("Q:"));
    EXPECT_FALSE(platform::fs::ProcessFileSystem().DriveExists("C:"));
    platform::fs::InstallProcessFileSystem(previous);
    if (old)
        setenv("TARNWICK_DRIVES", saved.c_str(), 1);
    else
        unsetenv("TARNWICK_DRIVES");
}
