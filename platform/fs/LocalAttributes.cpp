// An entry's stat, attributes and length.
#include <sys/stat.h>

#include <cerrno>

#include "platform/fs/AttributeStore.h"
#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

namespace {

std::string LastName(const std::string& strHost) {
    return strHost.substr(strHost.rfind('/') + 1);
}

}  // namespace

struct stat LocalFileSystem::StatOf(const Location& loc, bool blnFolder) const {
    Fault(FsOp::Stat, loc.win);
    struct stat st;
    if (stat(loc.strHost.c_str(), &st) != 0) throw RtError::FromErrno(errno, blnFolder);
    if (blnFolder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        throw RtError(blnFolder ? rt::kPathNotFound : rt::kFileNotFound);
    return st;
}

int32_t LocalFileSystem::AttributesOf(const Location& loc, bool blnFolder) const {
    const struct stat st = StatOf(loc, blnFolder);
    return AttributeStore::Read(loc.strHost, loc.win.IsRoot() ? "" : LastName(loc.strHost), st);
}

void LocalFileSystem::SetAttributesAt(const Location& loc, int32_t lngAttributes) {
    CheckWritable(loc.lngDrive);
    Fault(FsOp::SetAttributes, loc.win);
    CheckClaimedEntry(loc);
    struct stat st;
    if (stat(loc.strHost.c_str(), &st) != 0) throw RtError::FromErrno(errno);
    AttributeStore::Write(loc.strHost, LastName(loc.strHost), st, lngAttributes);
}

uint64_t LocalFileSystem::FileLen(const std::string& strPath) const {
    const Location loc = Require(strPath, EntryKind::File);
    return static_cast<uint64_t>(StatOf(loc, false).st_size);
}

}  // namespace platform::fs
