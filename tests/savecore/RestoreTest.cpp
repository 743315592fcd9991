// Restores from a backup on D: into C: and E:, checked on the host folders,
// with the events and the error chain; and restores that meet bad input: a
// target that refuses writes or fills up, a backed-up folder that cannot be
// read, names that differ only in case.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <iostream>

#include "EngineFixture.h"
#include "tests/support/AsNobody.h"
#include "tests/support/TmpfsMounts.h"

namespace savecore::test {
namespace {

namespace fs = std::filesystem;
namespace pfs = platform::fs;

const std::string kRoutine = "SaveCore30.BackupManager.";
const std::string kBackup = "D:\\Backup\\C$";
constexpr uid_t kNobody = 65534;  // whom twtest::RunAsNobody runs as

// 0 when strGot is strWanted; 1 otherwise, with what came instead on
// stderr: an expectation failed in a child would not reach the test.
int intCompared(const std::string& strGot, const std::string& strWanted) {
    if (strGot == strWanted) return 0;
    std::cerr << "as nobody: " << strGot << "\n";
    return 1;
}

class RestoreTest : public EngineFixture {
  protected:
    RestoreTest() { chmod(mobjRoot.path().c_str(), 0755); }

    // The backup below D:\Backup\C$.
    void Backup(const std::string& strTree) { twtest::BuildTree(Host('D') / "Backup/C$", strTree); }
    bool blnList(const std::vector<std::string>& colFiles, const std::string& strDst = "C:\\T") {
        return mobjManager.blnRestoreListOfFiles(kBackup, strDst, colFiles);
    }
    bool blnRestore(const std::string& strDst, bool blnReplace) {
        mobjManager.blnRestoreReplace(blnReplace);
        return mobjManager.blnRestoreFolder(kBackup, strDst, true);
    }
    // The failure's description and routines, joined with "|".
    std::string strFailure(const std::function<void()>& fn) {
        const EngineFailure f = objFailureOf(fn);
        std::string s = f.strDesc;
        for (const auto& strRoutine : f.astrRoutines) s += "|" + strRoutine;
        return s;
    }
    int32_t lngAttributes(const std::string& strPath) {
        return mobjFileSys->GetFile(strPath)->Attributes();
    }

    BackupManager::EventConnection mobjConnection{mobjManager, mobjListener};
    twtest::TmpfsMounts mobjMounts;
};

TEST_F(RestoreTest, TreeWithNonAsciiNamesGoesBackToABareDriveWithTimesAndModes) {
    Backup("x.txt\nÜberweisungen/März.txt\nÜberweisungen/Ελληνικά/文書.txt\nLeer/\n");
    const fs::path objSrc = Host('D') / "Backup/C$/Überweisungen/März.txt";
    const auto datOld = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(objSrc, datOld);
    ASSERT_EQ(chmod(objSrc.c_str(), 0640), 0);
    Start();

    EXPECT_FALSE(mobjManager.blnRestoreFolder(kBackup + "\\", "C:\\", true));

    EXPECT_EQ(twtest::ReadTree(Host('C')), twtest::ReadTree(Host('D') / "Backup/C$"));
    const fs::path objDst = Host('C') / "Überweisungen/März.txt";
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
    Backup("a.txt=a\nSub/b.txt\n");
    Start();
    EXPECT_FALSE(mobjManager.blnRestoreFolder(kBackup, "C:\\New\\Sub", false));
    EXPECT_EQ(twtest::ReadTree(Host('C')), "New/Sub/Sub/\nNew/Sub/a.txt=a\n");
}

TEST_F(RestoreTest, ListedFilesOnlyAndAMissingOneFailsThroughTheChain) {
    Backup("a.txt=a\nb.txt=b\nc.txt=c\n");
    Start();
    EXPECT_FALSE(blnList({"c.txt", "a.txt"}, "C:\\T\\U\\"));
    EXPECT_EQ(twtest::ReadTree(Host('C')), "T/U/a.txt=a\nT/U/c.txt=c\n");
    EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 3", "Folder C:\\T\\U",
                                                            "File c.txt", "File a.txt", "End"}));

    const EngineFailure f = objFailureOf([&] { blnList({"b.txt", "gone.txt"}, "C:"); });
    EXPECT_EQ(f.lngNumber, 50000);
    EXPECT_EQ(f.strDesc, "File not found");
    EXPECT_EQ(f.astrRoutines, std::vector<std::string>{kRoutine + "blnRestoreListOfFiles"});
    EXPECT_TRUE(fs::exists(Host('C') / "b.txt"));
    EXPECT_EQ(mobjListener.maLog.back(), "End");
}

