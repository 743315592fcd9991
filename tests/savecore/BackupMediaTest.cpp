// Full discs and changed media, and what a run does with bad input: files
// that vanish, folders that cannot be listed, a write-protected medium,
// FIFOs, sockets, link loops and names no Windows path can carry.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "EngineFixture.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;
namespace pfs = platform::fs;

namespace {

class BackupMedia : public EngineFixture {
  protected:
    // Four files of 100,000 bytes in two folders; a medium of 300,000 bytes
    // takes two (8,192 bytes must stay free on media this small).
    void FourFiles() {
        for (const char* name : {"A/1.bin", "A/2.bin", "B/3.bin", "B/4.bin"})
            twtest::WriteFile(Host('C') / name, std::string(100000, name[2]));
        Instructions('C', "", {"IncludeFamily"});
    }
};

}  // namespace

TEST_F(BackupMedia, FullDiscAsksForANewOneAndGoesOnWhereItWas) {
    FourFiles();
    // One file per disc: first an empty disc, then ones holding an old backup.
    mobjListener.mfnOnOutOfSpace = [&] {
        SwapMedium(mlngMedia == 0 ? "" : "Backup/C$/A/old.bin\nBackup/stray.txt\n");
        return false;
    };
    Start(150000);
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(mobjListener.mlngOutOfSpace, 3);
    EXPECT_EQ(ErrorLog(), "");

    // Every file is on exactly one disc, whole; nothing half-copied and
    // nothing of the old backups anywhere.
    auto files = FilesBelow(Host('E'));
    for (const auto& m : maOldMedia)
        for (const auto& [strPath, strData] : FilesBelow(m))
            EXPECT_TRUE(files.emplace(strPath, strData).second) << strPath << " is on two discs";
    std::map<std::string, std::string> expected;
    for (const auto& [strPath, strData] : FilesBelow(Host('C')))
        expected["Backup/C$/" + strPath] = strData;
    EXPECT_TRUE(files == expected);
    EXPECT_EQ(mobjListener.Count("End"), 1);
}

TEST_F(BackupMedia, FileLargerThanAnEmptyDiscEndsWithTheErrorReport) {
    twtest::WriteFile(Host('C') / "big.bin", std::string(400000, 'x'));
    Instructions('C', "", {"IncludeFamily"});
    mobjListener.mfnOnOutOfSpace = [&] {
        SwapMedium("Backup/\n");
        return false;
    };
    Start(300000);
    const EngineFailure f = objFailureOf([&] { blnBackup(); });
    EXPECT_EQ(f.lngNumber, 50000);
    EXPECT_EQ(f.strDesc, "Disk full");
    ASSERT_GE(f.astrRoutines.size(), 3u);
    EXPECT_EQ(f.astrRoutines[0], "SaveCore30.DriveProcessor.blnCopyFile(E:\\Backup\\C$\\big.bin)");
    EXPECT_EQ(f.astrRoutines.back(), "SaveCore30.BackupManager.blnProcess");
    EXPECT_EQ(mobjListener.Count("End"), 1);
    // The critical box came before the report, with the copy's message.
    bool blnCritical = false;
    for (const auto& p : mobjUi->Prompts())
        blnCritical |= (p.lngStyle & platform::ui::vbCritical) &&
                       p.strPrompt.find(
                           "copying file \"C:\\big.bin\" to \"E:\\Backup\\C$\\big.bin\" "
                           "on the backup: \"Disk full\"") != std::string::npos;
    EXPECT_TRUE(blnCritical);
    EXPECT_FALSE(fs::exists(Host('E') / "Backup/C$/big.bin"));
}

