// The instruction files the last run or space calculation used, one row
// per folder with the instruction each file holds now.
//
// Choices made here:
// - A file whose suppress pattern is no valid wildcard cannot say whether it
//   suppresses its folder (the engine stops there with error 93): it is
//   listed like a file that cannot be loaded, "??" with an empty
//   "Filtering" column. Every "??" row says why in its tool tip.
// - Rows without an image get a blank one, so that every path starts in the
//   same place; the row's image key (glngIMAGE_KEY_ROLE) stays "".
// - The rows are filled before the window shows, with the busy cursor: one
//   small file per row is read, which takes well under a second for
//   thousands of folders.
#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;

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

    void Form_Load();
    void cmdClose_Click();

    QTreeWidget* lvwFiles = nullptr;
    QPushButton* cmdClose = nullptr;

  private:
    savecore::BackupManager* mobjManager = nullptr;
};

}  // namespace tarnwickbackup
