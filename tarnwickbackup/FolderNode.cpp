#include "FolderNode.h"

#include <QFont>
#include <QTreeWidgetItem>

#include "FolderImages.h"
#include "Globals.h"
#include "savecore/DefinitionFile.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

FolderNode::FolderNode() = default;
FolderNode::~FolderNode() = default;

void FolderNode::Init(QTreeWidgetItem* objNode_) {
    objNode = objNode_;
    blnChildrenLoaded = false;
    blnDeleteDef = false;
    objDefFile.reset();
    objSkippedDefFile.reset();
    lngBackupMode = 0;
}

void FolderNode::UseDefFile(QTreeWidgetItem* objNode_, const FolderNode* objParentFolderNode,
                            std::unique_ptr<savecore::DefinitionFile> objDefFile_) {
    try {
        objDefFile = std::move(objDefFile_);
        lngBackupMode = objDefFile->lngBackupMode();
        if (objParentFolderNode && objParentFolderNode->lngBackupMode == savecore::glngBACKUP_SKIP)
            lngBackupMode = savecore::glngBACKUP_SKIP;
        SetDisplay(objNode_);
    } catch (...) {
        AppErrors().NestedError("FolderNode.UseDefFile");
    }
}

void FolderNode::SetDisplay(QTreeWidgetItem* objNode_) {
    try {
        QString strKey;
        QFont font = objNode_->font(0);
        switch (lngBackupMode) {
            case savecore::glngBACKUP_SKIP:
                strKey = QStringLiteral("skip");
                font.setBold(false);
                break;
            case savecore::glngBACKUP_INCLUDE:
                strKey = QStringLiteral("include");
                font.setBold(true);
                break;
            case savecore::glngBACKUP_EXCLUDE:
                strKey = QStringLiteral("exclude");
                font.setBold(objDefFile && objDefFile->colIncludeFiles().has_value());
                break;
            default:
                break;
        }
        if (!objDefFile) strKey = QStringLiteral("inherit");
        objNode_->setFont(0, font);
        SetItemImage(*objNode_, strKey);
        // Bold is seen, not heard: say it too.
        if (font.bold())
            objNode_->setData(0, Qt::AccessibleDescriptionRole,
                              strFolderImageText(strKey) + QStringLiteral(", backed up"));
    } catch (...) {
        AppErrors().NestedError("FolderNode.SetDisplay");
    }
}

}  // namespace tarnwickbackup
