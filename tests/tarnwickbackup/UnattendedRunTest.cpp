// The program as a scheduler runs it: no display, the drive table and the
// settings in temporary folders, "/ub" on the command line; what it backed
// up, what it wrote to standard error and its exit status.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace twtest {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

class UnattendedRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(mTmp / "c" / "Daily.BDF", ";Backup type definition file\r\nIncludeFamily\r\n");
        WriteFile(mTmp / "c" / "Docs" / "letter to Ann.txt", "Dear Ann,\r\n");
        std::string strBinary;
        for (int i = 0; i < 70000; ++i) strBinary += static_cast<char>((i * 7919) % 256);
        WriteFile(mTmp / "c" / "Docs" / "Deep" / "data.bin", strBinary);
        WriteFile(mTmp / "c" / "empty.txt", "");
        fs::create_directories(mTmp / "e");
        fs::create_directories(mTmp / "config");
        // The program in a folder of its own, so that its error.log lands
        // here; its libraries are found next to it.
        const fs::path built = TW_PROGRAM;
        fs::create_directories(mTmp / "prog");
        fs::copy_file(built, mProgram);
        for (const auto& e : fs::directory_iterator(built.parent_path()))
            if (e.path().extension() == ".so" || e.path().extension() == ".hlp")
                fs::create_symlink(e.path(), mTmp / "prog" / e.path().filename());
        DriveTable("");
    }

    void DriveTable(const std::string& strExtraE) {
        WriteFile(mTmp / "drives.ini", "[C]\nPath=" + (mTmp / "c").string() + "\n[E]\nPath=" +
                                           (mTmp / "e").string() + "\nType=1\n" + strExtraE);
    }

    // Runs the program with the arguments (and astrEnv, as "NAME=value"
    // entries), as root or as nobody; returns its standard error and sets
    // mlngExit. No XDG_RUNTIME_DIR, as under cron.
    std::string Run(const std::vector<std::string>& astrArgs, bool blnAsNobody = false,
                    std::vector<std::string> astrEnv = {}) {
        const fs::path errFile = mTmp / "stderr.txt";
        for (const std::string& strVar : {
                 "TARNWICK_DRIVES=" + (mTmp / "drives.ini").string(),
                 "TARNWICK_SETTINGS=" + (mTmp / "config" / "settings.ini").string(),
                 "XDG_CONFIG_HOME=" + (mTmp / "config").string(),
                 "HOME=" + mTmp.path().string(),
                 std::string("PATH=/usr/bin:/bin"),
             })
            astrEnv.push_back(strVar);
        std::vector<std::string> astrArgv = {mProgram.string()};
        astrArgv.insert(astrArgv.end(), astrArgs.begin(), astrArgs.end());
        // Everything the child needs is made before fork: after it only
        // async-signal-safe calls.
        std::vector<char*> argv, envp;
        for (auto& s : astrArgv) argv.push_back(s.data());
        argv.push_back(nullptr);
        for (auto& s : astrEnv) envp.push_back(s.data());
        envp.push_back(nullptr);
        const std::string strErr = errFile.string();
        if (blnAsNobody) GiveTreeTo(kNobody);
        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (fd < 0) _exit(120);
            dup2(fd, 1);
            dup2(fd, 2);
            if (blnAsNobody &&
                (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                 setresuid(kNobody, kNobody, kNobody) != 0))
                _exit(121);
            execve(argv[0], argv.data(), envp.data());
            _exit(122);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        mlngExit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return ReadFile(errFile);
    }

    void GiveTreeTo(uid_t uid) {
        chown(mTmp.path().c_str(), uid, uid);
        for (const auto& e : fs::recursive_directory_iterator(mTmp.path()))
            if (chown(e.path().c_str(), uid, uid) != 0) ADD_FAILURE() << e.path();
    }

    static uint64_t lngBytesBelow(const fs::path& root) {
        uint64_t lngBytes = 0;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file()) lngBytes += e.file_size();
        return lngBytes;
    }
    // As the program shows a byte count (no locale is set in its environment).
    static std::string strGrouped(uint64_t lngBytes) {
        std::string strDigits = std::to_string(lngBytes);
        for (int ix = static_cast<int>(strDigits.size()) - 3; ix > 0; ix -= 3)
            strDigits.insert(static_cast<std::size_t>(ix), ",");
        return strDigits;
    }
    // The run's last line, with its duration (which varies) as "hh:mm:ss".
    static std::string strTimeless(const std::string& strErr) {
        static const std::regex reDuration(", \\d{2}:[0-5]\\d:[0-5]\\d\n$");
        return std::regex_replace(strErr, reDuration, ", hh:mm:ss\n");
    }
    // Every file of C: is in the backup with the same bytes, and nothing else.
    void ExpectBackupOfC(const fs::path& backup, const std::vector<std::string>& astrMissing = {}) {
        std::size_t lngFiles = 0;
        for (const auto& e : fs::recursive_directory_iterator(mTmp / "c")) {
            if (!e.is_regular_file()) continue;
            const fs::path rel = fs::relative(e.path(), mTmp / "c");
            if (std::find(astrMissing.begin(), astrMissing.end(), rel.generic_string()) !=
                astrMissing.end()) {
                EXPECT_FALSE(fs::exists(backup / rel)) << rel;
                continue;
            }
            ++lngFiles;
            ASSERT_TRUE(fs::exists(backup / rel)) << rel;
            EXPECT_TRUE(ReadFile(backup / rel) == ReadFile(e.path())) << rel;
        }
        std::size_t lngBacked = 0;
        for (const auto& e : fs::recursive_directory_iterator(backup))
            lngBacked += e.is_regular_file();
        EXPECT_EQ(lngBacked, lngFiles);
    }

    TempDir mTmp;
    fs::path mProgram = mTmp / "prog" / "TarnwickBackup";
    int mlngExit = -1;
};

