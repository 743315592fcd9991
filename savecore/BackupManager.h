// The engine's main class: one per program. It holds the file-system object,
// the list of drives that take part, the run modes, the run state, the error
// log of the current run, and raises the progress events.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "BackupConstants.h"
#include "BackupManagerEvents.h"
#include "DriveProcessor.h"
#include "SaveCoreExport.h"
#include "platform/fs/FileSystem.h"

namespace savecore {

using Date = std::chrono::system_clock::time_point;
using DriveProcList = std::vector<std::shared_ptr<DriveProcessor>>;
using FolderList = std::vector<platform::fs::FolderPtr>;

// A whole number with the locale's thousands separators ("0,0").
SAVECORE_API std::string strGrouped(double dblValue);

class SAVECORE_API BackupManager {
  public:
    BackupManager();
    ~BackupManager();
    BackupManager(const BackupManager&) = delete;
    BackupManager& operator=(const BackupManager&) = delete;

    // Connects a listener for the lifetime of this object; several may be
    // connected at once, and each sees what the one before left in a
    // by-reference argument.
    class SAVECORE_API EventConnection {
      public:
        EventConnection(BackupManager& objManager, BackupManagerEvents& objListener);
        ~EventConnection();
        EventConnection(const EventConnection&) = delete;
        EventConnection& operator=(const EventConnection&) = delete;

      private:
        BackupManager& mobjManager;
        BackupManagerEvents& mobjListener;
    };
    void Connect(BackupManagerEvents& objListener);
    void Disconnect(BackupManagerEvents& objListener);

    // State and drive list
    const std::shared_ptr<platform::fs::FileSystem>& objFileSys() const { return mobjFileSys; }
    const std::string& strSetName() const { return mstrSetName; }
    void strSetName(const std::string& strValue) { mstrSetName = strValue; }
    const std::string& strDest() const { return mstrDest; }
    bool blnSpaceOnly() const { return mblnSpaceOnly; }
    bool blnIncludeMiscDrives() const { return mblnIncludeMiscDrives; }
    void blnIncludeMiscDrives(bool blnValue) { mblnIncludeMiscDrives = blnValue; }
    const std::optional<DriveProcList>& colDriveProcs() const { return mcolDriveProcs; }
    std::string strSetNameExt() const { return ".BDF"; }
    const std::optional<FolderList>& colDefFolders() const { return mcolDefFolders; }
    // A folder whose instruction file the current run loaded, in walk order.
    void AddDefFolder(platform::fs::FolderPtr objFolder);

    void Init(std::shared_ptr<platform::fs::FileSystem> objFileSys_);
    void WriteDeleteSucceeded() { mblnWriteDeleteSucceeded = true; }
    bool blnWriteDeleteSucceeded() const { return mblnWriteDeleteSucceeded; }
    void Shutdown();

    // Progress
    void SetProgressFolder(const std::string& strText);
    void SetProgressFile(const std::string& strText);
    bool blnProgressStop();
    bool blnOutOfSpace();

    void LoadDrives();

    // Runs: a backup (or a space-only walk) of every drive of a type, the
    // space of one drive or one folder, and deleting a type. Each returns
    // true when it was stopped.
    bool blnProcess(const std::string& strSetName_, const std::string& strDest_,
                    bool blnSpaceOnly_);
    bool blnDriveSpace(const std::string& strSetName_, DriveProcessor& objProc);
    bool blnFolderSpace(const std::string& strSetName_, DriveProcessor& objProc,
                        const platform::fs::FolderPtr& objFolder, bool blnIncludeDefault);
    bool blnDeleteType(const std::string& strSetName_);

