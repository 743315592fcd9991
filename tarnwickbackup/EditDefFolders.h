// The instructions of one backup type on one drive, as a folder tree: each
// folder shows the instruction in force for it, own or inherited, and can
// be given one of its own or inherit again. Folders are read only when
// their parent is opened, and once per opening; nothing reaches the disk
// until the user saves.
#pragma once

#include <QDialog>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "savecore/BackupManager.h"
#include "savecore/BackupManagerEvents.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform::fs {
class FileSystem;
class Drive;
class Folder;
}  // namespace platform::fs

namespace savecore {
class DefinitionFile;
class DriveProcessor;
}  // namespace savecore

namespace tarnwickbackup {

class FolderNode;

class EditDefFolders : public QDialog, private savecore::BackupManagerEvents {
    Q_OBJECT

  public:
    explicit EditDefFolders(QWidget* parent = nullptr);
    ~EditDefFolders() override;

    // Modal; returns when the window has closed.
    void ShowMe(savecore::DriveProcessor& objProc, const std::string& strDriveName);

    // Handlers
    void Form_Activate();
    void Form_Unload(int16_t& Cancel);
    void tvwFolders_Expand(QTreeWidgetItem* objNode);
    void tvwFolders_Collapse(QTreeWidgetItem* objNode);
    void tvwFolders_NodeClick(QTreeWidgetItem* objNode);
    void cmdBackupInclude_Click();
    void cmdBackupExclude_Click();
    void cmdBackupSkip_Click();
    void cmdBackupInherit_Click();
    void cmdExpand_Click();
    void cmdFolderSpace_Click();
    void cmdAdvanced_Click();
    void cmdExplain_Click();
    void cmdClose_Click();

    // State, for tests
    FolderNode* objRecord(QTreeWidgetItem* objNode) const;
    QTreeWidgetItem* objSelectedNode() const { return mobjSelectedNode; }
    bool blnChanged() const { return mblnChanged; }
    bool blnCalculating() const { return mblnCalculating; }
    std::string strNodePath(QTreeWidgetItem* objNode) const;

    // Controls
    QLabel* lblHint = nullptr;
    QTreeWidget* tvwFolders = nullptr;
    QPushButton* cmdBackupInclude = nullptr;
    QLabel* lblBackupInclude = nullptr;
    QPushButton* cmdBackupExclude = nullptr;
    QLabel* lblBackupExclude = nullptr;
    QPushButton* cmdBackupSkip = nullptr;
    QLabel* lblBackupSkip = nullptr;
    QPushButton* cmdBackupInherit = nullptr;
    QLabel* lblBackupInherit = nullptr;
    QLabel* lblLegend = nullptr;
    QLabel* lblFolder = nullptr;
    QPushButton* cmdExpand = nullptr;
    QPushButton* cmdFolderSpace = nullptr;
    QPushButton* cmdAdvanced = nullptr;
    QPushButton* cmdExplain = nullptr;
    QPushButton* cmdClose = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void BuildControls();
    void ConnectHandlers();
    void LoadFolders();
    FolderNode& objMakeFolderNode(QTreeWidgetItem* objNode,
                                  const std::shared_ptr<platform::fs::Folder>& objFolder);
    void LoadChildren(QTreeWidgetItem* objNode, int16_t intLevels);
    std::shared_ptr<platform::fs::Folder> objNodeFolder(QTreeWidgetItem* objNode) const;
    QTreeWidgetItem* objAddNode(QTreeWidgetItem* objParent, const QString& strText);
    void SetBackupMode(int32_t lngMode);
    void SetSubtreeMode(QTreeWidgetItem* objNode, int32_t lngNewMode, int32_t lngOldMode);
    void SaveInstructions();
    std::unique_ptr<savecore::DefinitionFile> objNewDefFile(
        const std::shared_ptr<platform::fs::Folder>& objFolder) const;
    void EnableButtons(bool blnEnable);
    void FocusTree();

    // BackupManagerEvents, while a space calculation runs
    void StartProgress(int32_t& lngProgressMode) override;
    void EndProgress() override;
    void SetProgressFolder(std::string& strText) override;
    void blnProgressStop(bool& blnStop) override;

    savecore::DriveProcessor* mobjProc = nullptr;
    std::string mstrDriveName;
    savecore::BackupManager* mobjManager = nullptr;
    std::string mstrSetName;
    platform::fs::FileSystem* mobjFileSys = nullptr;
    std::shared_ptr<platform::fs::Drive> mobjDrive;
    int32_t mlngLastKey = 0;
    // Keyed by node key; maKeyOrder keeps the order records were made in.
    std::map<int32_t, std::unique_ptr<FolderNode>> mcolFolderNodes;
    std::vector<int32_t> malngKeyOrder;
    bool mblnActivated = false;
    QTreeWidgetItem* mobjSelectedNode = nullptr;
    bool mblnChanged = false;
    bool mblnCalculating = false;
    bool mblnStop = false;
    // Closed by Escape or the title bar during a calculation: close after it.
    bool mblnClosePending = false;
    std::unique_ptr<savecore::BackupManager::EventConnection> mobjMgrEvents;
};

}  // namespace tarnwickbackup