TEST_F(UnattendedRunTest, ACleanRunBacksUpEveryFileAndEndsWithZero) {
    const std::vector<std::string> astrArgs = {"/ub", "Daily", "e:\\my backups\\",
                                               "/ca", "0",     "/ia"};
    const std::string strErr = Run(astrArgs);
    EXPECT_EQ(mlngExit, 0) << strErr;
    ExpectBackupOfC(mTmp / "e" / "my backups" / "C$");
    // Nobody was asked: the missing folder was made, every box was a line,
    // and nothing else was written.
    const std::string strBytes = strGrouped(lngBytesBelow(mTmp / "c"));
    const std::string strUsed =
        "[Tarnwick Backup] " + strBytes + " bytes, or 0.00 CD-RW discs, used.\n";
    const std::string strSummary =
        "[Options For Backup Just Completed] Backup Type:   \"Daily\" | Destination:   \"e:\\my "
        "backups\\\" | /ia has no effect without /md | Clear \"Archive\" Flag After Backup:   "
        "Yes | Min Days Since Last Change To Clear \"Archive\" Flag:   0 | Backup To Subfolder "
        "Named For Date And Time:   No\n";
    // Four files in C:, the instruction file among them.
    const std::string strEnd =
        strSummary + "Backup finished: 4 files, " + strBytes + " bytes, 0 errors, hh:mm:ss\n";
    EXPECT_EQ(strTimeless(strErr),
              "[Tarnwick Backup] Backup destination folder \"e:\\my backups\\\" does not exist. "
              "Do you wish to create it?\n" +
                  strUsed + strEnd);

    // A display that cannot be opened (a number no xvfb-run -a reaches, so a
    // test desktop running beside this one is not met), or a platform that
    // cannot start:
    // one line of the program's own, then the same run without a display.
    // The note carries Qt's reason.
    const auto strNote = [](const std::string& strDisplay) {
        return "[Tarnwick Backup] The display cannot be used (Qt platform \"xcb\": could not "
               "connect to display " +
               strDisplay + "): running without one.\n";
    };
    EXPECT_EQ(strTimeless(Run(astrArgs, false, {"DISPLAY=:32761"})),
              strNote(":32761") + strUsed + strEnd);
    EXPECT_EQ(mlngExit, 0);
    std::vector<std::string> astrXcb = {"-platform", "xcb"};
    astrXcb.insert(astrXcb.end(), astrArgs.begin(), astrArgs.end());
    EXPECT_EQ(strTimeless(Run(astrXcb)), strNote("") + strUsed + strEnd);
    EXPECT_EQ(mlngExit, 0);
}

TEST_F(UnattendedRunTest, TheRootOfTheHomeDriveSpeltAnotherWayIsRefused) {
    const std::string strTree = ReadTree(mTmp / "c");
    for (const char* pszDest : {"C:\\\\", "C:\\.\\", "C:/\\", "C:\\docs\\..\\"}) {
        const std::string strErr = Run({"/ub", "Daily", pszDest});
        EXPECT_EQ(mlngExit, 2) << pszDest << "\n" << strErr;
        EXPECT_NE(strErr.find("[Invalid Destination] You may not use the root folder"),
                  std::string::npos)
            << strErr;
        EXPECT_EQ(ReadTree(mTmp / "c"), strTree) << pszDest;
    }
    // What is accepted is run and reported as the folder it names.
    const std::string strErr = Run({"/ub", "Daily", "e:/bk//x\\..\\"});
    EXPECT_EQ(mlngExit, 0) << strErr;
    EXPECT_NE(strErr.find("Destination:   \"e:\\bk\\\" |"), std::string::npos) << strErr;
    ExpectBackupOfC(mTmp / "e" / "bk" / "C$");
}

