// What a backup or a restore writes stays inside the folder it was given:
// links planted there are removed or refused, never followed; private
// folders stay private; a second run into the same folder is refused.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EngineFixture.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;
namespace pfs = platform::fs;

namespace {

class DestinationSafety : public EngineFixture {
  protected:
    DestinationSafety() {
        twtest::BuildTree(Outside(), "keep.txt=mine\nro.txt=theirs\n");
        chmod((Outside() / "ro.txt").c_str(), 0444);
        twtest::BuildTree(Host('C'), "a.txt\nData/b.txt\n");
        Instructions('C', "", {"IncludeFamily"});
    }
    fs::path Outside() const { return mobjRoot / "outside"; }
    std::string OutsideTree() const { return twtest::ReadTree(Outside()); }
    static mode_t Mode(const fs::path& p) {
        struct stat st {};
        stat(p.c_str(), &st);
        return st.st_mode & 07777;
    }
};

TEST_F(DestinationSafety, CleaningRemovesPlantedLinksFifosAndSocketsWithoutFollowingThem) {
    const fs::path bk = Host('E') / "Backup";
    fs::create_directory_symlink(Outside(), bk / "C$");
    fs::create_symlink(Outside() / "ro.txt", bk / "file.lnk");
    fs::create_symlink(mobjRoot / "nowhere", bk / "dangling");
    ASSERT_EQ(mkfifo((bk / "pipe").c_str(), 0600), 0);
    twtest::BuildTree(bk, "Old/\n");
    fs::create_directory_symlink(Outside(), bk / "Old/inner");
    Start();
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(twtest::ReadTree(bk),
              "C$/Data/b.txt=Data/b.txt\nC$/Weekly.BDF=;Backup type "
              "definition file\r\nIncludeFamily\r\n\nC$/a.txt=a.txt\n");
    EXPECT_EQ(OutsideTree(), "keep.txt=mine\nro.txt=theirs\n");
    EXPECT_EQ(Mode(Outside() / "ro.txt"), 0444u);
}

TEST_F(DestinationSafety, ALinkTheCleaningCouldNotRemoveIsLoggedNotWrittenThrough) {
    const fs::path bk = Host('E') / "Backup";
    fs::create_directory_symlink(Outside(), bk / "C$");
    Start();
    mobjFileSys->SetFaultHook([](pfs::FsOp op, const std::string& strPath) {
        if (op == pfs::FsOp::Delete && strPath == "E:\\Backup\\C$")
            throw platform::RtError(platform::rt::kPermissionDenied);
    });
    EXPECT_FALSE(blnBackup());
    EXPECT_TRUE(
        blnLogHas("creating folder \"E:\\Backup\\C$\" on the backup: \"Path/File access "
                  "error (a symbolic link is in the way)\""));
    EXPECT_EQ(OutsideTree(), "keep.txt=mine\nro.txt=theirs\n");
}

TEST_F(DestinationSafety, FoldersAreNoMoreOpenThanTheirSourcesAndKeepTheirTimes) {
    twtest::BuildTree(Host('C'), "Private/p.txt\nReadOnly/r.txt\n");
    chmod(Host('C').c_str(), 0750);
    chmod((Host('C') / "Private").c_str(), 0700);
    chmod((Host('C') / "ReadOnly").c_str(), 0555);
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(Host('C') / "Private", past);
    Start();
    EXPECT_FALSE(blnBackup());
    const fs::path c = Host('E') / "Backup/C$";
    EXPECT_EQ(Mode(c), 0750u);
    EXPECT_EQ(Mode(c / "Private"), 0700u);
    // The owner can always fill and later empty the copy.
    EXPECT_EQ(Mode(c / "ReadOnly"), 0755u);
    EXPECT_EQ(fs::last_write_time(c / "Private"), past);
    // The next plain backup empties it all without a word.
    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(ErrorLog(), "");
    chmod((Host('C') / "ReadOnly").c_str(), 0755);
}

TEST_F(DestinationSafety, ASecondRunIntoTheSameFolderIsRefusedAndTheFirstBackupStays) {
    twtest::BuildTree(Host('E') / "Backup", "C$/old.txt\n");
    Start();
    // Another process's run holds the folder.
    const int fd = open((Host('E') / "Backup").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_TRUE(blnBackup());
    close(fd);
    ASSERT_EQ(mobjUi->Prompts().size(), 1u);
    EXPECT_EQ(mobjUi->Prompts()[0].strPrompt,
              "Another backup or restore is writing to \"E:\\Backup\" at this moment. Wait "
              "until it has finished, then try again.");
    EXPECT_EQ(twtest::ReadTree(Host('E') / "Backup"), "C$/old.txt=C$/old.txt\n");
    EXPECT_EQ(mobjListener.maLog, (std::vector<std::string>{"Start 0", "End"}));
    EXPECT_FALSE(blnBackup());  // released by the other run
}

TEST_F(DestinationSafety, RestoreNeverActsThroughLinksInTheTargetTree) {
    twtest::BuildTree(Host('E') / "Backup/C$", "top.txt=new\nSub/s.txt=new\nPriv/p.txt=new\n");
    chmod((Host('E') / "Backup/C$/Priv").c_str(), 0700);
    twtest::BuildTree(Host('C'), "T/\n");
    fs::create_directory_symlink(Outside(), Host('C') / "T/Sub");
    fs::create_symlink(Outside() / "ro.txt", Host('C') / "T/top.txt");
    Start();
    mobjManager.blnRestoreReplace(true);
    EXPECT_FALSE(mobjManager.blnRestoreFolder("E:\\Backup\\C$", "C:\\T", true));
    EXPECT_EQ(mobjManager.intErrorCount(), 1);
    EXPECT_TRUE(
        blnLogHas("The following error occurred while restoring folder "
                  "\"E:\\Backup\\C$\\Sub\" to \"C:\\T\\Sub\": \"Path/File access error (a "
                  "symbolic link is in the way)\""));
    EXPECT_EQ(OutsideTree(), "keep.txt=mine\nro.txt=theirs\n");
    EXPECT_EQ(Mode(Outside() / "ro.txt"), 0444u);
    EXPECT_EQ(twtest::ReadFile(Host('C') / "T/top.txt"), "new");  // the link itself replaced
    EXPECT_EQ(twtest::ReadFile(Host('C') / "T/Priv/p.txt"), "new");
    EXPECT_EQ(Mode(Host('C') / "T/Priv"), 0700u);
}

}  // namespace
