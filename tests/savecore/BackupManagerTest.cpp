#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "savecore/BackupManager.h"
#include "tests/support/LocalTime.h"
#include "tests/support/TempDir.h"

using namespace savecore;
using twtest::LocalTime;
namespace pfs = platform::fs;

namespace {

// Records every event as one line, and can be told to answer Stop.
class RecordingListener : public BackupManagerEvents {
  public:
    explicit RecordingListener(std::string strName) : mstrName(std::move(strName)) {}
    void StartProgress(int32_t& lngMode) override { Log("Start " + std::to_string(lngMode)); }
    void EndProgress() override { Log("End"); }
    void SetProgressFolder(std::string& strText) override { Log("Folder " + strText); }
    void SetProgressFile(std::string& strText) override { Log("File " + strText); }
    void blnProgressStop(bool& blnStop) override {
        Log(std::string("Stop? ") + (blnStop ? "1" : "0"));
        if (mblnAnswerStop) blnStop = true;
    }
    void OutOfSpace(bool& blnStop) override {
        Log(std::string("OutOfSpace ") + (blnStop ? "1" : "0"));
        if (mblnAnswerStop) blnStop = true;
    }
    std::vector<std::string>* mpLog = nullptr;
    bool mblnAnswerStop = false;

  private:
    void Log(const std::string& s) {
        if (mpLog) mpLog->push_back(mstrName + ": " + s);
    }
    std::string mstrName;
};

// One drive of each type that decides whether a drive is listed.
std::shared_ptr<pfs::FileSystem> MakeFileSystem(const twtest::TempDir& dir) {
    pfs::DriveTable table;
    for (auto [chLetter, lngType] : {std::pair{'C', pfs::kDriveFixed},
                                     {'D', pfs::kDriveCDRom},
                                     {'E', pfs::kDriveRemovable},
                                     {'N', pfs::kDriveRemote},
                                     {'R', pfs::kDriveRamDisk}}) {
        const auto host = dir / std::string(1, chLetter);
        std::filesystem::create_directories(host);
        table.drives.push_back({chLetter, host, lngType, "", "", std::nullopt, false});
    }
    return pfs::FileSystem::Create(table);
}

std::vector<std::string> Letters(const BackupManager& objManager) {
    std::vector<std::string> out;
    for (const auto& objProc : *objManager.colDriveProcs()) {
        EXPECT_EQ(objProc->objManager(), &objManager);
        out.push_back(objProc->objDrive()->DriveLetter());
    }
    return out;
}

}  // namespace

TEST(BackupManager, DriveListFollowsTypesAndMiscFlagUntilShutdown) {
    twtest::TempDir dir;
    BackupManager objManager;
    objManager.Init(MakeFileSystem(dir));
    EXPECT_FALSE(objManager.colDriveProcs().has_value());

    objManager.LoadDrives();
    EXPECT_EQ(Letters(objManager), (std::vector<std::string>{"C", "N"}));

    // Setting the flag alone changes nothing until the list is rebuilt.
    objManager.blnIncludeMiscDrives(true);
    EXPECT_EQ(Letters(objManager).size(), 2u);
    objManager.LoadDrives();
    EXPECT_EQ(Letters(objManager), (std::vector<std::string>{"C", "D", "E", "N", "R"}));

    // Shutdown raises a lone EndProgress and drops the lists.
    std::vector<std::string> log;
    RecordingListener a("a");
    a.mpLog = &log;
    BackupManager::EventConnection ca(objManager, a);
    objManager.Shutdown();
    EXPECT_EQ(log, (std::vector<std::string>{"a: End"}));
    EXPECT_FALSE(objManager.objFileSys());
    EXPECT_FALSE(objManager.colDriveProcs().has_value());
    EXPECT_FALSE(objManager.colDefFolders().has_value());
}

TEST(BackupManager, InitBackupModeResetsOnlyRunModes) {
    BackupManager objManager;
    objManager.blnIncrementalMode(true);
    objManager.lngDaysSinceLastMod(7);
    objManager.blnIncludeArchiveFlag(true);
    objManager.blnClearArchiveFlag(true);
    objManager.lngClearArchiveFlagDays(3);
    objManager.blnUseDateTimeSubFolder(true);
    objManager.blnIncludeMiscDrives(true);
    objManager.blnRestoreReplace(true);

    objManager.InitBackupMode();
    EXPECT_FALSE(objManager.blnIncrementalMode());
    EXPECT_EQ(objManager.lngDaysSinceLastMod(), 0);
    EXPECT_FALSE(objManager.blnIncludeArchiveFlag());
    EXPECT_FALSE(objManager.blnClearArchiveFlag());
    EXPECT_EQ(objManager.lngClearArchiveFlagDays(), 0);
    EXPECT_FALSE(objManager.blnUseDateTimeSubFolder());
    EXPECT_TRUE(objManager.blnIncludeMiscDrives());
    EXPECT_TRUE(objManager.blnRestoreReplace());
}