TEST_F(UnattendedRunTest, FilesTheUserCannotReadAreLoggedAndEndWithOne) {
    fs::permissions(mTmp / "c" / "Docs" / "letter to Ann.txt", fs::perms::none);
    // Instructions nobody can read may be the ones that keep a folder private.
    WriteFile(mTmp / "c" / "Private" / "Daily.BDF",
              ";Backup type definition file\r\nSkipFamily\r\n");
    WriteFile(mTmp / "c" / "Private" / "diary.txt", "secret");
    fs::permissions(mTmp / "c" / "Private" / "Daily.BDF", fs::perms::none);
    const std::string strErr = Run({"/ub", "Daily", "e:\\bk\\"}, true);
    EXPECT_EQ(mlngExit, 1) << strErr;
    EXPECT_NE(strErr.find("[Error Log] A total of 2 errors were encountered"), std::string::npos)
        << strErr;
    EXPECT_TRUE(strTimeless(strErr).ends_with(" 2 errors, hh:mm:ss\n")) << strErr;
    EXPECT_NE(strErr.find("The following error occurred while trying to read instruction file "
                          "\"C:\\Private\\Daily.BDF\": \"Permission denied\""),
              std::string::npos)
        << strErr;
    ExpectBackupOfC(mTmp / "e" / "bk" / "C$",
                    {"Docs/letter to Ann.txt", "Private/Daily.BDF", "Private/diary.txt"});
}

TEST_F(UnattendedRunTest, WhatDoesNotRunEndsWithTwoAndAReportWithThree) {
    // Nothing it could do without a display was asked for ("/ub" wants its
    // blank): a scheduler hears of it, and program end still saves the
    // destinations found on the drives.
    std::string strErr = Run({"/ub"});
    EXPECT_EQ(mlngExit, 2) << strErr;
    EXPECT_NE(strErr.find("[Tarnwick Backup] Unrecognized command line option(s).\n"),
              std::string::npos)
        << strErr;
    EXPECT_NE(strErr.find("only an unattended backup (/ub) runs without one"), std::string::npos);
    EXPECT_NE(ReadFile(mTmp / "config" / "settings.ini").find("Dest0=e:\\"), std::string::npos);

    // A full disc is not changed by anybody: the run stops there, and the
    // space it reports is what it wrote.
    DriveTable("Capacity=60000\n");
    strErr = Run({"/ub", "Daily", "e:\\"});
    EXPECT_EQ(mlngExit, 2) << strErr;
    EXPECT_NE(strErr.find("[Tarnwick Backup] The backup disc is full."), std::string::npos)
        << strErr;
    EXPECT_NE(
        strErr.find("[Tarnwick Backup] Backup stopped.\n[Tarnwick Backup] " +
                    strGrouped(lngBytesBelow(mTmp / "e")) + " bytes, or 0.00 CD-RW discs, used.\n"),
        std::string::npos)
        << strErr;

    // A number of days beyond 32 bits is a failure, reported.
    strErr = Run({"/ub", "Daily", "e:\\", "/md", "1e12"});
    EXPECT_EQ(mlngExit, 3) << strErr;
    EXPECT_NE(strErr.find("[Error Detected]"), std::string::npos) << strErr;
    EXPECT_NE(ReadFile(mTmp / "prog" / "error.log").find("in TarnwickBackup.MainForm.UnUnattended"),
              std::string::npos);
}

