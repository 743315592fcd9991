// The main window's two lists: backup types found on the drives, and the
// destinations from the drives and the settings.
#include <QComboBox>

#include "Globals.h"
#include "MainForm.h"
#include "SettingsStore.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace {

bool blnListHoldsUCase(const QComboBox& objList, const std::string& strText) {
    const std::string strUpper = strUCase(strText);
    for (int i = 0; i < objList.count(); ++i)
        if (strUCase(objList.itemText(i).toStdString()) == strUpper) return true;
    return false;
}

}  // namespace

void MainForm::LoadDefFiles() {
    try {
        platform::ui::BusyCursor objBusy;
        cboBackup->clear();
        if (const auto& colDriveProcs = mobjManager->colDriveProcs()) {
            for (const auto& objProc : *colDriveProcs) {
                const auto& objDrive = objProc->objDrive();
                if (objDrive->IsReady()) AddDefFilesFromDrive(*objDrive);
            }
        }
        // A rebuilt list has nothing selected.
        cboBackup->setCurrentIndex(-1);
    } catch (...) {
        AppErrors().NestedError("MainForm.LoadDefFiles");
    }
}

void MainForm::AddDefFilesFromDrive(const platform::fs::Drive& objDrive) {
    try {
        const std::string strExt = strUCase(mobjManager->strSetNameExt());
        for (const auto& objFile : objDrive.RootFolder()->Files()) {
            const std::string strName = objFile->Name();
            if (strUCase(strName).find(strExt) == std::string::npos) continue;
            const std::string strType = strName.substr(0, strName.find('.'));
            // ".BDF" alone names no type that anyone could pick or edit.
            if (strType.empty() || blnListHoldsUCase(*cboBackup, strType)) continue;
            cboBackup->addItem(QString::fromStdString(strType));
        }
    } catch (...) {
        AppErrors().NestedError("MainForm.AddDefFilesFromDrive");
    }
}

void MainForm::LoadDestinations() {
    try {
        cboDest->clear();
        int lngLastRemovable = -1;
        for (const auto& objDrive : mobjFileSys->Drives()) {
            const int32_t lngType = objDrive->DriveType();
            const std::string strLetter = strUCase(objDrive->DriveLetter());
            if ((lngType == platform::fs::kDriveCDRom ||
                 lngType == platform::fs::kDriveRemovable) &&
                strLetter != "A" && strLetter != "B") {
                cboDest->addItem(QString::fromStdString(strLCase(strLetter + ":\\")));
                lngLastRemovable = cboDest->count() - 1;
            }
        }
        cboDest->setCurrentIndex(-1);
        const SettingList colSettings = Settings().GetAllSettings(gstrSECTION_DESTINATIONS);
        if (colSettings.empty()) return;
        for (const auto& [strKey, strValue] : colSettings) {
            const QString strLower = QString::fromStdString(strLCase(strValue));
            if (cboDest->findText(strLower, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
                cboDest->addItem(QString::fromStdString(strValue));
        }
        cboDest->setCurrentIndex(-1);
        const std::string strCurrent =
            strLCase(Settings().GetSetting(gstrSECTION_GENERAL, "CurrentDestination", ""));
        for (int i = 0; i < cboDest->count(); ++i) {
            if (strLCase(cboDest->itemText(i).toStdString()) == strCurrent) {
                cboDest->setCurrentIndex(i);
                break;
            }
        }
        if (cboDest->currentIndex() < 0 && lngLastRemovable >= 0)
            cboDest->setCurrentIndex(lngLastRemovable);
    } catch (...) {
        AppErrors().NestedError("MainForm.LoadDestinations");
    }
}

void MainForm::SaveDestinations() {
    try {
        SettingsStore& objSettings = Settings();
        objSettings.DeleteSection(gstrSECTION_DESTINATIONS);
        for (int i = 0; i < cboDest->count(); ++i) {
            const std::string strDest = cboDest->itemText(i).toStdString();
            if (blnIsDestForm(strDest))
                objSettings.SaveSetting(gstrSECTION_DESTINATIONS, "Dest" + std::to_string(i),
                                        strDest);
        }
        objSettings.SaveSetting(
            gstrSECTION_GENERAL, "CurrentDestination",
            cboDest->currentIndex() < 0 ? "" : cboDest->currentText().toStdString());
    } catch (...) {
        AppErrors().NestedError("MainForm.SaveDestinations");
    }
}

}  // namespace tarnwickbackup
