// A program's own folder as a Windows path (App.Path). The folder usually
// lies outside every drive of the table (a build folder, /usr/lib/...), yet
// error.log and the help file must be reachable through Windows paths, so
// such a folder gets a letter of its own that the drive list never shows.
#include <system_error>

#include "platform/fs/HostNames.h"
#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

namespace {

std::string Normalised(const std::filesystem::path& host) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::weakly_canonical(host, ec);
    if (ec) full = std::filesystem::absolute(host, ec).lexically_normal();
    std::string s = full.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// The part of strFolder below strRoot ("" for the root itself), or nothing
// when strFolder does not lie below strRoot.
std::optional<std::string> Below(const std::string& strFolder, const std::string& strRoot) {
    if (strRoot == "/") return strFolder == "/" ? std::string() : strFolder.substr(1);
    if (strFolder == strRoot) return std::string();
    if (strFolder.size() > strRoot.size() && strFolder.compare(0, strRoot.size(), strRoot) == 0 &&
        strFolder[strRoot.size()] == '/')
        return strFolder.substr(strRoot.size() + 1);
    return std::nullopt;
}

std::string WindowsPathOf(char chLetter, const std::string& strRelative) {
    std::string strPath(1, chLetter);
    strPath += ':';
    if (strRelative.empty()) return strPath + '\\';
    for (std::size_t pos = 0; pos <= strRelative.size();) {
        const std::size_t next = std::min(strRelative.find('/', pos), strRelative.size());
        strPath += '\\' + HostNames::ToWindowsName(strRelative.substr(pos, next - pos));
        pos = next + 1;
    }
    return strPath;
}

}  // namespace

std::string LocalFileSystem::AppPathOf(const std::filesystem::path& hostFolder) {
    const std::string strFolder = Normalised(hostFolder);
    // The drive with the longest root that holds the folder; reserved
    // letters count too, so asking twice gives the same path.
    std::optional<std::size_t> best;
    std::string strBestRelative;
    std::size_t lngBestLen = 0;
    for (std::size_t i = 0; i < mdrives.size(); ++i) {
        const std::string strRoot = Normalised(mdrives[i].strRoot);
        const auto relative = Below(strFolder, strRoot);
        if (relative && (!best || strRoot.size() > lngBestLen)) {
            best = i;
            strBestRelative = *relative;
            lngBestLen = strRoot.size();
        }
    }
    if (best) return WindowsPathOf(mdrives[*best].driveSpec.chLetter, strBestRelative);

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
        return WindowsPathOf(chLetter, "");
    }
    throw RtError(rt::kDeviceUnavailable);
}

}  // namespace platform::fs