TEST_F(UnattendedRunTest, PlantedLinksArePassedByPrivateFoldersStayPrivateOneRunAtATime) {
    WriteFile(mTmp / "outside" / "keep.txt", "mine");
    fs::create_directories(mTmp / "e" / "bk");
    fs::create_directory_symlink(mTmp / "outside", mTmp / "e" / "bk" / "C$");
    ASSERT_EQ(mkfifo((mTmp / "e" / "bk" / "pipe").c_str(), 0600), 0);
    chmod((mTmp / "c" / "Docs").c_str(), 0700);
    const std::vector<std::string> astrArgs = {"/ub", "Daily", "e:\\bk\\"};
    const std::string strErr = Run(astrArgs);
    EXPECT_EQ(mlngExit, 0) << strErr;
    EXPECT_EQ(ReadTree(mTmp / "outside"), "keep.txt=mine\n");
    EXPECT_FALSE(fs::exists(mTmp / "e" / "bk" / "pipe"));
    ExpectBackupOfC(mTmp / "e" / "bk" / "C$");
    EXPECT_EQ(fs::status(mTmp / "e" / "bk" / "C$" / "Docs").permissions(), fs::perms(0700));

    // Another run is writing there: this one is refused and touches nothing.
    const int fd = open((mTmp / "e" / "bk").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const std::string strTree = ReadTree(mTmp / "e");
    const std::string strRefused = Run(astrArgs);
    close(fd);
    EXPECT_EQ(mlngExit, 2);
    EXPECT_EQ(strRefused.substr(0, strRefused.find('\n')),
              "[Tarnwick Backup] Another backup or restore is writing to \"e:\\bk\" at this "
              "moment. Wait until it has finished, then try again.");
    EXPECT_EQ(ReadTree(mTmp / "e"), strTree);
}

TEST_F(UnattendedRunTest, ARunThatCannotGoOnEndsWithTwoAndLeavesTheOldBackup) {
    WriteFile(mTmp / "e" / "bk" / "C$" / "old.txt", "previous backup");
    const fs::path root = mTmp / "c" / "Daily.BDF";
    const std::vector<std::string> astrArgs = {"/ub", "Daily", "e:\\bk\\"};
    const auto ExpectRefused = [&](const std::string& strErr, const std::string& strFirst) {
        EXPECT_EQ(strErr.substr(0, strErr.find('\n') + 1), "[Tarnwick Backup] " + strFirst + "\n");
        EXPECT_EQ(mlngExit, 2);
        EXPECT_EQ(lngBytesBelow(mTmp / "e"), 15u);  // old.txt alone
    };
    ExpectRefused(Run({"/ub", "Daily", "e:\\bk\\", "/md", "-1"}),
                  "Invalid (days) after /md option.");
    fs::permissions(root, fs::perms::none);
    ExpectRefused(Run(astrArgs, true),
                  "The following error occurred while trying to read instruction file "
                  "\"C:\\Daily.BDF\": \"Permission denied\"");
    WriteFile(root, "IncludeFamily\r\nBackUpEverything\r\n");
    ExpectRefused(Run(astrArgs), "Unrecognized instruction in C:\\Daily.BDF");
    // Emptied by mistake it is valid but selects nothing: the previous
    // backup is not emptied for it without a yes.
    WriteFile(root, ";Backup type definition file\r\n");
    const std::string strErr = Run(astrArgs);
    EXPECT_EQ(strErr.substr(0, strErr.find('\n')),
              "[Confirm Erase] Backup type \"Daily\" selects no files. Making it would only erase "
              "the backup now at \"e:\\bk\\\". Erase that backup anyway?");
    EXPECT_EQ(mlngExit, 2);
    EXPECT_EQ(lngBytesBelow(mTmp / "e"), 15u);
    // Renamed away, the type is still offered (from Daily.BDF.old).
    fs::rename(root, root.string() + ".old");
    ExpectRefused(Run(astrArgs),
                  "No drive that is ready has instructions for backup type \"Daily\" (Daily.BDF "
                  "in its root folder), so the backup would copy nothing. The destination was "
                  "left as it is.");
}

TEST_F(UnattendedRunTest, DriveTablesAndDestinationsItCannotUseEndWithTwo) {
    const fs::path table = mTmp / "drives.ini";
    const std::string strTableErr = "[Tarnwick Backup] Drive table " + table.string();
    std::vector<std::string> astrArgs = {"/ub", "Daily", "e:\\bk\\"};
    fs::remove(table);
    fs::create_directory(table);
    EXPECT_EQ(Run(astrArgs), strTableErr + ": Path/File access error\n");
    EXPECT_EQ(mlngExit, 2);
    fs::remove(table);
    DriveTable("");
    fs::permissions(table, fs::perms::none);
    EXPECT_EQ(Run(astrArgs, true), strTableErr + ": Permission denied\n");
    EXPECT_EQ(mlngExit, 2);

    // A write-protected disc, and a folder the user may not write in: refused
    // before anything is asked or made.
    const auto Refusal = [](const std::string& strDest) {
        return "[Tarnwick Backup] The backup destination \"" + strDest +
               "\" cannot be written to: the disc is write-protected, or you may not write "
               "there.\n";
    };
    fs::permissions(table, fs::perms::owner_read | fs::perms::owner_write);
    DriveTable("ReadOnly=1\n");
    EXPECT_EQ(Run(astrArgs), Refusal("e:\\bk\\"));
    EXPECT_EQ(mlngExit, 2);
    DriveTable("");
    fs::permissions(mTmp / "e", fs::perms::owner_write, fs::perm_options::remove);
    astrArgs[2] = "e:\\new\\";
    EXPECT_EQ(Run(astrArgs, true), Refusal("e:\\new\\"));
    EXPECT_EQ(mlngExit, 2);
    EXPECT_TRUE(fs::is_empty(mTmp / "e"));
}

}  // namespace
}  // namespace twtest
