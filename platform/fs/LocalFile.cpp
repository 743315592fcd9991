#include "platform/fs/LocalFile.h"

namespace platform::fs {

FolderPtr LocalFile::ParentFolder() const {
    return mobjFileSys->FolderAt(mobjFileSys->ParentOf(mloc));
}

uint64_t LocalFile::Size() const {
    if (mListed) {
        mobjFileSys->Fault(FsOp::Stat, mloc.win);
        return mListed->lngSize;
    }
    return static_cast<uint64_t>(mobjFileSys->StatOf(mloc, false).st_size);
}

Date LocalFile::DateLastModified() const {
    if (mListed) mobjFileSys->Fault(FsOp::Stat, mloc.win);
    const timespec t = mListed ? mListed->mtime : mobjFileSys->StatOf(mloc, false).st_mtim;
    const auto since = std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
    return Date(std::chrono::duration_cast<Date::duration>(since));
}

}  // namespace platform::fs
