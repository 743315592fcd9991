// The record behind one folder of a folder tree: the folder's own
// instruction file (or none: it inherits), one set aside under a "skip"
// given above it, the instruction in force, and what a save has to do.
#pragma once

#include <cstdint>
#include <memory>

class QTreeWidgetItem;

namespace savecore {
class DefinitionFile;
}

namespace tarnwickbackup {

class FolderNode {
  public:
    bool blnChildrenLoaded = false;
    std::unique_ptr<savecore::DefinitionFile> objDefFile;
    std::unique_ptr<savecore::DefinitionFile> objSkippedDefFile;
    int32_t lngBackupMode = 0;
    QTreeWidgetItem* objNode = nullptr;
    bool blnDeleteDef = false;
    bool blnDefOnDisk = false;
    // Whether listing the folder's subfolders failed (shown with a mark).
    bool blnUnlisted = false;

    FolderNode();
    ~FolderNode();

    void Init(QTreeWidgetItem* objNode_);
    // objDefFile_ becomes the folder's own instructions; a "skip" in force
    // for the parent still rules the folder.
    void UseDefFile(QTreeWidgetItem* objNode_, const FolderNode* objParentFolderNode,
                    std::unique_ptr<savecore::DefinitionFile> objDefFile_);
    // Image and bold text of the node from the instruction in force.
    void SetDisplay(QTreeWidgetItem* objNode_);
};

}  // namespace tarnwickbackup
