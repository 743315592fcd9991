// The operations that walk the drives of a backup type: a backup (or a
// space-only walk) of every drive, the space of one drive or one folder,
// and deleting a type.
#include <algorithm>
#include <ctime>
#include <utility>

#include "BackupManager.h"
#include "DestinationGuard.h"
#include "SaveCoreErrors.h"
#include "TextCase.h"
#include "platform/fs/LocaleText.h"
#include "platform/fs/RtError.h"
#include "platform/fs/WinPath.h"
#include "platform/ui/UiServices.h"

namespace savecore {

namespace ui = platform::ui;

namespace {
const ClassErrors kErrors("BackupManager");
}  // namespace

std::string strDateTimeFolderName(Date dat) {
    const std::tm tmLocal = platform::tmLocalTime(dat);
    char achText[64];
    std::snprintf(achText, sizeof achText, "%02d%s%04d_%02d$%02d%s", tmLocal.tm_mday,
                  platform::strMonthAbbreviation(tmLocal.tm_mon + 1).c_str(),
                  tmLocal.tm_year + 1900, platform::intHour12(tmLocal), tmLocal.tm_min,
                  tmLocal.tm_hour < 12 ? "AM" : "PM");
    return achText;
}

void BackupManager::AddDefFolder(platform::fs::FolderPtr objFolder) {
    if (!mcolDefFolders) mcolDefFolders.emplace();
    mcolDefFolders->push_back(std::move(objFolder));
}

void BackupManager::SetRunDestination(const std::string& strDest_) {
    mstrDestBase = strDest_;
    if (!mblnSpaceOnly && mblnUseDateTimeSubFolder)
        mstrDest = strDest_ + strDateTimeFolderName(Now()) + "\\";
    else
        mstrDest = strDest_;
}

std::vector<platform::fs::DrivePtr> BackupManager::colTakenDrives() const {
    std::vector<platform::fs::DrivePtr> colDrives;
    if (!mcolDriveProcs) return colDrives;
    for (const auto& objProc : *mcolDriveProcs) {
        const auto& objDrive = objProc->objDrive();
        if (objDrive &&
            mobjFileSys->FileExists(objDrive->Path() + "\\" + mstrSetName + strSetNameExt()))
            colDrives.push_back(objDrive);
    }
    return colDrives;
}

bool BackupManager::blnRefuseDestination(const std::string& strFolder) {
    const std::string strDrive =
        DestinationGuard::strHeldDrive(*mobjFileSys, strFolder, colTakenDrives());
    if (strDrive.empty()) return false;
    platform::ui::Ui().MsgBox(DestinationGuard::strRefusal(strFolder, strDrive),
                              platform::ui::vbCritical + platform::ui::vbOKOnly, gstrMSGBOX_TITLE);
    return true;
}

// The walk tests every folder against these, so the file system is asked
// once per run instead of once per folder. Links to folders are never
// walked: the drive letters are the only other ways in.
void BackupManager::NoteDestinationPaths() {
    mastrDestPaths.clear();
    if (mstrDest.empty()) return;
    mastrDestPaths.push_back(strUCase(mstrDest));
    if (!mobjFileSys) return;
    for (const std::string& strPath : mobjFileSys->FolderPaths(mstrDest)) {
        const std::string strUpper = strUCase(strAddSlash(strPath));
        if (std::find(mastrDestPaths.begin(), mastrDestPaths.end(), strUpper) ==
            mastrDestPaths.end())
            mastrDestPaths.push_back(strUpper);
    }
}

bool BackupManager::blnIsRunDestination(const std::string& strFolderPath) const {
    if (mastrDestPaths.empty()) return false;
    const std::string strUpper = strUCase(strFolderPath + "\\");
    return std::find(mastrDestPaths.begin(), mastrDestPaths.end(), strUpper) !=
           mastrDestPaths.end();
}

bool BackupManager::blnRootsRefused() {
    bool blnAnyTakesPart = false;
    if (mcolDriveProcs) {
        for (const auto& objProc : *mcolDriveProcs) {
            bool blnTakesPart = false;
            if (objProc->blnCheckRoot(blnTakesPart)) return true;
            blnAnyTakesPart = blnAnyTakesPart || blnTakesPart;
        }
    }
    if (blnAnyTakesPart) return false;
    platform::ui::Ui().MsgBox(
        "No drive that is ready has instructions for backup type \"" + mstrSetName + "\" (" +
            mstrSetName + strSetNameExt() +
            " in its root folder), so the backup would copy nothing. The destination was left "
            "as it is.",
        platform::ui::vbCritical + platform::ui::vbOKOnly, gstrMSGBOX_TITLE);
    return true;
}

bool BackupManager::blnRunWithProgress(int32_t lngProgressMode, const char* pszRoutine,
                                       const std::function<bool()>& fnBody) {
    bool blnEnded = false;
    try {
        RaiseStartProgress(lngProgressMode);
        const bool blnStopped = fnBody();
        blnEnded = true;
        RaiseEndProgress();
        return blnStopped;
    } catch (...) {
        SaveError();
        if (!blnEnded) {
            try {
                RaiseEndProgress();
            } catch (...) {
                // The first failure is the one reported.
            }
        }
        kErrors.NestedError(pszRoutine);
    }
}

// Everything the run reported as copied is on the medium before the user
// may take it out.
void BackupManager::FlushDestination() {
    try {
        mobjFileSys->FlushDrive(mstrDest.substr(0, 2));
    } catch (...) {
        AppendErrorLog(std::string("The following error occurred while writing the backup to ") +
                       "disc: \"" + platform::CurrentErr().Description + "\"");
    }
}

void BackupManager::ForgetDestinationMedium() {
    if (mstrDest.size() >= 2 && mstrDest[1] == ':')
        mobjFileSys->ForgetMedium(mstrDest.substr(0, 2));
}

bool BackupManager::blnProcess(const std::string& strSetName_, const std::string& strDest_,
                               bool blnSpaceOnly_) {
    StartRun(strSetName_, blnSpaceOnly_);
    // Every caller's spelling of a folder becomes one, so that the tests
    // below and the walk see the folder that will really be emptied.
    const std::string strDest = platform::fs::WinPath::CanonicalFolder(strDest_);
    SetRunDestination(strDest);
    if (!mblnSpaceOnly) ForgetDestinationMedium();
    // A count serves the run that follows it, whether or not that run gets
    // as far as asking about it.
    const int64_t lngCounted = mblnSpaceOnly ? -1 : std::exchange(mlngCountedFiles, -1);
    return blnRunWithProgress(
        blnSpaceOnly_ ? glngBACKUP_PROGRESS_CHECK : glngBACKUP_PROGRESS_BACKUP, "blnProcess", [&] {
            struct Release {
                BackupManager& objManager;
                ~Release() { objManager.ReleaseDestination(); }
            } objRelease{*this};
            // Nothing is emptied before the run is known to be able to go on.
            if (!mblnSpaceOnly &&
                (blnRefuseDestination(strDest) || blnRootsRefused() || blnClaimDestination() ||
                 blnEmptySelectionRefused(lngCounted) || blnClean()))
                return true;
            NoteDestinationPaths();
            bool blnStopped = false;
            if (mcolDriveProcs) {
                for (const auto& objProc : *mcolDriveProcs) {
                    blnStopped = objProc->blnProcess();
                    if (blnStopped) break;
                }
            }
            if (!mblnSpaceOnly) FlushDestination();
            return blnStopped;
        });
}

bool BackupManager::blnClaimDestination() {
    ReleaseDestination();
    // A destination still to be made is made below the folder that holds it.
    return blnClaimFolder(platform::fs::strNearestFolder(*mobjFileSys, mstrDestBase),
                          mobjDestClaim);
}

bool BackupManager::blnClaimFolder(const std::string& strFolder,
                                   std::unique_ptr<platform::fs::FolderClaim>& objClaim) {
    try {
        objClaim = mobjFileSys->ClaimFolder(strFolder);
        return false;
    } catch (const platform::RtError& e) {
        // A drive not ready or a folder missing is for the run to report.
        if (e.Number() != platform::rt::kFileAlreadyOpen) return false;
    }
    ui::Ui().MsgBox("Another backup or restore is writing to \"" + strFolder +
                        "\" at this moment. Wait until it has finished, then try again.",
                    ui::vbCritical + ui::vbOKOnly, gstrMSGBOX_TITLE);
    return true;
}

bool BackupManager::blnDriveSpace(const std::string& strSetName_, DriveProcessor& objProc) {
    StartRun(strSetName_, true);
    return blnRunWithProgress(glngBACKUP_PROGRESS_CHECK, "blnDriveSpace", [&] {
        NoteDestinationPaths();
        return objProc.blnProcess();
    });
}

bool BackupManager::blnFolderSpace(const std::string& strSetName_, DriveProcessor& objProc,
                                   const platform::fs::FolderPtr& objFolder,
                                   bool blnIncludeDefault) {
    StartRun(strSetName_, true);
    return blnRunWithProgress(glngBACKUP_PROGRESS_CHECK, "blnFolderSpace", [&] {
        NoteDestinationPaths();
        return objProc.blnFolderSpace(objFolder, blnIncludeDefault);
    });
}

bool BackupManager::blnDeleteType(const std::string& strSetName_) {
    mstrSetName = strSetName_;
    return blnRunWithProgress(glngBACKUP_PROGRESS_DELTYPE, "blnDeleteType", [&] {
        bool blnStopped = false;
        if (mcolDriveProcs) {
            for (const auto& objProc : *mcolDriveProcs) {
                blnStopped = objProc->blnDeleteType();
                if (blnStopped) break;
            }
        }
        return blnStopped;
    });
}

}  // namespace savecore
