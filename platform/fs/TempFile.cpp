#include "platform/fs/TempFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/fs/PathResolver.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {
std::atomic<unsigned long> gTempCounter{0};

// Asked once: O_EXCL keeps names unique even in a forked child that shares it.
pid_t CachedPid() {
    static const pid_t pid = getpid();
    return pid;
}
}  // namespace

TempFile::TempFile(const std::string& strHostDir, mode_t mode) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        mstrPath = PathResolver::Join(strHostDir, ".~tw" + std::to_string(CachedPid()) + "-" +
                                                      std::to_string(++gTempCounter) + ".tmp");
        mfd = open(mstrPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (mfd >= 0) return;
        if (errno != EEXIST) break;
    }
    throw RtError::FromErrno(errno, true);
}

TempFile::~TempFile() {
    if (mfd >= 0) close(mfd);
    if (!mblnPublished) unlink(mstrPath.c_str());
}

// A network file system may report a failed write only here.
void TempFile::Close() {
    const int rc = mfd >= 0 ? close(mfd) : 0;
    mfd = -1;
    if (rc != 0) throw RtError::FromErrno(errno);
}

void TempFile::PublishNoReplace(const std::string& strTarget) {
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
    Close();
    if (rename(mstrPath.c_str(), strTarget.c_str()) != 0) throw RtError::FromErrno(errno);
    mblnPublished = true;
}

}  // namespace platform::fs
