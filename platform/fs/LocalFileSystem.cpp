#include "platform/fs/LocalFileSystem.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/fs/AttributeStore.h"
#include "platform/fs/FileWriter.h"
#include "platform/fs/HostNames.h"
#include "platform/fs/ListingCache.h"
#include "platform/fs/LocalDrive.h"
#include "platform/fs/LocalFile.h"
#include "platform/fs/LocalFolder.h"
#include "platform/fs/LocalFolderListing.h"
#include "platform/fs/TreeRemover.h"

namespace platform::fs {

namespace {

std::string RootString(const std::filesystem::path& host) {
    std::string s = host.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool EndsInSeparator(const std::string& s) {
    return !s.empty() && (s.back() == '\\' || s.back() == '/');
}

std::string LastName(const std::string& strHost) {
    return strHost.substr(strHost.rfind('/') + 1);
}

}  // namespace

LocalFileSystem::LocalFileSystem(DriveTable table) {
    std::sort(table.drives.begin(), table.drives.end(),
              [](const DriveSpec& a, const DriveSpec& b) { return a.chLetter < b.chLetter; });
    for (DriveSpec& driveSpec : table.drives) {
        DriveState state;
        state.strRoot = RootString(driveSpec.hostPath);
        if (driveSpec.capacity)
            state.tracker = std::make_unique<CapacityTracker>(state.strRoot, *driveSpec.capacity);
        state.driveSpec = std::move(driveSpec);
        mdrives.push_back(std::move(state));
    }
}

std::shared_ptr<LocalFileSystem> LocalFileSystem::Self() const {
    return std::const_pointer_cast<LocalFileSystem>(shared_from_this());
}

// --- drives ----------------------------------------------------------------

std::optional<std::size_t> LocalFileSystem::DriveIndex(char chLetter) const {
    for (std::size_t i = 0; i < mdrives.size(); ++i)
        if (mdrives[i].driveSpec.chLetter == chLetter) return i;
    return std::nullopt;
}

bool LocalFileSystem::DriveReady(std::size_t lngDrive) const {
    const DriveState& drive = mdrives[lngDrive];
    const bool blnReady = PathResolver::KindOfPath(drive.strRoot) == EntryKind::Folder;
    if (!blnReady && drive.tracker) drive.tracker->Forget();
    return blnReady;
}

std::size_t LocalFileSystem::DriveOfSpec(const std::string& strDriveSpec) const {
    const auto letter = WinPath::DriveLetterOf(strDriveSpec);
    const auto index = letter ? DriveIndex(*letter) : std::nullopt;
    if (!index) throw RtError(rt::kDeviceUnavailable);
    return *index;
}

std::size_t LocalFileSystem::ReadyDriveOf(const WinPath& path) const {
    const auto index = DriveIndex(path.Letter());
    if (!index) throw RtError(rt::kPathNotFound);
    if (!DriveReady(*index)) throw RtError(rt::kDiskNotReady);
    return *index;
}

void LocalFileSystem::CheckWritable(std::size_t lngDrive) const {
    if (mdrives[lngDrive].driveSpec.blnReadOnly) throw RtError(rt::kPermissionDenied);
}

DiskSpace LocalFileSystem::DriveSpace(std::size_t lngDrive) const {
    const DriveState& drive = mdrives[lngDrive];
    // A simulated medium is asked every time: its folder is its medium, and
    // a changed or removed one must be noticed at once.
    if (!drive.tracker) return drive.space->Get([&] { return HostSpace(lngDrive); });
    // The simulated medium, but never more than the host really has.
    DiskSpace space = HostSpace(lngDrive);
    const uint64_t left = drive.tracker->Available();
    space.available = std::min(space.available, left);
    space.free = std::min(space.free, left);
    space.total = drive.tracker->Capacity();
    return space;
}

DiskSpace LocalFileSystem::HostSpace(std::size_t lngDrive) const {
    const DriveState& drive = mdrives[lngDrive];
    // "/." fails unless the drive folder is a folder, which is what ready
    // means: one system call per query instead of two.
    struct statvfs vfs;
    if (statvfs(PathResolver::Join(drive.strRoot, ".").c_str(), &vfs) != 0) {
        if (!DriveReady(lngDrive)) throw RtError(rt::kDiskNotReady);
        if (statvfs(drive.strRoot.c_str(), &vfs) != 0) throw RtError::FromErrno(errno, true);
    }
    DiskSpace space;
    space.available = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    space.free = static_cast<uint64_t>(vfs.f_bfree) * vfs.f_frsize;
    space.total = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
    return space;
}

std::vector<DrivePtr> LocalFileSystem::Drives() const {
    std::vector<DrivePtr> drives;
    for (std::size_t i = 0; i < mdrives.size(); ++i)
        if (!mdrives[i].blnReserved) drives.push_back(DriveAt(i));
    return drives;
}

bool LocalFileSystem::DriveExists(const std::string& strDriveSpec) const {
    const auto letter = WinPath::DriveLetterOf(strDriveSpec);
    return letter && DriveIndex(*letter);
}

DrivePtr LocalFileSystem::GetDrive(const std::string& strDriveSpec) const {
    const auto letter = WinPath::DriveLetterOf(strDriveSpec);
    const auto index = letter ? DriveIndex(*letter) : std::nullopt;
    if (!index) throw RtError(rt::kDeviceUnavailable);
    return DriveAt(*index);
}

DrivePtr LocalFileSystem::DriveAt(std::size_t lngDrive) const {
    return std::make_shared<LocalDrive>(Self(), lngDrive);
}

DiskSpace LocalFileSystem::GetDiskFreeSpace(const std::string& strRoot) const {
    return DriveSpace(DriveOfSpec(strRoot));
}

void LocalFileSystem::FlushDrive(const std::string& strDriveSpec) {
    const std::size_t index = DriveOfSpec(strDriveSpec);
    if (!DriveReady(index)) throw RtError(rt::kDiskNotReady);
    const DriveState& drive = mdrives[index];
    drive.space->Forget();  // a medium may be changed next
    const int fd = open(drive.strRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw RtError::FromErrno(errno, true);
    const int rc = syncfs(fd);
    const int err = errno;
    close(fd);
    if (rc != 0) throw RtError::FromErrno(err);
}

void LocalFileSystem::ForgetMedium(const std::string& strDriveSpec) {
    const auto letter = WinPath::DriveLetterOf(strDriveSpec);
    const auto index = letter ? DriveIndex(*letter) : std::nullopt;
    if (!index) return;
    const DriveState& drive = mdrives[*index];
    drive.space->Forget();
    if (drive.tracker) drive.tracker->Forget();
    // A new medium can repeat the old one's device and inode numbers (a
    // tmpfs mounted again does), which is all a kept listing is checked by.
    ListingCache::Instance().ForgetBelow(drive.strRoot);
}

// --- lookups ---------------------------------------------------------------

std::optional<Location> LocalFileSystem::Find(const WinPath& path, EntryKind kind,
                                              bool* pParentFound) const {
    if (pParentFound) *pParentFound = false;
    const auto index = DriveIndex(path.Letter());
    if (!index) return std::nullopt;
    EntryKind found = EntryKind::Missing;
    const auto host =
        PathResolver::Resolve(mdrives[*index].strRoot, path.Names(), kind, &found, pParentFound);
    if (!host) return std::nullopt;
    if (kind != EntryKind::Missing && found != kind) return std::nullopt;
    // The names as the host spells them, so paths read back the real case.
    WinPath win = path;
    if (!path.IsRoot()) {
        std::vector<std::string> names;
        const std::string& root = mdrives[*index].strRoot;
        const std::string rest = host->substr(root == "/" ? 0 : root.size());
        for (std::size_t pos = 1; pos <= rest.size();) {
            const std::size_t next = std::min(rest.find('/', pos), rest.size());
            names.push_back(HostNames::ToWindowsName(rest.substr(pos, next - pos)));
            pos = next + 1;
        }
        WinPath rebuilt = WinPath::Parse(std::string(1, path.Letter()) + ":");
        for (const std::string& n : names) rebuilt = rebuilt.Child(n);
        win = rebuilt;
    }
    return Location{*index, win, *host};
}

// An entry that is found proves its drive ready, so readiness (a stat of the
// drive folder) is asked only to tell why nothing was found.
std::optional<Location> LocalFileSystem::Lookup(const WinPath& path, EntryKind kind,
                                                int32_t& lngMissing) const {
    lngMissing = rt::kPathNotFound;
    if (!DriveIndex(path.Letter())) return std::nullopt;
    bool blnParentFound = false;
    if (auto loc = Find(path, kind, &blnParentFound)) return loc;
    // A missing file in a folder that is there: the usual case of a lookup
    // for an instruction file, answered without asking again.
    if (kind == EntryKind::File && blnParentFound) {
        lngMissing = rt::kFileNotFound;
        return std::nullopt;
    }
    ReadyDriveOf(path);
    if (kind == EntryKind::File && Find(path.Parent(), EntryKind::Folder))
        lngMissing = rt::kFileNotFound;
    return std::nullopt;
}

Location LocalFileSystem::Require(const std::string& strPath, EntryKind kind) const {
    int32_t lngMissing = 0;
    if (auto loc = Lookup(WinPath::Parse(strPath), kind, lngMissing)) return *loc;
    throw RtError(lngMissing);
}

Location LocalFileSystem::ParentForCreate(const WinPath& path) const {
    const auto index = DriveIndex(path.Letter());
    if (!index) throw RtError(rt::kPathNotFound);
    // A parent folder that is found proves the drive ready; only the rare
    // cases that must answer 71 before anything else ask first.
    if (mdrives[*index].driveSpec.blnReadOnly || path.IsRoot()) ReadyDriveOf(path);
    CheckWritable(*index);
    if (path.IsRoot()) throw RtError(rt::kFileAlreadyExists);
    auto parent = Find(path.Parent(), EntryKind::Folder);
    if (!parent) {
        ReadyDriveOf(path);
        throw RtError(rt::kPathNotFound);
    }
    return *parent;
}

bool LocalFileSystem::FolderExists(const std::string& strPath) const {
    try {
        return Find(WinPath::Parse(strPath), EntryKind::Folder).has_value();
    } catch (const RtError&) {
        return false;
    }
}

bool LocalFileSystem::FileExists(const std::string& strPath) const {
    try {
        return Find(WinPath::Parse(strPath), EntryKind::File).has_value();
    } catch (const RtError&) {
        return false;
    }
}

bool LocalFileSystem::FolderWritable(const std::string& strPath) const {
    try {
        const auto loc = Find(WinPath::Parse(strPath), EntryKind::Folder);
        if (!loc || mdrives[loc->lngDrive].driveSpec.blnReadOnly) return false;
        return faccessat(AT_FDCWD, loc->strHost.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    } catch (const RtError&) {
        return false;
    }
}

FolderPtr LocalFileSystem::GetFolder(const std::string& strPath) const {
    return FolderAt(Require(strPath, EntryKind::Folder));
}

FilePtr LocalFileSystem::GetFile(const std::string& strPath) const {
    return FileAt(Require(strPath, EntryKind::File));
}

FolderPtr LocalFileSystem::FolderAt(Location loc) const {
    return std::make_shared<LocalFolder>(Self(), std::move(loc));
}

FilePtr LocalFileSystem::FileAt(Location loc) const {
    return std::make_shared<LocalFile>(Self(), std::move(loc));
}

Location LocalFileSystem::ParentOf(const Location& loc) const {
    const WinPath parent = loc.win.Parent();
    const std::string strHost = parent.IsRoot() ? mdrives[loc.lngDrive].strRoot
                                                : loc.strHost.substr(0, loc.strHost.rfind('/'));
    return Location{loc.lngDrive, parent, strHost};
}

std::optional<std::filesystem::path> LocalFileSystem::HostPathOf(const std::string& strPath) const {
    try {
        const WinPath path = WinPath::Parse(strPath);
        const auto index = DriveIndex(path.Letter());
        if (!index) return std::nullopt;
        if (auto loc = Find(path, EntryKind::Missing)) return loc->strHost;
        // Not there (yet): the existing part as the host spells it, the rest mapped.
        std::string host = mdrives[*index].strRoot;
        std::size_t known = path.Names().size();
        std::optional<Location> base;
        while (known > 0 && !base) {
            WinPath prefix = path;
            for (std::size_t k = path.Names().size(); k > known; --k) prefix = prefix.Parent();
            base = Find(prefix, EntryKind::Folder);
            if (!base) --known;
        }
        if (base) host = base->strHost;
        for (std::size_t k = known; k < path.Names().size(); ++k)
            host = PathResolver::Join(host, HostNames::ToHostName(path.Names()[k]));
        return host;
    } catch (const RtError&) {
        return std::nullopt;
    }
}

void LocalFileSystem::SetFaultHook(FaultHook hook) {
    mhook = std::move(hook);
}

// --- folders and files -----------------------------------------------------

Location LocalFileSystem::ChildOf(const Location& loc, const std::string& strHostName) {
    return {loc.lngDrive, loc.win.Child(HostNames::ToWindowsName(strHostName)),
            PathResolver::Join(loc.strHost, strHostName)};
}

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

struct stat LocalFileSystem::StatOf(const Location& loc, bool blnFolder) const {
    Fault(FsOp::Stat, loc.win);
    struct stat st;
    if (stat(loc.strHost.c_str(), &st) != 0) throw RtError::FromErrno(errno, blnFolder);
    if (blnFolder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        throw RtError(blnFolder ? rt::kPathNotFound : rt::kFileNotFound);
    return st;
}

int32_t LocalFileSystem::AttributesOf(const Location& loc, bool blnFolder) const {
    const struct stat st = StatOf(loc, blnFolder);
    return AttributeStore::Read(loc.strHost, loc.win.IsRoot() ? "" : LastName(loc.strHost), st);
}

void LocalFileSystem::SetAttributesAt(const Location& loc, int32_t lngAttributes) {
    CheckWritable(loc.lngDrive);
    Fault(FsOp::SetAttributes, loc.win);
    CheckClaimedEntry(loc);
    struct stat st;
    if (stat(loc.strHost.c_str(), &st) != 0) throw RtError::FromErrno(errno);
    AttributeStore::Write(loc.strHost, LastName(loc.strHost), st, lngAttributes);
}

uint64_t LocalFileSystem::FileLen(const std::string& strPath) const {
    const Location loc = Require(strPath, EntryKind::File);
    return static_cast<uint64_t>(StatOf(loc, false).st_size);
}

std::optional<Location> LocalFileSystem::ExactParentOf(const WinPath& path) const {
    const auto index = DriveIndex(path.Letter());
    // A simulated medium answers 61 before the copy could learn of a
    // missing folder: there the folder is looked up first, as always.
    if (!index || path.IsRoot() || mdrives[*index].driveSpec.blnReadOnly || mdrives[*index].tracker)
        return std::nullopt;
    const WinPath parent = path.Parent();
    std::string strHost = mdrives[*index].strRoot;
    for (const std::string& strName : parent.Names())
        strHost = PathResolver::Join(strHost, HostNames::ToHostName(strName));
    return Location{*index, parent, std::move(strHost)};
}

void LocalFileSystem::CopyFileAt(const Location& source, const std::string& strDestination,
                                 bool blnOverwrite) {
    WinPath target = WinPath::Parse(strDestination);
    if (EndsInSeparator(strDestination)) target = target.Child(source.win.Names().back());
    const std::string& strName = target.Names().back();
    // A new file goes first into the folder its path names exactly, which
    // is what a lookup would find when that folder exists; only when it does
    // not (76) is the folder looked up, with the case-insensitive search and
    // the errors that tell why it is missing.
    if (!blnOverwrite) {
        if (const auto exact = ExactParentOf(target)) {
            Fault(FsOp::OpenForRead, source.win);
            bool blnPublishReached = false;
            try {
                CopyInto(source, *exact, HostNames::ToHostName(strName), false, &blnPublishReached);
                return;
            } catch (const RtError& e) {
                if (e.Number() != rt::kPathNotFound || blnPublishReached) throw;
            }
            CopyInto(source, ParentForCreate(target), HostNames::ToHostName(strName), false);
            return;
        }
    }
    const Location parent = ParentForCreate(target);
    std::string strHostName = HostNames::ToHostName(strName);
    // Overwriting replaces the file Windows would see, whatever its case; a
    // new file keeps its own name, so case variants on the source survive.
    if (blnOverwrite)
        strHostName =
            PathResolver::FindName(parent.strHost, strName, EntryKind::File).value_or(strHostName);
    Fault(FsOp::OpenForRead, source.win);
    CopyInto(source, parent, strHostName, blnOverwrite);
}

void LocalFileSystem::CopyInto(const Location& source, const Location& parent,
                               const std::string& strHostName, bool blnOverwrite,
                               bool* pPublishReached) {
    const WinPath published = parent.win.Child(HostNames::ToWindowsName(strHostName));
    mclaims->CheckNoLinks(parent.strHost);
    const uint64_t written =
        FileWriter::Copy(source.strHost, parent.strHost, strHostName, blnOverwrite,
                         mdrives[parent.lngDrive].tracker.get(), [&] {
                             if (pPublishReached) *pPublishReached = true;
                             Fault(FsOp::Create, published);
                         });
    mdrives[parent.lngDrive].space->Written(written);
    if (blnOverwrite)
        ListingCache::Instance().Forget(parent.strHost);
    else
        ListingCache::Instance().Added(parent.strHost, {strHostName, EntryKind::File});
    mwriteback.Written(mdrives[parent.lngDrive].strRoot, written);
}

void LocalFileSystem::CopyFile(const std::string& strSource, const std::string& strDestination,
                               bool blnOverwrite) {
    CopyFileAt(Require(strSource, EntryKind::File), strDestination, blnOverwrite);
}

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

FolderPtr LocalFileSystem::CreateFolder(const std::string& strPath) {
    const WinPath path = WinPath::Parse(strPath);
    const Location parent = ParentForCreate(path);
    const std::string& strName = path.Names().back();
    if (PathResolver::FindName(parent.strHost, strName, EntryKind::Missing))
        throw RtError(rt::kFileAlreadyExists);
    const std::string strHostName = HostNames::ToHostName(strName);
    const Location loc{parent.lngDrive, parent.win.Child(HostNames::ToWindowsName(strHostName)),
                       PathResolver::Join(parent.strHost, strHostName)};
    Fault(FsOp::Create, loc.win);
    mclaims->CheckNoLinks(parent.strHost);
    if (mkdir(loc.strHost.c_str(), 0777) != 0) throw RtError::FromErrno(errno, true);
    mclaims->Made(parent.strHost, loc.strHost);
    mdrives[parent.lngDrive].space->Written(0);
    ListingCache::Instance().Added(parent.strHost, {strHostName, EntryKind::Folder});
    struct stat st;
    if (stat(loc.strHost.c_str(), &st) != 0) return FolderAt(loc);
    // What a backup makes it fills next: its listings are known without reading.
    ListingCache::Instance().Made(loc.strHost, st);
    return std::make_shared<LocalFolder>(Self(), loc, st);
}

// --- whole files -----------------------------------------------------------

std::string LocalFileSystem::ReadFile(const std::string& strPath) const {
    std::optional<RtError> err;
    if (auto strData = TryReadFile(strPath, err)) return std::move(*strData);
    throw *err;
}

std::optional<std::string> LocalFileSystem::TryReadFile(const std::string& strPath,
                                                        std::optional<RtError>& err) const {
    try {
        int32_t lngMissing = 0;
        const auto loc = Lookup(WinPath::Parse(strPath), EntryKind::File, lngMissing);
        if (!loc) {
            err.emplace(lngMissing);
            return std::nullopt;
        }
        Fault(FsOp::OpenForRead, loc->win);
        return FileWriter::ReadAll(loc->strHost);
    } catch (const RtError& e) {
        err.emplace(e);
        return std::nullopt;
    }
}

void LocalFileSystem::WriteFileReplacing(const std::string& strPath, const std::string& strData) {
    const WinPath path = WinPath::Parse(strPath);
    const Location parent = ParentForCreate(path);
    const std::string& strName = path.Names().back();
    const std::string strHostName = PathResolver::FindName(parent.strHost, strName, EntryKind::File)
                                        .value_or(HostNames::ToHostName(strName));
    const WinPath target = parent.win.Child(HostNames::ToWindowsName(strHostName));
    mclaims->CheckNoLinks(parent.strHost);
    ListingCache::Instance().Forget(parent.strHost);
    mdrives[parent.lngDrive].space->Forget();
    FileWriter::WriteReplacing(parent.strHost, strHostName, strData,
                               mdrives[parent.lngDrive].tracker.get(),
                               [&] { Fault(FsOp::Create, target); });
}

void LocalFileSystem::CreateEmptyFile(const std::string& strPath) {
    const WinPath path = WinPath::Parse(strPath);
    const Location parent = ParentForCreate(path);
    const std::string& strName = path.Names().back();
    if (PathResolver::FindName(parent.strHost, strName, EntryKind::Missing))
        throw RtError(rt::kFileAlreadyExists);
    const std::string strHostName = HostNames::ToHostName(strName);
    Fault(FsOp::Create, parent.win.Child(HostNames::ToWindowsName(strHostName)));
    mclaims->CheckNoLinks(parent.strHost);
    FileWriter::CreateEmpty(PathResolver::Join(parent.strHost, strHostName));
    mdrives[parent.lngDrive].space->Written(0);
    ListingCache::Instance().Added(parent.strHost, {strHostName, EntryKind::File});
}

// --- Dir -------------------------------------------------------------------

std::vector<std::string> LocalFileSystem::Dir(const std::string& strPattern,
                                              int32_t lngAttributes) const {
    WinPath folderPath = WinPath::Parse(strPattern);
    std::string strNamePattern = "*";
    if (!EndsInSeparator(strPattern) && !folderPath.IsRoot()) {
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
