// What a folder holds: its subfolders and files for a walk, and Dir.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs/AttributeStore.h"
#include "platform/fs/HostNames.h"
#include "platform/fs/LocalFile.h"
#include "platform/fs/LocalFileSystem.h"
#include "platform/fs/LocalFolderListing.h"

namespace platform::fs {

std::vector<FolderPtr> LocalFileSystem::SubFoldersOf(const Location& loc) const {
    Fault(FsOp::ListFolders, loc.win);
    std::vector<FolderPtr> folders;
    for (const HostEntry& e : PathResolver::List(loc.strHost))
        if (e.kind == EntryKind::Folder) folders.push_back(FolderAt(ChildOf(loc, e.strHostName)));
    return folders;
}

std::vector<FilePtr> LocalFileSystem::FilesOf(const Location& loc) const {
    Fault(FsOp::ListFiles, loc.win);
    std::vector<FilePtr> files;
    const std::vector<HostEntry> entries = PathResolver::List(loc.strHost);
    const int dirFd = open(loc.strHost.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const auto objSelf = Self();
    for (const HostEntry& e : entries)
        if (e.kind == EntryKind::File) files.push_back(ListedFileIn(objSelf, dirFd, loc, e));
    if (dirFd >= 0) close(dirFd);
    return files;
}

FilePtr LocalFileSystem::ListedFileIn(const std::shared_ptr<LocalFileSystem>& objFileSys, int dirFd,
                                      const Location& loc, const HostEntry& e) {
    Location fileLoc = ChildOf(loc, e.strHostName);
    // Only what a walk asks of a file. A link counts as what it points to,
    // so it alone is followed; anything else that is a link by now is not.
    struct statx sx;
    const int flags = e.blnLink ? 0 : AT_SYMLINK_NOFOLLOW;
    if (dirFd >= 0 &&
        statx(dirFd, e.strHostName.c_str(), flags, STATX_TYPE | STATX_SIZE | STATX_MTIME, &sx) ==
            0 &&
        S_ISREG(sx.stx_mode)) {
        ListedFile listed;
        listed.lngSize = sx.stx_size;
        listed.mtime = {static_cast<time_t>(sx.stx_mtime.tv_sec),
                        static_cast<long>(sx.stx_mtime.tv_nsec)};
        listed.blnLink = e.blnLink;
        return std::make_shared<LocalFile>(objFileSys, std::move(fileLoc), listed);
    }
    return objFileSys->FileAt(std::move(fileLoc));
}

std::unique_ptr<FolderListing> LocalFileSystem::ListingOf(const Location& loc) const {
    return std::make_unique<LocalFolderListing>(Self(), loc);
}

// --- Dir -------------------------------------------------------------------

std::vector<std::string> LocalFileSystem::Dir(const std::string& strPattern,
                                              int32_t lngAttributes) const {
    WinPath folderPath = WinPath::Parse(strPattern);
    std::string strNamePattern = "*";
    if (!WinPath::EndsInSeparator(strPattern) && !folderPath.IsRoot()) {
        strNamePattern = folderPath.Names().back();
        folderPath = folderPath.Parent();
    }
    const auto index = DriveIndex(folderPath.Letter());
    if (!index) throw RtError(rt::kDeviceUnavailable);
    if (!DriveReady(*index)) throw RtError(rt::kDiskNotReady);
    const auto folder = Find(folderPath, EntryKind::Folder);
    if (!folder) return {};
    Fault(FsOp::ListFiles, folder->win);

    std::vector<HostEntry> candidates;
    if (strNamePattern.find_first_of("*?") == std::string::npos) {
        if (auto name =
                PathResolver::FindName(folder->strHost, strNamePattern, EntryKind::Missing)) {
            const EntryKind kind =
                PathResolver::KindOfPath(PathResolver::Join(folder->strHost, *name));
            candidates.push_back({*name, kind});
        }
    } else {
        for (HostEntry& e : PathResolver::List(folder->strHost))
            if (HostNames::MatchesPattern(HostNames::ToWindowsName(e.strHostName), strNamePattern))
                candidates.push_back(std::move(e));
    }
    // An entry shows when each of its hidden, system and folder bits is asked for.
    const int32_t lngWanted = lngAttributes & (vbHidden | vbSystem | vbDirectory);
    std::vector<std::string> names;
    for (const HostEntry& e : candidates) {
        if (e.kind != EntryKind::File && e.kind != EntryKind::Folder) continue;
        const std::string strHost = PathResolver::Join(folder->strHost, e.strHostName);
        struct stat st;
        if (stat(strHost.c_str(), &st) != 0) continue;
        const int32_t attrs = AttributeStore::Read(strHost, e.strHostName, st);
        if ((attrs & (vbHidden | vbSystem | vbDirectory) & ~lngWanted) == 0)
            names.push_back(HostNames::ToWindowsName(e.strHostName));
    }
    return names;
}

}  // namespace platform::fs