    // Destination preparation and space
    bool blnClean();
    bool blnDestFull(double dblFileSize);
    void GetDestStats(double& dblAvailable, double& dblFree, double& dblTotal);
    // Called once per file the run takes (copied, or counted in a
    // space-only run), so that a progress window can follow the run.
    void UseSpace(double dblSpace) {
        mdblSpaceUsed += dblSpace;
        ++mlngFilesUsed;
    }
    double dblSpaceUsed() const { return mdblSpaceUsed; }
    int64_t lngFilesUsed() const { return mlngFilesUsed; }
    std::string strSpaceUsed() const;
    // Puts everything written so far on the destination's medium, so that a
    // disc taken out holds all that the run reported as copied.
    void FlushDestination();
    // Holds the run's destination folder (or, while it is missing, the
    // folder above it that exists) for this run alone, and keeps every
    // write below it off symbolic links. True, after saying why, when
    // another run holds it. Released for a change of disc.
    bool blnClaimDestination();
    void ReleaseDestination() { mobjDestClaim.reset(); }
    // How many files the count of this selection, just before the next run,
    // found (-1: not counted). Used by that run alone.
    void lngCountedFiles(int64_t n) { mlngCountedFiles = n; }
    // True, after the person declined, when a full backup whose count found
    // lngCounted files selects none but would empty a destination that
    // holds a previous backup.
    bool blnEmptySelectionRefused(int64_t lngCounted);
    // The destination's medium may have been changed or emptied since the
    // layer last looked: at the start of a run and at every new disc.
    void ForgetDestinationMedium();

    // Run modes
    bool blnIncrementalMode() const { return mblnIncrementalMode; }
    void blnIncrementalMode(bool b) { mblnIncrementalMode = b; }
    int32_t lngDaysSinceLastMod() const { return mlngDaysSinceLastMod; }
    void lngDaysSinceLastMod(int32_t n) { mlngDaysSinceLastMod = n; }
    bool blnIncludeArchiveFlag() const { return mblnIncludeArchiveFlag; }
    void blnIncludeArchiveFlag(bool b) { mblnIncludeArchiveFlag = b; }
    bool blnClearArchiveFlag() const { return mblnClearArchiveFlag; }
    void blnClearArchiveFlag(bool b) { mblnClearArchiveFlag = b; }
    int32_t lngClearArchiveFlagDays() const { return mlngClearArchiveFlagDays; }
    void lngClearArchiveFlagDays(int32_t n) { mlngClearArchiveFlagDays = n; }
    bool blnUseDateTimeSubFolder() const { return mblnUseDateTimeSubFolder; }
    void blnUseDateTimeSubFolder(bool b) { mblnUseDateTimeSubFolder = b; }
    void InitBackupMode();
    Date datStartTime() const { return mdatStartTime; }

    // Selection filters of the run modes
    bool blnFilterModDate(const platform::fs::File& objFile) const;
    bool blnFilterArchive(const platform::fs::File& objFile) const;

    bool blnIncludeDrive(const platform::fs::Drive& objDrive) const;
    // Whether the walk has reached the run's destination folder, under any
    // of the paths the drives of the run give it (strFolderPath as
    // Folder::Path spells it).
    bool blnIsRunDestination(const std::string& strFolderPath) const;
    std::string strAddSlash(const std::string& strPath) const;

    // Error log
    std::string strErrorExplanation() const;
    std::string strGetErrorLog() const;
    void ClearErrorLog();
    void AppendErrorLog(const std::string& strMsg);
    int16_t intErrorCount() const { return mintErrorCount; }

    // Restore: copies back every file of a backed-up folder (and of its
    // subfolders), or the named files of one; true = stopped.
    bool blnRestoreFolder(std::string strSrc, std::string strDst, bool blnRestoreSubFolders);
    bool blnRestoreListOfFiles(std::string strSrc, std::string strDst,
                               std::vector<std::string> colFiles);
    bool blnRestoreReplace() const { return mblnRestoreReplace; }
    void blnRestoreReplace(bool b) { mblnRestoreReplace = b; }

    // The clock a run reads its start time from; tests set their own.
    void SetClock(std::function<Date()> fnClock);

  private:
    friend class BackupManagerTestAccess;

    void StartRun(const std::string& strSetName_, bool blnSpaceOnly_);
    void SetRunDestination(const std::string& strDest_);
    // Refuses (after its message) a destination that would erase a drive
    // the type takes files from; true = refused.
    bool blnRefuseDestination(const std::string& strFolder);
    // The drives whose root holds the type's instruction file.
    std::vector<platform::fs::DrivePtr> colTakenDrives() const;
    // Finds every path under which the walk meets strDest, once per run.
    void NoteDestinationPaths();
    // True (after a message box) when a root instruction file is damaged or
    // unreadable, or no drive has one: the backup would stop part-way or
    // copy nothing, after erasing the previous one.
    bool blnRootsRefused();
    // StartProgress, the body, EndProgress exactly once on every path; a
    // failure is passed on under strRoutine.
    bool blnRunWithProgress(int32_t lngProgressMode, const char* pszRoutine,
                            const std::function<bool()>& fnBody);

