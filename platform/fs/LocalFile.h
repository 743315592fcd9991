// A file handle: a Location on a drive; nothing is kept open.
#pragma once

#include <memory>
#include <optional>

#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

class LocalFile final : public File {
  public:
    LocalFile(std::shared_ptr<LocalFileSystem> objFileSys, Location loc)
        : mobjFileSys(std::move(objFileSys)), mloc(std::move(loc)) {}
    // A file as its folder's listing found it: size and date are those of
    // that moment, read relative to the open folder (a walk asks both of
    // every file, and a full path costs a lookup of every folder on it).
    LocalFile(std::shared_ptr<LocalFileSystem> objFileSys, Location loc, const ListedFile& listed)
        : mobjFileSys(std::move(objFileSys)), mloc(std::move(loc)), mListed(listed) {}

    std::string Name() const override { return mloc.win.Names().back(); }
    std::string Path() const override { return mloc.win.ToString(); }
    FolderPtr ParentFolder() const override;
    uint64_t Size() const override;
    int32_t Attributes() const override { return mobjFileSys->AttributesOf(mloc, false); }
    void SetAttributes(int32_t lngAttributes) override {
        mobjFileSys->SetAttributesAt(mloc, lngAttributes);
    }
    Date DateLastModified() const override;
    void Copy(const std::string& strDestination, bool blnOverwrite) override {
        mobjFileSys->CopyFileAt(mloc, strDestination, blnOverwrite);
    }
    void Delete(bool blnForce) override { mobjFileSys->DeleteFileAt(mloc, blnForce); }
    bool IsLink() const override {
        return mListed ? mListed->blnLink : mobjFileSys->IsLinkAt(mloc);
    }

  private:
    std::shared_ptr<LocalFileSystem> mobjFileSys;
    Location mloc;
    std::optional<ListedFile> mListed;
};

}  // namespace platform::fs
