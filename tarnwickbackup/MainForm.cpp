#include "MainForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>
#include <vector>

#include "DriveProgress.h"
#include "Globals.h"
#include "NamedControls.h"
#include "Splash.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupConstants.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/ModuleErrors.h"
#include "tarnwicklib/SharedData.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

MainForm::MainForm(std::shared_ptr<platform::fs::FileSystem> objFileSys_)
    : mobjFileSys(std::move(objFileSys_)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(gstrAPP_TITLE));
    BuildControls();
    ConnectHandlers();
    SetHelpContext(*this, glngHELP_MAIN);
}

MainForm::~MainForm() {
    mobjMgrEvents.reset();
    mobjProgress.reset();
}

namespace {

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) row->addWidget(widget, 1);
    return row;
}

}  // namespace

void MainForm::BuildControls() {
    Label2 = NewLabel(this, "Label2",
                      "Select type of backup to make (this determines which files, folders and "
                      "drive letters get backed up):");
    cboBackup = new QComboBox(this);
    cboBackup->setObjectName(QStringLiteral("cboBackup"));
    cboBackup->setToolTip(QStringLiteral(
        "The \"backup type\" determines what files and what drive letters get backed up."));
    cmdNewType = NewButton(this, "cmdNewType", "New Type...");
    cmdEditType = NewButton(this, "cmdEditType", "Edit Type...");
    cmdDeleteType = NewButton(this, "cmdDeleteType", "Delete Type...");
    Label3 = NewLabel(this, "Label3", "Select drive or folder to save backup to:");
    cboDest = new QComboBox(this);
    cboDest->setObjectName(QStringLiteral("cboDest"));
    // The labels above the lists name them for screen readers.
    Label2->setBuddy(cboBackup);
    Label3->setBuddy(cboDest);
    cmdAddDest = NewButton(this, "cmdAddDest", "Add Folder...");
    cmdDelDest = NewButton(this, "cmdDelDest", "Remove Folder");
    cmdBackup = NewButton(this, "cmdBackup", "Make Backup");
    cmdShowDefList = NewButton(this, "cmdShowDefList", "Show Instructions Used For Last Backup");
    chkIncludeMiscDrives = new QCheckBox(
        QStringLiteral("Include miscellaneous drives (diskette, CD-ROM, CD-RW, Zip, etc.) in "
                       "backups and backup type searches."),
        this);
    chkIncludeMiscDrives->setObjectName(QStringLiteral("chkIncludeMiscDrives"));
    cmdRestore = NewButton(this, "cmdRestore", "Restore From Backup...");
    cmdHelp = NewButton(this, "cmdHelp", "Explain This Program!");
    for (QComboBox* list : {cboBackup, cboDest})
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QFont bold = cmdBackup->font();
    bold.setBold(true);
    cmdBackup->setFont(bold);
    cmdBackup->setMinimumHeight(cmdBackup->sizeHint().height() * 3 / 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addWidget(Label2);
    layout->addWidget(cboBackup);
    layout->addLayout(Row({cmdNewType, cmdEditType, cmdDeleteType}));
    layout->addSpacing(14);
    layout->addWidget(Label3);
    layout->addWidget(cboDest);
    layout->addLayout(Row({cmdAddDest, cmdDelDest}));
    layout->addSpacing(14);
    layout->addWidget(cmdBackup);
    layout->addWidget(cmdShowDefList);
    layout->addSpacing(6);
    layout->addWidget(chkIncludeMiscDrives);
    layout->addSpacing(6);
    layout->addWidget(cmdRestore);
    layout->addWidget(cmdHelp);
    const std::vector<QWidget*> aTabOrder = {
        cboBackup,  cmdNewType, cmdEditType,    cmdDeleteType,        cboDest,    cmdAddDest,
        cmdDelDest, cmdBackup,  cmdShowDefList, chkIncludeMiscDrives, cmdRestore, cmdHelp};
    for (std::size_t i = 1; i < aTabOrder.size(); ++i) setTabOrder(aTabOrder[i - 1], aTabOrder[i]);
}

void MainForm::ConnectHandlers() {
    connect(cmdNewType, &QPushButton::clicked, this, &MainForm::cmdNewType_Click);
    connect(cmdEditType, &QPushButton::clicked, this, &MainForm::cmdEditType_Click);
    connect(cmdDeleteType, &QPushButton::clicked, this, &MainForm::cmdDeleteType_Click);
    connect(cmdAddDest, &QPushButton::clicked, this, &MainForm::cmdAddDest_Click);
    connect(cmdDelDest, &QPushButton::clicked, this, &MainForm::cmdDelDest_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &MainForm::cmdBackup_Click);
    connect(cmdShowDefList, &QPushButton::clicked, this, &MainForm::cmdShowDefList_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &MainForm::cmdRestore_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &MainForm::cmdHelp_Click);
    // A click by the user reports its own failures; called from the first
    // activation the click handling passes them on instead.
    connect(chkIncludeMiscDrives, &QCheckBox::clicked, this, [this] {
        try {
            chkIncludeMiscDrives_Click();
        } catch (...) {
            AppErrors().TopError("MainForm.chkIncludeMiscDrives_Click");
        }
    });
}

// --- program start and end -------------------------------------------------

void MainForm::Form_Load() {
    try {
        mobjErrorHandler = std::make_shared<tarnwick::ErrorHandler>();
        mobjErrorHandler->Init(tarnwick::AppObject{App().Path});
        tarnwick::SharedData objShared;
        mobjGlobalThings = objShared.objGlobalThings();
        objShared.objErrorHandler(mobjErrorHandler);

        if (!mobjFileSys) mobjFileSys = platform::fs::FileSystem::Create();
        mobjManager = std::make_shared<savecore::BackupManager>();
        mobjManager->Init(mobjFileSys);

        mblnFirstActivate = true;

        Splash objSplash(this);
        objSplash.ShowMe();

        const std::string& strCommand = App().strCommandLine;
        if (!strCommand.empty()) {
            if (strLCase(strCommand).find("/ub ") == std::string::npos)
                ui::Ui().MsgBox("Unrecognized command line option(s).",
                                ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            else
                mblnUnattended = true;
        }
    } catch (...) {
        try {
            AppErrors().TopError("MainForm.Form_Load");
        } catch (...) {
            // No error handler yet: the report can only go to standard error.
            std::cerr << gstrAPP_TITLE << ": " << platform::CurrentErr().Description << std::endl;
        }
    }
}

void MainForm::Form_Activate() {
    if (!mblnFirstActivate) return;
    try {
        mblnFirstActivate = false;
        setWindowTitle(QString::fromUtf8(gstrPRODUCT_TITLE) + " " + gstrVERSION);
        ui::Ui().DoEvents();
        chkIncludeMiscDrives->setChecked(false);
        chkIncludeMiscDrives_Click();
        LoadDestinations();
        if (mblnUnattended) {
            UnUnattended();
            close();
        }
    } catch (...) {
        AppErrors().TopError("MainForm.Form_Activate");
        if (mblnUnattended) {
            mlngExitStatus = glngEXIT_FAILED;
            // The window stays for whoever can use it; without a display
            // nobody could, and a scheduler would wait for ever.
            if (App().blnHeadless) close();
        }
    }
}

void MainForm::chkIncludeMiscDrives_Click() {
    mobjManager->blnIncludeMiscDrives(chkIncludeMiscDrives->isChecked());
    mobjManager->LoadDrives();
    LoadDefFiles();
}

void MainForm::Form_Unload(int16_t& Cancel) {
    try {
        if (!cmdBackup->isEnabled()) {
            Cancel = 1;
            return;
        }
        // An activation still queued must not run against a released manager.
        mblnFirstActivate = false;
        CloseProgressWindow();
        if (mobjManager) {
            mobjManager->Shutdown();
            mobjManager.reset();
        }
        SaveDestinations();
        tarnwick::TarnwickLibPublics().gShutdownTarnwickLib();
        mblnUnloaded = true;
    } catch (...) {
        AppErrors().TopError("MainForm.Form_Unload");
    }
}

void MainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Wider shows longer paths; taller would only spread the controls apart.
    if (maximumHeight() == QWIDGETSIZE_MAX) setMaximumHeight(sizeHint().height());
    // Activation events need a window manager; the first showing is enough.
    if (mblnFirstActivate) QTimer::singleShot(0, this, &MainForm::Form_Activate);
}

bool MainForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && mblnFirstActivate)
        QTimer::singleShot(0, this, &MainForm::Form_Activate);
    return QWidget::event(event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (mblnUnloaded) {
        event->accept();
        return;
    }
    int16_t Cancel = 0;
    Form_Unload(Cancel);
    if (Cancel)
        event->ignore();
    else
        event->accept();
}

