// What the drive editor and the restore drive window share: a list of
// drives, one row each, keyed "#1", "#2", ... by the entry number, and the
// drive picked by a click, the arrow keys or a screen reader.
#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <initializer_list>

class QTreeWidget;
class QTreeWidgetItem;

namespace savecore {
class BackupManager;
}

namespace tarnwickbackup {

class DriveListWindow : public QDialog {
    Q_OBJECT

  public:
    // Handlers
    void lvwDrives_ItemClick(QTreeWidgetItem* objItem);

    // Controls
    QTreeWidget* lvwDrives = nullptr;

  protected:
    // pszName is the object name, and the class name in error reports.
    DriveListWindow(QWidget* parent, const char* pszName);

    // At its smallest the list shows intWidth pixels of columns and
    // intRows - 1 drives below the header without scrolling. A click, the
    // arrow keys and a screen reader's selection all pick a row, as the
    // list view's ItemClick did.
    void NewDriveList(const QString& strAccessibleName, int intWidth, int intRows);
    // Call with the list's signals blocked.
    void ClearDriveList(const QStringList& colHeaders, std::initializer_list<int> colWidths);
    QTreeWidgetItem* objAddDriveRow(int16_t intEntry, const QStringList& colTexts);
    // Makes the row at intRow current and picks it; false when there is none.
    bool blnPickRow(int intRow);
    // After a pick: what the picked entry allows.
    virtual void EnablePicked() = 0;

    savecore::BackupManager* mobjManager = nullptr;
    int16_t mintDriveCount = 0;
    // The entry picked, from 1; 0 for none.
    int16_t mintSelected = 0;
};

}  // namespace tarnwickbackup
