// The folder editor's tree: each folder's instructions as read from the
// disk, the instructions given to folders, passed down the loaded part of
// the tree, and saved.
#include <QTreeWidget>

#include "EditDefFolders.h"
#include "FolderNode.h"
#include "FolderTree.h"
#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/ui/UiServices.h"
#include "savecore/DefinitionFile.h"
#include "savecore/DriveProcessor.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;
using platform::fs::FolderPtr;

namespace {

bool blnRecycleBin(const std::string& strName) {
    const std::string strUpper = strUCase(strName);
    return strUpper == "RECYCLER" || strUpper == "RECYCLED";
}

}  // namespace

FolderPtr EditDefFolders::objNodeFolder(QTreeWidgetItem* objNode) const {
    try {
        return mobjFileSys->GetFolder(strNodePath(objNode));
    } catch (...) {
        AppErrors().NestedError("EditDefFolders.objNodeFolder");
    }
}

std::unique_ptr<savecore::DefinitionFile> EditDefFolders::objNewDefFile(
    const FolderPtr& objFolder) const {
    auto objDef = std::make_unique<savecore::DefinitionFile>();
    objDef->Init(*mobjManager, mstrSetName, objFolder);
    return objDef;
}

void EditDefFolders::MakeRootNode(QTreeWidgetItem* objRoot) {
    mblnChanged = false;
    const FolderPtr objRootFolder = mobjDrive->RootFolder();
    FolderNode& objRec = objMakeFolderNode(objRoot, objRootFolder);
    if (!objRec.objDefFile) {
        auto objDef = objNewDefFile(objRootFolder);
        objDef->Create();
        objDef->lngBackupMode(savecore::glngBACKUP_EXCLUDE);
        objRec.UseDefFile(objRoot, nullptr, std::move(objDef));
        mblnChanged = true;
    }
}

