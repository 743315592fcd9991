#include "platform/fs/FolderClaims.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

RtError LinkInTheWay() {
    return RtError(rt::kPathFileAccess, rt::kLinkInTheWayText);
}

// Opens the folder rest below dirFd without following any link on the way.
// openat2 does it in one call; older kernels go name by name.
int OpenBeneath(int dirFd, const std::string& strRest) {
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
    const long fd = syscall(SYS_openat2, dirFd, strRest.c_str(), &how, sizeof how);
    if (fd >= 0) return static_cast<int>(fd);
    if (errno == ELOOP || errno == EXDEV) throw LinkInTheWay();
    if (errno != ENOSYS) throw RtError::FromErrno(errno, true);
    int cur = dup(dirFd);
    for (std::size_t pos = 0; pos < strRest.size() && cur >= 0;) {
        const std::size_t next = std::min(strRest.find('/', pos), strRest.size());
        const std::string strName = strRest.substr(pos, next - pos);
        pos = next + 1;
        struct stat st;
        if (fstatat(cur, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            close(cur);
            throw LinkInTheWay();
        }
        const int sub = openat(cur, strName.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int err = errno;
        close(cur);
        if (sub < 0) throw RtError::FromErrno(err, true);
        cur = sub;
    }
    if (cur < 0) throw RtError::FromErrno(errno, true);
    return cur;
}

}  // namespace

// The folders on the way to the last one checked were checked with it.
bool FolderClaims::blnChecked(const Held& held, const std::string& strRest) {
    const std::string& strChecked = held.strChecked;
    if (strRest.empty()) return true;
    return strChecked.compare(0, strRest.size(), strRest) == 0 &&
           (strChecked.size() == strRest.size() || strChecked[strRest.size()] == '/');
}

// One claim: releases its folder when it goes.
class HeldClaim final : public FolderClaim {
  public:
    HeldClaim(std::shared_ptr<FolderClaims> claims, int lngId)
        : mclaims(std::move(claims)), mlngId(lngId) {}
    ~HeldClaim() override { mclaims->Release(mlngId); }

  private:
    std::shared_ptr<FolderClaims> mclaims;
    int mlngId;
};

std::unique_ptr<FolderClaim> FolderClaims::Claim(const std::string& strHost) {
    const int fd = open(strHost.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw RtError::FromErrno(errno, true);
    // A file system without locks (some network ones) still gets the rest
    // of the claim: no write below the folder through a link.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        close(fd);
        throw RtError(rt::kFileAlreadyOpen);
    }
    std::lock_guard lock(mMutex);
    const int lngId = ++mlngNextId;
    mHeld.push_back({lngId, strHost, fd, {}});
    return std::make_unique<HeldClaim>(shared_from_this(), lngId);
}

void FolderClaims::Release(int lngId) {
    std::lock_guard lock(mMutex);
    for (auto it = mHeld.begin(); it != mHeld.end(); ++it) {
        if (it->lngId != lngId) continue;
        close(it->fd);  // also lets go of the flock
        mHeld.erase(it);
        return;
    }
}

std::optional<std::size_t> FolderClaims::Holding(const std::string& strHostPath,
                                                 std::string& strRest) const {
    for (std::size_t ix = 0; ix < mHeld.size(); ++ix) {
        const std::string& strHost = mHeld[ix].strHost;
        if (strHostPath.compare(0, strHost.size(), strHost) != 0) continue;
        if (strHostPath.size() == strHost.size()) {
            strRest.clear();
            return ix;
        }
        if (strHostPath[strHost.size()] == '/' || strHost.back() == '/') {
            strRest = strHostPath.substr(strHost.size() + (strHost.back() == '/' ? 0 : 1));
            return ix;
        }
    }
    return std::nullopt;
}

void FolderClaims::CheckNoLinks(const std::string& strHostDir) {
    std::lock_guard lock(mMutex);
    if (mHeld.empty()) return;
    std::string strRest;
    const auto ix = Holding(strHostDir, strRest);
    if (!ix || blnChecked(mHeld[*ix], strRest)) return;
    close(OpenBeneath(mHeld[*ix].fd, strRest));
    mHeld[*ix].strChecked = strRest;
}

void FolderClaims::Made(const std::string& strHostParent, const std::string& strHostDir) {
    std::lock_guard lock(mMutex);
    std::string strRest;
    const auto ix = Holding(strHostParent, strRest);
    if (!ix || !blnChecked(mHeld[*ix], strRest)) return;
    std::string strRestDir;
    if (Holding(strHostDir, strRestDir) == ix) mHeld[*ix].strChecked = strRestDir;
}

bool FolderClaims::blnClaimed(const std::string& strHostPath) const {
    std::lock_guard lock(mMutex);
    std::string strRest;
    return Holding(strHostPath, strRest).has_value();
}

void FolderClaims::Forget() {
    std::lock_guard lock(mMutex);
    for (Held& held : mHeld) held.strChecked.clear();
}

}  // namespace platform::fs
