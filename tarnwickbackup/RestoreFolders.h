// The folders a backup holds for one drive letter, as a tree read lazily
// like the folder editor's; restores a folder with or without its
// subfolders, or files picked from it, to a place the person types, with
// progress and Stop.
#pragma once

#include <cstdint>
#include <string>

#include "FolderTreeWindow.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace tarnwickbackup {

class RestoreFolders : public FolderTreeWindow {
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
    void cmdRestore_Click();

    // State, for tests
    bool blnRestoring() const { return mblnBusy; }

    // Controls
    QCheckBox* chkReplaceExisting = nullptr;
    QGroupBox* grpType = nullptr;
    QRadioButton* optTypeSubfolders = nullptr;
    QRadioButton* optTypeFolderOnly = nullptr;
    QRadioButton* optTypeSelected = nullptr;
    QLabel* lblFile = nullptr;
    QPushButton* cmdRestore = nullptr;

  private:
    void BuildControls();
    void ConnectHandlers();
    bool blnTreeMissing() override;
    void MakeRootNode(QTreeWidgetItem* objRoot) override;
    void AddSubFolder(QTreeWidgetItem* objParent, const platform::fs::FolderPtr& objSub) override;
    void objMakeFolderNode(QTreeWidgetItem* objNode);
    bool blnRefuseDestination(std::string& strDest) const;
    void EnableRestoreControls(bool blnEnable);

    // BackupManagerEvents, while a restore runs
    void StartProgress(int32_t& lngProgressMode) override;
    void EndProgress() override;
    void SetProgressFile(std::string& strText) override;

    std::string mstrOriginalDrive;
};

}  // namespace tarnwickbackup
