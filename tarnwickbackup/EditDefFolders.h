// The instructions of one backup type on one drive, as a folder tree: each
// folder shows the instruction in force for it, own or inherited, and can
// be given one of its own or inherit again. Folders are read only when
// their parent is opened, and once per opening; nothing reaches the disk
// until the user saves.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "FolderTreeWindow.h"

namespace savecore {
class DefinitionFile;
class DriveProcessor;
}  // namespace savecore

namespace tarnwickbackup {

class EditDefFolders : public FolderTreeWindow {
    Q_OBJECT

  public:
    explicit EditDefFolders(QWidget* parent = nullptr);
    ~EditDefFolders() override;

    // Modal; returns when the window has closed.
    void ShowMe(savecore::DriveProcessor& objProc, const std::string& strDriveName);

    // Handlers
    void Form_Unload(int16_t& Cancel) override;
    void cmdBackupInclude_Click();
    void cmdBackupExclude_Click();
    void cmdBackupSkip_Click();
    void cmdBackupInherit_Click();
    void cmdFolderSpace_Click();
    void cmdAdvanced_Click();
    void cmdExplain_Click();

    // State, for tests
    bool blnChanged() const { return mblnChanged; }
    bool blnCalculating() const { return mblnBusy; }

    // Controls
    QPushButton* cmdBackupInclude = nullptr;
    QLabel* lblBackupInclude = nullptr;
    QPushButton* cmdBackupExclude = nullptr;
    QLabel* lblBackupExclude = nullptr;
    QPushButton* cmdBackupSkip = nullptr;
    QLabel* lblBackupSkip = nullptr;
    QPushButton* cmdBackupInherit = nullptr;
    QLabel* lblBackupInherit = nullptr;
    QLabel* lblLegend = nullptr;
    QPushButton* cmdFolderSpace = nullptr;
    QPushButton* cmdAdvanced = nullptr;
    QPushButton* cmdExplain = nullptr;

  private:
    void BuildControls();
    void ConnectHandlers();
    void MakeRootNode(QTreeWidgetItem* objRoot) override;
    void AddSubFolder(QTreeWidgetItem* objParent, const platform::fs::FolderPtr& objSub) override;
    FolderNode& objMakeFolderNode(QTreeWidgetItem* objNode,
                                  const platform::fs::FolderPtr& objFolder);
    platform::fs::FolderPtr objNodeFolder(QTreeWidgetItem* objNode) const;
    void SetBackupMode(int32_t lngMode);
    void SetSubtreeMode(QTreeWidgetItem* objNode, int32_t lngNewMode, int32_t lngOldMode);
    void SaveInstructions();
    std::unique_ptr<savecore::DefinitionFile> objNewDefFile(
        const platform::fs::FolderPtr& objFolder) const;
    void EnableButtons(bool blnEnable);

    // BackupManagerEvents, while a space calculation runs
    void StartProgress(int32_t& lngProgressMode) override;
    void EndProgress() override;

    savecore::DriveProcessor* mobjProc = nullptr;
    std::string mstrDriveName;
    std::string mstrSetName;
    platform::fs::DrivePtr mobjDrive;
    bool mblnChanged = false;
};

}  // namespace tarnwickbackup
