#include "platform/fs/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

std::filesystem::path HomeOfUser() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

}  // namespace

std::filesystem::path UserStateFolder() {
    const char* xdg = std::getenv("XDG_STATE_HOME");
    const std::filesystem::path base =
        xdg && *xdg == '/' ? std::filesystem::path(xdg) : HomeOfUser() / ".local" / "state";
    return base / "TarnwickBackup";
}

std::filesystem::path MakeUserStateFolder() {
    const std::filesystem::path folder = UserStateFolder();
    // Folder by folder from the top, so each new one gets mode 0700 rather
    // than what the umask leaves.
    std::filesystem::path partial;
    for (const auto& name : folder) {
        partial /= name;
        if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw RtError::FromErrno(errno, true);
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) throw RtError::FromErrno(errno, true);
    if (!S_ISDIR(st.st_mode)) throw RtError(rt::kPathFileAccess);
    return folder;
}

}  // namespace platform::fs
