#include "DriveProcessor.h"

#include <algorithm>

#include "BackupManager.h"
#include "DefinitionFile.h"
#include "SaveCoreErrors.h"
#include "TextCase.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ErrorHandler.h"

namespace savecore {

namespace pfs = platform::fs;
namespace ui = platform::ui;

namespace {

const ClassErrors kErrors("DriveProcessor");
const char kQuote = '"';
const char* const kCrLf = "\r\n";

// The file errors that concern one file or folder: logged, and the run goes
// on. Anything else is unexpected and ends the run with the error report.
bool blnExpectedFileError(int32_t lngErr) {
    switch (lngErr) {
        case platform::rt::kFileNotFound:
        case platform::rt::kFileAlreadyOpen:
        case platform::rt::kDeviceIO:
        case platform::rt::kFileAlreadyExists:
        case platform::rt::kDeviceUnavailable:
        case platform::rt::kPermissionDenied:
        case platform::rt::kDiskNotReady:
        case platform::rt::kPathFileAccess:
        case platform::rt::kPathNotFound:
            return true;
        default:
            return false;
    }
}

bool blnIsSystemFolderName(const std::string& strUpperName) {
    return strUpperName == "RECYCLER" || strUpperName == "RECYCLED" ||
           strUpperName == "SYSTEM VOLUME INFORMATION";
}

// Fails with a captured error inside a trap, so that the trap records it.
[[noreturn]] void Rethrow(int32_t lngErr, const std::string& strDescription) {
    throw platform::RtError(lngErr, strDescription);
}

// An instruction file that is there but could not be read.
std::string strReadError(const DefinitionFile& objDef) {
    return std::string("The following error occurred while trying to read instruction file ") +
           kQuote + objDef.strSetFileName() + kQuote + ": " + kQuote + objDef.strMessage() + kQuote;
}

bool blnIsPassThru(int32_t lngErr) {
    return lngErr == 50000;
}

// blnDestFull whose failure ("Unable to determine free space on device")
// arrives as the error itself rather than as a pass-through, so that the
// copy or folder creation that asked reports it like any other failure.
bool blnDestFullChecked(BackupManager& objMgr, double dblSize) {
    try {
        return objMgr.blnDestFull(dblSize);
    } catch (...) {
        const auto err = platform::CurrentErr();
        if (!blnIsPassThru(err.Number)) throw;
        const auto objHandler = EngineErrorHandler();
        throw platform::RtError(tarnwick::glngRAISED_ERROR,
                                objHandler ? objHandler->strErrorDesc() : err.Description);
    }
}

}  // namespace

DriveProcessor::DriveProcessor() {
    EngineStart();
}

void DriveProcessor::Init(BackupManager& objManager_, pfs::DrivePtr objDrive_) {
    mobjManager = &objManager_;
    mobjDrive = std::move(objDrive_);
}

BackupManager& DriveProcessor::Manager() const {
    if (!mobjManager || !mobjDrive) throw platform::RtError(platform::rt::kObjectNotSet);
    return *mobjManager;
}

void DriveProcessor::InitLevels() {
    mastrLevelPath.assign(1, std::string());
    mablnLevelMade.assign(1, false);
    mcolLevelFolder.assign(1, nullptr);
}

bool DriveProcessor::blnDriveReady() {
    Manager().SetProgressFolder("Checking if drive " + mobjDrive->DriveLetter() + ":" +
                                " is ready...");
    ui::BusyCursor objBusy;
    return mobjDrive->IsReady();
}

bool DriveProcessor::blnProcess() {
    try {
        if (!blnDriveReady()) return false;
        InitLevels();
        return blnProcessFolder(mobjDrive->RootFolder(), false, 0);
    } catch (...) {
        kErrors.NestedError("blnProcess(" + (mobjDrive ? mobjDrive->DriveLetter() : "") + ":)");
    }
}

bool DriveProcessor::blnCheckRoot(bool& blnTakesPart) {
    try {
        BackupManager& objMgr = Manager();
        blnTakesPart = false;
        {
            ui::BusyCursor objBusy;
            if (!mobjDrive->IsReady()) return false;
        }
        DefinitionFile objDef;
        objDef.Init(objMgr, objMgr.strSetName(), mobjDrive->RootFolder());
        if (!objDef.blnLoad()) {
            blnTakesPart = true;
            return false;
        }
        if (objDef.blnFileNotFound() && !objDef.blnFileUnreadable()) return false;
        // The box the walk would show, before anything is erased.
        ui::Ui().MsgBox(objDef.blnFileUnreadable() ? strReadError(objDef) : objDef.strMessage(),
                        ui::vbOKOnly, gstrMSGBOX_TITLE);
        return true;
    } catch (...) {
        kErrors.NestedError("blnCheckRoot(" + (mobjDrive ? mobjDrive->DriveLetter() : "") + ":)");
    }
}

bool DriveProcessor::blnFolderSpace(const pfs::FolderPtr& objFolder, bool blnIncludeDefault) {
    try {
        const std::string strPath = objFolder->Path();
        int16_t intDepth = 0;
        if (strPath.size() >= 4)
            intDepth = static_cast<int16_t>(std::count(strPath.begin() + 2, strPath.end(), '\\'));
        InitLevels();
        return blnProcessFolder(objFolder, blnIncludeDefault, intDepth);
    } catch (...) {
        kErrors.NestedError("blnFolderSpace");
    }
}

bool DriveProcessor::blnProcessFolder(const pfs::FolderPtr& objFolder, bool blnIncludeDefault,
                                      int16_t intLevel) {
    std::string strName;
    try {
        BackupManager& objMgr = Manager();
        strName = objFolder->Name();
        const std::string strUpperName = strUCase(strName);
        const std::string strPath = objFolder->Path();

        objMgr.SetProgressFolder(strPath);
        if (objMgr.blnProgressStop()) return true;
        if (objMgr.blnIsRunDestination(strPath)) return false;
        if (intLevel == 1 && blnIsSystemFolderName(strUpperName)) return false;

        // Read once for the instructions, the subfolders and the files.
        const std::unique_ptr<pfs::FolderListing> objListing = objFolder->Listing();
        DefinitionFile objDef;
        objDef.Init(objMgr, objMgr.strSetName(), objFolder);
        const bool blnLoaded = !objDef.blnLoad(*objListing);
        if (blnLoaded) {
            objMgr.AddDefFolder(objFolder);
            if (objDef.blnSkipFamily()) return false;
            if (objDef.blnSuppressFolder()) return false;
        } else if (objDef.blnFileUnreadable()) {
            // Instructions nobody can read may be the ones that keep this
            // folder private: it is left out, with all below it, and said.
            objMgr.AppendErrorLog(strReadError(objDef));
            return false;
        } else if (!objDef.blnFileNotFound()) {
            ui::Ui().MsgBox(objDef.strMessage(), ui::vbOKOnly, gstrMSGBOX_TITLE);
            return true;
        }

        const int16_t intNext = static_cast<int16_t>(intLevel + 1);
        mastrLevelPath.resize(intNext);
        mablnLevelMade.resize(intNext);
        mcolLevelFolder.resize(intNext);
        std::string& strLevelPath = mastrLevelPath[intNext - 1];
        strLevelPath = mobjDrive->DriveLetter() + "$";
        if (intLevel > 0) strLevelPath.append("\\").append(strPath, 3);
        mablnLevelMade[intNext - 1] = false;

        bool blnInclude = blnIncludeDefault;
        if (blnLoaded) {
            if (objDef.blnExcludeFamily()) blnInclude = false;
            if (objDef.blnIncludeFamily()) blnInclude = true;
        } else if (intNext == 1) {
            return false;  // a drive root without instructions: not in the type
        }

        std::vector<pfs::FolderPtr> colSubFolders;
        try {
            colSubFolders = objListing->SubFolders();
        } catch (...) {
            objMgr.AppendErrorLog(std::string("The following error occurred while trying ") +
                                  "to determine the subfolders of folder " + kQuote + strPath +
                                  kQuote + ": " + kQuote + platform::CurrentErr().Description +
                                  kQuote);
        }
        for (const auto& objSub : colSubFolders) {
            if (blnProcessFolder(objSub, blnInclude, intNext)) return true;
        }
        if (!colSubFolders.empty()) objMgr.SetProgressFolder(strPath);

        const bool blnStopped = !objDef.blnFilesImpossible(blnInclude) &&
                                blnProcessFiles(objFolder, *objListing, objDef, intNext, strPath);
        if (!blnStopped) FinishLevel(intNext, *objFolder);
        return blnStopped;
    } catch (...) {
        kErrors.NestedError("blnProcessFolder(" + (strName.empty() ? "\\" : strName) + ")");
    }
}

// The files of one folder that are selected: counted, and copied unless the
// run only computes space. The destination folders are made at the first.
bool DriveProcessor::blnProcessFiles(const pfs::FolderPtr& objFolder,
                                     const pfs::FolderListing& objListing,
                                     const DefinitionFile& objDef, int16_t intNext,
                                     const std::string& strPath) {
    BackupManager& objMgr = Manager();
    std::vector<pfs::FilePtr> colFiles;
    try {
        colFiles = objListing.Files();
    } catch (...) {
        objMgr.AppendErrorLog(std::string("The following error occurred while trying ") +
                              "to determine the files in folder " + kQuote + strPath + kQuote +
                              ": " + kQuote + platform::CurrentErr().Description + kQuote);
        return false;
    }

    const std::string strDestFolder = objMgr.strDest() + mastrLevelPath[intNext - 1] + "\\";
    bool blnPathMade = false;
    for (const auto& objFile : colFiles) {
        if (objDef.blnCheckFile(*objFile)) {
            if (!blnPathMade) {
                if (blnMakePath(intNext, false, objFolder)) return true;
                if (!mablnLevelMade[intNext - 1]) return false;
                blnPathMade = true;
            }
            const std::string strFileName = objFile->Name();
            objMgr.SetProgressFile(strFileName);
            double dblSize = 0;
            try {
                dblSize = static_cast<double>(objFile->Size());
            } catch (const platform::RtError& e) {
                // The file went away after the folder was listed: one file's
                // failure, logged like a failed copy.
                if (!blnExpectedFileError(e.Number())) throw;
                blnReportCopyError(
                    false, objFile->Path() + kQuote + " to " + kQuote + strDestFolder + strFileName,
                    e.Number(), e.Description());
                continue;
            }
            // A backup counts a file once it is copied (CopyFileCore): the
            // space it reports is what is on the discs.
            if (objMgr.blnSpaceOnly()) {
                objMgr.UseSpace(dblSize);
            } else {
                if (blnCopyFile(*objFile, strDestFolder + strFileName, intNext, objFolder, dblSize))
                    return true;
                if (!mablnLevelMade[intNext - 1]) return false;
            }
        }
        ui::Ui().DoEvents();
        if (objMgr.blnProgressStop()) return true;
    }
    return false;
}

bool DriveProcessor::blnMakePath(int16_t intLevel, bool blnRetry, const pfs::FolderPtr& objFolder) {
    std::string strFolder;
    int32_t lngErr = 0;
    std::string strDescription;
    BackupManager& objMgr = Manager();
    try {
        for (int16_t k = 1; k <= intLevel; ++k) {
            if (mablnLevelMade[k - 1]) continue;
            strFolder = objMgr.strDest() + mastrLevelPath[k - 1];
            auto& objFileSys = *objMgr.objFileSys();
            if (objMgr.blnSpaceOnly() || objFileSys.FolderExists(strFolder)) {
                // A link where a folder belongs would take the backup elsewhere.
                if (!objMgr.blnSpaceOnly() && objFileSys.LinkExists(strFolder))
                    Rethrow(platform::rt::kPathFileAccess, platform::rt::kLinkInTheWayText);
                mablnLevelMade[k - 1] = true;
                mcolLevelFolder[k - 1].reset();
                continue;
            }
            lngErr = 0;
            if (blnDestFullChecked(objMgr, 0)) {
                lngErr = platform::rt::kDiskFull;
                strDescription = platform::RtErrorText(lngErr);
            } else {
                try {
                    auto objMade = objFileSys.CreateFolder(strFolder);
                    // No more open than its source from the start; what
                    // cannot be made so is not filled.
                    objFileSys.CopyFolderStamp(*objSourceOfLevel(k, intLevel, objFolder), *objMade,
                                               true, false);
                    mcolLevelFolder[k - 1] = std::move(objMade);
                } catch (...) {
                    const auto err = platform::CurrentErr();
                    lngErr = err.Number;
                    strDescription = err.Description;
                }
            }
            if (lngErr == 0) {
                objMgr.WriteDeleteSucceeded();
                mablnLevelMade[k - 1] = true;
                continue;
            }
            if ((lngErr == platform::rt::kDiskFull || blnDestFullChecked(objMgr, 0)) && !blnRetry)
                return blnNewVolume(intLevel, objFolder);
            Rethrow(lngErr, strDescription);
        }
        return false;
    } catch (...) {
        const auto err = platform::CurrentErr();
        // Already recorded and reported further in (a new volume that failed).
        if (blnIsPassThru(err.Number)) kErrors.NestedError("blnMakePath(" + strFolder + ")");
        if (blnReportCopyError(true, strFolder, err.Number, err.Description)) {
            try {
                Rethrow(err.Number, err.Description);
            } catch (...) {
                kErrors.NestedError("blnMakePath(" + strFolder + ")");
            }
        }
        return false;
    }
}

// The source folder whose copy is level k, objFolder being at level intLevel.
pfs::FolderPtr DriveProcessor::objSourceOfLevel(int16_t k, int16_t intLevel,
                                                const pfs::FolderPtr& objFolder) {
    pfs::FolderPtr objSource = objFolder;
    for (int16_t i = intLevel; i > k; --i) objSource = objSource->ParentFolder();
    return objSource;
}

// A folder's copy is complete once its files and subfolders are: it gets the
// source's time now, as nothing more is written into it.
void DriveProcessor::FinishLevel(int16_t intLevel, const pfs::Folder& objFolder) {
    BackupManager& objMgr = Manager();
    if (objMgr.blnSpaceOnly() || !mablnLevelMade[intLevel - 1]) return;
    try {
        auto& objFileSys = *objMgr.objFileSys();
        // A folder this walk made has its bits since then.
        if (const auto& objMade = mcolLevelFolder[intLevel - 1])
            return objFileSys.CopyFolderStamp(objFolder, *objMade, false, true);
        objFileSys.CopyFolderStamp(
            objFolder, *objFileSys.GetFolder(objMgr.strDest() + mastrLevelPath[intLevel - 1]), true,
            true);
    } catch (...) {
        // Only the folder's time: everything in it is copied.
    }
}

bool DriveProcessor::blnCopyFile(pfs::File& objFile, const std::string& strTarget, int16_t intLevel,
                                 const pfs::FolderPtr& objFolder, double dblSize) {
    BackupManager& objMgr = Manager();
    const std::string strInfo = objFile.Path() + kQuote + " to " + kQuote + strTarget;
    platform::ErrObject err;
    try {
        CopyFileCore(objFile, strTarget, dblSize);
        return false;
    } catch (...) {
        err = platform::CurrentErr();
    }
    try {
        const bool blnFull = err.Number == platform::rt::kHresultDiskFull ||
                             err.Number == platform::rt::kDiskFull ||
                             blnDestFullChecked(objMgr, dblSize);
        if (blnFull) {
            if (blnNewVolume(intLevel, objFolder)) return true;
            objMgr.SetProgressFile(objFile.Name());
            try {
                CopyFileCore(objFile, strTarget, dblSize);
                return false;
            } catch (...) {
                err = platform::CurrentErr();
            }
        }
        if (blnReportCopyError(false, strInfo, err.Number, err.Description))
            Rethrow(err.Number, err.Description);
        return false;
    } catch (...) {
        kErrors.NestedError("blnCopyFile(" + strTarget + ")");
    }
}

void DriveProcessor::CopyFileCore(pfs::File& objFile, const std::string& strTarget,
                                  double dblSize) {
    BackupManager& objMgr = Manager();
    if (blnDestFullChecked(objMgr, dblSize)) throw platform::RtError(platform::rt::kDiskFull);
    objFile.Copy(strTarget, false);
    objMgr.WriteDeleteSucceeded();
    objMgr.UseSpace(dblSize);
    if (!objMgr.blnClearArchiveFlag()) return;
    try {
        pfs::File& objSource = objFile;
        const int32_t lngAttr = objSource.Attributes();
        if ((lngAttr & pfs::vbArchive) == 0) return;
        if (lngCalendarDays(objSource.DateLastModified(), objMgr.datStartTime()) >=
            objMgr.lngClearArchiveFlagDays())
            objSource.SetAttributes(lngAttr & (pfs::vbReadOnly | pfs::vbHidden | pfs::vbSystem));
    } catch (...) {
        // The copy is made; an archive flag that stays set only means the
        // file is taken again next time.
    }
}

bool DriveProcessor::blnReportCopyError(bool blnFolder, const std::string& strInfo, int32_t lngErr,
                                        const std::string& strDescription) {
    BackupManager& objMgr = Manager();
    const std::string strMsg = std::string("The following error occurred while ") +
                               (blnFolder ? "creating folder " : "copying file ") + kQuote +
                               strInfo + kQuote + " on the backup: " + kQuote + strDescription +
                               kQuote;
    objMgr.AppendErrorLog(strMsg);
    const bool blnUnexpected = !blnExpectedFileError(lngErr);
    if (blnUnexpected) {
        const std::string strText = strMsg + kCrLf + kCrLf + objMgr.strErrorExplanation() + kCrLf +
                                    kCrLf + "If you cannot determine the cause, write down " +
                                    "the EXACT diagnostic message which follows " +
                                    "and send it to Tarnwick Software " + "technical support. " +
                                    kCrLf + kCrLf + "You may also want to try " +
                                    (blnFolder ? "creating a folder on" : "copying a file to") +
                                    " the SAME backup disc using Windows Explorer. " +
                                    "If that doesn't work either, then the problem has " +
                                    "nothing to do with the backup software.";
        ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, gstrMSGBOX_TITLE);
    }
    return blnUnexpected;
}

