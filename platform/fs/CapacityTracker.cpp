#include "platform/fs/CapacityTracker.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace platform::fs {

namespace {

uint64_t FolderBytes(int dirFd) {
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        close(dirFd);
        return 0;
    }
    uint64_t total = 0;
    while (dirent* e = readdir(dir)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        struct stat st;
        if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode)) {
            total += static_cast<uint64_t>(st.st_size);
        } else if (S_ISDIR(st.st_mode)) {
            const int sub =
                openat(dirfd(dir), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) total += FolderBytes(sub);
        }
    }
    closedir(dir);
    return total;
}

}  // namespace

CapacityTracker::CapacityTracker(std::filesystem::path root, uint64_t capacity)
    : mroot(std::move(root)), mcapacity(capacity) {}

uint64_t CapacityTracker::TreeBytes(const std::filesystem::path& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return fd < 0 ? 0 : FolderBytes(fd);
}

void CapacityTracker::SyncMedium() {
    struct stat st;
    if (stat(mroot.c_str(), &st) != 0) {
        mblnKnown = false;  // no medium: scan whatever is inserted next
        mused = 0;
        return;
    }
    if (mblnKnown && st.st_dev == mdev && st.st_ino == mino) return;
    mdev = st.st_dev;
    mino = st.st_ino;
    mused = TreeBytes(mroot);
    mblnKnown = true;
}

uint64_t CapacityTracker::Used() {
    std::lock_guard lock(mmutex);
    SyncMedium();
    return mused;
}

void CapacityTracker::Forget() {
    std::lock_guard lock(mmutex);
    mblnKnown = false;
}

// A change on a medium the tracker has not counted yet is left to the scan
// that the next query makes, which sees it anyway.
bool CapacityTracker::Counted() const {
    struct stat st;
    return mblnKnown && stat(mroot.c_str(), &st) == 0 && st.st_dev == mdev && st.st_ino == mino;
}

void CapacityTracker::Add(uint64_t bytes) {
    std::lock_guard lock(mmutex);
    if (Counted()) mused += bytes;
}

void CapacityTracker::Remove(uint64_t bytes) {
    std::lock_guard lock(mmutex);
    if (Counted()) mused = bytes > mused ? 0 : mused - bytes;
}

}  // namespace platform::fs
