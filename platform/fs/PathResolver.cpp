#include "platform/fs/PathResolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/fs/HostNames.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

EntryKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return EntryKind::Folder;
    if (S_ISREG(mode)) return EntryKind::File;
    return EntryKind::Other;
}

// The kind of a listed entry; d_type spares a stat for plain entries.
EntryKind ListedKind(int dirFd, const char* name, unsigned char dtype) {
    struct stat st;
    if (dtype == DT_DIR) return EntryKind::Folder;
    if (dtype == DT_REG) return EntryKind::File;
    if (dtype == DT_UNKNOWN) {
        if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Other;
        if (!S_ISLNK(st.st_mode)) return KindOfMode(st.st_mode);
    } else if (dtype != DT_LNK) {
        return EntryKind::Other;
    }
    if (fstatat(dirFd, name, &st, 0) != 0) return EntryKind::Other;  // dangling or a loop
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

}  // namespace

std::vector<HostEntry> PathResolver::List(const std::string& strHostDir) {
    DIR* dir = opendir(strHostDir.c_str());
    if (!dir) throw RtError::FromErrno(errno, true);
    std::vector<HostEntry> entries;
    errno = 0;
    while (dirent* e = readdir(dir)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        const EntryKind kind = ListedKind(dirfd(dir), e->d_name, e->d_type);
        if (kind == EntryKind::Folder || kind == EntryKind::File)
            entries.push_back({e->d_name, kind});
        errno = 0;
    }
    const int err = errno;
    closedir(dir);
    if (err) throw RtError::FromErrno(err, true);
    return entries;
}

EntryKind PathResolver::KindOfPath(const std::string& strHostPath) {
    struct stat st;
    if (stat(strHostPath.c_str(), &st) != 0) return EntryKind::Missing;
    return KindOfMode(st.st_mode);
}

std::optional<std::string> PathResolver::FindName(const std::string& strHostDir,
                                                  const std::string& strWinName, EntryKind prefer) {
    const std::string exact = HostNames::ToHostName(strWinName);
    const EntryKind exactKind = KindOfPath(Join(strHostDir, exact));
    if (exactKind != EntryKind::Missing && (exactKind == prefer || prefer == EntryKind::Missing))
        return exact;
    DIR* dir = opendir(strHostDir.c_str());
    if (!dir) return exactKind != EntryKind::Missing ? std::optional(exact) : std::nullopt;
    std::optional<std::string> first;
    const std::string folded = HostNames::Fold(strWinName);
    while (dirent* e = readdir(dir)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        if (HostNames::Fold(HostNames::ToWindowsName(e->d_name)) != folded) continue;
        if (prefer == EntryKind::Missing || KindOfPath(Join(strHostDir, e->d_name)) == prefer) {
            closedir(dir);
            return std::string(e->d_name);
        }
        if (!first) first = e->d_name;
    }
    closedir(dir);
    if (exactKind != EntryKind::Missing) return exact;
    return first;
}

std::optional<std::string> PathResolver::Resolve(const std::string& strRoot,
                                                 const std::vector<std::string>& names,
                                                 EntryKind finalPrefer) {
    std::string exact = strRoot;
    for (const std::string& name : names) exact = Join(exact, HostNames::ToHostName(name));
    const EntryKind kind = KindOfPath(exact);
    if (kind != EntryKind::Missing &&
        (names.empty() || finalPrefer == EntryKind::Missing || kind == finalPrefer))
        return exact;
    if (names.empty()) return std::nullopt;
    std::string cur = strRoot;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool blnLast = i + 1 == names.size();
        const auto found = FindName(cur, names[i], blnLast ? finalPrefer : EntryKind::Folder);
        if (!found) return std::nullopt;
        cur = Join(cur, *found);
    }
    if (KindOfPath(cur) == EntryKind::Missing) return std::nullopt;
    return cur;
}

}  // namespace platform::fs
