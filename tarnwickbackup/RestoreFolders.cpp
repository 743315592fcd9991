#include "RestoreFolders.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cctype>

#include "ElidedLabel.h"
#include "FolderImages.h"
#include "FolderNode.h"
#include "FolderTree.h"
#include "Globals.h"
#include "NamedControls.h"
#include "RestoreFiles.h"
#include "ShowText.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/WinPath.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;
using platform::fs::FolderPtr;

namespace {

void Refuse(const std::string& strText) {
    ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
}

// A drive letter, a colon, and nothing or a folder below the root; none of
// the characters Windows keeps out of names.
bool blnIsFolderForm(const std::string& strPath) {
    if (strPath.size() < 2 || !std::isalpha(static_cast<unsigned char>(strPath[0])) ||
        strPath[1] != ':')
        return false;
    if (strPath.size() > 2 && strPath[2] != '\\' && strPath[2] != '/') return false;
    return strPath.find_first_of(":*?\"<>|", 2) == std::string::npos;
}

}  // namespace

RestoreFolders::RestoreFolders(QWidget* parent) : FolderTreeWindow(parent, "RestoreFolders") {
    BuildControls();
    ConnectHandlers();
    SetHelpContext(*this, glngHELP_RESTORE);
}

RestoreFolders::~RestoreFolders() = default;

void RestoreFolders::BuildControls() {
    tvwFolders = NewFolderTree(this);
    tvwFolders->setMinimumSize(220, 200);

    NewHint();
    chkReplaceExisting = new QCheckBox(QStringLiteral("Replace Existing Files"), this);
    chkReplaceExisting->setObjectName(QStringLiteral("chkReplaceExisting"));
    grpType = new QGroupBox(QStringLiteral("Type Of Restore"), this);
    grpType->setObjectName(QStringLiteral("grpType"));
    optTypeSubfolders = new QRadioButton(QStringLiteral("Entire Folder, All Subfolders"), grpType);
    optTypeSubfolders->setObjectName(QStringLiteral("optTypeSubfolders"));
    optTypeSubfolders->setChecked(true);
    optTypeFolderOnly = new QRadioButton(QStringLiteral("Entire Folder, No Subfolders"), grpType);
    optTypeFolderOnly->setObjectName(QStringLiteral("optTypeFolderOnly"));
    optTypeSelected =
        new QRadioButton(QStringLiteral("Selected Files In Current Folder Only"), grpType);
    optTypeSelected->setObjectName(QStringLiteral("optTypeSelected"));
    auto* types = new QVBoxLayout(grpType);
    for (QRadioButton* option : {optTypeSubfolders, optTypeFolderOnly, optTypeSelected})
        types->addWidget(option);

    lblFolder = new ElidedLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setAccessibleDescription(QStringLiteral("Folder being restored to"));
    lblFile = new ElidedLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setAccessibleDescription(QStringLiteral("File being restored"));
    for (QLabel* label : {lblFolder, lblFile}) {
        label->setTextFormat(Qt::PlainText);
        label->setMinimumHeight(label->fontMetrics().height() + 4);
    }

    cmdRestore = NewButton(this, "cmdRestore", QStringLiteral("Restore..."),
                           "Restore some/all files in the folder selected on the left.");
    // Enter anywhere starts the restore, which asks before it writes.
    cmdRestore->setDefault(true);
    cmdExpand = NewButton(this, "cmdExpand", QStringLiteral("Show/Hide Subfolders"),
                          "Show/hide all subfolders of the folder selected on the left.");
    cmdClose = NewButton(this, "cmdClose", QStringLiteral("Close"), "");

    auto* right = new QVBoxLayout;
    right->addWidget(lblHint);
    right->addWidget(chkReplaceExisting);
    right->addWidget(grpType);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(tvwFolders, 3);
    top->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdExpand);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(lblFolder);
    layout->addWidget(lblFile);
    layout->addLayout(buttons);
    setSizeGripEnabled(true);
    resize(680, 440);

    setTabOrder(tvwFolders, chkReplaceExisting);
    setTabOrder(chkReplaceExisting, optTypeSubfolders);
    setTabOrder(optTypeSubfolders, optTypeFolderOnly);
    setTabOrder(optTypeFolderOnly, optTypeSelected);
    setTabOrder(optTypeSelected, cmdRestore);
    setTabOrder(cmdRestore, cmdExpand);
    setTabOrder(cmdExpand, cmdClose);
}

