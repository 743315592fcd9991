// The advanced instructions of one folder with instructions of its own:
// wildcard names of files to back up and not to back up, and a wildcard
// that suppresses the folder by its name. Changes the folder's instruction
// file in memory only; the folder editor saves it.
#pragma once

#include <QDialog>
#include <string>

namespace tarnwickbackup {

class FolderNode;

class EditFolderAdvanced : public QDialog {
    Q_OBJECT

  public:
    explicit EditFolderAdvanced(QWidget* parent = nullptr);

    // Modal; objFolderNode.objDefFile must be set.
    void ShowMe(FolderNode& objFolderNode, const std::string& strPath);

  private:
    FolderNode* mobjFolderNode = nullptr;
};

}  // namespace tarnwickbackup
