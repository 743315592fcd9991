// The program as a scheduler runs it: no display, the drive table and the
// settings in temporary folders, "/ub" on the command line; what it backed
// up, what it wrote to standard error and its exit status.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
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
        for (const char* pszDir : {"config", "runtime"}) fs::create_directories(mTmp / pszDir);
        fs::permissions(mTmp / "runtime", fs::perms::owner_all);
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

    // Runs the program with the arguments, as root or as nobody; returns
    // its standard error and sets mlngExit.
    std::string Run(const std::vector<std::string>& astrArgs, bool blnAsNobody = false) {
        const fs::path errFile = mTmp / "stderr.txt";
        std::vector<std::string> astrEnv = {
            "TARNWICK_DRIVES=" + (mTmp / "drives.ini").string(),
            "TARNWICK_SETTINGS=" + (mTmp / "config" / "settings.ini").string(),
            "XDG_CONFIG_HOME=" + (mTmp / "config").string(),
            "XDG_RUNTIME_DIR=" + (mTmp / "runtime").string(),
            "HOME=" + mTmp.path().string(),
            "PATH=/usr/bin:/bin",
        };
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
    const std::string strErr = Run({"/ub", "Daily", "e:\\my backups\\", "/ca", "0"});
    EXPECT_EQ(mlngExit, 0) << strErr;
    ExpectBackupOfC(mTmp / "e" / "my backups" / "C$");
    // Nobody was asked: the missing folder was made, every box was a line.
    EXPECT_NE(strErr.find("[Tarnwick Backup] Backup destination folder \"e:\\my backups\\\" does "
                          "not exist. Do you wish to create it?\n"),
              std::string::npos)
        << strErr;
    EXPECT_NE(
        strErr.find("[Options For Backup Just Completed] Backup Type:   \"Daily\" | "
                    "Destination:   \"e:\\my backups\\\" | Clear \"Archive\" Flag After "
                    "Backup:   Yes | Min Days Since Last Change To Clear \"Archive\" Flag:   0 "
                    "| Backup To Subfolder Named For Date And Time:   No\n"),
        std::string::npos)
        << strErr;
    EXPECT_EQ(strErr.find("propagateSizeHints"), std::string::npos) << strErr;
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
    const std::string strErr = Run({"/ub", "Daily", "e:\\bk\\"}, true);
    EXPECT_EQ(mlngExit, 1) << strErr;
    EXPECT_NE(strErr.find("[Error Log] A total of 1 errors were encountered"), std::string::npos)
        << strErr;
    ExpectBackupOfC(mTmp / "e" / "bk" / "C$", {"Docs/letter to Ann.txt"});
}

TEST_F(UnattendedRunTest, WhatDoesNotRunEndsWithTwoAndAReportWithThree) {
    std::string strErr = Run({"/ub", "Daily", "e:\\bk\\", "/md"});
    EXPECT_EQ(mlngExit, 2) << strErr;
    EXPECT_NE(strErr.find("[Tarnwick Backup] Missing (days) after /md option.\n"),
              std::string::npos)
        << strErr;
    EXPECT_FALSE(fs::exists(mTmp / "e" / "bk" / "C$"));

    // A full disc is not changed by anybody: the run stops there.
    DriveTable("Capacity=60000\n");
    strErr = Run({"/ub", "Daily", "e:\\"});
    EXPECT_EQ(mlngExit, 2) << strErr;
    EXPECT_NE(strErr.find("[Tarnwick Backup] The backup disc is full."), std::string::npos)
        << strErr;
    EXPECT_NE(strErr.find("[Tarnwick Backup] Backup stopped.\n"), std::string::npos);

    // A number of days beyond 32 bits is a failure, reported.
    strErr = Run({"/ub", "Daily", "e:\\", "/md", "1e12"});
    EXPECT_EQ(mlngExit, 3) << strErr;
    EXPECT_NE(strErr.find("[Error Detected]"), std::string::npos) << strErr;
    EXPECT_NE(ReadFile(mTmp / "prog" / "error.log").find("in TarnwickBackup.MainForm.UnUnattended"),
              std::string::npos);
}

}  // namespace
}  // namespace twtest