TEST_F(RestoreTest, ATargetNameTheHostCannotCarryFailsThroughTheChain) {
    Backup("a.txt\n");
    Start();
    const std::string strTooLong(300, 'n');
    const EngineFailure f =
        objFailureOf([&] { mobjManager.blnRestoreFolder(kBackup, "C:\\Ok\\" + strTooLong, true); });
    EXPECT_EQ(f.astrRoutines, (std::vector<std::string>{kRoutine + "InsurePathExists",
                                                        kRoutine + "blnRestoreFolder"}));
    EXPECT_FALSE(f.strDesc.empty());
    EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 3", "End"}));
    EXPECT_EQ(twtest::ReadTree(Host('C')), "Ok/\n");
}

// Each kind of protected file already at the target, with and without
// replacing.
TEST_F(RestoreTest, ProtectedFilesAtTheTargetAreReplacedOnlyWhenAsked) {
    Start();
    for (const char* pszName : {"ro.txt", "hidden.txt", ".dot"}) {
        SCOPED_TRACE(pszName);
        const std::string strName = pszName;
        Backup(strName + "=new\nz.txt\n");
        twtest::BuildTree(Host('C'), "T/" + strName + "=old\n");
        const std::string strTarget = "C:\\T\\" + strName;
        if (strName == "ro.txt") mobjFileSys->GetFile(strTarget)->SetAttributes(pfs::vbReadOnly);
        if (strName == "hidden.txt") mobjFileSys->GetFile(strTarget)->SetAttributes(pfs::vbHidden);
        const int32_t lngBefore = lngAttributes(strTarget);
        ASSERT_NE(lngBefore & (pfs::vbReadOnly | pfs::vbHidden), 0);

        // Without replacing, the file there stays as it is, is noted, and
        // the restore goes on past it.
        mobjManager.blnRestoreReplace(false);
        fs::remove(Host('C') / "T/z.txt");
        EXPECT_FALSE(blnList({strName, "z.txt"}));
        EXPECT_NE(mobjManager.strGetErrorLog().find("File \"" + strTarget +
                                                    "\" was not restored: a file of that name "
                                                    "is already there"),
                  std::string::npos);
        EXPECT_EQ(twtest::ReadFile(Host('C') / "T" / strName), "old");
        EXPECT_EQ(lngAttributes(strTarget), lngBefore);
        EXPECT_TRUE(fs::exists(Host('C') / "T/z.txt"));  // restored after it

        mobjManager.blnRestoreReplace(true);
        EXPECT_FALSE(blnList({strName}));
        EXPECT_EQ(twtest::ReadFile(Host('C') / "T" / strName), "new");
        EXPECT_EQ(lngAttributes(strTarget) & pfs::vbReadOnly, 0);
        fs::remove_all(Host('C') / "T");
    }
}

// A 100-byte medium: the file that does not fit is named, the one before it
// is whole, and the file it was to replace keeps contents and attributes.
TEST_F(RestoreTest, AFullTargetKeepsWhatWasRestoredAndTheFileBeingReplaced) {
    Backup("a.txt=" + std::string(30, 'a') + "\nbig.txt=" + std::string(80, 'b') + "\n");
    twtest::BuildTree(Host('E'), "big.txt=old\n");
    Start(100);
    mobjFileSys->GetFile("E:\\big.txt")->SetAttributes(pfs::vbReadOnly | pfs::vbHidden);
    const int32_t lngBefore = lngAttributes("E:\\big.txt");
    mobjManager.blnRestoreReplace(true);

    EXPECT_EQ(strFailure([&] {
                  blnList({"a.txt", "big.txt"}, "E:\\");
              }),
              "Disk full|" + kRoutine + "blnRestoreFile( E:\\big.txt)|" + kRoutine +
                  "blnRestoreListOfFiles");
    EXPECT_EQ(twtest::ReadTree(Host('E')),
              "Backup/\na.txt=" + std::string(30, 'a') + "\nbig.txt=old\n");
    EXPECT_EQ(lngAttributes("E:\\big.txt"), lngBefore);
    EXPECT_EQ(mobjListener.maLog.back(), "End");
}

