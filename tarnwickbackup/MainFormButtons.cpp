// The main window's buttons for destinations and backup types, and the
// buttons that open other windows.
#include <QComboBox>
#include <QPushButton>
#include <vector>

#include "BackupDefList.h"
#include "DriveProgress.h"
#include "EditDefDrives.h"
#include "Globals.h"
#include "MainForm.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/WinPath.h"
#include "platform/ui/UiServices.h"
#include "savecore/DestinationGuard.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

const char* const gpszFORBIDDEN = "\\/:*?\"<>|.";

int32_t Refuse(const std::string& strText, const std::string& strTitle = gstrAPP_TITLE) {
    return ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, strTitle);
}

bool blnRefuseUnwritable(const std::string& strDest) {
    Refuse("The backup destination \"" + strDest +
           "\" cannot be written to: the disc is write-protected, or you may not write there.");
    return false;
}

std::string strSelected(const QComboBox& objList) {
    return objList.currentIndex() < 0 ? std::string() : objList.currentText().toStdString();
}

// Hard and network drives: the ones whose roots may never be a destination.
std::vector<platform::fs::DrivePtr> colHardDrives(const platform::fs::FileSystem& objFileSys) {
    std::vector<platform::fs::DrivePtr> colDrives;
    for (const auto& objDrive : objFileSys.Drives()) {
        const int32_t lngType = objDrive->DriveType();
        if (lngType == platform::fs::kDriveFixed || lngType == platform::fs::kDriveRemote)
            colDrives.push_back(objDrive);
    }
    return colDrives;
}

}  // namespace

void MainForm::cmdAddDest_Click() {
    try {
        const std::string strAnswer =
            ui::Ui().InputBox("Enter drive and folder to backup to:", "Add Destination", "");
        if (strAnswer.empty()) return;
        if (!blnValidateDest(strAnswer)) return;
        const std::string strDest = platform::fs::WinPath::CanonicalFolder(strAnswer);
        const std::string strUpper = strUCase(strDest);
        for (int i = 0; i < cboDest->count(); ++i) {
            const std::string strItem = cboDest->itemText(i).toStdString();
            if (strUCase(platform::fs::WinPath::CanonicalFolder(strItem)) == strUpper) return;
        }
        cboDest->addItem(QString::fromStdString(strDest));
        cboDest->setCurrentIndex(cboDest->count() - 1);
    } catch (...) {
        AppErrors().TopError("MainForm.cmdAddDest_Click");
    }
}

bool MainForm::blnValidateDest(std::string strDest) {
    try {
        if (!blnIsDestForm(strDest)) {
            Refuse("\"" + strDest +
                   "\" is not a valid backup destination. Destinations must include a drive "
                   "letter and end with \"\\\".");
            return false;
        }
        // The form is the user's; from here on the folder it stands for.
        strDest = platform::fs::WinPath::CanonicalFolder(strDest);
        const std::string strDrive = strDest.substr(0, 2);
        if (!mobjFileSys->DriveExists(strDrive)) {
            Refuse("Drive letter in backup destination \"" + strDest + "\" is not valid.");
            return false;
        }
        const auto objDrive = mobjFileSys->GetDrive(strDrive);
        if (!objDrive->IsReady()) {
            Refuse("Drive in backup destination \"" + strDest + "\" is not ready.");
            return false;
        }
        const int32_t lngType = objDrive->DriveType();
        if (strDest.size() == 3 &&
            (lngType == platform::fs::kDriveFixed || lngType == platform::fs::kDriveRemote)) {
            Refuse(
                "You may not use the root folder of a hard drive or a network mapped drive "
                "letter as a backup destination.",
                "Invalid Destination");
            return false;
        }
        const std::string strHeld = savecore::DestinationGuard::strHeldDrive(
            *mobjFileSys, strDest, colHardDrives(*mobjFileSys));
        if (!strHeld.empty()) {
            Refuse(savecore::DestinationGuard::strRefusal(strDest, strHeld), "Invalid Destination");
            return false;
        }
        const std::string strFolder = strDest.substr(0, strDest.size() - 1);
        if (!mobjFileSys->FolderWritable(platform::fs::strNearestFolder(*mobjFileSys, strDest)))
            return blnRefuseUnwritable(strDest);
        if (!mobjFileSys->FolderExists(strFolder)) {
            if (ui::Ui().MsgBox("Backup destination folder \"" + strDest +
                                    "\" does not exist. Do you wish to create it?",
                                ui::vbQuestion + ui::vbYesNo, gstrAPP_TITLE) == ui::vbNo)
                return false;
            for (std::size_t pos = strDest.find('\\', 3); pos != std::string::npos;
                 pos = strDest.find('\\', pos + 1)) {
                const std::string strPart = strDest.substr(0, pos);
                if (mobjFileSys->FolderExists(strPart)) continue;
                try {
                    mobjFileSys->CreateFolder(strPart);
                } catch (const platform::RtError& e) {
                    if (e.Number() != platform::rt::kPermissionDenied) throw;
                    return blnRefuseUnwritable(strDest);
                }
            }
        }
        return true;
    } catch (...) {
        AppErrors().NestedError("MainForm.blnValidateDest");
    }
}