FolderNode& EditDefFolders::objMakeFolderNode(QTreeWidgetItem* objNode,
                                              const FolderPtr& objFolder) {
    try {
        const FolderNode* objParentRec = objRecord(objNode->parent());
        FolderNode& objRec = objNewRecord(objNode);

        auto objDef = objNewDefFile(objFolder);
        if (!objDef->blnLoad()) {
            objRec.UseDefFile(objNode, objParentRec, std::move(objDef));
            objRec.blnDefOnDisk = true;
            return objRec;
        }
        if (!objDef->blnFileNotFound()) {
            ui::Ui().MsgBox("Invalid backup instructions in folder " +
                                strQuoted(strNodePath(objNode)) +
                                ". Will delete instructions in this folder.",
                            ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            // The message says the file goes: it does at the next save, and
            // the folder inherits as shown meanwhile.
            objRec.blnDeleteDef = true;
            objRec.blnDefOnDisk = true;
            mblnChanged = true;
        } else if (objDef->blnFileUnreadable()) {
            // Instructions that cannot be read may be the ones that keep a
            // folder out of backups: say so, and never replace them unasked.
            ui::Ui().MsgBox("The backup instructions in folder " + strQuoted(strNodePath(objNode)) +
                                " could not be read: " + objDef->strMessage() +
                                ". The folder is shown as inheriting its instructions; the file "
                                "is kept unless you give this folder instructions of its own.",
                            ui::vbExclamation + ui::vbOKOnly, gstrAPP_TITLE);
        }
        objRec.lngBackupMode = objParentRec ? objParentRec->lngBackupMode : 0;
        objRec.SetDisplay(objNode);
        return objRec;
    } catch (...) {
        AppErrors().NestedError("EditDefFolders.objMakeFolderNode");
    }
}

void EditDefFolders::AddSubFolder(QTreeWidgetItem* objParent, const FolderPtr& objSub) {
    const std::string strName = objSub->Name();
    if (blnRecycleBin(strName)) return;
    objMakeFolderNode(objAddNode(objParent, QString::fromStdString(strName)), objSub);
}

void EditDefFolders::SetBackupMode(int32_t lngMode) {
    try {
        if (!mobjSelectedNode) return;
        const FolderNode* objParentRec = objRecord(mobjSelectedNode->parent());
        if (objParentRec && objParentRec->lngBackupMode == savecore::glngBACKUP_SKIP) {
            ui::Ui().MsgBox(
                "You may not give instructions for a folder which has a parent or higher level "
                "folder with a \"Do not backup - no overrides\" instruction. You must change or "
                "remove the higher level instruction first.",
                ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            return;
        }
        FolderNode& objRec = *objRecord(mobjSelectedNode);
        if (!objRec.objDefFile) {
            objRec.objDefFile = objNewDefFile(objNodeFolder(mobjSelectedNode));
            objRec.objDefFile->Create();
        }
        objRec.blnDeleteDef = false;
        objRec.objSkippedDefFile.reset();
        objRec.objDefFile->lngBackupMode(lngMode);
        mblnChanged = true;
        SetSubtreeMode(mobjSelectedNode, lngMode, objRec.lngBackupMode);
        tvwFolders->setFocus();
    } catch (...) {
        AppErrors().NestedError("EditDefFolders.SetBackupMode");
    }
}

void EditDefFolders::SetSubtreeMode(QTreeWidgetItem* objNode, int32_t lngNewMode,
                                    int32_t lngOldMode) {
    FolderNode& objRec = *objRecord(objNode);
    objRec.lngBackupMode = lngNewMode;
    objRec.SetDisplay(objNode);
    for (int i = 0; i < objNode->childCount(); ++i) {
        QTreeWidgetItem* objChild = objNode->child(i);
        FolderNode& objChildRec = *objRecord(objChild);
        if (lngNewMode != savecore::glngBACKUP_SKIP && lngOldMode != savecore::glngBACKUP_SKIP) {
            if (!objChildRec.objDefFile) SetSubtreeMode(objChild, lngNewMode, lngOldMode);
        } else if (lngNewMode != savecore::glngBACKUP_SKIP) {
            int32_t lngChildMode = lngNewMode;
            if (objChildRec.objSkippedDefFile) {
                objChildRec.objDefFile = std::move(objChildRec.objSkippedDefFile);
                objChildRec.blnDeleteDef = false;
            }
            // A file of its own, set aside or kept from the disk, rules the
            // folder again once the skip above it is gone.
            if (objChildRec.objDefFile) lngChildMode = objChildRec.objDefFile->lngBackupMode();
            SetSubtreeMode(objChild, lngChildMode, lngOldMode);
        } else {
            if (objChildRec.objDefFile) {
                objChildRec.objSkippedDefFile = std::move(objChildRec.objDefFile);
                objChildRec.blnDeleteDef = true;
            }
            SetSubtreeMode(objChild, savecore::glngBACKUP_SKIP, lngOldMode);
        }
    }
}

void EditDefFolders::cmdBackupInherit_Click() {
    try {
        if (!mobjSelectedNode) return;
        if (!mobjSelectedNode->parent()) {
            ui::Ui().MsgBox(
                "You may not set a top level folder to inherit instructions from a higher level "
                "folder.",
                ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            return;
        }
        FolderNode& objRec = *objRecord(mobjSelectedNode);
        if (!objRec.objDefFile) {
            ui::Ui().MsgBox(
                "This folder already inherits its instructions, because it has no instructions "
                "of its own.",
                ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            return;
        }
        objRec.objDefFile.reset();
        objRec.objSkippedDefFile.reset();
        objRec.blnDeleteDef = true;
        mblnChanged = true;
        SetSubtreeMode(mobjSelectedNode, objRecord(mobjSelectedNode->parent())->lngBackupMode,
                       objRec.lngBackupMode);
        tvwFolders->setFocus();
    } catch (...) {
        AppErrors().TopError("EditDefFolders.cmdBackupInherit_Click");
        FocusTree();
    }
}

void EditDefFolders::SaveInstructions() {
    try {
        for (const auto& [lngKey, objOwned] : mcolFolderNodes) {
            FolderNode& objRec = *objOwned;
            if (objRec.blnDeleteDef && objRec.blnDefOnDisk) {
                const FolderPtr objFolder = objNodeFolder(objRec.objNode);
                auto objDef = objNewDefFile(objFolder);
                objDef->Delete();
                // Delete reports its own failure; the record then still has
                // a file to delete at the next save.
                if (mobjFileSys->FileExists(objDef->strSetFileName())) {
                    AppErrors().RaiseError("The backup instructions " +
                                           strQuoted(objDef->strSetFileName()) +
                                           " could not be deleted.");
                }
                objRec.objDefFile.reset();
                objRec.blnDefOnDisk = false;
                objRec.blnDeleteDef = false;
            } else if (objRec.objDefFile && objRec.objDefFile->blnModified()) {
                try {
                    objRec.objDefFile->Save();
                } catch (...) {
                    AppErrors().RaiseError("The backup instructions " +
                                           strQuoted(objRec.objDefFile->strSetFileName()) +
                                           " could not be saved: " + strCurrentFailure());
                }
                objRec.blnDefOnDisk = true;
            }
        }
        mblnChanged = false;
    } catch (...) {
        AppErrors().NestedError("EditDefFolders.SaveInstructions");
    }
}

}  // namespace tarnwickbackup
