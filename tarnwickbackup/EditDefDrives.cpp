#include "EditDefDrives.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "BackupDefList.h"
#include "EditDefFolders.h"
#include "ElidedLabel.h"
#include "Globals.h"
#include "NamedControls.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupConstants.h"
#include "savecore/DefinitionFile.h"
#include "savecore/DriveProcessor.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

constexpr int gintTWIPS_PER_PIXEL = 15;
constexpr int gintNAME_WIDTH = 3000 / gintTWIPS_PER_PIXEL;
constexpr int gintWHAT_WIDTH = 4500 / gintTWIPS_PER_PIXEL;

void Say(const std::string& strText, int32_t lngStyle) {
    ui::Ui().MsgBox(strText, lngStyle, gstrAPP_TITLE);
}

}  // namespace

EditDefDrives::EditDefDrives(QWidget* parent) : DriveListWindow(parent, "EditDefDrives") {
    setWindowTitle(QStringLiteral("Select Drive To Give Instructions For"));
    BuildControls();
    ConnectHandlers();
    SetHelpContext(*this, glngHELP_EDIT_DRIVES);
}

EditDefDrives::~EditDefDrives() {
    mobjMgrEvents.reset();
}

void EditDefDrives::BuildControls() {
    lblBackupType = new QLabel(this);
    lblBackupType->setObjectName(QStringLiteral("lblBackupType"));
    lblBackupType->setTextFormat(Qt::PlainText);
    QFont bold = lblBackupType->font();
    bold.setBold(true);
    lblBackupType->setFont(bold);
    // At its smallest the list still shows both columns whole and six
    // drives without scrolling.
    NewDriveList(QStringLiteral("Drives"), gintNAME_WIDTH + gintWHAT_WIDTH, 7);
    lvwDrives->setAllColumnsShowFocus(true);
    lvwDrives->setSelectionBehavior(QAbstractItemView::SelectRows);
    cmdEditDrive = NewButton(this, "cmdEditDrive", "Instructions For Selected Drive...");
    cmdComputeAllSpace = NewButton(this, "cmdComputeAllSpace", "Space Required (All Drives)");
    cmdClose = NewButton(this, "cmdClose", "Close");
    // A drive can be opened only once a row says which one.
    cmdEditDrive->setEnabled(false);
    lblFolder = new ElidedLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setTextFormat(Qt::PlainText);
    // Its text, the folder, is what a screen reader reads.
    lblFolder->setAccessibleDescription(QStringLiteral("Folder being counted"));
    // Room for one line whether or not a folder is shown.
    lblFolder->setMinimumHeight(lblFolder->fontMetrics().height() + 4);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdEditDrive);
    buttons->addWidget(cmdComputeAllSpace);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblBackupType);
    layout->addWidget(lvwDrives, 1);
    layout->addLayout(buttons);
    layout->addWidget(lblFolder);
    setTabOrder(lvwDrives, cmdEditDrive);
    setTabOrder(cmdEditDrive, cmdComputeAllSpace);
    setTabOrder(cmdComputeAllSpace, cmdClose);
    resize(gintNAME_WIDTH + gintWHAT_WIDTH + 60, 340);
}

void EditDefDrives::ConnectHandlers() {
    // Double-click or Enter on a row: the same as the button.
    connect(lvwDrives, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* objItem) {
        lvwDrives_ItemClick(objItem);
        if (cmdEditDrive->isEnabled()) cmdEditDrive_Click();
    });
    connect(cmdEditDrive, &QPushButton::clicked, this, &EditDefDrives::cmdEditDrive_Click);
    connect(cmdComputeAllSpace, &QPushButton::clicked, this,
            &EditDefDrives::cmdComputeAllSpace_Click);
    connect(cmdClose, &QPushButton::clicked, this, &EditDefDrives::cmdClose_Click);
}

void EditDefDrives::ShowMe(const std::string& strSetName, savecore::BackupManager& objManager) {
    try {
        mstrSetName = strSetName;
        mobjManager = &objManager;
        lblBackupType->setText(QString::fromStdString("Backup Type: " + strSetName));
        // The folder editor and the listing take the type name from here.
        mobjManager->strSetName(strSetName);
        LoadDrives();
        DisplayDrives();
        exec();
    } catch (...) {
        AppErrors().NestedError("EditDefDrives.ShowMe");
    }
}

