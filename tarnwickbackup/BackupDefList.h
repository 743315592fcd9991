// The instruction files the last run or space calculation used, one row
// per folder with the instruction each file holds now.
#pragma once

#include <QDialog>

namespace savecore {
class BackupManager;
}

namespace tarnwickbackup {

class BackupDefList : public QDialog {
    Q_OBJECT

  public:
    explicit BackupDefList(QWidget* parent = nullptr);

    // Modal; shows nothing before the manager's first run.
    void ShowMe(savecore::BackupManager& objManager);

  private:
    savecore::BackupManager* mobjManager = nullptr;
};

}  // namespace tarnwickbackup
