// Which host folder a Windows path stands for, whatever letter, link or ".."
// led to it: what keeps a backup from emptying a drive it is meant to save.
#include "platform/fs/HostFolder.h"
#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

std::optional<std::string> LocalFileSystem::RealFolderOf(const std::string& strPath) const {
    // Clamped dots first: "C:\..\" must name the root here as it does for
    // the caller, not fail and so hide the folder it stands for.
    const auto host = HostPathOf(WinPath::CanonicalFolder(strPath));
    if (!host) return std::nullopt;
    return HostFolder::Real(*host);
}

bool LocalFileSystem::FolderHolds(const std::string& strOuter, const std::string& strInner) const {
    const auto outer = RealFolderOf(strOuter);
    const auto inner = outer ? RealFolderOf(strInner) : std::nullopt;
    return inner && HostFolder::Below(*inner, *outer);
}

std::vector<std::string> LocalFileSystem::FolderPaths(const std::string& strFolder) const {
    std::vector<std::string> astrPaths;
    const auto folder = RealFolderOf(strFolder);
    if (!folder) return astrPaths;
    for (const DriveState& drive : mdrives) {
        if (drive.blnReserved) continue;
        if (const auto relative = HostFolder::Below(*folder, HostFolder::Real(drive.strRoot)))
            astrPaths.push_back(HostFolder::WindowsPathOf(drive.driveSpec.chLetter, *relative));
    }
    return astrPaths;
}

}  // namespace platform::fs
