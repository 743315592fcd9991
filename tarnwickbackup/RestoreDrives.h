// The start of a restore: reads what a backup destination holds, lets the
// person choose between the regular backup and a dated one, asks before
// going on and lists the drive letters the chosen backup holds. Each drive
// opens the folder window; this window stays open for the next one.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace savecore {
class BackupManager;
}

namespace tarnwickbackup {

struct DriveFolderInfo {
    std::string strDrive;  // "C:"
    std::string strPath;   // "E:\Backup\C$"
};

class RestoreDrives : public QDialog {
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
    void lvwDrives_ItemClick(QTreeWidgetItem* objItem);
    void cmdRestoreDrive_Click();
    void cmdClose_Click();
    void cmdHelp_Click();

    // Controls
    QLabel* lblRestoreFrom = nullptr;
    QTreeWidget* lvwDrives = nullptr;
    QPushButton* cmdRestoreDrive = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

  private:
    // True when the backup cannot be read; the person has been told why.
    bool blnLoadInfo();
    void DisplayDrives();

    savecore::BackupManager* mobjManager = nullptr;
    std::string mstrBackupRoot;
    // Entries are numbered from 1 (the row keys); entry i is maDriveFolders[i - 1].
    std::vector<DriveFolderInfo> maDriveFolders;
    int16_t mintDriveCount = 0;
    int16_t mintSelectedDrive = 0;
    QTreeWidgetItem* mobjSelectedItem = nullptr;
};

}  // namespace tarnwickbackup
