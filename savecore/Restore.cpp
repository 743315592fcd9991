// Restoring: copying every file of a backed-up folder (and of its subfolders),
// or the named files of one, back to a folder the user chose. A failure goes
// up the error chain at once, and whatever was restored before it stays in
// place; only a symbolic link where a folder belongs and a backed-up folder
// that cannot be listed are logged and passed by, since a restore never
// writes outside the folder the user chose and one unreadable folder should
// not cost the rest.
#include <unordered_set>

#include "BackupManager.h"
#include "SaveCoreErrors.h"
#include "TextCase.h"
#include "platform/fs/RtError.h"

namespace savecore {

namespace pfs = platform::fs;

namespace {

const ClassErrors kErrors("BackupManager");
constexpr int32_t kProtectAttributes = pfs::vbReadOnly | pfs::vbHidden | pfs::vbSystem;

void StripTrailingSlashes(std::string& strSrc, std::string& strDst) {
    if (!strSrc.empty() && strSrc.back() == '\\') strSrc.pop_back();
    if (!strDst.empty() && strDst.back() == '\\') strDst.pop_back();
}

// A drive, with or without its backslash ("C:", "C:\").
bool blnIsDriveOnly(const std::string& strPath) {
    return strPath.size() >= 2 && (strPath.compare(1, std::string::npos, ":") == 0 ||
                                   strPath.compare(1, std::string::npos, ":\\") == 0);
}

// A bare drive is shown as its root, C:\.
std::string strProgressFolderText(const std::string& strDst) {
    if (strDst.size() >= 2 && strDst.compare(1, std::string::npos, ":") == 0) return strDst + "\\";
    return strDst;
}

// A failed lookup counts as no file.
pfs::FilePtr objExistingFile(const pfs::FileSystem& objFileSys, const std::string& strPath) {
    try {
        return objFileSys.GetFile(strPath);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

bool BackupManager::blnRestoreFolder(std::string strSrc, std::string strDst,
                                     bool blnRestoreSubFolders) {
    return blnRunWithProgress(glngBACKUP_PROGRESS_RESTORE, "blnRestoreFolder", [&] {
        ClearErrorLog();
        StripTrailingSlashes(strSrc, strDst);
        InsurePathExists(strDst);
        std::unique_ptr<pfs::FolderClaim> objClaim;
        if (blnClaimTarget(strDst, objClaim)) return true;
        return blnRestoreOneFolder(strSrc, strDst, blnRestoreSubFolders);
    });
}

bool BackupManager::blnRestoreListOfFiles(std::string strSrc, std::string strDst,
                                          std::vector<std::string> colFiles) {
    return blnRunWithProgress(glngBACKUP_PROGRESS_RESTORE, "blnRestoreListOfFiles", [&] {
        ClearErrorLog();
        StripTrailingSlashes(strSrc, strDst);
        SetProgressFolder(strProgressFolderText(strDst));
        InsurePathExists(strDst);
        std::unique_ptr<pfs::FolderClaim> objClaim;
        if (blnClaimTarget(strDst, objClaim)) return true;
        TargetNames objNames = objTargetNames(strDst, colFiles);
        for (const auto& strName : colFiles) {
            const pfs::FilePtr objFile = mobjFileSys->GetFile(strSrc + "\\" + strName);
            if (blnRestoreFile(*objFile, strDst, objNames)) return true;
        }
        return false;
    });
}

// Subfolders come before the folder's own files. Without subfolders their
// folders are still made, empty, so the target shows the same layout.
bool BackupManager::blnRestoreOneFolder(const std::string& strSrc, const std::string& strDst,
                                        bool blnRestoreSubFolders) {
    try {
        const pfs::FolderPtr objFolder = mobjFileSys->GetFolder(strSrc);
        std::vector<pfs::FolderPtr> colSubFolders;
        std::vector<pfs::FilePtr> colFiles;
        try {
            colSubFolders = objFolder->SubFolders();
            colFiles = objFolder->Files();
        } catch (...) {
            AppendErrorLog(
                "The following error occurred while trying to determine the contents "
                "of folder \"" +
                strSrc + "\" in the backup: \"" + platform::CurrentErr().Description + "\"");
            return false;
        }
        for (const auto& objSub : colSubFolders) {
            const std::string strSubDst = strDst + "\\" + objSub->Name();
            if (!blnRestoreSubFolder(*objSub, strSubDst)) continue;
            if (blnRestoreSubFolders && blnRestoreOneFolder(objSub->Path(), strSubDst, true))
                return true;
        }
        SetProgressFolder(strProgressFolderText(strDst));
        if (colFiles.empty()) return false;
        std::vector<std::string> colNames;
        if (mblnRestoreReplace)
            for (const auto& objFile : colFiles) colNames.push_back(objFile->Name());
        TargetNames objNames = objTargetNames(strDst, colNames);
        // Files() holds no folders: asking each file for its attributes to
        // skip them would cost two more lookups of its path per file.
        for (const auto& objFile : colFiles)
            if (blnRestoreFile(*objFile, strDst, objNames)) return true;
        return false;
    } catch (...) {
        kErrors.NestedError("blnRestoreOneFolder");
    }
}

// The target folder of a backed-up subfolder, made with the backed-up
// folder's permission bits; false (logged) when a link stands in its place.
bool BackupManager::blnRestoreSubFolder(const pfs::Folder& objSub, const std::string& strSubDst) {
    if (mobjFileSys->LinkExists(strSubDst)) {
        AppendErrorLog("The following error occurred while restoring folder \"" + objSub.Path() +
                       "\" to \"" + strSubDst + "\": \"" + platform::rt::kLinkInTheWayText + "\"");
        return false;
    }
    try {
        if (const auto objMade = MakeFolderIfMissing(strSubDst))
            mobjFileSys->CopyFolderStamp(objSub, *objMade, true, false);
        return true;
    } catch (...) {
        // Named like a file that fails, so the report says which folder.
        kErrors.NestedError("blnRestoreSubFolder( " + strSubDst + ")");
    }
}

// The names the target folder holds are read once. Without replacing, a
// file the folder held in any letter case is left alone. With replace on, a
// file whose name is new there (in any letter case) is copied as with
// replace off: that copy asks nothing of the folder's other names, where a
// replacing one looks for a name differing only in case and, file by file,
// made restoring into a large folder cost the square of its size.
BackupManager::TargetNames BackupManager::objTargetNames(
    const std::string& strDst, const std::vector<std::string>& colSources) const {
    TargetNames objNames;
    try {
        for (auto& objFile : mobjFileSys->GetFolder(strDst)->Files()) {
            objNames.colBefore.emplace(strUCase(objFile->Name()), objFile->Name());
            objNames.colListed.emplace(objFile->Name(), std::move(objFile));
        }
        objNames.colSources.insert(colSources.begin(), colSources.end());
        objNames.blnKnown = true;
    } catch (...) {
        // Unknown: every file is looked up as it is replaced.
    }
    return objNames;
}

// New: a name the folder did not hold in any case; one whose case twin this
// restore wrote a moment ago (a backup of a folder that held both a.txt and
// A.txt); and one whose twins there will each be replaced by their own
// backed-up file. Neither twin may replace the other.
bool BackupManager::TargetNames::blnNew(const std::string& strName,
                                        const std::string& strFolded) const {
    if (!blnKnown) return false;
    if (colWritten.count(strFolded)) return true;
    if (colListed.count(strName)) return false;
    const auto [itFirst, itEnd] = colBefore.equal_range(strFolded);
    for (auto it = itFirst; it != itEnd; ++it)
        if (!colSources.count(it->second)) return false;
    return true;
}

bool BackupManager::blnRestoreFile(pfs::File& objFile, const std::string& strDst,
                                   TargetNames& objNames) {
    std::string strTarget;
    try {
        if (blnProgressStop()) return true;
        strTarget = strDst + "\\" + objFile.Name();
        SetProgressFile(objFile.Name());
        const std::string strFolded = strUCase(objFile.Name());
        if (!mblnRestoreReplace) {
            // A file the target held before, in any letter case, is the
            // person's own copy: it stays, is noted, and the rest is
            // restored rather than the restore ending at it.
            if ((objNames.blnKnown && objNames.colBefore.count(strFolded)) ||
                !blnCopiedAsNew(objFile, strTarget)) {
                AppendErrorLog("File \"" + strTarget +
                               "\" was not restored: a file of that name is already there, "
                               "and \"Replace Existing Files\" was not checked.");
            }
            return false;
        }
        if (!objNames.blnNew(objFile.Name(), strFolded) || !blnCopiedAsNew(objFile, strTarget)) {
            const auto it = objNames.colListed.find(objFile.Name());
            ReplaceFile(objFile, strTarget,
                        it != objNames.colListed.end() ? it->second : pfs::FilePtr());
        }
        if (objNames.blnKnown) objNames.colWritten.insert(strFolded);
        return false;
    } catch (...) {
        kErrors.NestedError("blnRestoreFile( " + strTarget + ")");
    }
}

// False when something took the name after the target was listed: that is
// then replaced like any file that was there.
bool BackupManager::blnCopiedAsNew(pfs::File& objFile, const std::string& strTarget) {
    try {
        objFile.Copy(strTarget, false);
        return true;
    } catch (...) {
        if (platform::CurrentErr().Number != platform::rt::kFileAlreadyExists) throw;
        return false;
    }
}

// The copy writes beside the target and renames it over the old file only
// when complete, so a failed replacement keeps the old file. Its protection
// attributes, cleared so that it may be replaced, are put back as well.
void BackupManager::ReplaceFile(pfs::File& objFile, const std::string& strTarget,
                                pfs::FilePtr objOld) {
    int32_t lngOldAttributes = pfs::vbNormal;
    // A link is replaced itself; the file it points to keeps its attributes.
    // The file of the folder's listing knows that without a lookup.
    if (objOld ? objOld->IsLink() : mobjFileSys->LinkExists(strTarget))
        objOld.reset();
    else if (!objOld)
        objOld = objExistingFile(*mobjFileSys, strTarget);
    if (objOld) {
        try {
            lngOldAttributes = objOld->Attributes();
        } catch (...) {
            lngOldAttributes = pfs::vbNormal;  // gone since: nothing to clear
        }
        if (lngOldAttributes & kProtectAttributes)
            objOld->SetAttributes(pfs::vbNormal);
        else
            objOld.reset();
    }
    try {
        objFile.Copy(strTarget, true);
    } catch (...) {
        if (objOld) {
            try {
                objOld->SetAttributes(lngOldAttributes & (kProtectAttributes | pfs::vbArchive));
            } catch (...) {
                // The copy's failure is the one reported.
            }
        }
        throw;
    }
}

// Every folder of the path, top down: C:\A\B makes C:\A, then C:\A\B.
void BackupManager::InsurePathExists(const std::string& strPath) {
    try {
        for (std::size_t i = strPath.find('\\'); i != std::string::npos;
             i = strPath.find('\\', i + 1))
            MakeFolderIfMissing(strPath.substr(0, i));
        MakeFolderIfMissing(strPath);
    } catch (...) {
        kErrors.NestedError("InsurePathExists");
    }
}

// One level; the parent must exist. A drive is always there.
pfs::FolderPtr BackupManager::MakeFolderIfMissing(const std::string& strFolder) {
    if (blnIsDriveOnly(strFolder) || mobjFileSys->FolderExists(strFolder)) return nullptr;
    return mobjFileSys->CreateFolder(strFolder);
}

// The restore's hold on its target; none (after saying why) while another
// run writes there.
bool BackupManager::blnClaimTarget(const std::string& strDst,
                                   std::unique_ptr<pfs::FolderClaim>& objClaim) {
    return blnClaimFolder(blnIsDriveOnly(strDst) ? strDst.substr(0, 2) + "\\" : strDst, objClaim);
}

}  // namespace savecore