std::string EditDefDrives::strWhatToBackup(int32_t lngMode, bool blnNoInstructions) {
    switch (lngMode) {
        case savecore::glngBACKUP_SKIP:
            return blnNoInstructions ? "Do not backup anything (no instructions)"
                                     : "Do not backup anything";
        case savecore::glngBACKUP_INCLUDE:
            return "Everything except selected folders and files";
        case savecore::glngBACKUP_EXCLUDE:
            return "Only selected folders and files";
        case savecore::glngBACKUP_NOTREADY:
            return "Drive not ready";
        default:
            return "???";
    }
}

void EditDefDrives::LoadDrives() {
    try {
        ui::BusyCursor objBusy;
        maudtDrives.clear();
        mintDriveCount = 0;
        if (!mobjManager->colDriveProcs()) return;
        for (const auto& objProc : *mobjManager->colDriveProcs()) {
            const platform::fs::DrivePtr& objDrive = objProc->objDrive();
            if (mintDriveCount == INT16_MAX) throw platform::RtError(platform::rt::kOverflow);
            ++mintDriveCount;
            DriveEntry udtEntry;
            udtEntry.objProc = objProc;
            udtEntry.strName = objDrive->DriveLetter() + ":  ";
            if (objDrive->IsReady()) {
                savecore::DefinitionFile objDef;
                objDef.Init(*mobjManager, mstrSetName, objDrive->RootFolder());
                // A missing and a damaged root file look the same here.
                if (objDef.blnLoad()) {
                    udtEntry.lngMode = savecore::glngBACKUP_SKIP;
                    udtEntry.blnNoInstructions = true;
                } else {
                    udtEntry.lngMode = objDef.lngBackupMode();
                }
            } else {
                udtEntry.lngMode = savecore::glngBACKUP_NOTREADY;
            }
            if (objDrive->DriveType() == platform::fs::kDriveRemote)
                udtEntry.strName += objDrive->ShareName();
            else if (udtEntry.lngMode != savecore::glngBACKUP_NOTREADY)
                udtEntry.strName += "(" + objDrive->VolumeName() + ")";
            maudtDrives.push_back(std::move(udtEntry));
        }
    } catch (...) {
        AppErrors().NestedError("EditDefDrives.LoadDrives");
    }
}

void EditDefDrives::DisplayDrives() {
    try {
        // The row picked before a rebuild stays picked; the first row is
        // picked at the start, as the list view did by itself.
        const int16_t intPicked = mintSelected;
        const QSignalBlocker objQuiet(lvwDrives);
        ClearDriveList(
            {QStringLiteral("Drive Letter (and Identification)"), QStringLiteral("What to Backup")},
            {gintNAME_WIDTH, gintWHAT_WIDTH});
        for (int16_t i = 1; i <= mintDriveCount; ++i) {
            const DriveEntry& udtEntry = maudtDrives[static_cast<std::size_t>(i - 1)];
            QTreeWidgetItem* objItem =
                objAddDriveRow(i, {QString::fromStdString(udtEntry.strName),
                                   QString::fromStdString(strWhatToBackup(
                                       udtEntry.lngMode, udtEntry.blnNoInstructions))});
            if (udtEntry.lngMode == savecore::glngBACKUP_NOTREADY) {
                const QBrush objGrey =
                    lvwDrives->palette().brush(QPalette::Disabled, QPalette::Text);
                objItem->setForeground(0, objGrey);
                objItem->setForeground(1, objGrey);
            }
        }
        if (!blnPickRow(intPicked >= 1 && intPicked <= mintDriveCount ? intPicked - 1 : 0))
            cmdEditDrive->setEnabled(false);
    } catch (...) {
        AppErrors().NestedError("EditDefDrives.DisplayDrives");
    }
}

bool EditDefDrives::blnEditable(int16_t intIndex) const {
    return intIndex >= 1 && intIndex <= mintDriveCount &&
           maudtDrives[static_cast<std::size_t>(intIndex - 1)].lngMode !=
               savecore::glngBACKUP_NOTREADY;
}

void EditDefDrives::EnablePicked() {
    // Rows can be clicked while a calculation lets messages run; the
    // button stays off until it has ended.
    cmdEditDrive->setEnabled(!mblnCalculating && blnEditable(mintSelected));
}

void EditDefDrives::EnableDriveButtons(bool blnEnable) {
    lvwDrives->setFocus();
    // A not-ready drive stays closed after a calculation too.
    cmdEditDrive->setEnabled(blnEnable && blnEditable(mintSelected));
    cmdComputeAllSpace->setEnabled(blnEnable);
    mblnStop = false;
    mblnCalculating = !blnEnable;
    cmdClose->setText(blnEnable ? QStringLiteral("Close") : QStringLiteral("Stop"));
}

void EditDefDrives::ConnectEvents() {
    mobjMgrEvents = std::make_unique<savecore::BackupManager::EventConnection>(
        *mobjManager, static_cast<savecore::BackupManagerEvents&>(*this));
}

