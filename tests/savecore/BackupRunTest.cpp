#include "EngineFixture.h"
#include "tests/support/LocalTime.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;
namespace ui = platform::ui;
using twtest::LocalTime;

namespace {

class BackupRun : public EngineFixture {};

}  // namespace

// The old backup holds protected files, which the cleaning removes too; D:
// has instructions below its root only, so it is not part of the type.
TEST_F(BackupRun, PlainBackupMirrorsTheSelectionAndReplacesTheOldBackup) {
    twtest::BuildTree(Host('C'),
                      "Data/a.txt\nData/Mail/m.txt\nData/Tmp/t.txt\nEmpty/\n"
                      "Skip/s.txt\nSkip/Deep/d.txt\nRECYCLED/r.txt\ntop.txt\n"
                      "pagefile.sys\n");
    Instructions('C', "", {"IncludeFamily"});
    Instructions('C', "Data/Tmp", {"ExcludeFamily"});
    Instructions('C', "Skip", {"SkipFamily"});
    Instructions('C', "Skip/Deep", {"IncludeFamily"});  // never read: skipped above
    twtest::BuildTree(Host('D'), "Data/a.txt\n");
    Instructions('D', "Data", {"IncludeFamily"});  // not reached: the root has none
    twtest::BuildTree(Host('E') / "Backup",
                      "old.txt\nC$/stale/x.txt\nro.txt\n.hidden\nSub/sys.txt\nSub/Deep/x\n");
    Start();
    fs::permissions(Host('E') / "Backup/ro.txt", fs::perms::owner_write, fs::perm_options::remove);
    mobjFileSys->GetFile("E:\\Backup\\Sub\\sys.txt")
        ->SetAttributes(platform::fs::vbSystem | platform::fs::vbReadOnly);

    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"),
              "C$/Data/Mail/m.txt=Data/Mail/m.txt\n"
              "C$/Data/a.txt=Data/a.txt\n"
              "C$/Weekly.BDF=;Backup type definition file\r\nIncludeFamily\r\n\n"
              "C$/top.txt=top.txt\n");
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_TRUE(mobjManager.blnWriteDeleteSucceeded());
    EXPECT_EQ(mobjManager.strDest(), "E:\\Backup\\");
    EXPECT_EQ(DefFolders(), "C:\\|C:\\Data\\Tmp|C:\\Skip|");
    EXPECT_EQ(mobjListener.Count("Folder D:\\Data"), 0);

    // Cleaning comes first, then the drives in letter order.
    const auto& log = mobjListener.maLog;
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log.front(), "Start 0");
    EXPECT_EQ(log.back(), "End");
    EXPECT_EQ(mobjListener.Count("End"), 1);
    const auto itClean = std::find(log.begin(), log.end(), "File Deleting old backup files...");
    const auto itDriveC =
        std::find(log.begin(), log.end(), "Folder Checking if drive C: is ready...");
    const auto itDriveD =
        std::find(log.begin(), log.end(), "Folder Checking if drive D: is ready...");
    EXPECT_TRUE(itClean < itDriveC && itDriveC < itDriveD);
    const auto lngBytes = fs::file_size(Host('C') / "Weekly.BDF") + 10 + 15 + 7;
    EXPECT_EQ(mobjManager.strSpaceUsed(),
              std::to_string(lngBytes) + " bytes, or 0.00 CD-RW discs,");

    // Counting the space only, even for a dated run, writes nothing and
    // counts the same bytes afresh.
    const std::string strBackup = twtest::ReadTree(Host('E'));
    mobjListener.maLog.clear();
    mobjManager.blnUseDateTimeSubFolder(true);
    EXPECT_FALSE(blnBackup("", true));
    EXPECT_EQ(twtest::ReadTree(Host('E')), strBackup);
    EXPECT_EQ(mobjListener.maLog.front(), "Start 1");
    EXPECT_EQ(mobjManager.dblSpaceUsed(), static_cast<double>(lngBytes));
    EXPECT_EQ(mobjManager.strDest(), "");
}

TEST_F(BackupRun, DatedBackupGoesIntoANewFolderAndLeavesEarlierOnes) {
    twtest::BuildTree(Host('C'), "a.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    twtest::BuildTree(Host('E') / "Backup", "C$/earlier.txt\n");
    Start();
    mobjManager.SetClock([] { return LocalTime(2026, 12, 5, 14, 47); });
    mobjManager.blnUseDateTimeSubFolder(true);

    const std::string strTree =
        "05Dec2026_02$47PM/C$/Weekly.BDF=;Backup type definition file\r\nIncludeFamily\r\n\n"
        "05Dec2026_02$47PM/C$/a.txt=a.txt\nC$/earlier.txt=C$/earlier.txt\n";
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(mobjManager.strDest(), "E:\\Backup\\05Dec2026_02$47PM\\");
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), strTree);

    // A second run in the same minute empties that folder and fills it again.
    twtest::WriteFile(Host('E') / "Backup/05Dec2026_02$47PM/C$/extra.txt", "x");
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), strTree);
    EXPECT_EQ(strDateTimeFolderName(LocalTime(2026, 1, 9, 0, 5)), "09Jan2026_12$05AM");
    EXPECT_EQ(strDateTimeFolderName(LocalTime(2026, 7, 31, 12, 0)), "31Jul2026_12$00PM");
}