bool DriveProcessor::blnNewVolume(int16_t intLevel, const pfs::FolderPtr& objFolder) {
    try {
        BackupManager& objMgr = Manager();
        objMgr.FlushDestination();
        objMgr.ReleaseDestination();  // a medium held open cannot be taken out
        const bool blnStop = objMgr.blnOutOfSpace();
        ui::Ui().DoEvents();
        if (blnStop) return true;
        objMgr.ForgetDestinationMedium();
        MakeDestinationOnNewDisc();
        if (objMgr.blnClaimDestination()) return true;
        const bool blnCleanStopped = objMgr.blnClean();
        objMgr.SetProgressFolder(objFolder->Path());
        if (blnCleanStopped) return true;
        std::fill(mablnLevelMade.begin(), mablnLevelMade.end(), false);
        return blnMakePath(intLevel, true, objFolder);
    } catch (...) {
        kErrors.NestedError("blnNewVolume");
    }
}

// A new disc is usually empty: without the run's destination folder on it
// every later folder creation would fail with path not found, and the rest
// of the backup would be lost. What cannot be made here is reported by the
// folder creations that follow.
void DriveProcessor::MakeDestinationOnNewDisc() {
    BackupManager& objMgr = Manager();
    auto& objFileSys = *objMgr.objFileSys();
    const std::string& strDest = objMgr.strDest();
    for (std::size_t ix = strDest.find('\\', 3); ix != std::string::npos;
         ix = strDest.find('\\', ix + 1)) {
        const std::string strFolder = strDest.substr(0, ix);
        try {
            if (!objFileSys.FolderExists(strFolder)) objFileSys.CreateFolder(strFolder);
        } catch (...) {
            return;
        }
    }
}