// The same on a real disc that fills up part-way through a write: no
// temporary file is left either.
TEST_F(RestoreTest, AFullDiscKeepsWhatWasRestoredAndLeavesNothingHalfWritten) {
    const std::string strSmall(8 << 10, 's');
    Backup("a.txt=" + strSmall + "\nbig.bin=" + std::string(400 << 10, 'b') + "\nc.txt\n");
    if (!mobjMounts.blnMount(Host('E'), 256 << 10)) GTEST_SKIP() << mobjMounts.strWhyNot();
    twtest::BuildTree(Host('E'), "T/big.bin=old\n");
    Start();
    mobjManager.blnRestoreReplace(true);
    EXPECT_EQ(strFailure([&] {
                  blnList({"a.txt", "big.bin", "c.txt"}, "E:\\T");
              }),
              "Disk full|" + kRoutine + "blnRestoreFile( E:\\T\\big.bin)|" + kRoutine +
                  "blnRestoreListOfFiles");
    EXPECT_EQ(twtest::ReadTree(Host('E') / "T"), "a.txt=" + strSmall + "\nbig.bin=old\n");
}

// A source that vanishes, and one that fails after its contents were copied.
TEST_F(RestoreTest, AReplacementThatFailsHalfWayLeavesTheOldFileAsItWas) {
    Start();
    for (const pfs::FsOp op : {pfs::FsOp::OpenForRead, pfs::FsOp::Create}) {
        Backup("f.txt=new contents\n");
        twtest::BuildTree(Host('C'), "T/f.txt=old\n");
        mobjFileSys->GetFile("C:\\T\\f.txt")->SetAttributes(pfs::vbReadOnly | pfs::vbArchive);
        const int32_t lngBefore = lngAttributes("C:\\T\\f.txt");
        mobjFileSys->SetFaultHook([op](pfs::FsOp opNow, const std::string&) {
            if (opNow == op) throw platform::RtError(platform::rt::kDeviceIO);
        });
        EXPECT_EQ(strFailure([&] { blnRestore("C:\\T", true); }),
                  "Device I/O error|" + kRoutine + "blnRestoreFile( C:\\T\\f.txt)|" + kRoutine +
                      "blnRestoreOneFolder|" + kRoutine + "blnRestoreFolder");
        mobjFileSys->SetFaultHook(nullptr);
        EXPECT_EQ(twtest::ReadTree(Host('C')), "T/f.txt=old\n");
        EXPECT_EQ(lngAttributes("C:\\T\\f.txt"), lngBefore);
        fs::remove_all(Host('C') / "T");
    }
}

TEST_F(RestoreTest, AStopBetweenTwoFilesEndsWithTrueAndNoError) {
    const std::string strBig(1 << 20, 'x');
    Backup("one.bin=" + strBig + "\ntwo.txt\n");
    Start();
    mobjListener.mlngStopAtPoll = 2;

    EXPECT_TRUE(blnList({"one.bin", "two.txt"}));
    EXPECT_EQ(twtest::ReadTree(Host('C')), "T/one.bin=" + strBig + "\n");
    EXPECT_EQ(mobjListener.maLog,
              (std::vector<std::string>{"Start 3", "Folder C:\\T", "File one.bin", "End"}));
    EXPECT_TRUE(mobjHandler->astrRoutines().empty());
}

// Subfolders come first: Sub/a.txt is restored, then top.txt is refused.
TEST_F(RestoreTest, AFileTheTargetRefusesIsNamedAndWhatCameBeforeStaysWhole) {
    Backup("Sub/a.txt=aaa\ntop.txt=top\n");
    twtest::BuildTree(Host('C'), "T/Sub/\n");
    ASSERT_EQ(chown((Host('C') / "T/Sub").c_str(), kNobody, kNobody), 0);
    Start();
    const std::string strWanted = "Permission denied|" + kRoutine +
                                  "blnRestoreFile( C:\\T\\top.txt)|" + kRoutine +
                                  "blnRestoreOneFolder|" + kRoutine + "blnRestoreFolder";
    EXPECT_EQ(twtest::RunAsNobody([&] {
                  return intCompared(strFailure([&] { blnRestore("C:\\T", true); }), strWanted);
              }),
              0);
    EXPECT_EQ(twtest::ReadTree(Host('C')), "T/Sub/a.txt=aaa\n");
}

