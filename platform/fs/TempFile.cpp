#include "platform/fs/TempFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>

#include "platform/fs/PathResolver.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {
std::atomic<unsigned long> gTempCounter{0};

// How a nameless file gets its name on this kernel, learnt from the first one.
enum LinkWay : int { kUntried, kEmptyPath, kProcFd, kNoLink };
std::atomic<int> gLinkWay{kUntried};

// Asked once: O_EXCL keeps names unique even in a forked child that shares it.
pid_t CachedPid() {
    static const pid_t pid = getpid();
    return pid;
}

std::string NextName(const std::string& strHostDir) {
    return PathResolver::Join(strHostDir, ".~tw" + std::to_string(CachedPid()) + "-" +
                                              std::to_string(++gTempCounter) + ".tmp");
}

// What open(O_TMPFILE) answers where the file system or kernel has none.
bool blnNoTmpfile(int err) {
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL || err == ENOSYS;
}

int Link(int fd, const std::string& strTarget, int way) {
    if (way == kEmptyPath) return linkat(fd, "", AT_FDCWD, strTarget.c_str(), AT_EMPTY_PATH);
    // Kernels that keep AT_EMPTY_PATH to privileged callers still link
    // through the descriptor's /proc entry.
    const std::string strSelf = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, strSelf.c_str(), AT_FDCWD, strTarget.c_str(), AT_SYMLINK_FOLLOW);
}

}  // namespace

TempFile::TempFile(const std::string& strHostDir, mode_t mode, Kind kind) {
    if (kind == Kind::Anonymous && gLinkWay.load() != kNoLink) {
        mfd = open(strHostDir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (mfd >= 0) {
            if (gLinkWay.load() != kUntried || blnFirstLink(strHostDir)) return;
            close(mfd);
            mfd = -1;
        } else if (!blnNoTmpfile(errno)) {
            throw RtError::FromErrno(errno, true);
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        mstrPath = NextName(strHostDir);
        mfd = open(mstrPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (mfd >= 0) return;
        if (errno != EEXIST) break;
    }
    const int err = errno;
    mstrPath.clear();
    throw RtError::FromErrno(err, true);
}

TempFile::~TempFile() {
    if (mfd >= 0) close(mfd);
    if (!mblnPublished && !mstrPath.empty()) unlink(mstrPath.c_str());
}

// A network file system may report a failed write only here.
void TempFile::Close() {
    const int rc = mfd >= 0 ? close(mfd) : 0;
    mfd = -1;
    if (rc != 0) throw RtError::FromErrno(errno);
}

// The first nameless file of the process learns which way links it: it is
// linked under a temporary name of its own, and so goes on as a named file
// (a nameless file can be linked once only).
bool TempFile::blnFirstLink(const std::string& strHostDir) {
    const std::string strName = NextName(strHostDir);
    for (const int way : {kEmptyPath, kProcFd}) {
        if (Link(mfd, strName, way) == 0) {
            gLinkWay = way;
            mstrPath = strName;
            return true;
        }
    }
    gLinkWay = kNoLink;
    return false;
}

void TempFile::PublishNoReplace(const std::string& strTarget) {
    if (blnAnonymous()) {
        if (Link(mfd, strTarget, gLinkWay.load()) != 0) throw RtError::FromErrno(errno);
        mblnPublished = true;
        try {
            Close();
        } catch (...) {
            unlink(strTarget.c_str());  // its contents may not be what was written
            throw;
        }
        return;
    }
    Close();
    if (renameat2(AT_FDCWD, mstrPath.c_str(), AT_FDCWD, strTarget.c_str(), RENAME_NOREPLACE) == 0) {
        mblnPublished = true;
        return;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) throw RtError::FromErrno(errno);
    // The file system cannot rename without replacing: link() fails on an
    // existing target just as reliably.
    if (link(mstrPath.c_str(), strTarget.c_str()) != 0) throw RtError::FromErrno(errno);
    mblnPublished = true;
    unlink(mstrPath.c_str());
}

void TempFile::PublishReplace(const std::string& strTarget) {
    if (blnAnonymous()) throw std::logic_error("a nameless temporary file cannot replace");
    Close();
    if (rename(mstrPath.c_str(), strTarget.c_str()) != 0) throw RtError::FromErrno(errno);
    mblnPublished = true;
}

}  // namespace platform::fs
