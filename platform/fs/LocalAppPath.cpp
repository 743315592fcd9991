// A program's own folder as a Windows path (App.Path). The folder usually
// lies outside every drive of the table (a build folder, /usr/lib/...), yet
// error.log and the help file must be reachable through Windows paths, so
// such a folder gets a letter of its own that the drive list never shows.
#include "platform/fs/HostFolder.h"
#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

std::string LocalFileSystem::AppPathOf(const std::filesystem::path& hostFolder) {
    const std::string strFolder = HostFolder::Real(hostFolder);
    // The drive with the longest root that holds the folder; reserved
    // letters count too, so asking twice gives the same path.
    std::optional<std::size_t> best;
    std::string strBestRelative;
    std::size_t lngBestLen = 0;
    for (std::size_t i = 0; i < mdrives.size(); ++i) {
        const std::string strRoot = HostFolder::Real(mdrives[i].strRoot);
        const auto relative = HostFolder::Below(strFolder, strRoot);
        if (relative && (!best || strRoot.size() > lngBestLen)) {
            best = i;
            strBestRelative = *relative;
            lngBestLen = strRoot.size();
        }
    }
    if (best) return HostFolder::WindowsPathOf(mdrives[*best].driveSpec.chLetter, strBestRelative);

    // Letters from Z down, so the table's own letters and the ones users
    // add at the low end stay free.
    for (char chLetter = 'Z'; chLetter >= 'A'; --chLetter) {
        if (DriveIndex(chLetter)) continue;
        DriveState state;
        state.driveSpec.chLetter = chLetter;
        state.driveSpec.hostPath = strFolder;
        state.driveSpec.lngType = kDriveFixed;
        state.strRoot = strFolder;
        state.blnReserved = true;
        mdrives.push_back(std::move(state));
        return HostFolder::WindowsPathOf(chLetter, "");
    }
    throw RtError(rt::kDeviceUnavailable);
}

}  // namespace platform::fs