void RestoreFolders::ConnectHandlers() {
    ConnectTreeHandlers();
    // A click on a choice hands the focus back to the tree; from the
    // keyboard it stays, so the arrow keys can go on through the options.
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             chkReplaceExisting, optTypeSubfolders, optTypeFolderOnly, optTypeSelected}) {
        connect(button, &QAbstractButton::clicked, this, [this, button] {
            if (button->underMouse()) FocusTree();
        });
    }
    connect(cmdRestore, &QPushButton::clicked, this, &RestoreFolders::cmdRestore_Click);
    connect(cmdExpand, &QPushButton::clicked, this, &RestoreFolders::cmdExpand_Click);
    connect(cmdClose, &QPushButton::clicked, this, &RestoreFolders::cmdClose_Click);
}

void RestoreFolders::ShowMe(savecore::BackupManager& objManager, const std::string& strDriveFolder,
                            const std::string& strOriginalDrive) {
    try {
        mobjManager = &objManager;
        mobjFileSys = objManager.objFileSys().get();
        mstrTreeFolder = strDriveFolder;
        if (!mstrTreeFolder.empty() && mstrTreeFolder.back() == '\\') mstrTreeFolder.pop_back();
        mstrOriginalDrive = strOriginalDrive;
        mblnActivated = false;
        setWindowTitle(QString::fromStdString("Select Folder To Restore From Backup Of " +
                                              strQuoted(strOriginalDrive)));
        exec();
    } catch (...) {
        AppErrors().NestedError("RestoreFolders.ShowMe");
    }
}

// A disc taken out since the drive was picked is said plainly, and leaves
// nothing to show.
bool RestoreFolders::blnTreeMissing() {
    if (mobjFileSys->FolderExists(mstrTreeFolder)) return false;
    Refuse("The backup folder " + strQuoted(mstrTreeFolder + "\\") +
           " cannot be found. If it is on a removable disc, please check that the disc is in the "
           "drive.");
    QDialog::reject();
    return true;
}

void RestoreFolders::MakeRootNode(QTreeWidgetItem* objRoot) {
    // The drive-letter folder must be there; its subfolders may not list.
    mobjFileSys->GetFolder(strNodePath(objRoot));
    objMakeFolderNode(objRoot);
}

void RestoreFolders::objMakeFolderNode(QTreeWidgetItem* objNode) {
    try {
        SetItemImage(*objNode, QStringLiteral("folder"));
        objNewRecord(objNode);
    } catch (...) {
        AppErrors().NestedError("RestoreFolders.objMakeFolderNode");
    }
}

void RestoreFolders::AddSubFolder(QTreeWidgetItem* objParent, const FolderPtr& objSub) {
    objMakeFolderNode(objAddNode(objParent, QString::fromStdString(objSub->Name())));
}

void RestoreFolders::cmdRestore_Click() {
    try {
        FocusTree();
        if (!mobjSelectedNode || mblnBusy) return;
        const std::string strFolder = strTreePath(mobjSelectedNode);
        const std::string strSource = mstrTreeFolder + strFolder;
        const std::string strFrom = " backed up from " + strQuoted(strFolder);
        const bool blnSelected = optTypeSelected->isChecked();
        const bool blnSubFolders = optTypeSubfolders->isChecked();
        std::string strWhat;
        std::vector<std::string> colFiles;
        if (blnSelected) {
            strWhat = "selected files" + strFrom + " only";
            RestoreFiles objFiles(this);
            if (objFiles.blnShowMe(strSource, colFiles)) {
                FocusTree();
                return;
            }
        } else {
            strWhat = "all files" + strFrom +
                      (blnSubFolders ? ", and all subfolders" : ", but no subfolders");
        }
        if (ui::Ui().MsgBox("Do you really want to restore " + strWhat + "?",
                            ui::vbYesNo + ui::vbQuestion + ui::vbDefaultButton2,
                            "Confirm") != ui::vbYes)
            return;
        std::string strDest = strTrim(ui::Ui().InputBox(
            "Enter drive and folder to restore to:", "Destination", mstrOriginalDrive + strFolder));
        if (strDest.empty()) return;
        if (blnRefuseDestination(strDest)) return;
        if (!mobjFileSys->FolderExists(strDest) &&
            ui::Ui().MsgBox(
                "Folder " + strQuoted(strDest) + " does not exist. Do you wish to create it?",
                ui::vbYesNo + ui::vbQuestion, "Create Folder") != ui::vbYes)
            return;
        mobjManager->blnRestoreReplace(chkReplaceExisting->isChecked());
        ConnectEvents();
        const bool blnStopped =
            blnSelected ? mobjManager->blnRestoreListOfFiles(strSource, strDest, colFiles)
                        : mobjManager->blnRestoreFolder(strSource, strDest, blnSubFolders);
        DisconnectEvents();
        // The log alone: the note ShowErrorLog adds about a backup that
        // wrote nothing concerns backup destinations, not restores.
        if (!mobjManager->strGetErrorLog().empty()) {
            ShowText objText;
            objText.ShowMe("Error Log", mobjManager->strGetErrorLog(), "", "", false);
        }
        if (blnStopped)
            ui::Ui().MsgBox("Restore stopped by operator.", ui::vbCritical + ui::vbOKOnly,
                            gstrAPP_TITLE);
        else
            ui::Ui().MsgBox("Restore complete!", ui::vbInformation + ui::vbOKOnly, gstrAPP_TITLE);
        mblnClosePending = false;
        QDialog::reject();
    } catch (...) {
        AppErrors().SaveError();
        DisconnectEvents();
        EnableRestoreControls(true);
        AppErrors().TopError("RestoreFolders.cmdRestore_Click");
        FocusTree();
        if (mblnClosePending) reject();
    }
}

