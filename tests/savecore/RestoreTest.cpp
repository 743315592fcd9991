// Restores from a backup drive E: into C: (and a small medium F:), checked on
// the host folders, with the events and the error chain.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "DefinitionFileFixture.h"
#include "EngineFixture.h"

namespace savecore::test {
namespace {

namespace fs = std::filesystem;
namespace pfs = platform::fs;

const std::string kRoutine = "SaveCore30.BackupManager.";

class RestoreTest : public DefinitionFileFixture {
  protected:
    bool blnList(const std::vector<std::string>& colFiles, const std::string& strDst = "C:\\T") {
        return mobjManager.blnRestoreListOfFiles("E:\\Backup\\C$", strDst, colFiles);
    }
    int32_t lngAttributes(const std::string& strPath) {
        return mobjFileSys->GetFile(strPath)->Attributes();
    }

    RunListener mobjListener;
    BackupManager::EventConnection mobjConnection{mobjManager, mobjListener};
};

TEST_F(RestoreTest, TreeWithNonAsciiNamesGoesBackToABareDriveWithTimesAndModes) {
    twtest::BuildTree(mobjDriveE.path(),
                      "Backup/C$/x.txt\nBackup/C$/Überweisungen/März.txt\n"
                      "Backup/C$/Überweisungen/Ελληνικά/文書.txt\nBackup/C$/Leer/\n");
    const fs::path objSrc = mobjDriveE / "Backup/C$/Überweisungen/März.txt";
    const auto datOld = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(objSrc, datOld);
    ASSERT_EQ(chmod(objSrc.c_str(), 0640), 0);

    EXPECT_FALSE(mobjManager.blnRestoreFolder("E:\\Backup\\C$\\", "C:\\", true));

    EXPECT_EQ(twtest::ReadTree(mobjDriveC.path()),
              twtest::ReadTree(mobjDriveE.path() / "Backup/C$"));
    const fs::path objDst = mobjDriveC / "Überweisungen/März.txt";
    EXPECT_EQ(fs::last_write_time(objDst), datOld);
    EXPECT_EQ(fs::status(objDst).permissions(), fs::perms(0640));
    // Subfolders first; the bare drive is shown as its root.
    const auto& e = mobjListener.maLog;
    ASSERT_GE(e.size(), 3u);
    EXPECT_EQ(e.front(), "Start 3");
    EXPECT_EQ(e.back(), "End");
    EXPECT_EQ(e[e.size() - 3], "Folder C:\\");
    EXPECT_EQ(e[e.size() - 2], "File x.txt");
    EXPECT_NE(std::find(e.begin(), e.end(), "Folder C:\\Überweisungen\\Ελληνικά"), e.end());
}

TEST_F(RestoreTest, WithoutSubfoldersOnlyTheirEmptyFoldersAreMadeInAMissingTarget) {
    twtest::BuildTree(mobjDriveE.path(), "Backup/C$/a.txt\nBackup/C$/Sub/b.txt\n");
    EXPECT_FALSE(mobjManager.blnRestoreFolder("E:\\Backup\\C$", "C:\\New\\Sub", false));
    EXPECT_EQ(twtest::ReadTree(mobjDriveC.path()), "New/Sub/Sub/\nNew/Sub/a.txt=Backup/C$/a.txt\n");
}

TEST_F(RestoreTest, ListedFilesOnlyAndAMissingOneFailsThroughTheChain) {
    twtest::BuildTree(mobjDriveE.path(), "Backup/C$/a.txt\nBackup/C$/b.txt\nBackup/C$/c.txt\n");
    EXPECT_FALSE(blnList({"c.txt", "a.txt"}, "C:\\T\\U\\"));
    EXPECT_EQ(twtest::ReadTree(mobjDriveC.path()),
              "T/U/a.txt=Backup/C$/a.txt\nT/U/c.txt=Backup/C$/c.txt\n");
    EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 3", "Folder C:\\T\\U",
                                                            "File c.txt", "File a.txt", "End"}));

    const EngineFailure f = objFailureOf([&] { blnList({"b.txt", "gone.txt"}, "C:"); });
    EXPECT_EQ(f.lngNumber, 50000);
    EXPECT_EQ(f.strDesc, "File not found");
    EXPECT_EQ(f.astrRoutines, std::vector<std::string>{kRoutine + "blnRestoreListOfFiles"});
    EXPECT_TRUE(fs::exists(mobjDriveC / "b.txt"));
    EXPECT_EQ(mobjListener.maLog.back(), "End");
}

TEST_F(RestoreTest, ATargetNameTheHostCannotCarryFailsThroughTheChain) {
    twtest::BuildTree(mobjDriveE.path(), "Backup/C$/a.txt\n");
    const std::string strTooLong(300, 'n');
    const EngineFailure f = objFailureOf(
        [&] { mobjManager.blnRestoreFolder("E:\\Backup\\C$", "C:\\Ok\\" + strTooLong, true); });
    EXPECT_EQ(f.astrRoutines, (std::vector<std::string>{kRoutine + "InsurePathExists",
                                                        kRoutine + "blnRestoreFolder"}));
    EXPECT_FALSE(f.strDesc.empty());
    EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 3", "End"}));
    EXPECT_EQ(twtest::ReadTree(mobjDriveC.path()), "Ok/\n");
}

