// The folders a backup holds for one drive letter, as a tree read lazily
// like the folder editor's; restores a folder with or without its
// subfolders, or files picked from it, to a place the person types, with
// progress and Stop.
#pragma once

#include <QDialog>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "savecore/BackupManager.h"
#include "savecore/BackupManagerEvents.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform::fs {
class FileSystem;
}

namespace tarnwickbackup {

class FolderNode;

class RestoreFolders : public QDialog, private savecore::BackupManagerEvents {
    Q_OBJECT

  public:
    explicit RestoreFolders(QWidget* parent = nullptr);
    ~RestoreFolders() override;

    // Modal; returns when the window has closed. strDriveFolder is the
    // drive-letter folder of the backup (E:\Backup\C$), strOriginalDrive the
    // drive it was made from (C:).
    void ShowMe(savecore::BackupManager& objManager, const std::string& strDriveFolder,
                const std::string& strOriginalDrive);

    // Handlers
    void Form_Activate();
    void tvwFolders_Expand(QTreeWidgetItem* objNode);
    void tvwFolders_Collapse(QTreeWidgetItem* objNode);
    void tvwFolders_NodeClick(QTreeWidgetItem* objNode);
    void cmdRestore_Click();
    void cmdExpand_Click();
    void cmdClose_Click();

    // State, for tests
    QTreeWidgetItem* objSelectedNode() const { return mobjSelectedNode; }
    bool blnRestoring() const { return mblnRestoring; }

    // Controls
    QTreeWidget* tvwFolders = nullptr;
    QLabel* lblHint = nullptr;
    QCheckBox* chkReplaceExisting = nullptr;
    QGroupBox* grpType = nullptr;
    QRadioButton* optTypeSubfolders = nullptr;
    QRadioButton* optTypeFolderOnly = nullptr;
    QRadioButton* optTypeSelected = nullptr;
    QLabel* lblFolder = nullptr;
    QLabel* lblFile = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdExpand = nullptr;
    QPushButton* cmdClose = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void BuildControls();
    void ConnectHandlers();
    void LoadFolders();
    void LoadChildren(QTreeWidgetItem* objNode, int16_t intLevels);
    void objMakeFolderNode(QTreeWidgetItem* objNode);
    std::string strNodeFolder(QTreeWidgetItem* objNode) const;
    bool blnRefuseDestination(std::string& strDest) const;
    void EnableRestoreControls(bool blnEnable);
    void FocusTree();

    // BackupManagerEvents, while a restore runs
    void StartProgress(int32_t& lngProgressMode) override;
    void EndProgress() override;
    void SetProgressFolder(std::string& strText) override;
    void SetProgressFile(std::string& strText) override;
    void blnProgressStop(bool& blnStop) override;

    savecore::BackupManager* mobjManager = nullptr;
    platform::fs::FileSystem* mobjFileSys = nullptr;
    std::string mstrOriginalDrive;
    std::string mstrDriveFolder;
    int32_t mlngLastKey = 0;
    std::map<int32_t, std::unique_ptr<FolderNode>> mcolNodes;
    QTreeWidgetItem* mobjSelectedNode = nullptr;
    bool mblnRestoring = false;
    bool mblnStopRequested = false;
    // Closed by Escape or the title bar during a restore: close after it.
    bool mblnClosePending = false;
    bool mblnActivated = false;
    std::unique_ptr<savecore::BackupManager::EventConnection> mobjMgrEvents;
};

}  // namespace tarnwickbackup
