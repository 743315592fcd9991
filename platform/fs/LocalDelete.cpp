// Deleting files and folders.
#include "platform/fs/ListingCache.h"
#include "platform/fs/LocalFileSystem.h"
#include "platform/fs/TreeRemover.h"

namespace platform::fs {

void LocalFileSystem::DeleteFileAt(const Location& loc, bool blnForce) {
    RemoveCounted(loc, blnForce, false);
}

void LocalFileSystem::DeleteFolderAt(const Location& loc, bool blnForce) {
    if (loc.win.IsRoot()) {
        CheckWritable(loc.lngDrive);
        throw RtError(rt::kPermissionDenied);
    }
    RemoveCounted(loc, blnForce, true);
}

// A delete, with the simulated medium told what was freed even when the
// delete stopped part-way.
void LocalFileSystem::RemoveCounted(const Location& loc, bool blnForce, bool blnFolder) {
    CheckWritable(loc.lngDrive);
    TreeRemover remover(blnForce, [this](const std::string& strWin) {
        if (mhook) mhook(FsOp::Delete, strWin);
    });
    CapacityTracker* tracker = mdrives[loc.lngDrive].tracker.get();
    const std::string strParent = ParentOf(loc).strHost;
    mclaims->CheckNoLinks(strParent);
    mclaims->Forget();
    mdrives[loc.lngDrive].space->Forget();
    ListingCache::Instance().Forget(strParent);
    try {
        if (blnFolder)
            remover.RemoveFolder(loc.strHost, loc.win.ToString());
        else
            remover.RemoveFile(loc.strHost, loc.win.ToString());
    } catch (...) {
        if (tracker) tracker->Remove(remover.Freed());
        throw;
    }
    if (tracker) tracker->Remove(remover.Freed());
}

void LocalFileSystem::DeleteFile(const std::string& strPath, bool blnForce) {
    DeleteFileAt(Require(strPath, EntryKind::File), blnForce);
}

void LocalFileSystem::DeleteFolder(const std::string& strPath, bool blnForce) {
    DeleteFolderAt(Require(strPath, EntryKind::Folder), blnForce);
}

}  // namespace platform::fs