bool DriveProcessor::blnDeleteType() {
    try {
        if (!blnDriveReady()) return false;
        return blnDelTypeFolder(mobjDrive->RootFolder(), 0);
    } catch (...) {
        kErrors.NestedError("blnDeleteType");
    }
}

bool DriveProcessor::blnDelTypeFolder(const pfs::FolderPtr& objFolder, int16_t intLevel) {
    try {
        BackupManager& objMgr = Manager();
        if (objMgr.blnProgressStop()) return true;
        if (intLevel == 1) {
            const std::string strUpperName = strUCase(objFolder->Name());
            if (strUpperName == "RECYCLER" || strUpperName == "RECYCLED") return false;
        }
        for (const auto& objSub : objFolder->SubFolders()) {
            if (blnDelTypeFolder(objSub, static_cast<int16_t>(intLevel + 1))) return true;
        }
        objMgr.SetProgressFolder(objFolder->Path());
        DefinitionFile objDef;
        objDef.Init(objMgr, objMgr.strSetName(), objFolder);
        const std::string strFile = objDef.strSetFileName();
        // Only normal and read-only files: a hidden or system instruction file
        // is left alone, a read-only one fails to delete.
        for (const auto& strFound : objMgr.objFileSys()->Dir(strFile, pfs::vbNormal)) {
            objMgr.objFileSys()->DeleteFile(objMgr.strAddSlash(objFolder->Path()) + strFound,
                                            false);
        }
        return false;
    } catch (...) {
        kErrors.NestedError("blnDelTypeFolder");
    }
}

}  // namespace savecore