TEST_F(BackupRun, IncrementalByDaysAndArchiveFlagThenClearingIt) {
    twtest::BuildTree(Host('C'), "new.txt\nold.txt\nold-archived.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    const Date datStart = LocalTime(2026, 12, 5, 9, 0);
    twtest::SetModified(Host('C') / "new.txt", LocalTime(2026, 12, 4, 23, 0));
    twtest::SetModified(Host('C') / "old.txt", LocalTime(2026, 11, 1, 12, 0));
    twtest::SetModified(Host('C') / "old-archived.txt", LocalTime(2026, 11, 1, 12, 0));
    twtest::SetModified(Host('C') / "Weekly.BDF", LocalTime(2026, 11, 1, 12, 0));
    Start();
    // Only old-archived.txt keeps its archive flag.
    mobjFileSys->GetFile("C:\\old.txt")->SetAttributes(0);
    mobjFileSys->GetFile("C:\\Weekly.BDF")->SetAttributes(0);
    mobjFileSys->GetFile("C:\\new.txt")->SetAttributes(0);
    mobjManager.SetClock([&] { return datStart; });
    mobjManager.blnIncrementalMode(true);
    mobjManager.lngDaysSinceLastMod(1);
    mobjManager.blnIncludeArchiveFlag(true);
    mobjManager.blnClearArchiveFlag(true);
    mobjManager.lngClearArchiveFlagDays(7);

    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"),
              "C$/new.txt=new.txt\nC$/old-archived.txt=old-archived.txt\n");
    // Cleared only where the change is at least seven days before the start.
    EXPECT_EQ(mobjFileSys->GetFile("C:\\old-archived.txt")->Attributes() & platform::fs::vbArchive,
              0);
    twtest::WriteFile(Host('C') / "new.txt", "changed");
    twtest::SetModified(Host('C') / "new.txt", LocalTime(2026, 12, 4, 23, 30));
    EXPECT_NE(mobjFileSys->GetFile("C:\\new.txt")->Attributes() & platform::fs::vbArchive, 0);

    // The next run no longer sees the cleared file.
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), "C$/new.txt=changed\n");
}

