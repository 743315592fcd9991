// The unattended backup: the command line names a backup type, a
// destination and the modes; the main window runs that backup at its first
// activation and shows a summary of the options used.
#include <QComboBox>
#include <chrono>
#include <iostream>

#include "DriveProgress.h"
#include "Globals.h"
#include "MainForm.h"
#include "TWDeclarations.h"
#include "platform/fs/WinPath.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

void CommandLineError(const std::string& strText) {
    ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
}

// The days after strOption: false (after its message) when missing, not a
// number or below 0.
bool blnTakeDays(std::string& strLine, const std::string& strOption, int32_t& lngDays) {
    const std::optional<std::string> vntDays = MainForm::strGetToken(strLine);
    if (!vntDays) {
        CommandLineError("Missing (days) after " + strOption + " option.");
        return false;
    }
    if (!blnIsDayCount(*vntDays)) {
        CommandLineError("Invalid (days) after " + strOption + " option.");
        return false;
    }
    lngDays = lngCLng(*vntDays);
    return true;
}

const char* pszYesNo(bool blnValue) {
    return blnValue ? "Yes" : "No";
}

// blnArchiveIgnored: "/ia" was given without "/md".
std::string strSummary(const savecore::BackupManager& objManager, const std::string& strType,
                       const std::string& strDest, bool blnArchiveIgnored) {
    const std::string strCrLf = "\r\n";
    std::string strText = "Backup Type:   \"" + strType + "\"" + strCrLf + "Destination:   \"" +
                          strDest + "\"" + strCrLf;
    if (blnArchiveIgnored) strText += "/ia has no effect without /md" + strCrLf;
    if (objManager.blnIncrementalMode())
        strText += "Max Days Since Last Change To Include:   " +
                   std::to_string(objManager.lngDaysSinceLastMod()) + strCrLf +
                   "Include Files With \"Archive\" Flag:   " +
                   pszYesNo(objManager.blnIncludeArchiveFlag()) + strCrLf;
    strText += std::string("Clear \"Archive\" Flag After Backup:   ") +
               pszYesNo(objManager.blnClearArchiveFlag()) + strCrLf;
    if (objManager.blnClearArchiveFlag())
        strText += "Min Days Since Last Change To Clear \"Archive\" Flag:   " +
                   std::to_string(objManager.lngClearArchiveFlagDays()) + strCrLf;
    strText += std::string("Backup To Subfolder Named For Date And Time:   ") +
               pszYesNo(objManager.blnUseDateTimeSubFolder());
    return strText;
}

}  // namespace

std::optional<std::string> MainForm::strGetToken(std::string& strLine) {
    try {
        const std::size_t p = strLine.find_first_not_of(' ');
        if (p == std::string::npos) return std::nullopt;
        if (strLine[p] == '"') {
            const std::size_t q = strLine.find('"', p + 1);
            if (q == std::string::npos) {
                strLine.clear();
                return std::nullopt;
            }
            std::string strToken = strLine.substr(p + 1, q - p - 1);
            strLine.erase(0, q + 1);
            return strToken;
        }
        const std::size_t q = strLine.find(' ', p);
        std::string strToken = strLine.substr(p, q == std::string::npos ? q : q - p);
        strLine.erase(0, q == std::string::npos ? strLine.size() : q);
        return strToken;
    } catch (...) {
        AppErrors().NestedError("MainForm.strGetToken");
    }
}

bool MainForm::blnTypeListed(const std::string& strType) const {
    for (int i = 0; i < cboBackup->count(); ++i)
        if (cboBackup->itemText(i).toStdString() == strType) return true;
    return false;
}

void MainForm::UnUnattended() {
    try {
        savecore::BackupManager& objManager = *mobjManager;
        objManager.InitBackupMode();
        std::string strLine = App().strCommandLine;
        std::optional<std::string> vntType;
        std::string strDest;
        while (const std::optional<std::string> vntToken = strGetToken(strLine)) {
            const std::string strWord = strLCase(*vntToken);
            int32_t lngDays = 0;
            if (strWord == "/ub") {
                vntType = strGetToken(strLine);
                if (!vntType) return CommandLineError("Missing backup type in /ub option.");
                if (!blnTypeListed(*vntType))
                    return CommandLineError("Unrecognized backup type \"" + *vntType +
                                            "\" in /ub option.");
                const std::optional<std::string> vntDest = strGetToken(strLine);
                if (!vntDest) return CommandLineError("Missing backup destination in /ub option.");
                if (!blnValidateDest(*vntDest)) return;
                strDest = platform::fs::WinPath::CanonicalFolder(*vntDest);
            } else if (strWord == "/md") {
                if (!blnTakeDays(strLine, "/md", lngDays)) return;
                objManager.blnIncrementalMode(true);
                objManager.lngDaysSinceLastMod(lngDays);
            } else if (strWord == "/ia") {
                objManager.blnIncludeArchiveFlag(true);
            } else if (strWord == "/dt") {
                objManager.blnUseDateTimeSubFolder(true);
            } else if (strWord == "/ca") {
                if (!blnTakeDays(strLine, "/ca", lngDays)) return;
                objManager.blnClearArchiveFlag(true);
                objManager.lngClearArchiveFlagDays(lngDays);
            } else {
                return CommandLineError("Unrecognized command line option \"" + *vntToken +
                                        "\". Backup aborted.");
            }
        }
        // A quote left open can swallow "/ub" whole: without a type there
        // is nothing to back up.
        if (!vntType) return CommandLineError("Missing backup type in /ub option.");
        const bool blnArchiveIgnored =
            !objManager.blnIncrementalMode() && objManager.blnIncludeArchiveFlag();
        if (!objManager.blnIncrementalMode()) {
            objManager.lngDaysSinceLastMod(0);
            objManager.blnIncludeArchiveFlag(false);
        }
        const auto datStart = std::chrono::steady_clock::now();
        ExecuteBackup(*vntType, strDest);
        const auto lngSeconds = std::chrono::duration_cast<std::chrono::seconds>(
                                    std::chrono::steady_clock::now() - datStart)
                                    .count();
        if (mblnLastRunStopped)
            mlngExitStatus = glngEXIT_STOPPED;
        else
            mlngExitStatus = objManager.strGetErrorLog().empty() ? glngEXIT_CLEAN : glngEXIT_LOGGED;
        ui::Ui().MsgBox(strSummary(objManager, *vntType, strDest, blnArchiveIgnored),
                        ui::vbInformation + ui::vbOKOnly, "Options For Backup Just Completed");
        // One line a log or a mail from the scheduler can show on its own.
        std::cerr << "Backup finished: " << savecore::strGrouped(mlngFilesCopied) << " files, "
                  << savecore::strGrouped(mdblBytesCopied) << " bytes, " << mlngErrorsLogged
                  << " errors, " << DriveProgress::strDuration(lngSeconds).toStdString()
                  << std::endl;
    } catch (...) {
        AppErrors().NestedError("MainForm.UnUnattended");
    }
}

}  // namespace tarnwickbackup
