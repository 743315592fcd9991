// Copies: what they carry over, that no overwrite never replaces, and that
// a failed copy leaves nothing behind.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "platform/fs/LocalFileSystem.h"
#include "platform/fs/WritebackAhead.h"
#include "tests/platform_fs/FsFixture.h"

using namespace platform::fs;

namespace twtest {
namespace {

class Copy : public FsFixture {
  protected:
    // Everything in the folder, temporary files included.
    std::string Entries(const std::filesystem::path& dir) {
        std::string s;
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        for (const auto& n : names) s += n + ";";
        return s;
    }
};

// Files are created with their mode where the umask allows it; what it does
// not allow (and the set-id and sticky bits) must still arrive.
TEST_F(Copy, CarriesContentsTimeAndEveryPermissionBit) {
    std::string big(3 * 1024 * 1024 + 17, 'x');
    for (std::size_t i = 0; i < big.size(); i += 4096) big[i] = static_cast<char>(i / 4096);
    WriteFile(mC / "big.bin", big);
    chmod((mC / "big.bin").c_str(), 0640);
    const timespec times[2] = {{1000, 0}, {1234567890, 987654321}};
    utimensat(AT_FDCWD, (mC / "big.bin").c_str(), times, 0);
    mFs->CopyFile("C:\\BIG.BIN", "E:\\copy.bin", false);
    EXPECT_EQ(ReadFile(mE / "copy.bin"), big);
    struct stat st;
    ASSERT_EQ(stat((mE / "copy.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 987654321);
    EXPECT_EQ(mFs->GetFile("E:\\copy.bin")->DateLastModified(),
              mFs->GetFile("C:\\big.bin")->DateLastModified());
    EXPECT_EQ(Entries(mE), "copy.bin;");

    for (const mode_t mode : {0600, 0755, 0444, 0777, 02750, 01777}) {
        const std::string strName = "m" + std::to_string(mode) + ".txt";
        WriteFile(mC / strName, "x");
        chmod((mC / strName).c_str(), mode);
        mFs->CopyFile("C:\\" + strName, "E:\\" + strName, false);
        ASSERT_EQ(stat((mE / strName).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode) << strName;
    }
}

TEST_F(Copy, NoOverwriteKeepsTheExistingTargetEvenInARaceAndOverwriteReplacesIt) {
    BuildTree(mC, "a.txt=new\n");
    BuildTree(mE, "a.txt=old\nro.txt=keep\n");
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.txt", "E:\\a.txt", false); }), 58);
    EXPECT_EQ(ReadFile(mE / "a.txt"), "old");
    mFs->CopyFile("C:\\a.txt", "E:\\A.TXT", true);  // replaces the file Windows would see
    EXPECT_EQ(ReadFile(mE / "a.txt"), "new");
    mFs->GetFile("E:\\ro.txt")->SetAttributes(vbReadOnly);
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.txt", "E:\\ro.txt", true); }), 70);
    EXPECT_EQ(ReadFile(mE / "ro.txt"), "keep");
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.txt", "E:\\nofolder\\a.txt", false); }), 76);
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\none.txt", "E:\\b.txt", false); }), 53);
    EXPECT_EQ(Entries(mE), "a.txt;ro.txt;");

    // Another process creates the target after the copy checked for it and
    // just before it takes the name: the copy loses without replacing.
    mFs->SetFaultHook([&](FsOp op, const std::string& strPath) {
        if (op != FsOp::Create || strPath != "E:\\new.txt") return;
        const pid_t pid = fork();
        if (pid == 0) {
            WriteFile(mE / "new.txt", "theirs");
            _exit(0);
        }
        waitpid(pid, nullptr, 0);
    });
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.txt", "E:\\new.txt", false); }), 58);
    EXPECT_EQ(ReadFile(mE / "new.txt"), "theirs");
    EXPECT_EQ(Entries(mE), "a.txt;new.txt;ro.txt;");
}

TEST_F(Copy, NoOverwriteRacingThreadsGiveOneWinner) {
    BuildTree(mC, "a.txt=aaaa\nb.txt=bbbb\n");
    for (int round = 0; round < 50; ++round) {
        const std::string target = "E:\\t" + std::to_string(round);
        int32_t errA = -1, errB = -1;
        std::thread ta([&] { errA = ErrOf([&] { mFs->CopyFile("C:\\a.txt", target, false); }); });
        std::thread tb([&] { errB = ErrOf([&] { mFs->CopyFile("C:\\b.txt", target, false); }); });
        ta.join();
        tb.join();
        ASSERT_EQ((errA == 0) + (errB == 0), 1) << errA << " " << errB;
        ASSERT_EQ(errA + errB, 58);
        ASSERT_EQ(ReadFile(mE / ("t" + std::to_string(round))), errA == 0 ? "aaaa" : "bbbb");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mE), {}), 50);
}

TEST_F(Copy, AFailedCopyLeavesNoPartialTargetAndNoTemporaryFile) {
    WriteFile(mC / "big.bin", std::string(1 << 20, 'b'));
    // A file-size limit makes the kernel refuse the write part-way (EFBIG),
    // as a full disk would.
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &lim);
        _exit(ErrOf([&] { mFs->CopyFile("C:\\big.bin", "E:\\big.bin", false); }));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 61);
    EXPECT_EQ(Entries(mE), "");

    // A source that vanishes or turns into a FIFO, and a fault just before
    // publishing.
    WriteFile(mC / "gone.txt", "g");
    const FilePtr gone = mFs->GetFile("C:\\gone.txt");
    std::filesystem::remove(mC / "gone.txt");
    EXPECT_EQ(ErrOf([&] { gone->Copy("E:\\gone.txt", false); }), 53);
    WriteFile(mC / "f", "data");
    const FilePtr f = mFs->GetFile("C:\\f");
    std::filesystem::remove(mC / "f");
    ASSERT_EQ(mkfifo((mC / "f").c_str(), 0644), 0);
    EXPECT_EQ(ErrOf([&] { f->Copy("E:\\f", false); }), 53);  // returns instead of blocking
    mFs->SetFaultHook([](FsOp op, const std::string&) {
        if (op == FsOp::Create) throw platform::RtError(platform::rt::kDeviceIO);
    });
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\big.bin", "E:\\big.bin", false); }), 57);
    EXPECT_EQ(Entries(mE), "");
}

// A new file has no name until it is complete, so a run that is killed
// part-way leaves nothing in the destination, not even a temporary file.
TEST_F(Copy, AKilledCopyLeavesNothingBehind) {
    WriteFile(mC / "first.txt", "1");
    WriteFile(mC / "second.txt", std::string(100000, 's'));
    mFs->CopyFile("C:\\first.txt", "E:\\first.txt", false);  // the process's first copy
    std::string strSeen;
    mFs->SetFaultHook([&](FsOp op, const std::string&) {
        if (op == FsOp::Create) strSeen = Entries(mE);
    });
    mFs->CopyFile("C:\\second.txt", "E:\\second.txt", false);
    EXPECT_EQ(strSeen, "first.txt;");  // written in full, and not yet seen
    EXPECT_EQ(std::filesystem::file_size(mE / "second.txt"), 100000u);

    const pid_t pid = fork();
    if (pid == 0) {
        mFs->SetFaultHook([](FsOp op, const std::string&) {
            if (op == FsOp::Create) raise(SIGKILL);
        });
        mFs->CopyFile("C:\\second.txt", "E:\\third.txt", false);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Entries(mE), "first.txt;second.txt;");
}

TEST_F(Copy, WriteFileReplacingKeepsTheOldFileOnFailure) {
    BuildTree(mC, "cfg.ini=old\n");
    mFs->WriteFileReplacing("C:\\CFG.INI", "new");
    EXPECT_EQ(ReadFile(mC / "cfg.ini"), "new");
    mFs->SetFaultHook([](FsOp op, const std::string&) {
        if (op == FsOp::Create) throw platform::RtError(platform::rt::kDiskFull);
    });
    EXPECT_EQ(ErrOf([&] { mFs->WriteFileReplacing("C:\\cfg.ini", "newer"); }), 61);
    EXPECT_EQ(ReadFile(mC / "cfg.ini"), "new");
    EXPECT_EQ(Entries(mC), "cfg.ini;");
    mFs->SetFaultHook(nullptr);
    mFs->CreateEmptyFile("C:\\empty.txt");
    EXPECT_EQ(ErrOf([&] { mFs->CreateEmptyFile("C:\\EMPTY.TXT"); }), 58);
    EXPECT_EQ(ErrOf([&] { mFs->CreateFolder("C:\\Empty.txt"); }), 58);
    EXPECT_EQ(Entries(mC), "cfg.ini;empty.txt;");
}

// A new file goes straight into the folder named exactly; a folder named in
// another case, or one that is missing, is looked up as for any path.
TEST_F(Copy, FindsTheTargetFolderWhateverCaseTheDestinationGives) {
    BuildTree(mC, "a.txt=abc\n");
    std::filesystem::create_directories(mE / "Backup" / "Sub");
    int lngOpens = 0;
    mFs->SetFaultHook([&](FsOp op, const std::string&) { lngOpens += op == FsOp::OpenForRead; });
    mFs->CopyFile("C:\\a.txt", "E:\\BACKUP\\sub\\a.txt", false);
    EXPECT_EQ(ReadFile(mE / "Backup" / "Sub" / "a.txt"), "abc");
    EXPECT_EQ(lngOpens, 1);  // a fault injected at the open still fires once
    EXPECT_EQ(Entries(mE / "Backup" / "Sub"), "a.txt;");
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.txt", "E:\\Backup\\none\\a.txt", false); }), 76);
    std::filesystem::remove_all(mE);  // the medium is taken out
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\a.txt", "E:\\Backup\\Sub\\b.txt", false); }), 71);
}

// Copies start the write-back of a medium in the background; a medium that
// is gone by then is no failure.
TEST_F(Copy, WritesBackInTheBackgroundAfterEnoughFilesOrBytes) {
    auto local = std::dynamic_pointer_cast<LocalFileSystem>(mFs);
    ASSERT_TRUE(local);
    BuildTree(mC, "a.txt=abc\n");
    for (uint32_t i = 1; i < WritebackAhead::kFilesPerSync; ++i)
        mFs->CopyFile("C:\\a.txt", "E:\\a" + std::to_string(i) + ".txt", false);
    EXPECT_EQ(local->WritebackSyncs(), 0u);
    mFs->CopyFile("C:\\a.txt", "E:\\last.txt", false);
    EXPECT_EQ(local->WritebackSyncs(), 1u);

    WritebackAhead objAhead;
    objAhead.Written(mE.string(), WritebackAhead::kBytesPerSync - 1);
    objAhead.Written("/nonexistent/medium", WritebackAhead::kBytesPerSync);
    EXPECT_EQ(objAhead.SyncsStarted(), 1u);  // only the missing one was due
    objAhead.Written(mE.string(), 1);
    EXPECT_EQ(objAhead.SyncsStarted(), 2u);
}  // the destructor waits for the thread

}  // namespace
}  // namespace twtest