TEST_F(BackupRun, DestinationHoldingASourceDriveIsRefusedHoweverItIsSpelt) {
    twtest::BuildTree(Host('C'), "a.txt\nDocs/b.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    const std::string strTree = twtest::ReadTree(Host('C'));
    mblnNetworkN = true;  // N:\c\ is C:\ under another letter; N:\ holds it
    Start();
    const std::pair<std::string, std::string> aCases[] = {
        {"C:\\\\", "C:\\"},         {"C:\\.\\", "C:\\"},         {"C:/\\", "C:\\"},
        {"c:\\Docs\\..\\", "c:\\"}, {"N:\\c\\", "N:\\c\\"},      {"n:\\C\\.\\", "n:\\C\\"},
        {"N:\\", "N:\\"},           {"N:\\x\\..\\..\\", "N:\\"},
    };
    for (const auto& [strDest, strCanonical] : aCases) {
        mobjListener.maLog.clear();
        mobjUi->ClearPrompts();
        EXPECT_TRUE(blnBackup(strDest)) << strDest;
        EXPECT_EQ(twtest::ReadTree(Host('C')), strTree) << strDest;
        EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 0", "End"})) << strDest;
        ASSERT_EQ(mobjUi->Prompts().size(), 1u) << strDest;
        EXPECT_EQ(mobjUi->Prompts()[0].strPrompt,
                  "Backup destination \"" + strCanonical +
                      "\" holds the files of drive C:. A backup there would erase the files it "
                      "is meant to save.");
        EXPECT_EQ(mobjUi->Prompts()[0].lngStyle, ui::vbCritical + ui::vbOKOnly);
    }
}

TEST_F(BackupRun, DestinationInsideASourceIsNotWalkedUnderAnyOfItsPaths) {
    twtest::BuildTree(Host('C'), "a.txt\nbk/old.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    mblnNetworkN = true;
    Start();
    // The folders whose subfolders the walk of C: lists; the cleaning before
    // it lists the destination's, and never C:\'s.
    std::vector<std::string> astrListed;
    mobjFileSys->SetFaultHook([&](platform::fs::FsOp op, const std::string& strPath) {
        if (op == platform::fs::FsOp::ListFolders && (strPath == "C:\\" || !astrListed.empty()))
            astrListed.push_back(strPath);
    });
    auto listed = [&](const std::string& strPath) {
        return std::count(astrListed.begin(), astrListed.end(), strPath);
    };
    for (const char* pszDest : {"N:\\c\\bk\\", "C:\\x\\..\\bk\\"}) {
        astrListed.clear();
        EXPECT_FALSE(blnBackup(pszDest)) << pszDest;
        EXPECT_EQ(twtest::ReadTree(Host('C') / "bk"),
                  "C$/Weekly.BDF=;Backup type definition file\r\nIncludeFamily\r\n\n"
                  "C$/a.txt=a.txt\n");
        EXPECT_EQ(listed("C:\\"), 1) << pszDest;
        EXPECT_EQ(listed("C:\\bk"), 0) << pszDest;
    }
    EXPECT_EQ(mobjManager.strDest(), "C:\\bk\\");

    // A dated run: the new folder is skipped, the folder above it is walked.
    mobjManager.SetClock([] { return LocalTime(2026, 12, 5, 14, 47); });
    mobjManager.blnUseDateTimeSubFolder(true);
    astrListed.clear();
    EXPECT_FALSE(blnBackup("N:\\c\\bk\\"));
    EXPECT_EQ(listed("C:\\bk"), 1);
    EXPECT_EQ(listed("C:\\bk\\05Dec2026_02$47PM"), 0);
    EXPECT_TRUE(fs::exists(Host('C') / "bk/05Dec2026_02$47PM/C$/bk/C$/a.txt"));
    EXPECT_FALSE(fs::exists(Host('C') / "bk/05Dec2026_02$47PM/C$/bk/05Dec2026_02$47PM"));
}

TEST_F(BackupRun, StopDuringTheFirstDriveEndsTheRun) {
    twtest::BuildTree(Host('C'), "a.txt\nb.txt\n");
    twtest::BuildTree(Host('D'), "d.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    Instructions('D', "", {"IncludeFamily"});
    Start();
    mobjListener.mfnOnFile = [&](const std::string& s) {
        if (s == "a.txt" || s == "b.txt") mobjListener.mblnStopNow = true;
    };
    EXPECT_TRUE(blnBackup());
    EXPECT_FALSE(fs::exists(Host('E') / "Backup/D$"));
    EXPECT_EQ(mobjListener.Count("End"), 1);
}

// Small counts are checked after a real run; here the thousands and discs.
TEST(BackupText, SpaceUsedFormats) {
    BackupManager objManager;
    objManager.UseSpace(1234567890);
    EXPECT_EQ(objManager.strSpaceUsed(), "1,234,567,890 bytes, or 2.39 CD-RW discs,");
}

// An emptied instruction file selects nothing: the count before the run
// says so, and the old backup is emptied for it only on a yes. Uncounted
// and incremental runs go on unasked.
TEST_F(BackupRun, ACountedSelectionOfNothingEmptiesTheOldBackupOnlyOnAYes) {
    twtest::BuildTree(Host('C'), "Data/a.txt\n");
    Instructions('C', "", {});
    twtest::BuildTree(Host('E') / "Backup", "old.txt\n");
    Start();
    EXPECT_FALSE(blnBackup("E:\\Backup\\", true));
    ASSERT_EQ(mobjManager.lngFilesUsed(), 0);

    mobjManager.lngCountedFiles(0);
    EXPECT_TRUE(blnBackup());  // the default answer is No
    ASSERT_EQ(mobjUi->Prompts().size(), 1u);
    EXPECT_EQ(mobjUi->Prompts()[0].strTitle, "Confirm Erase");
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), "old.txt=old.txt\n");

    // The count serves the next run only, also one refused before it asks;
    // an incremental run asks nothing.
    mobjManager.lngCountedFiles(0);
    EXPECT_TRUE(blnBackup("C:\\"));
    ASSERT_EQ(mobjUi->Prompts().size(), 2u);
    EXPECT_NE(mobjUi->Prompts()[1].strTitle, "Confirm Erase");
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), "");
    twtest::BuildTree(Host('E') / "Backup", "old.txt\n");
    mobjManager.blnIncrementalMode(true);
    mobjManager.lngCountedFiles(0);
    EXPECT_FALSE(blnBackup());
    mobjManager.blnIncrementalMode(false);
    EXPECT_EQ(mobjUi->Prompts().size(), 2u);

    twtest::BuildTree(Host('E') / "Backup", "old.txt\n");
    mobjManager.lngCountedFiles(0);
    mobjUi->QueueMsgBoxAnswer(ui::vbYes);
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(mobjUi->Prompts().size(), 3u);
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), "");
}
