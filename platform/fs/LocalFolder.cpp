#include "platform/fs/LocalFolder.h"

namespace platform::fs {

std::string LocalFolder::Name() const {
    return mloc.win.IsRoot() ? std::string() : mloc.win.Names().back();
}

const struct stat& LocalFolder::HostStat() const {
    if (!mStat) mStat = mobjFileSys->StatOf(mloc, true);
    return *mStat;
}

FolderPtr LocalFolder::ParentFolder() const {
    if (mloc.win.IsRoot()) return nullptr;
    return mobjFileSys->FolderAt(mobjFileSys->ParentOf(mloc));
}

}  // namespace platform::fs
