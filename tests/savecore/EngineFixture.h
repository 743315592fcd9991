// Drives on temporary folders for runs, restores and instruction files: C:
// and D: are fixed drives, E: the backup medium (removable, optionally small
// or write-protected), optionally N: a network drive whose folder holds
// theirs, with the engine's error chain, scripted message boxes and a
// listener that records every event and can stop, or change the medium when
// the disc is full.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/fs/RtError.h"
#include "platform/ui/ScriptedUi.h"
#include "savecore/BackupManager.h"
#include "savecore/DefinitionFile.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace savecore::test {

// Relative path -> contents of every file below root.
inline std::map<std::string, std::string> FilesBelow(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files[std::filesystem::relative(e.path(), root).generic_string()] =
                twtest::ReadFile(e.path());
    return files;
}

// What the error chain recorded for a call that must fail through it.
struct EngineFailure {
    int32_t lngNumber = 0;
    std::string strDesc;
    std::vector<std::string> astrRoutines;
};

class RunListener : public BackupManagerEvents {
  public:
    void StartProgress(int32_t& lngMode) override { Log("Start " + std::to_string(lngMode)); }
    void EndProgress() override { Log("End"); }
    void SetProgressFolder(std::string& strText) override { Log("Folder " + strText); }
    void SetProgressFile(std::string& strText) override {
        Log("File " + strText);
        if (mfnOnFile) mfnOnFile(strText);
    }
    void blnProgressStop(bool& blnStop) override {
        if (mblnStopNow || ++mlngPolls == mlngStopAtPoll) blnStop = true;
    }
    void OutOfSpace(bool& blnStop) override {
        Log("OutOfSpace");
        ++mlngOutOfSpace;
        if (mfnOnOutOfSpace)
            blnStop = mfnOnOutOfSpace();
        else
            blnStop = true;
    }

    int Count(const std::string& strLine) const {
        int n = 0;
        for (const auto& s : maLog) n += s == strLine;
        return n;
    }

    std::vector<std::string> maLog;
    bool mblnStopNow = false;
    int mlngPolls = 0;
    int mlngStopAtPoll = 0;  // 0: never
    int mlngOutOfSpace = 0;
    std::function<bool()> mfnOnOutOfSpace;  // returns blnStop
    std::function<void(const std::string&)> mfnOnFile;

  private:
    void Log(const std::string& s) { maLog.push_back(s); }
};

class EngineFixture : public ::testing::Test {
  protected:
    EngineFixture() {
        tarnwick::SharedData objShared;
        if (!objShared.objErrorHandler())
            objShared.objErrorHandler(std::make_shared<tarnwick::ErrorHandler>());
        mobjHandler = objShared.objErrorHandler();
        mobjPreviousUi = platform::ui::InstallUi(mobjUi);
        std::filesystem::create_directories(Host('C'));
        std::filesystem::create_directories(Host('D'));
        std::filesystem::create_directories(Host('E') / "Backup");
    }
    ~EngineFixture() override {
        platform::ui::InstallUi(mobjPreviousUi);
        mobjHandler->ClearErrors();
    }

    // Builds the file system and the manager; call after setting the medium.
    void Start(std::optional<uint64_t> capacityE = std::nullopt, bool blnReadOnlyE = false) {
        namespace pfs = platform::fs;
        pfs::DriveTable objTable;
        objTable.drives = {{'C', Host('C'), pfs::kDriveFixed, "", "", std::nullopt, false},
                           {'D', Host('D'), pfs::kDriveFixed, "", "", std::nullopt, false},
                           {'E', Host('E'), pfs::kDriveRemovable, "", "", capacityE, blnReadOnlyE}};
        if (mblnNetworkN)
            objTable.drives.push_back(
                {'N', mobjRoot.path(), pfs::kDriveRemote, "", "", std::nullopt, false});
        mobjFileSys = platform::fs::FileSystem::Create(objTable);
        mobjManager.Init(mobjFileSys);
        mobjManager.LoadDrives();
        mobjManager.InitBackupMode();
    }

