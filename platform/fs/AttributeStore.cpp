#include "platform/fs/AttributeStore.h"

#include <sys/xattr.h>

#include <cerrno>

#include "platform/fs/FileSystem.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

struct Stored {
    bool blnHidden = false;
    bool blnSystem = false;
    bool blnStamp = false;
    int64_t mtimeNs = 0;
    int64_t size = 0;
};

int64_t MtimeNs(const struct stat& st) {
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

Stored ParseStored(const std::string& s) {
    Stored r;
    std::size_t i = 0;
    for (; i < s.size() && s[i] != '/'; ++i) {
        if (s[i] == 'H') r.blnHidden = true;
        if (s[i] == 'S') r.blnSystem = true;
    }
    if (i < s.size()) {
        const std::size_t colon = s.find(':', i);
        try {
            r.mtimeNs = std::stoll(s.substr(i + 1, colon - i - 1));
            r.size = colon == std::string::npos ? -1 : std::stoll(s.substr(colon + 1));
            r.blnStamp = true;
        } catch (const std::exception&) {
            r.blnStamp = false;  // a damaged stamp reads as "changed"
        }
    }
    return r;
}

std::string Format(const Stored& r) {
    std::string s;
    if (r.blnHidden) s += 'H';
    if (r.blnSystem) s += 'S';
    if (r.blnStamp) {
        s += '/';
        s += std::to_string(r.mtimeNs);
        s += ':';
        s += std::to_string(r.size);
    }
    return s;
}

Stored ReadStored(const std::string& strHostPath) {
    char buf[128];
    const ssize_t n = getxattr(strHostPath.c_str(), AttributeStore::kXattrName, buf, sizeof buf);
    if (n <= 0) return {};
    return ParseStored(std::string(buf, static_cast<std::size_t>(n)));
}

void WriteStored(const std::string& strHostPath, const Stored& r) {
    const std::string value = Format(r);
    int rc;
    if (value.empty()) {
        rc = removexattr(strHostPath.c_str(), AttributeStore::kXattrName);
        if (rc != 0 && errno == ENODATA) rc = 0;
    } else {
        rc = setxattr(strHostPath.c_str(), AttributeStore::kXattrName, value.data(), value.size(),
                      0);
    }
    // No user xattrs here: the flags cannot be kept, which is not an error.
    if (rc != 0 && errno != ENOTSUP) throw RtError::FromErrno(errno);
}

}  // namespace

int32_t AttributeStore::Read(const std::string& strHostPath, const std::string& strHostName,
                             const struct stat& st) {
    const Stored r = ReadStored(strHostPath);
    int32_t attrs = 0;
    if (!(st.st_mode & S_IWUSR)) attrs |= vbReadOnly;
    if (r.blnHidden || (!strHostName.empty() && strHostName[0] == '.')) attrs |= vbHidden;
    if (r.blnSystem) attrs |= vbSystem;
    if (S_ISDIR(st.st_mode)) {
        attrs |= vbDirectory;
    } else if (!r.blnStamp || r.mtimeNs != MtimeNs(st) || r.size != st.st_size) {
        attrs |= vbArchive;
    }
    return attrs;
}

void AttributeStore::Write(const std::string& strHostPath, const std::string& strHostName,
                           const struct stat& st, int32_t lngAttributes) {
    Stored r;
    const bool blnDotName = !strHostName.empty() && strHostName[0] == '.';
    r.blnHidden = (lngAttributes & vbHidden) && !blnDotName;
    r.blnSystem = (lngAttributes & vbSystem) != 0;
    if (!(lngAttributes & vbArchive) && !S_ISDIR(st.st_mode)) {
        r.blnStamp = true;
        r.mtimeNs = MtimeNs(st);
        r.size = st.st_size;
    }
    const bool blnWasReadOnly = !(st.st_mode & S_IWUSR);
    const bool blnReadOnly = (lngAttributes & vbReadOnly) != 0;
    const mode_t mode = st.st_mode & 07777;
    // Writable first when the protection goes, flags first when it comes, so
    // an unprivileged owner can always write the flags.
    if (blnWasReadOnly && !blnReadOnly && chmod(strHostPath.c_str(), mode | S_IWUSR) != 0)
        throw RtError::FromErrno(errno);
    WriteStored(strHostPath, r);
    if (!blnWasReadOnly && blnReadOnly &&
        chmod(strHostPath.c_str(), mode & ~static_cast<mode_t>(0222)) != 0)
        throw RtError::FromErrno(errno);
}

void AttributeStore::CopyFlags(int srcFd, int dstFd) {
    char buf[128];
    const ssize_t n = fgetxattr(srcFd, kXattrName, buf, sizeof buf);
    if (n <= 0) return;
    Stored r = ParseStored(std::string(buf, static_cast<std::size_t>(n)));
    r.blnStamp = false;
    const std::string value = Format(r);
    if (!value.empty()) fsetxattr(dstFd, kXattrName, value.data(), value.size(), 0);
}

}  // namespace platform::fs