TEST(BackupManagerEvents, EveryListenerSeesEventsInConnectionOrderAndNoneAfterwards) {
    BackupManager objManager;
    std::vector<std::string> log;
    RecordingListener a("a"), b("b");
    a.mpLog = b.mpLog = &log;
    {
        BackupManager::EventConnection ca(objManager, a);
        BackupManager::EventConnection cb(objManager, b);
        objManager.SetProgressFolder("C:\\Data");
        objManager.SetProgressFile("a.txt");
        a.mblnAnswerStop = true;
        // b sees the stop that a left in the shared argument.
        EXPECT_TRUE(objManager.blnProgressStop());
        EXPECT_TRUE(objManager.blnOutOfSpace());
    }
    // Both disconnected: nobody hears an event and the polls answer false.
    objManager.SetProgressFile("after");
    EXPECT_FALSE(objManager.blnProgressStop());
    EXPECT_FALSE(objManager.blnOutOfSpace());
    EXPECT_EQ(log, (std::vector<std::string>{"a: Folder C:\\Data", "b: Folder C:\\Data",
                                             "a: File a.txt", "b: File a.txt", "a: Stop? 0",
                                             "b: Stop? 1", "a: OutOfSpace 0", "b: OutOfSpace 1"}));
}

TEST(BackupManagerEvents, ListenerThatDisconnectsAnotherMidEvent) {
    BackupManager objManager;
    std::vector<std::string> log;
    RecordingListener b("b");
    b.mpLog = &log;
    struct Remover : BackupManagerEvents {
        BackupManager* m;
        BackupManagerEvents* victim;
        void SetProgressFile(std::string&) override { m->Disconnect(*victim); }
    } remover;
    remover.m = &objManager;
    remover.victim = &b;
    BackupManager::EventConnection c1(objManager, remover);
    BackupManager::EventConnection c2(objManager, b);
    objManager.SetProgressFile("x");
    EXPECT_TRUE(log.empty());
}

TEST(BackupManagerErrorLog, TextsAtOneTwentyFiveAndTwentySixAndTheCountsRange) {
    BackupManager objManager;
    EXPECT_EQ(objManager.strGetErrorLog(), "");
    const std::string strExpl = objManager.strErrorExplanation();
    EXPECT_EQ(strExpl.substr(0, 60),
              "The only files affected were those specifically mentioned, t");
    EXPECT_NE(strExpl.find("successfully.\r\n\r\nThere are many"), std::string::npos);
    EXPECT_EQ(strExpl.substr(strExpl.size() - 40), "perly installed software for your CD-RW.");

    // Up to 25 messages are all listed; past that the first 25.
    std::string strKept;
    for (int i = 1; i <= 26; ++i) {
        const std::string strMessage = "m" + std::to_string(i);
        objManager.AppendErrorLog(strMessage);
        if (i <= 25) strKept += (i == 1 ? "" : "\r\n\r\n") + strMessage;
        if (i != 1 && i != 25) continue;
        EXPECT_EQ(objManager.strGetErrorLog(),
                  "A total of " + std::to_string(i) +
                      " errors were encountered, all of which are listed below:\r\n\r\n" + strKept +
                      "\r\n\r\n" + strExpl);
    }
    EXPECT_EQ(objManager.intErrorCount(), 26);
    EXPECT_EQ(objManager.strGetErrorLog(),
              "A total of 26 errors were encountered, the first 25 of which are listed "
              "below:\r\n\r\n" +
                  strKept + "\r\n\r\n" + strExpl);

    objManager.ClearErrorLog();
    EXPECT_EQ(objManager.strGetErrorLog(), "");
    EXPECT_EQ(objManager.intErrorCount(), 0);

    // The count stops at the top of its range.
    for (int i = 0; i < 32767 + 10; ++i) objManager.AppendErrorLog("x");
    EXPECT_EQ(objManager.intErrorCount(), 32767);
    EXPECT_EQ(objManager.strGetErrorLog().rfind(
                  "A total of 32767 errors were encountered, the first 25", 0),
              0u);
}

TEST(CalendarDays, CountsDayBoundariesNotHours) {
    EXPECT_EQ(lngCalendarDays(LocalTime(2026, 12, 4, 23, 59), LocalTime(2026, 12, 5, 0, 1)), 1);
    EXPECT_EQ(lngCalendarDays(LocalTime(2026, 12, 5, 0, 1), LocalTime(2026, 12, 5, 23, 59)), 0);
    EXPECT_EQ(lngCalendarDays(LocalTime(2026, 12, 5, 23, 59), LocalTime(2026, 12, 5, 0, 1)), 0);
    EXPECT_EQ(lngCalendarDays(LocalTime(2026, 12, 6, 0, 0), LocalTime(2026, 12, 5, 23, 0)), -1);
    EXPECT_EQ(lngCalendarDays(LocalTime(2024, 2, 28, 12, 0), LocalTime(2024, 3, 1, 12, 0)), 2);
    EXPECT_EQ(lngCalendarDays(LocalTime(2026, 12, 31, 22, 0), LocalTime(2027, 1, 1, 1, 0)), 1);
}
