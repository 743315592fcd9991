// The start of a restore: reads what a backup destination holds, lets the
// person choose between the regular backup and a dated one, asks before
// going on and lists the drive letters the chosen backup holds. Each drive
// opens the folder window; this window stays open for the next one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DriveListWindow.h"
#include "platform/fs/FileSystem.h"

class QLabel;
class QPushButton;

namespace tarnwickbackup {

struct DriveFolderInfo {
    std::string strDrive;  // "C:"
    std::string strPath;   // "E:\Backup\C$"
};

class RestoreDrives : public DriveListWindow {
    Q_OBJECT

  public:
    explicit RestoreDrives(QWidget* parent = nullptr);

    // Runs the whole choice; returns when the person is done.
    void ShowMe(savecore::BackupManager& objManager, const std::string& strBackupRoot);

    // The date and time a dated backup folder's name stands for: exactly
    // ddMMMyyyy_hh$mmAM or ...PM, a real day, hours 01-12, minutes 00-59,
    // English month names and AM/PM in any letter case. Nothing otherwise.
    static std::optional<platform::fs::Date> vntTranslateDatedName(const std::string& strName);

    // Handlers
    void cmdRestoreDrive_Click();
    void cmdClose_Click();
    void cmdHelp_Click();

    // Controls
    QLabel* lblRestoreFrom = nullptr;
    QPushButton* cmdRestoreDrive = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

  private:
    // True when the backup cannot be read; the person has been told why.
    bool blnLoadInfo();
    void DisplayDrives();
    void EnablePicked() override;

    std::string mstrBackupRoot;
    // Entry i is maDriveFolders[i - 1].
    std::vector<DriveFolderInfo> maDriveFolders;
};

}  // namespace tarnwickbackup
