#pragma once

#include <QDialog>
#include <string>

namespace savecore {
class BackupManager;
}

namespace tarnwickbackup {

class RestoreFolders : public QDialog {
  public:
    explicit RestoreFolders(QWidget* parent = nullptr);
    void ShowMe(savecore::BackupManager& objManager, const std::string& strDriveFolder,
                const std::string& strOriginalDrive);
};

}  // namespace tarnwickbackup
