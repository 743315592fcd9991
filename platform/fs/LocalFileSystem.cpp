#include "platform/fs/LocalFileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "platform/fs/FileWriter.h"
#include "platform/fs/HostNames.h"
#include "platform/fs/LocalFile.h"
#include "platform/fs/LocalFolder.h"

namespace platform::fs {

namespace {

std::string RootString(const std::filesystem::path& host) {
    std::string s = host.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
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

bool LocalFileSystem::Exists(const std::string& strPath, EntryKind kind) const {
    try {
        return Find(WinPath::Parse(strPath), kind).has_value();
    } catch (const RtError&) {
        return false;
    }
}

bool LocalFileSystem::FolderExists(const std::string& strPath) const {
    return Exists(strPath, EntryKind::Folder);
}

bool LocalFileSystem::FileExists(const std::string& strPath) const {
    return Exists(strPath, EntryKind::File);
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

Location LocalFileSystem::ChildOf(const Location& loc, const std::string& strHostName) {
    return {loc.lngDrive, loc.win.Child(HostNames::ToWindowsName(strHostName)),
            PathResolver::Join(loc.strHost, strHostName)};
}

// --- reading whole files ---------------------------------------------------

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

}  // namespace platform::fs
