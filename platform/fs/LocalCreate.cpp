// Making new entries: folders, empty files and files written whole.
#include <sys/stat.h>

#include <cerrno>

#include "platform/fs/FileWriter.h"
#include "platform/fs/HostNames.h"
#include "platform/fs/ListingCache.h"
#include "platform/fs/LocalFileSystem.h"
#include "platform/fs/LocalFolder.h"

namespace platform::fs {

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

NewEntry LocalFileSystem::PlaceForNew(const std::string& strPath) const {
    const WinPath path = WinPath::Parse(strPath);
    Location parent = ParentForCreate(path);
    const std::string& strName = path.Names().back();
    if (PathResolver::FindName(parent.strHost, strName, EntryKind::Missing))
        throw RtError(rt::kFileAlreadyExists);
    std::string strHostName = HostNames::ToHostName(strName);
    Location loc = ChildOf(parent, strHostName);
    Fault(FsOp::Create, loc.win);
    mclaims->CheckNoLinks(parent.strHost);
    return {std::move(parent), std::move(strHostName), std::move(loc)};
}

void LocalFileSystem::CountNew(const NewEntry& entry, EntryKind kind) {
    mdrives[entry.parent.lngDrive].space->Written(0);
    ListingCache::Instance().Added(entry.parent.strHost, {entry.strHostName, kind});
}

FolderPtr LocalFileSystem::CreateFolder(const std::string& strPath) {
    const NewEntry entry = PlaceForNew(strPath);
    const Location& loc = entry.loc;
    if (mkdir(loc.strHost.c_str(), 0777) != 0) throw RtError::FromErrno(errno, true);
    mclaims->Made(entry.parent.strHost, loc.strHost);
    CountNew(entry, EntryKind::Folder);
    struct stat st;
    if (stat(loc.strHost.c_str(), &st) != 0) return FolderAt(loc);
    // What a backup makes it fills next: its listings are known without reading.
    ListingCache::Instance().Made(loc.strHost, st);
    return std::make_shared<LocalFolder>(Self(), loc, st);
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
    const NewEntry entry = PlaceForNew(strPath);
    FileWriter::CreateEmpty(entry.loc.strHost);
    CountNew(entry, EntryKind::File);
}

}  // namespace platform::fs
