#include "EditFolderAdvanced.h"

#include "FolderNode.h"
#include "Globals.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

EditFolderAdvanced::EditFolderAdvanced(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditFolderAdvanced"));
    setWindowTitle(QStringLiteral("Advanced Folder Instructions"));
}

void EditFolderAdvanced::ShowMe(FolderNode& objFolderNode, const std::string& strPath) {
    try {
        mobjFolderNode = &objFolderNode;
        setWindowTitle(QString::fromStdString("Advanced Instr. For " + strPath));
        exec();
    } catch (...) {
        AppErrors().TopError("EditFolderAdvanced.ShowMe");
    }
}

}  // namespace tarnwickbackup
