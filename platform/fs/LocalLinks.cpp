// Links, claimed folders and folder stamps: what keeps a run's writes
// inside the folder it was given and its copies no more open than their
// sources.
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/fs/ListingCache.h"
#include "platform/fs/LocalFileSystem.h"
#include "platform/fs/LocalFolder.h"

namespace platform::fs {

std::vector<FilePtr> LocalFileSystem::OtherEntriesOf(const Location& loc) const {
    Fault(FsOp::ListFiles, loc.win);
    std::vector<FilePtr> others;
    for (const HostEntry& e : PathResolver::List(loc.strHost, true))
        others.push_back(FileAt(ChildOf(loc, e.strHostName)));
    return others;
}

bool LocalFileSystem::IsLinkAt(const Location& loc) const {
    struct stat st;
    return lstat(loc.strHost.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Below a claimed folder an entry whose own properties change is reached
// through no link, and is no link itself: a link's are its target's.
void LocalFileSystem::CheckClaimedEntry(const Location& loc) const {
    if (!mclaims->blnClaimed(loc.strHost)) return;
    mclaims->CheckNoLinks(ParentOf(loc).strHost);
    if (IsLinkAt(loc)) throw RtError(rt::kPathFileAccess, rt::kLinkInTheWayText);
}

std::unique_ptr<FolderClaim> LocalFileSystem::ClaimFolder(const std::string& strPath) {
    return mclaims->Claim(Require(strPath, EntryKind::Folder).strHost);
}

bool LocalFileSystem::LinkExists(const std::string& strPath) const {
    try {
        const WinPath path = WinPath::Parse(strPath);
        if (path.IsRoot()) return false;
        const auto parent = Find(path.Parent(), EntryKind::Folder);
        if (!parent) return false;
        const auto name =
            PathResolver::FindName(parent->strHost, path.Names().back(), EntryKind::Missing);
        return name &&
               IsLinkAt({parent->lngDrive, path, PathResolver::Join(parent->strHost, *name)});
    } catch (const RtError&) {
        return false;
    }
}

Location LocalFileSystem::LocationOf(const Folder& objFolder) const {
    if (const auto* pLocal = dynamic_cast<const LocalFolder*>(&objFolder)) return pLocal->Loc();
    return Require(objFolder.Path(), EntryKind::Folder);
}

void LocalFileSystem::CopyFolderStamp(const Folder& objSource, const Folder& objTarget,
                                      bool blnBits, bool blnTime) {
    const auto* pLocalSource = dynamic_cast<const LocalFolder*>(&objSource);
    const struct stat st =
        pLocalSource ? pLocalSource->HostStat() : StatOf(LocationOf(objSource), true);
    const Location target = LocationOf(objTarget);
    CheckWritable(target.lngDrive);
    CheckClaimedEntry(target);
    if (blnBits) {
        // A folder this layer has just made knows its bits: most need no call.
        const mode_t wanted = (st.st_mode & 0777) | S_IRWXU;
        const auto* pLocalTarget = dynamic_cast<const LocalFolder*>(&objTarget);
        const bool blnHasBits =
            pLocalTarget && (pLocalTarget->HostStat().st_mode & 07777) == wanted;
        if (!blnHasBits && chmod(target.strHost.c_str(), wanted) != 0)
            throw RtError::FromErrno(errno, true);
    }
    if (!blnTime) return;
    const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    if (utimensat(AT_FDCWD, target.strHost.c_str(), times, 0) != 0)
        throw RtError::FromErrno(errno, true);
    // A time set back in the past must not pass for a change of this process's own.
    ListingCache::Instance().Forget(target.strHost);
}

}  // namespace platform::fs