    // The claim of blnClaimDestination on strFolder itself, into objClaim.
    bool blnClaimFolder(const std::string& strFolder,
                        std::unique_ptr<platform::fs::FolderClaim>& objClaim);
    bool blnClaimTarget(const std::string& strDst,
                        std::unique_ptr<platform::fs::FolderClaim>& objClaim);
    bool blnRestoreOneFolder(const std::string& strSrc, const std::string& strDst,
                             bool blnRestoreSubFolders);
    bool blnRestoreSubFolder(const platform::fs::Folder& objSub, const std::string& strSubDst);
    // One target folder of a restore with replace on, when it could be
    // listed: the files it held, by their own names and by their names
    // upper-cased; the upper-cased names the restore has written there
    // since; and the names of the files the restore brings to it.
    struct TargetNames {
        bool blnKnown = false;
        std::unordered_map<std::string, platform::fs::FilePtr> colListed;
        std::unordered_multimap<std::string, std::string> colBefore;
        std::unordered_set<std::string> colWritten;
        std::unordered_set<std::string> colSources;
        // The file strName (upper-cased strFolded) is new here and is to be
        // copied under its own name.
        bool blnNew(const std::string& strName, const std::string& strFolded) const;
    };
    TargetNames objTargetNames(const std::string& strDst,
                               const std::vector<std::string>& colSources) const;
    bool blnRestoreFile(platform::fs::File& objFile, const std::string& strDst,
                        TargetNames& objNames);
    bool blnCopiedAsNew(platform::fs::File& objFile, const std::string& strTarget);
    // objOld: the file of the target folder's listing of that name, if any.
    void ReplaceFile(platform::fs::File& objFile, const std::string& strTarget,
                     platform::fs::FilePtr objOld);
    void InsurePathExists(const std::string& strPath);
    // The folder it made; none when there was one.
    platform::fs::FolderPtr MakeFolderIfMissing(const std::string& strFolder);

    bool blnCleanFolder(const platform::fs::FolderPtr& objFolder, bool blnSub, bool& blnErr);
    bool blnCleanDeleteAllFiles(const platform::fs::Folder& objFolder, bool blnDeleteEach,
                                bool& blnErr);
    void RemoveProtectAttributes(platform::fs::File& objFile);
    void DeleteOneFile(platform::fs::File& objFile, bool& blnErr);
    void DeleteOneFolder(platform::fs::Folder& objFolder, bool& blnErr);
    std::string strFileDescription(const platform::fs::File& objFile) const;
    void RaiseStartProgress(int32_t lngProgressMode);
    void RaiseEndProgress();
    Date Now() const;

    std::shared_ptr<platform::fs::FileSystem> mobjFileSys;
    std::string mstrSetName;
    std::string mstrDest;
    std::string mstrDestBase;  // strDest without the dated folder
    std::unique_ptr<platform::fs::FolderClaim> mobjDestClaim;
    std::vector<std::string> mastrDestPaths;  // upper case, each ending in a backslash
    bool mblnSpaceOnly = false;
    double mdblSpaceUsed = 0;
    int64_t mlngFilesUsed = 0;
    int64_t mlngCountedFiles = -1;
    Date mdatStartTime{};
    bool mblnIncrementalMode = false;
    int32_t mlngDaysSinceLastMod = 0;
    bool mblnIncludeArchiveFlag = false;
    bool mblnClearArchiveFlag = false;
    int32_t mlngClearArchiveFlagDays = 0;
    bool mblnUseDateTimeSubFolder = false;
    bool mblnIncludeMiscDrives = false;
    std::optional<DriveProcList> mcolDriveProcs;
    std::optional<FolderList> mcolDefFolders;
    bool mblnRestoreReplace = false;
    bool mblnWriteDeleteSucceeded = false;
    std::string mstrErrorLog;
    int16_t mintErrorCount = 0;

    std::vector<BackupManagerEvents*> mcolListeners;
    std::function<Date()> mfnClock;
};

// The name of a dated backup folder: "ddmmmyyyy_hh$mmAM/PM" in local time,
// e.g. 05Dec2026_02$47PM.
SAVECORE_API std::string strDateTimeFolderName(Date dat);

// Calendar days from datFrom to datTo in local time: the difference of the
// two dates' day numbers, whatever the time of day.
SAVECORE_API int32_t lngCalendarDays(Date datFrom, Date datTo);

}  // namespace savecore
