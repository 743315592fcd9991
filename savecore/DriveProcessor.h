// One drive letter of the manager's drive list, and its walks: the backup
// (or space-only) walk with inherited instructions, and deleting a type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SaveCoreExport.h"
#include "platform/fs/FileSystem.h"

namespace savecore {

class BackupManager;
class DefinitionFile;

class SAVECORE_API DriveProcessor {
  public:
    DriveProcessor();

    void Init(BackupManager& objManager_, platform::fs::DrivePtr objDrive_);

    BackupManager* objManager() const { return mobjManager; }
    const platform::fs::DrivePtr& objDrive() const { return mobjDrive; }

    // Walks the whole drive for the manager's current run; true = stop.
    bool blnProcess();
    // Before a backup erases anything: blnTakesPart when the drive is ready
    // and its root has instructions of the run's type; true (after a message
    // box) when that instruction file is damaged or unreadable.
    bool blnCheckRoot(bool& blnTakesPart);
    // A space-only walk of one folder and its subtree.
    bool blnFolderSpace(const platform::fs::FolderPtr& objFolder, bool blnIncludeDefault);
    // Deletes the instruction files of the manager's type on this drive.
    bool blnDeleteType();

  private:
    void InitLevels();
    bool blnProcessFolder(const platform::fs::FolderPtr& objFolder, bool blnIncludeDefault,
                          int16_t intLevel);
    bool blnProcessFiles(const platform::fs::FolderPtr& objFolder,
                         const platform::fs::FolderListing& objListing,
                         const DefinitionFile& objDef, int16_t intNext, const std::string& strPath);
    bool blnMakePath(int16_t intLevel, bool blnRetry, const platform::fs::FolderPtr& objFolder);
    static platform::fs::FolderPtr objSourceOfLevel(int16_t k, int16_t intLevel,
                                                    const platform::fs::FolderPtr& objFolder);
    void FinishLevel(int16_t intLevel, const platform::fs::Folder& objFolder);
    // dblSize: the file's size as the walk read it, so it is not asked twice.
    bool blnCopyFile(platform::fs::File& objFile, const std::string& strTarget, int16_t intLevel,
                     const platform::fs::FolderPtr& objFolder, double dblSize);
    void CopyFileCore(platform::fs::File& objFile, const std::string& strTarget, double dblSize);
    bool blnReportCopyError(bool blnFolder, const std::string& strInfo, int32_t lngErr,
                            const std::string& strDescription);
    bool blnNewVolume(int16_t intLevel, const platform::fs::FolderPtr& objFolder);
    void MakeDestinationOnNewDisc();
    bool blnDelTypeFolder(const platform::fs::FolderPtr& objFolder, int16_t intLevel);
    bool blnDriveReady();
    BackupManager& Manager() const;

    BackupManager* mobjManager = nullptr;  // the owning manager
    platform::fs::DrivePtr mobjDrive;
    // Entry k (element k-1): the destination folder, relative to the run's
    // destination, of the folder being walked at depth k-1, and whether it
    // has been made.
    std::vector<std::string> mastrLevelPath;
    std::vector<bool> mablnLevelMade;
    // Entry k: the folder made for entry k of mastrLevelPath by this walk,
    // kept to give it its source's time once complete (none when it existed).
    std::vector<platform::fs::FolderPtr> mcolLevelFolder;
};

}  // namespace savecore