TEST_F(BackupMedia, WriteProtectedMediumIsLoggedAndAMissingOneIsNotReady) {
    twtest::BuildTree(Host('C'), "a.txt\nSub/b.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    Start(std::nullopt, true);
    EXPECT_FALSE(blnBackup());
    EXPECT_FALSE(mobjManager.blnWriteDeleteSucceeded());
    EXPECT_TRUE(
        blnLogHas("The following error occurred while creating folder \"E:\\Backup\\C$\" "
                  "on the backup: \"Permission denied\""));

    // Taken out, the medium is not ready: one box, and no run.
    fs::remove_all(Host('E'));
    mobjListener.maLog.clear();
    mobjUi->ClearPrompts();
    EXPECT_TRUE(blnBackup());
    ASSERT_EQ(mobjUi->Prompts().size(), 1u);
    EXPECT_EQ(mobjUi->Prompts()[0].strPrompt,
              "Drive letter backup is being saved to is not ready.");
    EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 0", "End"}));
}

TEST_F(BackupMedia, SourceTroublesAreLoggedAndTheRunGoesOn) {
    twtest::BuildTree(Host('C'),
                      "gone.txt\nkept.txt\nLocked/x.txt\nNoSubs/f.txt\nNoSubs/Deeper/g.txt\n"
                      "Private/p.txt\nPrivate/Deeper/q.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    Instructions('C', "Private", {"SkipFamily"});
    // A FIFO, a socket and a link loop: never opened, never blocking.
    ASSERT_EQ(mkfifo((Host('C') / "pipe").c_str(), 0644), 0);
    int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (Host('C') / "sock").string();
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sockPath.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    fs::create_directory_symlink("loop", Host('C') / "loop");
    fs::create_directory_symlink(".", Host('C') / "self");
    Start();
    mobjFileSys->SetFaultHook([](pfs::FsOp op, const std::string& strPath) {
        if (op == pfs::FsOp::OpenForRead && strPath == "C:\\gone.txt")
            throw platform::RtError(platform::rt::kFileNotFound);
        if (op == pfs::FsOp::ListFiles && strPath == "C:\\Locked")
            throw platform::RtError(platform::rt::kPermissionDenied);
        if (op == pfs::FsOp::ListFolders && strPath == "C:\\NoSubs")
            throw platform::RtError(platform::rt::kPermissionDenied);
        if (op == pfs::FsOp::OpenForRead && strPath == "C:\\Private\\Weekly.BDF")
            throw platform::RtError(platform::rt::kPermissionDenied);
    });
    EXPECT_FALSE(blnBackup());
    close(s);
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"),
              "C$/NoSubs/f.txt=NoSubs/f.txt\n"
              "C$/Weekly.BDF=;Backup type definition file\r\nIncludeFamily\r\n\n"
              "C$/kept.txt=kept.txt\n");
    EXPECT_TRUE(
        blnLogHas("copying file \"C:\\gone.txt\" to \"E:\\Backup\\C$\\gone.txt\" on the "
                  "backup: \"File not found\""));
    EXPECT_TRUE(
        blnLogHas("The following error occurred while trying to determine the files in "
                  "folder \"C:\\Locked\": \"Permission denied\""));
    EXPECT_TRUE(
        blnLogHas("The following error occurred while trying to determine the subfolders "
                  "of folder \"C:\\NoSubs\": \"Permission denied\""));
    // Instructions that cannot be read may be the ones that keep it private.
    EXPECT_TRUE(
        blnLogHas("The following error occurred while trying to read instruction file "
                  "\"C:\\Private\\Weekly.BDF\": \"Permission denied\""));
    EXPECT_EQ(mobjManager.intErrorCount(), 4);
}

TEST_F(BackupMedia, TargetLeftByAFailedCleaningIsLoggedAsExisting) {
    twtest::BuildTree(Host('C'), "a.txt\nb.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    twtest::BuildTree(Host('E') / "Backup", "C$/a.txt=old\n");
    Start();
    mobjFileSys->SetFaultHook([](pfs::FsOp op, const std::string& strPath) {
        if (op == pfs::FsOp::Delete && strPath == "E:\\Backup\\C$\\a.txt")
            throw platform::RtError(platform::rt::kPermissionDenied);
    });
    EXPECT_FALSE(blnBackup());
    EXPECT_TRUE(blnLogHas("to delete file \"E:\\Backup\\C$\\a.txt<Attrib= Mod="));
    EXPECT_TRUE(blnLogHas("The above errors occurred while attempting to delete all files"));
    EXPECT_TRUE(
        blnLogHas("copying file \"C:\\a.txt\" to \"E:\\Backup\\C$\\a.txt\" on the backup: "
                  "\"File already exists\""));
    EXPECT_EQ(twtest::ReadFile(Host('E') / "Backup/C$/a.txt"), "old");
    EXPECT_EQ(twtest::ReadFile(Host('E') / "Backup/C$/b.txt"), "b.txt");
}

TEST_F(BackupMedia, NamesWithNonAsciiLettersAndHostOnlyCharacters) {
    const std::string strOdd = std::string("back\\slash") + "\xff" + ".txt";
    twtest::BuildTree(Host('C'), "Übung/naïve café.txt=ü\n");
    twtest::WriteFile(Host('C') / strOdd, "odd");
    Instructions('C', "", {"ExcludeFamily", "IncludeFiles *.TXT"});
    Instructions('C', "Übung", {"IncludeFamily", "ExcludeFiles NAÏVE*"});
    twtest::WriteFile(Host('C') / "Übung/other.txt", "o");
    Start();
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(twtest::ReadFile(Host('E') / "Backup/C$" / strOdd), "odd");
    EXPECT_TRUE(fs::exists(Host('E') / "Backup/C$/Übung/other.txt"));
    EXPECT_FALSE(fs::exists(Host('E') / "Backup/C$/Übung/naïve café.txt"));
    // The backslash stayed part of the name: no folder "back" was made.
    EXPECT_FALSE(fs::exists(Host('E') / "Backup/C$/back"));
}

TEST_F(BackupMedia, UnexpectedErrorGivesTheCriticalBoxAndOneEndProgress) {
    twtest::BuildTree(Host('C'), "a.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    Start();
    mobjFileSys->SetFaultHook([](pfs::FsOp op, const std::string& strPath) {
        if (op == pfs::FsOp::OpenForRead && strPath == "C:\\a.txt")
            throw platform::RtError(platform::rt::kInvalidCall);
    });
    const EngineFailure f = objFailureOf([&] { blnBackup(); });
    EXPECT_EQ(mobjListener.Count("End"), 1);
    EXPECT_EQ(f.strDesc, "Invalid procedure call or argument");
    EXPECT_EQ(f.astrRoutines, (std::vector<std::string>{
                                  "SaveCore30.DriveProcessor.blnCopyFile(E:\\Backup\\C$\\a.txt)",
                                  "SaveCore30.DriveProcessor.blnProcessFolder(\\)",
                                  "SaveCore30.DriveProcessor.blnProcess(C:)",
                                  "SaveCore30.BackupManager.blnProcess"}));
    ASSERT_FALSE(mobjUi->Prompts().empty());
    const auto& box = mobjUi->Prompts().back();
    EXPECT_EQ(box.lngStyle, platform::ui::vbCritical + platform::ui::vbOKOnly);
    EXPECT_NE(box.strPrompt.find("You may also want to try copying a file to the SAME backup disc "
                                 "using Windows Explorer."),
              std::string::npos);
}

TEST_F(BackupMedia, InvalidInstructionFileStopsTheRunWithItsMessage) {
    twtest::BuildTree(Host('C'), "Sub/a.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    Instructions('C', "Sub", {"IncludeFamily", "SkipFamily"});
    Start();
    EXPECT_TRUE(blnBackup());
    ASSERT_FALSE(mobjUi->Prompts().empty());
    EXPECT_EQ(mobjUi->Prompts().back().strPrompt,
              "Invalid combination of object properties in C:\\Sub\\Weekly.BDF");
    EXPECT_EQ(mobjUi->Prompts().back().lngStyle, platform::ui::vbOKOnly);
}