TEST_F(RestoreTest, AWriteProtectedTargetNamesTheFolderItCannotMakeAndChangesNothing) {
    Backup("Sub/a.txt\ntop.txt\n");
    twtest::BuildTree(Host('E'), "T/top.txt=keep\n");
    Start(std::nullopt, true);
    EXPECT_EQ(strFailure([&] { blnRestore("E:\\T", true); }),
              "Permission denied|" + kRoutine + "blnRestoreSubFolder( E:\\T\\Sub)|" + kRoutine +
                  "blnRestoreOneFolder|" + kRoutine + "blnRestoreFolder");
    EXPECT_EQ(twtest::ReadTree(Host('E')), "Backup/\nT/top.txt=keep\n");
}

TEST_F(RestoreTest, ABackedUpFolderThatCannotBeListedIsLoggedAndTheRestGoesOn) {
    Backup("Locked/x.txt\nOpen/y.txt=y\ntop.txt=top\n");
    ASSERT_EQ(chmod((Host('D') / "Backup/C$/Locked").c_str(), 0700), 0);
    twtest::BuildTree(Host('C'), "T/\n");
    ASSERT_EQ(chown((Host('C') / "T").c_str(), kNobody, kNobody), 0);
    Start();
    const std::string strWanted =
        "0 A total of 1 errors were encountered, all of which are listed below:\r\n\r\n"
        "The following error occurred while trying to determine the contents of folder "
        "\"D:\\Backup\\C$\\Locked\" in the backup: \"Permission denied\"\r\n\r\n" +
        mobjManager.strErrorExplanation();
    EXPECT_EQ(twtest::RunAsNobody([&] {
                  const bool blnStopped = blnRestore("C:\\T", true);
                  return intCompared(std::to_string(blnStopped) + " " + ErrorLog(), strWanted);
              }),
              0);
    EXPECT_EQ(twtest::ReadTree(Host('C')), "T/Locked/\nT/Open/y.txt=y\nT/top.txt=top\n");
}

// Without replacing, a name that differs only in case leaves the file there
// alone, and is noted. With it, such a file is replaced under its own name,
// while twins of the backup (a folder that held a.txt and A.txt) both come
// back, also over one of them, and a dangling link in the way is replaced
// itself, not written through.
TEST_F(RestoreTest, NamesThatDifferOnlyInCase) {
    Backup("a.txt=lower\nA.txt=upper\nnote.txt=new\nd.txt=d\n");
    twtest::BuildTree(Host('C'), "Off/NOTE.TXT=old\nOn/NOTE.TXT=old\n");
    fs::create_symlink(mobjRoot / "outside.txt", Host('C') / "On/d.txt");
    Start();
    EXPECT_FALSE(blnRestore("C:\\Off", false));
    EXPECT_EQ(twtest::ReadTree(Host('C') / "Off"),
              "A.txt=upper\nNOTE.TXT=old\na.txt=lower\nd.txt=d\n");
    EXPECT_NE(ErrorLog().find("\"C:\\Off\\note.txt\" was not restored"), std::string::npos);
    EXPECT_FALSE(blnRestore("C:\\On", true));
    EXPECT_EQ(twtest::ReadTree(Host('C') / "On"),
              "A.txt=upper\nNOTE.TXT=new\na.txt=lower\nd.txt=d\n");
    EXPECT_FALSE(fs::is_symlink(Host('C') / "On/d.txt"));
    EXPECT_FALSE(fs::exists(mobjRoot / "outside.txt"));
    // A twin already there is replaced by its own file, whichever comes first.
    twtest::BuildTree(Host('C'), "Pre/a.txt=old\n");
    EXPECT_FALSE(mobjManager.blnRestoreListOfFiles(kBackup, "C:\\Pre", {"A.txt", "a.txt"}));
    EXPECT_EQ(twtest::ReadTree(Host('C') / "Pre"), "A.txt=upper\na.txt=lower\n");
}

}  // namespace
}  // namespace savecore::test
