// The folder editor's window: its controls, opening and closing, the space
// calculation, the advanced window and help. The tree and the instructions
// are in EditDefFoldersTree.cpp.
#include "EditDefFolders.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "EditFolderAdvanced.h"
#include "FolderImages.h"
#include "FolderNode.h"
#include "FolderTree.h"
#include "Globals.h"
#include "NamedControls.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/ui/UiServices.h"
#include "savecore/DefinitionFile.h"
#include "savecore/DriveProcessor.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

const char* const gpszINHERITED_TIP =
    "This instruction is inherited by all subfolders, unless overridden. May be overridden for "
    "specific files.";

// An instruction button shows only its picture; the label beside it is its
// name for the keyboard and for screen readers.
QPushButton* NewImageButton(QWidget* parent, const char* pszName, const char* pszImage,
                            QLabel*& lblBeside, const char* pszLabelName, const QString& strLabel,
                            const char* pszTip) {
    QPushButton* button = NewButton(parent, pszName, QString(), pszTip);
    button->setIconSize(QSize(24, 24));
    button->setAccessibleName(strLabel);
    button->setAccessibleDescription(QString::fromUtf8(pszTip));
    button->setProperty("imageKey", QString::fromUtf8(pszImage));
    lblBeside = new QLabel(strLabel, parent);
    lblBeside->setObjectName(QString::fromUtf8(pszLabelName));
    lblBeside->setWordWrap(true);
    lblBeside->setBuddy(button);
    lblBeside->setToolTip(QString::fromUtf8(pszTip));
    return button;
}

}  // namespace

EditDefFolders::EditDefFolders(QWidget* parent) : FolderTreeWindow(parent, "EditDefFolders") {
    BuildControls();
    ConnectHandlers();
    SetHelpContext(*this, glngHELP_EDIT_FOLDERS);
}

EditDefFolders::~EditDefFolders() = default;

void EditDefFolders::BuildControls() {
    NewHint();
    tvwFolders = NewFolderTree(this);
    tvwFolders->setMinimumSize(260, 240);

    cmdBackupInclude =
        NewImageButton(this, "cmdBackupInclude", "include", lblBackupInclude, "lblBackupInclude",
                       QStringLiteral("Backup everything in this folder."), gpszINHERITED_TIP);
    cmdBackupExclude =
        NewImageButton(this, "cmdBackupExclude", "exclude", lblBackupExclude, "lblBackupExclude",
                       QStringLiteral("Do NOT backup anything in this folder."), gpszINHERITED_TIP);
    cmdBackupSkip = NewImageButton(
        this, "cmdBackupSkip", "skip", lblBackupSkip, "lblBackupSkip",
        QStringLiteral("Like \"Do NOT backup\" above, but no overrides in subfolders. (for "
                       "greater speed!)"),
        "This instruction is inherited by all subfolders, and may NOT be overridden. May NOT be "
        "overridden for specific files.");
    cmdBackupInherit = NewImageButton(
        this, "cmdBackupInherit", "inherit", lblBackupInherit, "lblBackupInherit",
        QStringLiteral("Inherit instructions from higher level folder."),
        "Remove any instructions for this folder, so it inherits instructions from a higher "
        "level folder.");
    lblLegend = new QLabel(
        QStringLiteral("Folder names in <b>bold letters</b> will be partly or fully backed up."),
        this);
    lblLegend->setObjectName(QStringLiteral("lblLegend"));
    lblLegend->setWordWrap(true);
    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setTextFormat(Qt::PlainText);
    lblFolder->setMinimumWidth(1);
    lblFolder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    cmdExpand = NewButton(this, "cmdExpand", QStringLiteral("Show/Hide Subfolders"),
                          "Show/hide all subfolders of the folder selected on the left.");
    cmdFolderSpace = NewButton(this, "cmdFolderSpace", QStringLiteral("Space Required"),
                               "Compute space needed to backup folder selected on the left.");
    cmdAdvanced = NewButton(this, "cmdAdvanced", QStringLiteral("Advanced..."),
                            "Advanced backup instructions for this folder. These exceptions are "
                            "not inherited by subfolders.");
    cmdExplain = NewButton(this, "cmdExplain", QStringLiteral("Explain This Window!"), "");
    cmdClose = NewButton(this, "cmdClose", QStringLiteral("Close"), "");

    auto* right = new QGridLayout;
    right->addWidget(lblHint, 0, 0, 1, 2);
    int lngRow = 1;
    for (auto [button, label] : {std::pair{cmdBackupInclude, lblBackupInclude},
                                 {cmdBackupExclude, lblBackupExclude},
                                 {cmdBackupSkip, lblBackupSkip},
                                 {cmdBackupInherit, lblBackupInherit}}) {
        button->setIcon(FolderImage(button->property("imageKey").toString()));
        right->addWidget(button, lngRow, 0, Qt::AlignTop);
        right->addWidget(label, lngRow, 1);
        ++lngRow;
    }
    right->addWidget(lblLegend, lngRow++, 0, 1, 2);
    right->setRowStretch(lngRow, 1);
    right->setColumnStretch(1, 1);
    right->setColumnMinimumWidth(1, 220);

    auto* top = new QHBoxLayout;
    top->addWidget(tvwFolders, 3);
    top->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdExpand, cmdFolderSpace, cmdAdvanced, cmdExplain})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(lblFolder);
    layout->addLayout(buttons);
    setSizeGripEnabled(true);
    resize(760, 480);

    setTabOrder(tvwFolders, cmdBackupInclude);
    setTabOrder(cmdBackupInclude, cmdBackupExclude);
    setTabOrder(cmdBackupExclude, cmdBackupSkip);
    setTabOrder(cmdBackupSkip, cmdBackupInherit);
    setTabOrder(cmdBackupInherit, cmdExpand);
    setTabOrder(cmdExpand, cmdFolderSpace);
    setTabOrder(cmdFolderSpace, cmdAdvanced);
    setTabOrder(cmdAdvanced, cmdExplain);
    setTabOrder(cmdExplain, cmdClose);
}

