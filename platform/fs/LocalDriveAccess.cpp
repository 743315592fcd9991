// The drive letters: readiness, free space, flushing and a changed medium.
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/fs/ListingCache.h"
#include "platform/fs/LocalDrive.h"
#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

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

std::optional<std::size_t> LocalFileSystem::DriveIndexOfSpec(
    const std::string& strDriveSpec) const {
    const auto letter = WinPath::DriveLetterOf(strDriveSpec);
    return letter ? DriveIndex(*letter) : std::nullopt;
}

std::size_t LocalFileSystem::DriveOfSpec(const std::string& strDriveSpec) const {
    const auto index = DriveIndexOfSpec(strDriveSpec);
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
    return DriveIndexOfSpec(strDriveSpec).has_value();
}

DrivePtr LocalFileSystem::GetDrive(const std::string& strDriveSpec) const {
    return DriveAt(DriveOfSpec(strDriveSpec));
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
    const auto index = DriveIndexOfSpec(strDriveSpec);
    if (!index) return;
    const DriveState& drive = mdrives[*index];
    drive.space->Forget();
    if (drive.tracker) drive.tracker->Forget();
    // A new medium can repeat the old one's device and inode numbers (a
    // tmpfs mounted again does), which is all a kept listing is checked by.
    ListingCache::Instance().ForgetBelow(drive.strRoot);
}

}  // namespace platform::fs
