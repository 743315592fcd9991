// Restores that meet bad input: a target that refuses writes or fills up, a
// backed-up folder that cannot be read, names that differ only in case. The
// backup lies on D:, the targets on C: and E:.
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>

#include "EngineFailure.h"
#include "EngineFixture.h"
#include "tests/support/AsNobody.h"
#include "tests/support/TmpfsMounts.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;

namespace {

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

class RestoreSafety : public EngineFixture {
  protected:
    RestoreSafety() { chmod(mobjRoot.path().c_str(), 0755); }

    bool blnRestore(const std::string& strDst, bool blnReplace) {
        mobjManager.blnRestoreReplace(blnReplace);
        return mobjManager.blnRestoreFolder(kBackup, strDst, true);
    }
    // The failure's description and routines, joined with "|".
    std::string strFailure(const std::function<void()>& fn) {
        const EngineFailure f = objFailureOf(*mobjHandler, fn);
        std::string s = f.strDesc;
        for (const auto& strRoutine : f.astrRoutines) s += "|" + strRoutine;
        return s;
    }

    twtest::TmpfsMounts mobjMounts;
};

// Subfolders come first: Sub/a.txt is restored, then top.txt is refused.
TEST_F(RestoreSafety, AFileTheTargetRefusesIsNamedAndWhatCameBeforeStaysWhole) {
    twtest::BuildTree(Host('D') / "Backup/C$", "Sub/a.txt=aaa\ntop.txt=top\n");
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

TEST_F(RestoreSafety, AWriteProtectedTargetNamesTheFolderItCannotMakeAndChangesNothing) {
    twtest::BuildTree(Host('D') / "Backup/C$", "Sub/a.txt\ntop.txt\n");
    twtest::BuildTree(Host('E'), "T/top.txt=keep\n");
    Start(std::nullopt, true);
    EXPECT_EQ(strFailure([&] { blnRestore("E:\\T", true); }),
              "Permission denied|" + kRoutine + "blnRestoreSubFolder( E:\\T\\Sub)|" + kRoutine +
                  "blnRestoreOneFolder|" + kRoutine + "blnRestoreFolder");
    EXPECT_EQ(twtest::ReadTree(Host('E')), "Backup/\nT/top.txt=keep\n");
}

// A real disc that fills up: the file that does not fit is named, the one
// before it is whole, the file it was to replace is kept, no temporary is left.
TEST_F(RestoreSafety, AFullDiscKeepsWhatWasRestoredAndLeavesNothingHalfWritten) {
    const std::string strSmall(8 << 10, 's');
    twtest::BuildTree(Host('D') / "Backup/C$", "a.txt=" + strSmall + "\nbig.bin=" +
                                                   std::string(400 << 10, 'b') + "\nc.txt\n");
    if (!mobjMounts.blnMount(Host('E'), 256 << 10)) GTEST_SKIP() << mobjMounts.strWhyNot();
    twtest::BuildTree(Host('E'), "T/big.bin=old\n");
    Start();
    mobjManager.blnRestoreReplace(true);
    EXPECT_EQ(
        strFailure([&] {
            mobjManager.blnRestoreListOfFiles(kBackup, "E:\\T", {"a.txt", "big.bin", "c.txt"});
        }),
        "Disk full|" + kRoutine + "blnRestoreFile( E:\\T\\big.bin)|" + kRoutine +
            "blnRestoreListOfFiles");
    EXPECT_EQ(twtest::ReadTree(Host('E') / "T"), "a.txt=" + strSmall + "\nbig.bin=old\n");
}

TEST_F(RestoreSafety, ABackedUpFolderThatCannotBeListedIsLoggedAndTheRestGoesOn) {
    twtest::BuildTree(Host('D') / "Backup/C$", "Locked/x.txt\nOpen/y.txt=y\ntop.txt=top\n");
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
// alone. With it, such a file is replaced under its own name, while twins
// of the backup (a folder that held a.txt and A.txt) both come back, also
// over one of them, and a dangling link in the way is replaced itself, not
// written through.
TEST_F(RestoreSafety, NamesThatDifferOnlyInCase) {
    twtest::BuildTree(Host('D') / "Backup/C$", "a.txt=lower\nA.txt=upper\nnote.txt=new\nd.txt=d\n");
    twtest::BuildTree(Host('C'), "Off/NOTE.TXT=old\nOn/NOTE.TXT=old\n");
    fs::create_symlink(mobjRoot / "outside.txt", Host('C') / "On/d.txt");
    Start();
    // Without replacing, NOTE.TXT stands for note.txt: it is left, and noted;
    // twins that both come from the backup both come back.
    EXPECT_FALSE(blnRestore("C:\\Off", false));
    EXPECT_EQ(twtest::ReadTree(Host('C') / "Off"),
              "A.txt=upper\nNOTE.TXT=old\na.txt=lower\nd.txt=d\n");
    EXPECT_NE(mobjManager.strGetErrorLog().find("\"C:\\Off\\note.txt\" was not restored"),
              std::string::npos);
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