void EditDefFolders::ConnectHandlers() {
    ConnectTreeHandlers();
    connect(cmdBackupInclude, &QPushButton::clicked, this, &EditDefFolders::cmdBackupInclude_Click);
    connect(cmdBackupExclude, &QPushButton::clicked, this, &EditDefFolders::cmdBackupExclude_Click);
    connect(cmdBackupSkip, &QPushButton::clicked, this, &EditDefFolders::cmdBackupSkip_Click);
    connect(cmdBackupInherit, &QPushButton::clicked, this, &EditDefFolders::cmdBackupInherit_Click);
    connect(cmdExpand, &QPushButton::clicked, this, &EditDefFolders::cmdExpand_Click);
    connect(cmdFolderSpace, &QPushButton::clicked, this, &EditDefFolders::cmdFolderSpace_Click);
    connect(cmdAdvanced, &QPushButton::clicked, this, &EditDefFolders::cmdAdvanced_Click);
    connect(cmdExplain, &QPushButton::clicked, this, &EditDefFolders::cmdExplain_Click);
    connect(cmdClose, &QPushButton::clicked, this, &EditDefFolders::cmdClose_Click);
}

void EditDefFolders::ShowMe(savecore::DriveProcessor& objProc, const std::string& strDriveName) {
    try {
        mobjProc = &objProc;
        mstrDriveName = strDriveName;
        mobjManager = objProc.objManager();
        mstrSetName = mobjManager->strSetName();
        mobjFileSys = mobjManager->objFileSys().get();
        mobjDrive = objProc.objDrive();
        mstrTreeFolder = mobjDrive->Path();
        setWindowTitle(QString::fromStdString("Select Folders and Files For " +
                                              strQuoted(mstrSetName) + " On " + strDriveName));
        exec();
    } catch (...) {
        AppErrors().NestedError("EditDefFolders.ShowMe");
    }
}

void EditDefFolders::cmdBackupInclude_Click() {
    try {
        SetBackupMode(savecore::glngBACKUP_INCLUDE);
    } catch (...) {
        AppErrors().TopError("EditDefFolders.cmdBackupInclude_Click");
        FocusTree();
    }
}

void EditDefFolders::cmdBackupExclude_Click() {
    try {
        SetBackupMode(savecore::glngBACKUP_EXCLUDE);
    } catch (...) {
        AppErrors().TopError("EditDefFolders.cmdBackupExclude_Click");
        FocusTree();
    }
}

void EditDefFolders::cmdBackupSkip_Click() {
    try {
        SetBackupMode(savecore::glngBACKUP_SKIP);
    } catch (...) {
        AppErrors().TopError("EditDefFolders.cmdBackupSkip_Click");
        FocusTree();
    }
}