// Refuses, with a message, a destination that is no drive and folder, is on
// a drive that is unknown or not ready, cannot be written, or lies inside
// the backup itself (a restore into its own source would copy it into
// itself without end). strDest becomes the folder it stands for.
bool RestoreFolders::blnRefuseDestination(std::string& strDest) const {
    try {
        if (!blnIsFolderForm(strDest)) {
            Refuse(strQuoted(strDest) +
                   " is not a drive and folder to restore to. Please enter a drive letter, a "
                   "colon and a folder, as in C:\\Restored.");
            return true;
        }
        strDest = platform::fs::WinPath::CanonicalFolder(strDest);
        if (strDest.size() > 3) strDest.pop_back();  // C:\ stays the root
        const std::string strDrive = strDest.substr(0, 2);
        if (!mobjFileSys->DriveExists(strDrive)) {
            Refuse("There is no drive " + strDrive + " to restore to.");
            return true;
        }
        if (!mobjFileSys->GetDrive(strDrive)->IsReady()) {
            Refuse("Drive " + strDrive + " is not ready.");
            return true;
        }
        if (mobjFileSys->FileExists(strDest) && !mobjFileSys->FolderExists(strDest)) {
            Refuse(strQuoted(strDest) + " is a file, not a folder.");
            return true;
        }
        if (mobjFileSys->FolderHolds(mstrTreeFolder, strDest)) {
            Refuse("A backup cannot be restored into the backup itself: " + strQuoted(strDest) +
                   " lies inside " + strQuoted(mstrTreeFolder) + ".");
            return true;
        }
        if (!mobjFileSys->FolderWritable(platform::fs::strNearestFolder(*mobjFileSys, strDest))) {
            Refuse("The folder " + strQuoted(strDest) +
                   " cannot be written to: the disc is write-protected, or you may not write "
                   "there.");
            return true;
        }
        return false;
    } catch (...) {
        AppErrors().NestedError("RestoreFolders.blnRefuseDestination");
    }
}

void RestoreFolders::EnableRestoreControls(bool blnEnable) {
    EnableControls({tvwFolders, cmdExpand, grpType, chkReplaceExisting, optTypeSubfolders,
                    optTypeFolderOnly, optTypeSelected, cmdRestore},
                   blnEnable);
}

void RestoreFolders::StartProgress(int32_t&) {
    EnableRestoreControls(false);
    // Stop keeps the keyboard focus the disabled tree had.
    cmdClose->setFocus();
    ui::Ui().SetBusyCursor(true);
}

void RestoreFolders::EndProgress() {
    EnableRestoreControls(true);
    lblFolder->clear();
    lblFile->clear();
    ui::Ui().SetBusyCursor(false);
}

void RestoreFolders::SetProgressFile(std::string& strText) {
    lblFile->setText(QString::fromStdString(strText));
}

}  // namespace tarnwickbackup