void MainForm::cmdDelDest_Click() {
    try {
        if (cboDest->currentIndex() < 0) return;
        const std::string strUpper = strUCase(cboDest->currentText().toStdString());
        for (int i = 0; i < cboDest->count(); ++i) {
            if (strUCase(cboDest->itemText(i).toStdString()) == strUpper) {
                cboDest->removeItem(i);
                cboDest->setCurrentIndex(-1);
                return;
            }
        }
    } catch (...) {
        AppErrors().TopError("MainForm.cmdDelDest_Click");
    }
}

bool MainForm::blnNewTypeNameAllowed(const std::string& strName) {
    const std::string strUpper = strUCase(strName);
    for (int i = 0; i < cboBackup->count(); ++i) {
        if (strUCase(cboBackup->itemText(i).toStdString()) == strUpper) {
            Refuse("A backup type with this name already exists.");
            return false;
        }
    }
    if (strName.find_first_of(gpszFORBIDDEN) != std::string::npos) {
        std::string strMsg =
            "The backup type name may not contain any of the following characters:";
        strMsg += "\r\n\r\n" + std::string(35, ' ');
        for (const char* pch = gpszFORBIDDEN; *pch; ++pch) strMsg += std::string(" ") + *pch;
        Refuse(strMsg);
        return false;
    }
    return true;
}

void MainForm::cmdNewType_Click() {
    try {
        const std::string strName = ui::Ui().InputBox(
            "What name do you wish to give this type of backup?", "Enter Name", "");
        if (strName.empty()) return;
        if (!blnNewTypeNameAllowed(strName)) return;
        // The name must make a file name the file system takes.
        const std::string strTest = "c:\\" + strName + mobjManager->strSetNameExt();
        if (mobjFileSys->FileExists(strTest))
            AppErrors().RaiseError("Unexpectedly found file " + strTest);
        mobjFileSys->CreateEmptyFile(strTest);
        mobjFileSys->DeleteFile(strTest, false);
        if (ui::Ui().MsgBox(
                "Are you sure you want to create a new backup type called \"" + strName + "\"?",
                ui::vbYesNo + ui::vbDefaultButton2, "Confirm") != ui::vbYes)
            return;
        {
            EditDefDrives objEditor(this);
            objEditor.ShowMe(strName, *mobjManager);
        }
        LoadDefFiles();
        // The type just made is the one the user goes on with, once it has
        // an instruction file to be found by.
        cboBackup->setCurrentIndex(cboBackup->findText(QString::fromStdString(strName)));
    } catch (...) {
        AppErrors().TopError("MainForm.cmdNewType_Click");
    }
}

void MainForm::cmdEditType_Click() {
    try {
        if (cboBackup->currentIndex() < 0) {
            Refuse("Select type of backup first.");
            return;
        }
        EditDefDrives objEditor(this);
        objEditor.ShowMe(cboBackup->currentText().toStdString(), *mobjManager);
    } catch (...) {
        AppErrors().TopError("MainForm.cmdEditType_Click");
    }
}

void MainForm::cmdDeleteType_Click() {
    try {
        if (cboBackup->currentIndex() < 0) {
            Refuse("Select type of backup first.");
            return;
        }
        const std::string strType = cboBackup->currentText().toStdString();
        if (ui::Ui().MsgBox("Do you really want to delete backup type \"" + strType + "\"?",
                            ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2,
                            gstrAPP_TITLE) != ui::vbYes)
            return;
        EnableButtons(false);
        mobjMgrEvents.emplace(*mobjManager, static_cast<savecore::BackupManagerEvents&>(*this));
        if (mobjManager->blnDeleteType(strType))
            ui::Ui().MsgBox("Delete backup type stopped.", ui::vbExclamation + ui::vbOKOnly,
                            gstrAPP_TITLE);
        mobjMgrEvents.reset();
        LoadDefFiles();
        EnableButtons(true);
    } catch (...) {
        // Back to idle, so the window can be used (and closed) after the report.
        mobjMgrEvents.reset();
        CloseProgressWindow();
        EnableButtons(true);
        AppErrors().TopError("MainForm.cmdDeleteType_Click");
    }
}

void MainForm::cmdRestore_Click() {
    try {
        if (!blnIsDestForm(strSelected(*cboDest))) {
            Refuse("Select backup drive or folder to restore from first.");
            return;
        }
        // TODO: open RestoreDrives with the manager and the destination.
    } catch (...) {
        AppErrors().TopError("MainForm.cmdRestore_Click");
    }
}

void MainForm::cmdShowDefList_Click() {
    try {
        BackupDefList objList(this);
        objList.ShowMe(*mobjManager);
    } catch (...) {
        AppErrors().TopError("MainForm.cmdShowDefList_Click");
    }
}

void MainForm::cmdHelp_Click() {
    try {
        ShowHelp(glngHELP_MAIN, 0, false);
    } catch (...) {
        AppErrors().TopError("MainForm.cmdHelp_Click");
    }
}

}  // namespace tarnwickbackup