// --- controls while an operation runs ----------------------------------------

void MainForm::EnableButtons(bool blnEnable) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             cmdBackup, cmdRestore, cmdNewType, cmdEditType, cmdDeleteType, cmdAddDest, cmdDelDest,
             cmdShowDefList, cmdHelp, chkIncludeMiscDrives})
        control->setEnabled(blnEnable);
}

// --- the manager's events --------------------------------------------------

void MainForm::mobjMgrEvents_StartProgress(int32_t lngProgressMode) {
    // The backup goes on in the window of its count.
    if (!mblnKeepProgress || !mobjProgress) {
        CloseProgressWindow();
        mobjProgress = std::make_unique<DriveProgress>(this);
        mobjProgress->setWindowFlag(Qt::Window);
    }
    mblnKeepProgress = false;
    mlngProgressMode = mblnCounting ? savecore::glngBACKUP_PROGRESS_BACKUP : lngProgressMode;
    mobjProgress->ShowMe(mlngProgressMode);
    if (mblnCounting)
        mobjProgress->StartCounting();
    else if (lngProgressMode == savecore::glngBACKUP_PROGRESS_BACKUP)
        mobjProgress->StartCopying(mlngTotalFiles, mdblTotalBytes);
}

void MainForm::ShowProgressCounts() {
    if (!mobjProgress) return;
    if (mblnCounting)
        mobjProgress->SetCounted(mobjManager->lngFilesUsed(), mobjManager->dblSpaceUsed());
    else if (mlngProgressMode == savecore::glngBACKUP_PROGRESS_BACKUP)
        mobjProgress->SetCopied(mobjManager->lngFilesUsed(), mobjManager->dblSpaceUsed());
}