// Each kind of protected file already at the target, with and without
// replacing.
TEST_F(RestoreTest, ProtectedFilesAtTheTargetAreReplacedOnlyWhenAsked) {
    for (const char* pszName : {"ro.txt", "hidden.txt", ".dot"}) {
        SCOPED_TRACE(pszName);
        const std::string strName = pszName;
        twtest::BuildTree(mobjDriveE.path(), "Backup/C$/" + strName + "=new\nBackup/C$/z.txt\n");
        twtest::BuildTree(mobjDriveC.path(), "T/" + strName + "=old\n");
        const std::string strTarget = "C:\\T\\" + strName;
        if (strName == "ro.txt") mobjFileSys->GetFile(strTarget)->SetAttributes(pfs::vbReadOnly);
        if (strName == "hidden.txt") mobjFileSys->GetFile(strTarget)->SetAttributes(pfs::vbHidden);
        const int32_t lngBefore = lngAttributes(strTarget);
        ASSERT_NE(lngBefore & (pfs::vbReadOnly | pfs::vbHidden), 0);

        mobjManager.blnRestoreReplace(false);
        const EngineFailure f = objFailureOf([&] { blnList({"z.txt", strName, "z.txt"}); });
        EXPECT_EQ(f.strDesc, "File already exists");
        EXPECT_EQ(f.astrRoutines,
                  (std::vector<std::string>{kRoutine + "blnRestoreFile( " + strTarget + ")",
                                            kRoutine + "blnRestoreListOfFiles"}));
        EXPECT_EQ(twtest::ReadFile(mobjDriveC / "T" / strName), "old");
        EXPECT_EQ(lngAttributes(strTarget), lngBefore);
        EXPECT_TRUE(fs::exists(mobjDriveC / "T/z.txt"));  // restored before the failure

        mobjManager.blnRestoreReplace(true);
        EXPECT_FALSE(blnList({strName}));
        EXPECT_EQ(twtest::ReadFile(mobjDriveC / "T" / strName), "new");
        EXPECT_EQ(lngAttributes(strTarget) & pfs::vbReadOnly, 0);
        fs::remove_all(mobjDriveC / "T");
    }
}

TEST_F(RestoreTest, AFullTargetKeepsWhatWasRestoredAndTheFileBeingReplaced) {
    twtest::BuildTree(mobjDriveE.path(), "Backup/C$/a.txt=" + std::string(30, 'a') +
                                             "\nBackup/C$/big.txt=" + std::string(80, 'b') + "\n");
    twtest::BuildTree(mobjDriveF.path(), "big.txt=old\n");
    mobjFileSys->GetFile("F:\\big.txt")->SetAttributes(pfs::vbReadOnly | pfs::vbHidden);
    const int32_t lngBefore = lngAttributes("F:\\big.txt");
    mobjManager.blnRestoreReplace(true);

    const EngineFailure f = objFailureOf([&] { blnList({"a.txt", "big.txt"}, "F:\\"); });
    EXPECT_EQ(f.strDesc, "Disk full");
    EXPECT_EQ(f.astrRoutines, (std::vector<std::string>{kRoutine + "blnRestoreFile( F:\\big.txt)",
                                                        kRoutine + "blnRestoreListOfFiles"}));
    EXPECT_EQ(twtest::ReadTree(mobjDriveF.path()),
              "a.txt=" + std::string(30, 'a') + "\nbig.txt=old\n");
    EXPECT_EQ(lngAttributes("F:\\big.txt"), lngBefore);
    EXPECT_EQ(mobjListener.maLog.back(), "End");
}

// A source that vanishes, and one that fails after its contents were copied.
TEST_F(RestoreTest, AReplacementThatFailsHalfWayLeavesTheOldFileAsItWas) {
    for (const pfs::FsOp op : {pfs::FsOp::OpenForRead, pfs::FsOp::Create}) {
        twtest::BuildTree(mobjDriveE.path(), "Backup/C$/f.txt=new contents\n");
        twtest::BuildTree(mobjDriveC.path(), "T/f.txt=old\n");
        mobjFileSys->GetFile("C:\\T\\f.txt")->SetAttributes(pfs::vbReadOnly | pfs::vbArchive);
        const int32_t lngBefore = lngAttributes("C:\\T\\f.txt");
        mobjFileSys->SetFaultHook([op](pfs::FsOp opNow, const std::string&) {
            if (opNow == op) throw platform::RtError(platform::rt::kDeviceIO);
        });
        mobjManager.blnRestoreReplace(true);

        const EngineFailure f =
            objFailureOf([&] { mobjManager.blnRestoreFolder("E:\\Backup\\C$", "C:\\T", true); });
        mobjFileSys->SetFaultHook(nullptr);
        EXPECT_EQ(f.strDesc, "Device I/O error");
        EXPECT_EQ(f.astrRoutines,
                  (std::vector<std::string>{kRoutine + "blnRestoreFile( C:\\T\\f.txt)",
                                            kRoutine + "blnRestoreOneFolder",
                                            kRoutine + "blnRestoreFolder"}));
        EXPECT_EQ(twtest::ReadTree(mobjDriveC.path()), "T/f.txt=old\n");
        EXPECT_EQ(lngAttributes("C:\\T\\f.txt"), lngBefore);
        fs::remove_all(mobjDriveC / "T");
    }
}

TEST_F(RestoreTest, AStopBetweenTwoFilesEndsWithTrueAndNoError) {
    const std::string strBig(1 << 20, 'x');
    twtest::BuildTree(mobjDriveE.path(), "Backup/C$/one.bin=" + strBig + "\nBackup/C$/two.txt\n");
    mobjListener.mlngStopAtPoll = 2;

    EXPECT_TRUE(blnList({"one.bin", "two.txt"}));
    EXPECT_EQ(twtest::ReadTree(mobjDriveC.path()), "T/one.bin=" + strBig + "\n");
    EXPECT_EQ(mobjListener.maLog,
              (std::vector<std::string>{"Start 3", "Folder C:\\T", "File one.bin", "End"}));
    EXPECT_TRUE(mobjHandler->astrRoutines().empty());
}

}  // namespace
}  // namespace savecore::test