    std::filesystem::path Host(char chDrive) const { return mobjRoot / std::string(1, chDrive); }
    // An instruction file of type Weekly: lines joined with CR LF.
    void Instructions(char chDrive, const std::string& strRel,
                      const std::vector<std::string>& astrLines,
                      const std::string& strSet = "Weekly") {
        std::string strText = ";Backup type definition file\r\n";
        for (const auto& s : astrLines) strText += s + "\r\n";
        const auto dir = strRel.empty() ? Host(chDrive) : Host(chDrive) / strRel;
        twtest::WriteFile(dir / (strSet + ".BDF"), strText);
    }

    // Runs the backup with the listener connected.
    bool blnBackup(const std::string& strDest = "E:\\Backup\\", bool blnSpaceOnly = false) {
        BackupManager::EventConnection objConnection(mobjManager, mobjListener);
        return mobjManager.blnProcess("Weekly", strDest, blnSpaceOnly);
    }

    // The medium in drive E: is replaced by a new one (an empty folder, or
    // one with the given tree); the old one is kept for inspection.
    void SwapMedium(const std::string& strTree = "") {
        ++mlngMedia;
        const auto old = mobjRoot / ("E-old" + std::to_string(mlngMedia));
        std::filesystem::rename(Host('E'), old);
        std::filesystem::create_directories(Host('E'));
        twtest::BuildTree(Host('E'), strTree);
        maOldMedia.push_back(old);
    }

    // The instruction file of strSet in strWinFolder ("C:\\Data"), which must exist.
    DefinitionFile objDef(const std::string& strWinFolder, const std::string& strSet = "Weekly") {
        DefinitionFile objFile;
        objFile.Init(mobjManager, strSet, mobjFileSys->GetFolder(strWinFolder));
        return objFile;
    }
    // Runs fnCall, which must fail through the chain, and returns what the
    // chain recorded; the chain is emptied.
    template <class Fn>
    EngineFailure objFailureOf(Fn fnCall) {
        EngineFailure objFailure;
        try {
            fnCall();
            ADD_FAILURE() << "the call did not fail";
        } catch (const platform::RtError& e) {
            objFailure.lngNumber = e.Number();
        }
        objFailure.strDesc = mobjHandler->strErrorDesc();
        objFailure.astrRoutines = mobjHandler->astrRoutines();
        mobjHandler->ClearErrors();
        return objFailure;
    }

    // The folders whose instructions the last run read, in walk order or sorted.
    std::string DefFolders(bool blnSorted = false) const {
        std::vector<std::string> astrPaths;
        for (const auto& objFolder : *mobjManager.colDefFolders())
            astrPaths.push_back(objFolder->Path());
        if (blnSorted) std::sort(astrPaths.begin(), astrPaths.end());
        std::string s;
        for (const auto& strPath : astrPaths) s += strPath + "|";
        return s;
    }
    std::string ErrorLog() const { return mobjManager.strGetErrorLog(); }
    bool blnLogHas(const std::string& strPart) const {
        return ErrorLog().find(strPart) != std::string::npos;
    }

    bool mblnNetworkN = false;  // N:, a network drive whose folder holds C:'s, D:'s and E:'s
    std::shared_ptr<tarnwick::ErrorHandler> mobjHandler;
    twtest::TempDir mobjRoot;
    std::shared_ptr<platform::fs::FileSystem> mobjFileSys;
    BackupManager mobjManager;
    RunListener mobjListener;
    std::shared_ptr<platform::ui::ScriptedUi> mobjUi = std::make_shared<platform::ui::ScriptedUi>();
    std::shared_ptr<platform::ui::UiServices> mobjPreviousUi;
    int mlngMedia = 0;
    std::vector<std::filesystem::path> maOldMedia;
};

}  // namespace savecore::test
