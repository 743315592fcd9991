// One reading of a host folder for a walk (FolderListing): the folder is
// opened and read once for its instruction file, its subfolders and its
// files, where asking each on its own reads it three times.
//
// A folder without subfolders stays open until its files are asked, as
// nothing is walked in between, and its files are read relative to that
// descriptor. One with subfolders is closed before they are walked (a deep
// tree would otherwise hold a descriptor per level), and read again for its
// files once they are done, so that those are what the folder holds then.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fs/LocalFileSystem.h"
#include "platform/fs/PathResolver.h"

namespace platform::fs {

class LocalFolderListing final : public FolderListing {
  public:
    LocalFolderListing(std::shared_ptr<LocalFileSystem> objFileSys, Location loc);
    ~LocalFolderListing() override;
    LocalFolderListing(const LocalFolderListing&) = delete;
    LocalFolderListing& operator=(const LocalFolderListing&) = delete;

    std::vector<FolderPtr> SubFolders() const override;
    std::vector<FilePtr> Files() const override;
    std::optional<std::string> TryReadFile(const std::string& strName,
                                           std::optional<RtError>& err) const override;

  private:
    // The entry a lookup of strName finds among the files: none when there is none.
    const HostEntry* FindFile(const std::string& strName) const;
    void CloseFolder() const;

    std::shared_ptr<LocalFileSystem> mobjFileSys;
    Location mloc;
    std::vector<HostEntry> mEntries;
    std::optional<RtError> mErr;  // why the folder could not be read
    mutable int mfd = -1;         // the folder, kept open while it has no subfolders
};

}  // namespace platform::fs
