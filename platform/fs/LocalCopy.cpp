// Copying a file: into the folder its new path names, counted on the
// simulated medium and in the listings this process keeps.
#include "platform/fs/FileWriter.h"
#include "platform/fs/HostNames.h"
#include "platform/fs/ListingCache.h"
#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

std::optional<Location> LocalFileSystem::ExactParentOf(const WinPath& path) const {
    const auto index = DriveIndex(path.Letter());
    // A simulated medium answers 61 before the copy could learn of a
    // missing folder: there the folder is looked up first, as always.
    if (!index || path.IsRoot() || mdrives[*index].driveSpec.blnReadOnly || mdrives[*index].tracker)
        return std::nullopt;
    const WinPath parent = path.Parent();
    std::string strHost = mdrives[*index].strRoot;
    for (const std::string& strName : parent.Names())
        strHost = PathResolver::Join(strHost, HostNames::ToHostName(strName));
    return Location{*index, parent, std::move(strHost)};
}

void LocalFileSystem::CopyFileAt(const Location& source, const std::string& strDestination,
                                 bool blnOverwrite) {
    WinPath target = WinPath::Parse(strDestination);
    if (WinPath::EndsInSeparator(strDestination)) target = target.Child(source.win.Names().back());
    const std::string& strName = target.Names().back();
    // A new file goes first into the folder its path names exactly, which
    // is what a lookup would find when that folder exists; only when it does
    // not (76) is the folder looked up, with the case-insensitive search and
    // the errors that tell why it is missing.
    if (!blnOverwrite) {
        if (const auto exact = ExactParentOf(target)) {
            Fault(FsOp::OpenForRead, source.win);
            bool blnPublishReached = false;
            try {
                CopyInto(source, *exact, HostNames::ToHostName(strName), false, &blnPublishReached);
                return;
            } catch (const RtError& e) {
                if (e.Number() != rt::kPathNotFound || blnPublishReached) throw;
            }
            CopyInto(source, ParentForCreate(target), HostNames::ToHostName(strName), false);
            return;
        }
    }
    const Location parent = ParentForCreate(target);
    std::string strHostName = HostNames::ToHostName(strName);
    // Overwriting replaces the file Windows would see, whatever its case; a
    // new file keeps its own name, so case variants on the source survive.
    if (blnOverwrite)
        strHostName =
            PathResolver::FindName(parent.strHost, strName, EntryKind::File).value_or(strHostName);
    Fault(FsOp::OpenForRead, source.win);
    CopyInto(source, parent, strHostName, blnOverwrite);
}

void LocalFileSystem::CopyInto(const Location& source, const Location& parent,
                               const std::string& strHostName, bool blnOverwrite,
                               bool* pPublishReached) {
    const WinPath published = parent.win.Child(HostNames::ToWindowsName(strHostName));
    mclaims->CheckNoLinks(parent.strHost);
    const uint64_t written =
        FileWriter::Copy(source.strHost, parent.strHost, strHostName, blnOverwrite,
                         mdrives[parent.lngDrive].tracker.get(), [&] {
                             if (pPublishReached) *pPublishReached = true;
                             Fault(FsOp::Create, published);
                         });
    mdrives[parent.lngDrive].space->Written(written);
    if (blnOverwrite)
        ListingCache::Instance().Forget(parent.strHost);
    else
        ListingCache::Instance().Added(parent.strHost, {strHostName, EntryKind::File});
    mwriteback.Written(mdrives[parent.lngDrive].strRoot, written);
}

void LocalFileSystem::CopyFile(const std::string& strSource, const std::string& strDestination,
                               bool blnOverwrite) {
    CopyFileAt(Require(strSource, EntryKind::File), strDestination, blnOverwrite);
}

}  // namespace platform::fs
