// Preparing the destination of a run: the drive must be ready, a dated
// subfolder is made when one is used, a previous backup is not emptied for a
// selection of nothing unasked, and everything inside the run's folder is
// deleted. The cleaning runs again on every new disc.
#include "BackupManager.h"
#include "SaveCoreErrors.h"
#include "platform/fs/LocaleText.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"

namespace savecore {

namespace pfs = platform::fs;
namespace ui = platform::ui;

namespace {
const ClassErrors kErrors("BackupManager");
const char kQuote = '"';
const char* const kDeletingText = "Deleting old backup files...";

// The run's folder as the file system names it: without its final
// backslash, except at a drive's root (E:\).
std::string strFolderOf(const std::string& strDest) {
    std::string strFolder = strDest;
    if (strFolder.size() > 3 && strFolder.back() == '\\') strFolder.pop_back();
    return strFolder;
}
}  // namespace

bool BackupManager::blnClean() {
    const std::string strFolder = strFolderOf(mstrDest);
    try {
        const auto objDrive = mobjFileSys->GetDrive(mstrDest.substr(0, 2));
        if (!objDrive->IsReady()) {
            ui::Ui().MsgBox("Drive letter backup is being saved to is not ready.",
                            ui::vbCritical + ui::vbOKOnly, gstrMSGBOX_TITLE);
            return true;
        }
        if (mblnUseDateTimeSubFolder && mobjFileSys->Dir(strFolder, pfs::vbDirectory).empty()) {
            try {
                mobjFileSys->CreateFolder(strFolder);
            } catch (...) {
                AppendErrorLog(std::string("The following error occurred trying to create ") +
                               "folder " + kQuote + strFolder + kQuote +
                               " to save the backup in: " + platform::CurrentErr().Description);
                return true;
            }
        }
        bool blnStopped = false;
        if (mobjFileSys->FolderExists(strFolder)) {
            bool blnErrors = false;
            blnStopped = blnCleanFolder(mobjFileSys->GetFolder(strFolder), false, blnErrors);
        }
        if (!strGetErrorLog().empty()) {
            AppendErrorLog(std::string("The above errors occurred while attempting ") +
                           "to delete all files and folders from the backup " +
                           "destination. The software deleted as many files and " +
                           "folders as possible, and will now attempt to make a " +
                           "backup anyway. Some errors may occur after this point " +
                           "because of files and folders which were not able to be " +
                           "deleted, but only those files mentioned in those errors " +
                           "were affected.");
        }
        return blnStopped;
    } catch (...) {
        kErrors.NestedError("blnClean(" + strFolder + ")");
    }
}

bool BackupManager::blnEmptySelectionRefused(int64_t lngCounted) {
    // An emptied or damaged instruction file makes a full backup select
    // nothing; emptying the previous backup then would lose the only copy
    // of files since deleted at the source. An incremental run that finds
    // nothing changed is ordinary, and a dated run empties nothing.
    if (lngCounted != 0 || mblnUseDateTimeSubFolder || mblnIncrementalMode) return false;
    const std::string strFolder = strFolderOf(mstrDest);
    try {
        if (!mobjFileSys->FolderExists(strFolder)) return false;
        const auto objListing = mobjFileSys->GetFolder(strFolder)->Listing();
        if (objListing->Files().empty() && objListing->SubFolders().empty()) return false;
    } catch (...) {
        return false;  // the cleaning reports a destination it cannot read
    }
    return ui::Ui().MsgBox("Backup type \"" + mstrSetName +
                               "\" selects no files. Making it would only erase the backup "
                               "now at \"" +
                               mstrDest + "\". Erase that backup anyway?",
                           ui::vbExclamation + ui::vbYesNo + ui::vbDefaultButton2,
                           "Confirm Erase") != ui::vbYes;
}

bool BackupManager::blnCleanFolder(const pfs::FolderPtr& objFolder, bool blnSub, bool& blnErr) {
    std::string strName;
    try {
        strName = objFolder->Name();
        blnErr = false;
        if (blnProgressStop()) return true;
        for (const auto& objSub : objFolder->SubFolders()) {
            bool blnChildErr = false;
            const bool blnStopped = blnCleanFolder(objSub, true, blnChildErr);
            if (blnChildErr) blnErr = true;
            if (blnStopped) return true;
        }
        SetProgressFolder(objFolder->Path());
        SetProgressFile(kDeletingText);
        if (blnCleanDeleteAllFiles(*objFolder, !blnSub, blnErr)) return true;
        if (blnSub && !blnErr) DeleteOneFolder(*objFolder, blnErr);
        return false;
    } catch (...) {
        kErrors.NestedError("blnCleanFolder(" + strName + ")");
    }
}

bool BackupManager::blnCleanDeleteAllFiles(const pfs::Folder& objFolder, bool blnDeleteEach,
                                           bool& blnErr) {
    try {
        for (const auto& objFile : objFolder.Files()) {
            if (blnProgressStop()) return true;
            // A link's attributes are those of what it points to, which
            // is not the destination's to change.
            if (!objFile->IsLink()) RemoveProtectAttributes(*objFile);
            if (blnErr || blnDeleteEach) DeleteOneFile(*objFile, blnErr);
        }
        // Links to folders, FIFOs and sockets: a backup never writes
        // through them, and an empty destination has none.
        for (const auto& objOther : objFolder.OtherEntries()) {
            if (blnProgressStop()) return true;
            if (blnErr || blnDeleteEach) DeleteOneFile(*objOther, blnErr);
        }
        return false;
    } catch (...) {
        kErrors.NestedError("blnCleanDeleteAllFiles");
    }
}

void BackupManager::RemoveProtectAttributes(pfs::File& objFile) {
    try {
        if (objFile.Attributes() & (pfs::vbReadOnly | pfs::vbHidden | pfs::vbSystem))
            objFile.SetAttributes(pfs::vbNormal);
    } catch (...) {
        const std::string strDescription = platform::CurrentErr().Description;
        AppendErrorLog(std::string("The following error occurred while trying ") +
                       "to remove ReadOnly, System and/or Hidden attributes from file " +
                       strFileDescription(objFile) + ": " + kQuote + strDescription + kQuote);
    }
}

void BackupManager::DeleteOneFile(pfs::File& objFile, bool& blnErr) {
    try {
        objFile.Delete(false);
        WriteDeleteSucceeded();
    } catch (...) {
        const std::string strDescription = platform::CurrentErr().Description;
        blnErr = true;
        AppendErrorLog(std::string("The following error occurred while trying ") +
                       "to delete file " + strFileDescription(objFile) + ": " + kQuote +
                       strDescription + kQuote);
    }
}

void BackupManager::DeleteOneFolder(pfs::Folder& objFolder, bool& blnErr) {
    try {
        objFolder.Delete(false);
        WriteDeleteSucceeded();
        return;
    } catch (...) {
    }
    try {
        blnCleanDeleteAllFiles(objFolder, true, blnErr);
        objFolder.Delete(false);
        WriteDeleteSucceeded();
    } catch (...) {
        const std::string strDescription = platform::CurrentErr().Description;
        blnErr = true;
        AppendErrorLog(std::string("The following error occurred while trying ") +
                       "to delete folder " + kQuote + objFolder.Path() + kQuote + ": " + kQuote +
                       strDescription + kQuote);
    }
}

// Also describes a file that can no longer be read: what is known of it.
std::string BackupManager::strFileDescription(const pfs::File& objFile) const {
    std::string strAttrib;
    std::string strDate;
    try {
        const int32_t lngAttr = objFile.Attributes();
        if (lngAttr & pfs::vbSystem) strAttrib += "S";
        if (lngAttr & pfs::vbReadOnly) strAttrib += "R";
        if (lngAttr & pfs::vbHidden) strAttrib += "H";
        strDate = platform::strGeneralDate(objFile.DateLastModified());
    } catch (...) {
    }
    return kQuote + objFile.Path() + "<Attrib=" + strAttrib + " Mod=" + strDate + ">" + kQuote;
}

}  // namespace savecore