void EditDefDrives::DisconnectEvents() {
    mobjMgrEvents.reset();
}

void EditDefDrives::IdleAgain() {
    DisconnectEvents();
    mblnCloseAsked = false;
    EnableDriveButtons(true);
}

bool EditDefDrives::blnCloseIfAsked() {
    if (!mblnCloseAsked) return false;
    mblnCloseAsked = false;
    EnableDriveButtons(true);
    QDialog::reject();
    return true;
}

void EditDefDrives::cmdEditDrive_Click() {
    try {
        if (mblnCalculating || !blnEditable(mintSelected)) return;
        const int16_t intIndex = mintSelected;
        // A disc taken out since the list was made: the list says so now,
        // and there is nothing to edit.
        if (!maudtDrives[static_cast<std::size_t>(intIndex - 1)].objProc->objDrive()->IsReady()) {
            LoadDrives();
            DisplayDrives();
            return;
        }
        {
            const DriveEntry& udtEntry = maudtDrives[static_cast<std::size_t>(intIndex - 1)];
            EditDefFolders objEditor(this);
            objEditor.ShowMe(*udtEntry.objProc, udtEntry.strName);
        }
        LoadDrives();
        DisplayDrives();
        // Gone while it was being edited: no space to count.
        if (!blnEditable(intIndex)) {
            lvwDrives->setFocus();
            return;
        }
        if (ui::Ui().MsgBox("Do you want to calculate the space required to backup this drive "
                            "with these instructions?",
                            ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2,
                            gstrAPP_TITLE) == ui::vbYes) {
            // A copy: the list may be rebuilt while messages run.
            const DriveEntry udtEntry = maudtDrives[static_cast<std::size_t>(intIndex - 1)];
            ConnectEvents();
            const bool blnStopped = mobjManager->blnDriveSpace(mstrSetName, *udtEntry.objProc);
            DisconnectEvents();
            if (blnCloseIfAsked()) return;
            if (blnStopped) Say("Calculation stopped.", ui::vbExclamation + ui::vbOKOnly);
            ShowErrorLog(*mobjManager);
            Say(mobjManager->strSpaceUsed() + " used on drive \"" + udtEntry.strName + "\".",
                ui::vbInformation + ui::vbOKOnly);
        }
        lvwDrives->setFocus();
    } catch (...) {
        AppErrors().SaveError();
        IdleAgain();
        AppErrors().TopError("EditDefDrives.cmdEditDrive_Click");
    }
}

void EditDefDrives::cmdComputeAllSpace_Click() {
    try {
        if (mblnCalculating) return;
        EnableDriveButtons(false);
        ConnectEvents();
        const bool blnStopped = mobjManager->blnProcess(mstrSetName, "", true);
        DisconnectEvents();
        if (blnCloseIfAsked()) return;
        if (blnStopped) Say("Calculation stopped.", ui::vbExclamation + ui::vbOKOnly);
        ShowErrorLog(*mobjManager);
        Say(mobjManager->strSpaceUsed() + " required to backup all drives " +
                "using this backup type.",
            ui::vbInformation + ui::vbOKOnly);
        {
            BackupDefList objList(this);
            objList.ShowMe(*mobjManager);
        }
        EnableDriveButtons(true);
        lvwDrives->setFocus();
    } catch (...) {
        AppErrors().SaveError();
        IdleAgain();
        AppErrors().TopError("EditDefDrives.cmdComputeAllSpace_Click");
    }
}

void EditDefDrives::cmdClose_Click() {
    if (mblnCalculating) {
        mblnStop = true;
        return;
    }
    QDialog::reject();
}

void EditDefDrives::reject() {
    if (mblnCalculating) {
        // Stop first; the window goes when the engine has stopped.
        mblnStop = true;
        mblnCloseAsked = true;
        return;
    }
    QDialog::reject();
}

void EditDefDrives::StartProgress(int32_t&) {
    EnableDriveButtons(false);
    setCursor(Qt::WaitCursor);
}

void EditDefDrives::SetProgressFolder(std::string& strText) {
    lblFolder->setText(QString::fromStdString(strText));
}

void EditDefDrives::blnProgressStop(bool& blnStop) {
    // Lets a click on Stop (or on the title bar's close button) be seen.
    ui::Ui().DoEvents();
    blnStop = mblnStop || mblnCloseAsked;
}

void EditDefDrives::EndProgress() {
    EnableDriveButtons(true);
    lblFolder->setText(QString());
    unsetCursor();
}

}  // namespace tarnwickbackup