void MainForm::mobjMgrEvents_SetProgressFolder(const std::string& strText) {
    ShowProgressCounts();
    if (mobjProgress) mobjProgress->SetFolder(strText);
}

void MainForm::mobjMgrEvents_SetProgressFile(const std::string& strText) {
    ShowProgressCounts();
    if (mobjProgress) mobjProgress->SetFile(strText);
}

void MainForm::mobjMgrEvents_blnProgressStop(bool& blnStop) {
    // Without a progress window there is nothing that could ask to stop.
    blnStop = mobjProgress ? mobjProgress->blnStop() : false;
    if (mblnCounting && mobjProgress && mobjProgress->blnSkip()) blnStop = true;
}

void MainForm::mobjMgrEvents_EndProgress() {
    if (mblnCounting) {
        mblnKeepProgress = true;
        return;
    }
    CloseProgressWindow();
}

void MainForm::SetWaitClock(WaitClock fnNow, int32_t lngMsPerSecond) {
    mfnNow = std::move(fnNow);
    mlngWaitMsPerSecond = lngMsPerSecond;
}

void MainForm::CloseProgressWindow() {
    mblnKeepProgress = false;
    if (!mobjProgress) return;
    mobjProgress->hide();
    mobjProgress.reset();
}

void MainForm::StartProgress(int32_t& lngProgressMode) {
    mobjMgrEvents_StartProgress(lngProgressMode);
}
void MainForm::EndProgress() {
    mobjMgrEvents_EndProgress();
}
void MainForm::SetProgressFolder(std::string& strText) {
    mobjMgrEvents_SetProgressFolder(strText);
}
void MainForm::SetProgressFile(std::string& strText) {
    mobjMgrEvents_SetProgressFile(strText);
}
void MainForm::blnProgressStop(bool& blnStop) {
    mobjMgrEvents_blnProgressStop(blnStop);
}
void MainForm::OutOfSpace(bool& blnStop) {
    mobjMgrEvents_OutOfSpace(blnStop);
}

}  // namespace tarnwickbackup