void EditDefFolders::cmdFolderSpace_Click() {
    try {
        if (!mobjSelectedNode) return;
        if (mblnChanged) {
            if (ui::Ui().MsgBox(
                    "There are new or changed backup instructions for this drive, which must be "
                    "saved before backup space usage can be calculated. Do you wish to save "
                    "instructions now?",
                    ui::vbYesNo + ui::vbQuestion, gstrAPP_TITLE) != ui::vbYes)
                return;
            SaveInstructions();
        }
        FolderNode& objRec = *objRecord(mobjSelectedNode);
        const bool blnIncludeDefault = objRec.lngBackupMode == savecore::glngBACKUP_INCLUDE;
        const auto objFolder = objNodeFolder(mobjSelectedNode);
        const std::string strPath = strNodePath(mobjSelectedNode);
        EnableButtons(false);
        ConnectEvents();
        const bool blnStopped =
            mobjManager->blnFolderSpace(mstrSetName, *mobjProc, objFolder, blnIncludeDefault);
        DisconnectEvents();
        EnableButtons(true);
        FocusTree();
        if (blnStopped)
            ui::Ui().MsgBox("Calculation stopped.", ui::vbExclamation + ui::vbOKOnly,
                            gstrAPP_TITLE);
        ShowErrorLog(*mobjManager);
        ui::Ui().MsgBox(
            mobjManager->strSpaceUsed() + " needed to backup " + strQuoted(strPath) + ".",
            ui::vbInformation + ui::vbOKOnly, gstrAPP_TITLE);
        if (mblnClosePending) cmdClose_Click();
    } catch (...) {
        AppErrors().SaveError();
        DisconnectEvents();
        EnableButtons(true);
        AppErrors().TopError("EditDefFolders.cmdFolderSpace_Click");
        FocusTree();
    }
}

void EditDefFolders::cmdAdvanced_Click() {
    try {
        if (!mobjSelectedNode) return;
        FolderNode& objRec = *objRecord(mobjSelectedNode);
        if (!objRec.objDefFile) {
            ui::Ui().MsgBox(
                "You may not open the \"Advanced...\" dialog for a folder with no instructions.",
                ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            return;
        }
        {
            EditFolderAdvanced objAdvanced(this);
            objAdvanced.ShowMe(objRec, strNodePath(mobjSelectedNode));
        }
        if (objRec.objDefFile && objRec.objDefFile->blnModified()) {
            mblnChanged = true;
            // The new file lists may change whether the folder is backed up.
            objRec.SetDisplay(mobjSelectedNode);
        }
        FocusTree();
    } catch (...) {
        AppErrors().TopError("EditDefFolders.cmdAdvanced_Click");
        FocusTree();
    }
}

void EditDefFolders::cmdExplain_Click() {
    try {
        ShowHelp(glngHELP_EDIT_FOLDERS, 0, false);
        FocusTree();
    } catch (...) {
        AppErrors().TopError("EditDefFolders.cmdExplain_Click");
        FocusTree();
    }
}

void EditDefFolders::Form_Unload(int16_t& Cancel) {
    try {
        if (!mblnChanged) return;
        const int32_t lngAnswer = ui::Ui().MsgBox(
            "Backup instructions have been changed for this drive. Do you wish to save all new "
            "or changed instructions for this drive?",
            ui::vbYesNoCancel + ui::vbQuestion + ui::vbDefaultButton3, gstrAPP_TITLE);
        if (lngAnswer == ui::vbCancel) {
            Cancel = 1;
        } else if (lngAnswer == ui::vbYes) {
            // A save that fails keeps the window open with what is not saved
            // yet, rather than dropping it with the window.
            Cancel = 1;
            SaveInstructions();
            Cancel = 0;
        }
    } catch (...) {
        AppErrors().TopError("EditDefFolders.Form_Unload");
        FocusTree();
    }
}

void EditDefFolders::EnableButtons(bool blnEnable) {
    EnableControls({cmdBackupInclude, cmdBackupExclude, cmdBackupSkip, cmdBackupInherit, cmdExpand,
                    cmdFolderSpace, cmdAdvanced, tvwFolders},
                   blnEnable);
    if (blnEnable) lblFolder->clear();
}

void EditDefFolders::StartProgress(int32_t&) {
    ui::Ui().SetBusyCursor(true);
}

void EditDefFolders::EndProgress() {
    ui::Ui().SetBusyCursor(false);
    lblFolder->clear();
}

}  // namespace tarnwickbackup
