#include "platform/fs/TreeRemover.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/fs/HostNames.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

// The read-only check. A link is never protected: what protects the file
// it points to says nothing about the link, which is all that goes.
bool IsProtected(const struct stat& lst) {
    return (S_ISREG(lst.st_mode) || S_ISDIR(lst.st_mode)) && !(lst.st_mode & S_IWUSR);
}

std::vector<std::string> Names(int dirFd) {
    const int fd = dup(dirFd);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (!dir) {
        const int err = errno;
        if (fd >= 0) close(fd);
        throw RtError::FromErrno(err, true);
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(dir))
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
    closedir(dir);
    return names;
}

}  // namespace

void TreeRemover::RemoveFile(const std::string& strHostPath, const std::string& strWinPath) {
    struct stat lst;
    if (lstat(strHostPath.c_str(), &lst) != 0) throw RtError::FromErrno(errno);
    if (!mblnForce && IsProtected(lst)) throw RtError(rt::kPermissionDenied);
    if (mbefore) mbefore(strWinPath);
    if (unlink(strHostPath.c_str()) != 0) throw RtError::FromErrno(errno);
    if (S_ISREG(lst.st_mode)) mfreed += static_cast<uint64_t>(lst.st_size);
}

void TreeRemover::RemoveFolder(const std::string& strHostPath, const std::string& strWinPath) {
    struct stat st;
    if (lstat(strHostPath.c_str(), &st) != 0) throw RtError::FromErrno(errno, true);
    if (!S_ISDIR(st.st_mode)) throw RtError(rt::kPathNotFound);
    if (!mblnForce && !(st.st_mode & S_IWUSR)) throw RtError(rt::kPermissionDenied);
    if (mbefore) mbefore(strWinPath);
    RemoveTree(AT_FDCWD, strHostPath, st.st_mode, strWinPath);
}

void TreeRemover::RemoveTree(int dirFd, const std::string& strName, mode_t mode,
                             const std::string& strWinPath) {
    const int fd = openat(dirFd, strName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) throw RtError::FromErrno(errno, true);
    // Forced: a folder without write permission gets it, so an
    // unprivileged owner can empty it.
    if (!(mode & S_IWUSR)) fchmod(fd, (mode & 07777) | S_IWUSR);
    try {
        RemoveContents(fd, strWinPath);
    } catch (...) {
        close(fd);
        throw;
    }
    close(fd);
    if (unlinkat(dirFd, strName.c_str(), AT_REMOVEDIR) != 0) throw RtError::FromErrno(errno, true);
}

void TreeRemover::RemoveContents(int dirFd, const std::string& strWinPath) {
    for (const std::string& name : Names(dirFd))
        RemoveEntry(dirFd, name, strWinPath + "\\" + HostNames::ToWindowsName(name));
}

void TreeRemover::RemoveEntry(int dirFd, const std::string& strName,
                              const std::string& strWinPath) {
    struct stat lst;
    if (fstatat(dirFd, strName.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return;  // gone meanwhile: nothing to do
        throw RtError::FromErrno(errno);
    }
    if (!mblnForce && IsProtected(lst)) throw RtError(rt::kPermissionDenied);
    if (mbefore) mbefore(strWinPath);
    if (S_ISDIR(lst.st_mode)) {
        RemoveTree(dirFd, strName, lst.st_mode, strWinPath);
        return;
    }
    if (unlinkat(dirFd, strName.c_str(), 0) != 0) throw RtError::FromErrno(errno);
    if (S_ISREG(lst.st_mode)) mfreed += static_cast<uint64_t>(lst.st_size);
}

}  // namespace platform::fs
