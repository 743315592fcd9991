#include "BackupDefList.h"

#include "Globals.h"
#include "savecore/BackupManager.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

BackupDefList::BackupDefList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BackupDefList"));
    setWindowTitle(QStringLiteral("Backup Instructions"));
}

void BackupDefList::ShowMe(savecore::BackupManager& objManager) {
    try {
        mobjManager = &objManager;
        if (!objManager.colDefFolders()) return;
        exec();
    } catch (...) {
        AppErrors().NestedError("BackupDefList.ShowMe");
    }
}

}  // namespace tarnwickbackup
