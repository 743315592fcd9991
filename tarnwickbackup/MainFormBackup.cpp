// The main window makes a backup: "Make Backup" with its options and
// confirmations, the run, the messages after it, and the new disc asked for
// when the destination disc is full.
#include <QComboBox>
#include <QPushButton>

#include "BackupModeDialog.h"
#include "DriveProgress.h"
#include "Globals.h"
#include "MainForm.h"
#include "TWDeclarations.h"
#include "WaitForDrive.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/WinPath.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

constexpr auto gWAIT_FOR_DISC = std::chrono::seconds(60);
constexpr int16_t gintWAIT_TICK_SECONDS = 1;

std::string strSelectedText(const QComboBox& objList) {
    return objList.currentIndex() < 0 ? std::string() : objList.currentText().toStdString();
}

std::string strDiscFullText() {
    const std::string strGroup = "\r\n\r\n";
    return "The backup disc is full." + strGroup +
           "Please wait for Windows to finish writing data to the disc (you should be able to "
           "tell from the lights on the drive), then remove the disc." +
           strGroup +
           "Then insert another disc (formatted, but not necessarily empty), and click \"OK\" "
           "after Windows has finished loading it (wait for the lights again, or a popup "
           "message)." +
           strGroup + "Click \"Cancel\" to stop the backup.";
}

}  // namespace

void MainForm::cmdBackup_Click() {
    try {
        if (cboBackup->currentIndex() < 0) {
            ui::Ui().MsgBox("Select type of backup first.", ui::vbCritical + ui::vbOKOnly,
                            gstrAPP_TITLE);
            return;
        }
        const std::string strType = cboBackup->currentText().toStdString();
        std::string strDest = strSelectedText(*cboDest);
        if (!blnIsDestForm(strDest)) {
            ui::Ui().MsgBox("Select drive or folder to save backup to first.",
                            ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            return;
        }
        // A list saved by an earlier version may hold other spellings.
        strDest = platform::fs::WinPath::CanonicalFolder(strDest);
        {
            BackupModeDialog objDialog(this);
            if (objDialog.blnShowMe(*mobjManager, strType, strDest)) return;
        }
        if (!mobjManager->blnUseDateTimeSubFolder() &&
            ui::Ui().MsgBox("Making this backup will erase all files and folders currently at "
                            "the backup destination, \"" +
                                strDest + "\". Do you really wish to make this backup?",
                            ui::vbQuestion + ui::vbOKCancel + ui::vbDefaultButton2,
                            "Confirm Erase") != ui::vbOK)
            return;
        if (ui::Ui().MsgBox("Are you sure you want to make backup type \"" + strType + "\"?",
                            ui::vbQuestion + ui::vbOKCancel + ui::vbDefaultButton1,
                            "Confirm") != ui::vbOK)
            return;
        ExecuteBackup(strType, strDest);
    } catch (...) {
        AppErrors().TopError("MainForm.cmdBackup_Click");
    }
}

void MainForm::ExecuteBackup(std::string strSetName, std::string strDest) {
    try {
        EnableButtons(false);
        mobjMgrEvents.emplace(*mobjManager, static_cast<savecore::BackupManagerEvents&>(*this));
        mlngTotalFiles = 0;
        mdblTotalBytes = 0;
        mlngFilesCopied = 0;
        mdblBytesCopied = 0;
        mlngErrorsLogged = 0;
        if (blnCountSelection(strSetName, strDest)) {
            mlngTotalFiles = mobjManager->lngFilesUsed();
            mdblTotalBytes = mobjManager->dblSpaceUsed();
            mobjManager->lngCountedFiles(mlngTotalFiles);
        }
        // Stop while counting stops the backup before it has touched the
        // destination; Skip only ends the count.
        if (mobjProgress && mobjProgress->blnStop()) {
            mobjMgrEvents.reset();
            CloseProgressWindow();
            mblnLastRunStopped = true;
            ui::Ui().MsgBox("Backup stopped.", ui::vbExclamation + ui::vbOKOnly, gstrAPP_TITLE);
            EnableButtons(true);
            return;
        }
        mblnLastRunStopped = mobjManager->blnProcess(strSetName, strDest, false);
        mlngFilesCopied = mobjManager->lngFilesUsed();
        mdblBytesCopied = mobjManager->dblSpaceUsed();
        mlngErrorsLogged = mobjManager->intErrorCount();
        if (mblnLastRunStopped)
            ui::Ui().MsgBox("Backup stopped.", ui::vbExclamation + ui::vbOKOnly, gstrAPP_TITLE);
        mobjMgrEvents.reset();
        ShowErrorLog(*mobjManager);
        ui::Ui().MsgBox(mobjManager->strSpaceUsed() + " used.", ui::vbOKOnly, gstrAPP_TITLE);
        EnableButtons(true);
    } catch (...) {
        // Idle again, so that the window can be used, and closed, after the
        // report.
        mobjMgrEvents.reset();
        CloseProgressWindow();
        EnableButtons(true);
        AppErrors().NestedError("MainForm.ExecuteBackup");
    }
}

namespace {

// Lets the window's events through and answers every box with its default
// button, unseen: a box during the count is one the backup will show.
class QuietUi : public ui::UiServices {
  public:
    explicit QuietUi(ui::UiServices& objInner) : mobjInner(objInner) {}
    int32_t MsgBox(const std::string&, int32_t lngStyle, const std::string&) override {
        mblnSpoke = true;
        return ui::DefaultResult(lngStyle);
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        mblnSpoke = true;
        return std::string();
    }
    void DoEvents() override { mobjInner.DoEvents(); }
    void SetBusyCursor(bool blnBusy) override { mobjInner.SetBusyCursor(blnBusy); }
    bool mblnSpoke = false;

  private:
    ui::UiServices& mobjInner;
};

}  // namespace

bool MainForm::blnCountSelection(const std::string& strSetName, const std::string& strDest) {
    // The destination is passed so that the count leaves it out as the
    // backup does; a space-only run never writes to it.
    auto objQuiet = std::make_shared<QuietUi>(ui::Ui());
    const std::shared_ptr<ui::UiServices> objPrevious = ui::InstallUi(objQuiet);
    mblnCounting = true;
    bool blnStopped = true;
    try {
        blnStopped = mobjManager->blnProcess(strSetName, strDest, true);
    } catch (...) {
        // A count that failed leaves the backup without a total; the
        // backup itself reports what is wrong.
    }
    mblnCounting = false;
    ui::InstallUi(objPrevious);
    return !blnStopped && !objQuiet->mblnSpoke;
}

void MainForm::mobjMgrEvents_OutOfSpace(bool& blnStop) {
    // Without a display nobody changes the disc: OK would have the engine
    // clean the full disc as if it were a new one, so there the box answers
    // Cancel.
    const int32_t lngDefault = App().blnHeadless ? ui::vbDefaultButton2 : ui::vbDefaultButton1;
    blnStop = ui::Ui().MsgBox(strDiscFullText(), ui::vbInformation + ui::vbOKCancel + lngDefault,
                              gstrAPP_TITLE) == ui::vbCancel;
    if (blnStop) return;
    const auto objDrive = mobjManager->objFileSys()->GetDrive(mobjManager->strDest().substr(0, 3));
    if (objDrive->IsReady()) return;
    WaitForDrive objWait(this, mfnNow, mlngWaitMsPerSecond);
    if (objWait.blnShowMe(objDrive, mfnNow() + gWAIT_FOR_DISC, gintWAIT_TICK_SECONDS))
        blnStop = true;
}

}  // namespace tarnwickbackup
