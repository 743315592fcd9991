// What the folder editor and the restore window share: a folder tree built
// once the window has been drawn and read lazily, two levels ahead of what
// is shown so that expand boxes are right, and each folder once per
// opening; the node picked; and a busy state while the engine works, in
// which Close reads "Stop" and closing the window waits for the engine.
#pragma once

#include <QDialog>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "platform/fs/FileSystem.h"
#include "savecore/BackupManager.h"
#include "savecore/BackupManagerEvents.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarnwickbackup {

class FolderNode;

class FolderTreeWindow : public QDialog, private savecore::BackupManagerEvents {
    Q_OBJECT

  public:
    ~FolderTreeWindow() override;

    // Handlers
    void Form_Activate();
    // Cancel set to nonzero keeps the window open.
    virtual void Form_Unload(int16_t& Cancel);
    void tvwFolders_Expand(QTreeWidgetItem* objNode);
    void tvwFolders_Collapse(QTreeWidgetItem* objNode);
    void tvwFolders_NodeClick(QTreeWidgetItem* objNode);
    void cmdExpand_Click();
    void cmdClose_Click();

    // State, for tests
    FolderNode* objRecord(QTreeWidgetItem* objNode) const;
    QTreeWidgetItem* objSelectedNode() const { return mobjSelectedNode; }
    std::string strNodePath(QTreeWidgetItem* objNode) const;

    // Controls
    QLabel* lblHint = nullptr;
    QTreeWidget* tvwFolders = nullptr;
    QLabel* lblFolder = nullptr;
    QPushButton* cmdExpand = nullptr;
    QPushButton* cmdClose = nullptr;

  protected:
    // pszName is the object name, and the class name in error reports.
    FolderTreeWindow(QWidget* parent, const char* pszName);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    void NewHint();
    void ConnectTreeHandlers();
    std::string strProc(const char* pszName) const;
    void FocusTree();

    // True when there is nothing to read; the window has said why.
    virtual bool blnTreeMissing() { return false; }
    void LoadFolders();
    virtual void MakeRootNode(QTreeWidgetItem* objRoot) = 0;
    void LoadChildren(QTreeWidgetItem* objNode, int16_t intLevels);
    // Adds the node of objSub below objParent, unless the window leaves it out.
    virtual void AddSubFolder(QTreeWidgetItem* objParent,
                              const platform::fs::FolderPtr& objSub) = 0;
    QTreeWidgetItem* objAddNode(QTreeWidgetItem* objParent, const QString& strText);
    FolderNode& objNewRecord(QTreeWidgetItem* objNode);

    // colControls are enabled or disabled in this order; the window is busy
    // while they are disabled.
    void EnableControls(std::initializer_list<QWidget*> colControls, bool blnEnable);
    void ConnectEvents();
    void DisconnectEvents();

    savecore::BackupManager* mobjManager = nullptr;
    platform::fs::FileSystem* mobjFileSys = nullptr;
    // The folder the root node stands for.
    std::string mstrTreeFolder;
    QTreeWidgetItem* mobjSelectedNode = nullptr;
    bool mblnActivated = false;
    bool mblnBusy = false;
    bool mblnStop = false;
    // Closed by Escape or the title bar while busy: close afterwards.
    bool mblnClosePending = false;
    // Keyed by node key, which grows with each node made: in key order the
    // records stand in the order they were made in.
    std::map<int32_t, std::unique_ptr<FolderNode>> mcolFolderNodes;

  private:
    // BackupManagerEvents, while the engine works
    void SetProgressFolder(std::string& strText) override;
    void blnProgressStop(bool& blnStop) override;

    int32_t mlngLastKey = 0;
    std::unique_ptr<savecore::BackupManager::EventConnection> mobjMgrEvents;
};

}  // namespace tarnwickbackup
