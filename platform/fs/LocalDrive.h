// A drive letter of the drive table.
#pragma once

#include <memory>

#include "platform/fs/FileSystem.h"

namespace platform::fs {

class LocalFileSystem;

class LocalDrive final : public Drive {
  public:
    LocalDrive(std::shared_ptr<LocalFileSystem> objFileSys, std::size_t lngDrive)
        : mobjFileSys(std::move(objFileSys)), mlngDrive(lngDrive) {}

    std::string DriveLetter() const override;
    std::string Path() const override;
    int32_t DriveType() const override;
    bool IsReady() const override;
    std::string VolumeName() const override;
    std::string ShareName() const override;
    FolderPtr RootFolder() const override;
    DiskSpace Space() const override;

  private:
    std::shared_ptr<LocalFileSystem> mobjFileSys;
    std::size_t mlngDrive;
};

}  // namespace platform::fs
