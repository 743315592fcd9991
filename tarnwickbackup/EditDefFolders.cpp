#include "EditDefFolders.h"

#include "FolderNode.h"
#include "Globals.h"
#include "savecore/DefinitionFile.h"
#include "savecore/DriveProcessor.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

EditDefFolders::EditDefFolders(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditDefFolders"));
}

EditDefFolders::~EditDefFolders() = default;

void EditDefFolders::ShowMe(savecore::DriveProcessor& objProc, const std::string& strDriveName) {
    try {
        mobjProc = &objProc;
        mstrDriveName = strDriveName;
        exec();
    } catch (...) {
        AppErrors().NestedError("EditDefFolders.ShowMe");
    }
}

void EditDefFolders::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
void EditDefFolders::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
void EditDefFolders::reject() {
    QDialog::reject();
}
void EditDefFolders::StartProgress(int32_t&) {}
void EditDefFolders::EndProgress() {}
void EditDefFolders::SetProgressFolder(std::string&) {}
void EditDefFolders::blnProgressStop(bool&) {}

}  // namespace tarnwickbackup
