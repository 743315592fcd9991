// A folder handle: a Location on a drive; nothing is kept open.
#pragma once

#include <memory>

#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

class LocalFolder final : public Folder {
  public:
    LocalFolder(std::shared_ptr<LocalFileSystem> objFileSys, Location loc)
        : mobjFileSys(std::move(objFileSys)), mloc(std::move(loc)) {}
    // A folder as its stat of a moment ago found it.
    LocalFolder(std::shared_ptr<LocalFileSystem> objFileSys, Location loc, const struct stat& st)
        : mobjFileSys(std::move(objFileSys)), mloc(std::move(loc)), mStat(st) {}

    std::string Name() const override;
    std::string Path() const override { return mloc.win.ToString(); }
    bool IsRootFolder() const override { return mloc.win.IsRoot(); }
    FolderPtr ParentFolder() const override;
    DrivePtr GetDrive() const override { return mobjFileSys->DriveAt(mloc.lngDrive); }
    std::vector<FolderPtr> SubFolders() const override { return mobjFileSys->SubFoldersOf(mloc); }
    std::vector<FilePtr> Files() const override { return mobjFileSys->FilesOf(mloc); }
    std::vector<FilePtr> OtherEntries() const override { return mobjFileSys->OtherEntriesOf(mloc); }
    std::unique_ptr<FolderListing> Listing() const override { return mobjFileSys->ListingOf(mloc); }
    int32_t Attributes() const override { return mobjFileSys->AttributesOf(mloc, true); }
    void Delete(bool blnForce) override { mobjFileSys->DeleteFolderAt(mloc, blnForce); }
    const Location& Loc() const { return mloc; }
    // The folder's stat, read once: a walk asks it when it makes the
    // folder's copy and again when the copy is complete.
    const struct stat& HostStat() const;

  private:
    std::shared_ptr<LocalFileSystem> mobjFileSys;
    Location mloc;
    mutable std::optional<struct stat> mStat;
};

}  // namespace platform::fs
