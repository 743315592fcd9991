#include "platform/fs/FileWriter.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fs/AttributeStore.h"
#include "platform/fs/CapacityTracker.h"
#include "platform/fs/PathResolver.h"
#include "platform/fs/RtError.h"
#include "platform/fs/TempFile.h"

namespace platform::fs {

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 30;
constexpr off_t kLookFirstBytes = off_t{1} << 20;

class FdCloser {
  public:
    explicit FdCloser(int fd) : mfd(fd) {}
    ~FdCloser() { close(mfd); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

  private:
    int mfd;
};

// A request never runs past limit + 1, so one byte too many is noticed.
std::size_t NextRequest(uint64_t written, uint64_t limit) {
    if (limit == UINT64_MAX) return kChunk;
    const uint64_t room = limit - written + 1;
    return room < kChunk ? static_cast<std::size_t>(room) : kChunk;
}

bool IsUnsupported(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF;
}

void CheckLimit(uint64_t written, uint64_t limit) {
    if (written > limit) throw RtError(rt::kDiskFull);
}

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw RtError::FromErrno(errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

uint64_t ReadWriteCopy(int in, int out, uint64_t written, uint64_t limit) {
    static thread_local char buf[1 << 17];
    for (;;) {
        const std::size_t want = std::min(sizeof buf, NextRequest(written, limit));
        const ssize_t n = read(in, buf, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw RtError::FromErrno(errno);
        if (n == 0) return written;
        WriteAll(out, buf, static_cast<std::size_t>(n));
        written += static_cast<uint64_t>(n);
        CheckLimit(written, limit);
    }
}

// Existing target: no overwrite is 58, a folder or a read-only file is 70.
// Returns the size the target held (0 when there is none).
uint64_t CheckTarget(const std::string& strTarget, bool blnOverwrite) {
    struct stat st;
    if (!blnOverwrite) {
        // Anything that has the name, a dangling link included, is in the way.
        if (lstat(strTarget.c_str(), &st) == 0) throw RtError(rt::kFileAlreadyExists);
        return 0;
    }
    // A link is replaced itself; what it points to is never written.
    if (lstat(strTarget.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return 0;
    if (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR)) throw RtError(rt::kPermissionDenied);
    return static_cast<uint64_t>(st.st_size);
}

uint64_t AllowedBytes(CapacityTracker* tracker, uint64_t need) {
    if (!tracker) return UINT64_MAX;
    const uint64_t available = tracker->Available();
    if (need > available) throw RtError(rt::kDiskFull);
    return available;
}

void SyncFolder(const std::string& strHostDir) {
    const int fd = open(strHostDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// The umask of the process, read once; -1 when it cannot be read. Programs
// of this system never change it while they run.
int ProcessUmask() {
    static const int lngMask = [] {
        FILE* f = fopen("/proc/self/status", "re");
        if (!f) return -1;
        int mask = -1;
        char line[256];
        while (fgets(line, sizeof line, f))
            if (std::strncmp(line, "Umask:", 6) == 0)
                mask = static_cast<int>(std::strtol(line + 6, nullptr, 8));
        fclose(f);
        return mask;
    }();
    return lngMask;
}

// Whether a file created with mode already has it, so no fchmod is needed.
bool blnCreatedWithMode(mode_t mode) {
    const int mask = ProcessUmask();
    return mask >= 0 && (mode & 07000) == 0 && (mode & static_cast<mode_t>(mask)) == 0;
}

// A set-user-id or set-group-id bit means "run as the file's owner (group)":
// kept only where the copy has the source's owner (group), so a copy made
// by root of a user's program never becomes a program that runs as root.
mode_t SetIdBitsKept(int fdCopy, const struct stat& src, mode_t mode) {
    struct stat st;
    if (fstat(fdCopy, &st) != 0) return mode & ~static_cast<mode_t>(S_ISUID | S_ISGID);
    if (st.st_uid != src.st_uid) mode &= ~static_cast<mode_t>(S_ISUID);
    if (st.st_gid != src.st_gid) mode &= ~static_cast<mode_t>(S_ISGID);
    return mode;
}

// OpenForRead that also hands back what it learnt of the file.
int OpenRegular(const std::string& strHostPath, struct stat& st) {
    const int fd = open(strHostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) throw RtError::FromErrno(errno);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        throw RtError(rt::kFileNotFound);
    }
    return fd;
}

}  // namespace

int FileWriter::OpenForRead(const std::string& strHostPath) {
    struct stat st;
    return OpenRegular(strHostPath, st);
}

std::string FileWriter::ReadAll(const std::string& strHostPath) {
    const int fd = OpenForRead(strHostPath);
    FdCloser closer(fd);
    std::string data;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw RtError::FromErrno(errno);
        if (n == 0) return data;
        data.append(buf, static_cast<std::size_t>(n));
    }
}

uint64_t FileWriter::CopyContents(int in, int out, uint64_t limit, uint64_t expected) {
    uint64_t written = 0;
    bool blnKernelCopy = true;
    while (blnKernelCopy) {
        // What the file held when it was opened is what is copied, so the
        // usual small file needs no second call to find its end.
        if (expected > 0 && written >= expected) return written;
        const ssize_t n =
            copy_file_range(in, nullptr, out, nullptr, NextRequest(written, limit), 0);
        if (n == 0) return written;
        if (n < 0) {
            if (errno == EINTR) continue;
            if (!IsUnsupported(errno)) throw RtError::FromErrno(errno);
            blnKernelCopy = false;
            break;
        }
        written += static_cast<uint64_t>(n);
        CheckLimit(written, limit);
    }
    for (;;) {
        if (expected > 0 && written >= expected) return written;
        const ssize_t n = sendfile(out, in, nullptr, NextRequest(written, limit));
        if (n == 0) return written;
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EINVAL || errno == ENOSYS) return ReadWriteCopy(in, out, written, limit);
            throw RtError::FromErrno(errno);
        }
        written += static_cast<uint64_t>(n);
        CheckLimit(written, limit);
    }
}

uint64_t FileWriter::Copy(const std::string& strSource, const std::string& strHostDir,
                      const std::string& strHostName, bool blnOverwrite, CapacityTracker* tracker,
                      const std::function<void()>& beforePublish) {
    struct stat src;
    const int in = OpenRegular(strSource, src);
    FdCloser closer(in);
    const std::string strTarget = PathResolver::Join(strHostDir, strHostName);
    // A new small file learns of a target in its way from the no-replace
    // publish; the name is looked up first only where copying in vain would
    // cost much, or where a full simulated medium must not hide the 58.
    const bool blnAskFirst = blnOverwrite || tracker || src.st_size > kLookFirstBytes;
    const uint64_t oldSize = blnAskFirst ? CheckTarget(strTarget, blnOverwrite) : 0;
    const uint64_t limit = AllowedBytes(tracker, static_cast<uint64_t>(src.st_size));

    mode_t mode = src.st_mode & 07777;
    TempFile tmp(strHostDir, mode & 0777,
                 blnOverwrite ? TempFile::Kind::Named : TempFile::Kind::Anonymous);
    const uint64_t written = CopyContents(in, tmp.Fd(), limit, static_cast<uint64_t>(src.st_size));
    if (mode & (S_ISUID | S_ISGID)) mode = SetIdBitsKept(tmp.Fd(), src, mode);
    const timespec times[2] = {src.st_atim, src.st_mtim};
    if ((!blnCreatedWithMode(mode) && fchmod(tmp.Fd(), mode) != 0) ||
        futimens(tmp.Fd(), times) != 0)
        throw RtError::FromErrno(errno);
    AttributeStore::CopyFlags(in, tmp.Fd());
    if (beforePublish) beforePublish();
    if (blnOverwrite)
        tmp.PublishReplace(strTarget);
    else
        tmp.PublishNoReplace(strTarget);
    if (tracker) {
        tracker->Add(written);
        tracker->Remove(oldSize);
    }
    return written;
}

void FileWriter::WriteReplacing(const std::string& strHostDir, const std::string& strHostName,
                                const std::string& strData, CapacityTracker* tracker,
                                const std::function<void()>& beforePublish) {
    std::string strTarget = PathResolver::Join(strHostDir, strHostName);
    std::string strDir = strHostDir;
    struct stat st;
    const bool blnExists = stat(strTarget.c_str(), &st) == 0;
    if (blnExists) {
        if (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR)) throw RtError(rt::kPermissionDenied);
        // A link to the file (a kept dotfile, say) stays a link.
        if (char* real = realpath(strTarget.c_str(), nullptr)) {
            strTarget = real;
            free(real);
            strDir = strTarget.substr(0, strTarget.rfind('/') + 1);
        }
    }
    const uint64_t oldSize = blnExists ? static_cast<uint64_t>(st.st_size) : 0;
    AllowedBytes(tracker, strData.size() > oldSize ? strData.size() - oldSize : 0);

    TempFile tmp(strDir, blnExists ? st.st_mode & 07777 : 0666);
    WriteAll(tmp.Fd(), strData.data(), strData.size());
    if ((blnExists && fchmod(tmp.Fd(), st.st_mode & 07777) != 0) || fsync(tmp.Fd()) != 0)
        throw RtError::FromErrno(errno);
    if (beforePublish) beforePublish();
    tmp.PublishReplace(strTarget);
    SyncFolder(strDir);
    if (tracker) {
        tracker->Add(strData.size());
        tracker->Remove(oldSize);
    }
}

void FileWriter::CreateEmpty(const std::string& strHostPath) {
    const int fd =
        open(strHostPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) throw RtError::FromErrno(errno);
    close(fd);
}

}  // namespace platform::fs
