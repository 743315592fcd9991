// One drive letter of the manager's drive list. The walks of the drive come
// with the backup runs; this is the record the manager keeps.
#pragma once

#include "SaveCoreExport.h"
#include "platform/fs/FileSystem.h"

namespace savecore {

class BackupManager;

class SAVECORE_API DriveProcessor {
  public:
    DriveProcessor();

    void Init(BackupManager& objManager_, platform::fs::DrivePtr objDrive_);

    BackupManager* objManager() const { return mobjManager; }
    const platform::fs::DrivePtr& objDrive() const { return mobjDrive; }

  private:
    BackupManager* mobjManager = nullptr;  // the owning manager
    platform::fs::DrivePtr mobjDrive;
};

}  // namespace savecore
