#include "BackupModeDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Globals.h"
#include "NamedControls.h"
#include "SettingsStore.h"
#include "TWDeclarations.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupManager.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

const char* const gpszIGNORE = "(Leave this unchecked if you don't know what it means)";

// Index into gaBACKUP_MODE_ARGS.
enum ModeArg { kMode, kNumberOfDays, kIncludeArchive, kClearArchive, kClearArchiveDays, kDated };

std::string strModeArg(ModeArg eArg) {
    const BackupModeArg& objArg = gaBACKUP_MODE_ARGS[eArg];
    return Settings().GetSetting(gstrSECTION_BACKUP_MODE_ARGS, objArg.pszKey, objArg.pszDefault);
}

void SaveModeArg(ModeArg eArg, const std::string& strValue) {
    Settings().SaveSetting(gstrSECTION_BACKUP_MODE_ARGS, gaBACKUP_MODE_ARGS[eArg].pszKey, strValue);
}

bool blnModeArgTrue(ModeArg eArg) {
    return strLCase(strModeArg(eArg)) == "true";
}

const char* pszBool(bool blnValue) {
    return blnValue ? "True" : "False";
}

QLineEdit* NewNumberBox(QWidget* parent, const char* pszName) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(pszName));
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    box->setAlignment(Qt::AlignRight);
    return box;
}

bool blnRefuse(const std::string& strText) {
    ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
    return false;
}

}  // namespace

BackupModeDialog::BackupModeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BackupModeDialog"));
    BuildControls();
    connect(optFilterAll, &QRadioButton::clicked, this, &BackupModeDialog::optFilterAll_Click);
    connect(optFilterLastModDate, &QRadioButton::clicked, this,
            &BackupModeDialog::optFilterLastModDate_Click);
    connect(chkClearArchiveFlag, &QCheckBox::clicked, this,
            &BackupModeDialog::chkClearArchiveFlag_Click);
    connect(cmdOkay, &QPushButton::clicked, this, &BackupModeDialog::cmdOkay_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &BackupModeDialog::cmdCancel_Click);
    SetHelpContext(*this, glngHELP_BACKUP_MODE);
}

void BackupModeDialog::BuildControls() {
    frameFilter = new QGroupBox(QStringLiteral("Additional Selection Criteria"), this);
    frameFilter->setObjectName(QStringLiteral("frameFilter"));
    optFilterAll = new QRadioButton(
        QStringLiteral("Save all files matching backup type instructions"), frameFilter);
    optFilterAll->setObjectName(QStringLiteral("optFilterAll"));
    optFilterLastModDate =
        new QRadioButton(QStringLiteral("Only save files modified within last"), frameFilter);
    optFilterLastModDate->setObjectName(QStringLiteral("optFilterLastModDate"));
    txtNumberOfDays = NewNumberBox(frameFilter, "txtNumberOfDays");
    Label2 = NewLabel(frameFilter, "Label2",
                      QStringLiteral("days, and matching backup type instructions"), false);
    chkIncludeArchive = new QCheckBox(
        QStringLiteral(
            "Also backup files with \"archive\" flag set, and matching backup type instructions"),
        frameFilter);
    chkIncludeArchive->setObjectName(QStringLiteral("chkIncludeArchive"));
    lblIgnoreArchiveFilter =
        NewLabel(frameFilter, "lblIgnoreArchiveFilter", QString::fromUtf8(gpszIGNORE));

    chkClearArchiveFlag =
        new QCheckBox(QStringLiteral("Clear \"archive\" flag for files modified at least"), this);
    chkClearArchiveFlag->setObjectName(QStringLiteral("chkClearArchiveFlag"));
    txtClearArchiveDays = NewNumberBox(this, "txtClearArchiveDays");
    Label4 = NewLabel(this, "Label4", QStringLiteral("days ago"), false);
    Label3 = NewLabel(this, "Label3", QString::fromUtf8(gpszIGNORE));
    chkMakeDatedBackup = new QCheckBox(this);
    chkMakeDatedBackup->setObjectName(QStringLiteral("chkMakeDatedBackup"));
    Label5 = NewLabel(
        this, "Label5",
        QStringLiteral("(Allows you to make many small backups to the same disc without new "
                       "backups erasing the old ones, which is useful if you backup recently "
                       "modified files every few days)"));
    Label1 = NewLabel(this, "Label1", QString::fromUtf8(gpszIGNORE));
    cmdOkay = new QPushButton(QStringLiteral("OK"), this);
    cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    cmdOkay->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    // The notes stand under the text of the control they explain.
    const int lngIndent = optFilterAll->sizeHint().height() + 4;
    auto* frame = new QGridLayout(frameFilter);
    frame->addWidget(optFilterAll, 0, 0, 1, 4);
    frame->addWidget(optFilterLastModDate, 1, 0);
    frame->addWidget(txtNumberOfDays, 1, 1);
    frame->addWidget(Label2, 1, 2);
    frame->setColumnStretch(3, 1);
    frame->addWidget(chkIncludeArchive, 2, 0, 1, 4);
    lblIgnoreArchiveFilter->setContentsMargins(lngIndent, 0, 0, 0);
    frame->addWidget(lblIgnoreArchiveFilter, 3, 0, 1, 4);

    auto* clear = new QHBoxLayout;
    clear->addWidget(chkClearArchiveFlag);
    clear->addWidget(txtClearArchiveDays);
    clear->addWidget(Label4);
    clear->addStretch(1);
    for (QLabel* label : {Label3, Label5, Label1}) label->setContentsMargins(lngIndent, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOkay);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frameFilter);
    layout->addSpacing(8);
    layout->addLayout(clear);
    layout->addWidget(Label3);
    layout->addSpacing(8);
    layout->addWidget(chkMakeDatedBackup);
    layout->addWidget(Label5);
    layout->addWidget(Label1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    setMinimumWidth(560);
}

bool BackupModeDialog::blnShowMe(savecore::BackupManager& objManager, const std::string& strSetName,
                                 const std::string& strDest) {
    try {
        mobjManager = &objManager;
        mobjManager->InitBackupMode();
        mblnCancel = true;
        LoadChoices();
        setWindowTitle(
            QString::fromStdString("Additional Backup Parameters For \"" + strSetName + "\""));
        chkMakeDatedBackup->setText(QString::fromStdString("Backup to subfolder of \"" + strDest +
                                                           "\" named for date and time"));
        ApplyEnabling();
        exec();
        return mblnCancel;
    } catch (...) {
        AppErrors().NestedError("BackupModeDialog.blnShowMe");
    }
}

void BackupModeDialog::LoadChoices() {
    const std::string strMode = strModeArg(kMode);
    // Neither option for a value that is neither: OK then asks for one.
    optFilterAll->setAutoExclusive(false);
    optFilterLastModDate->setAutoExclusive(false);
    optFilterAll->setChecked(strMode == "All");
    optFilterLastModDate->setChecked(strMode == "Incremental");
    optFilterAll->setAutoExclusive(true);
    optFilterLastModDate->setAutoExclusive(true);
    txtNumberOfDays->setText(QString::fromStdString(strModeArg(kNumberOfDays)));
    chkIncludeArchive->setChecked(blnModeArgTrue(kIncludeArchive));
    chkClearArchiveFlag->setChecked(blnModeArgTrue(kClearArchive));
    txtClearArchiveDays->setText(QString::fromStdString(strModeArg(kClearArchiveDays)));
    chkMakeDatedBackup->setChecked(blnModeArgTrue(kDated));
}

void BackupModeDialog::ApplyEnabling() {
    const bool blnIncremental = optFilterLastModDate->isChecked();
    txtNumberOfDays->setEnabled(blnIncremental);
    chkIncludeArchive->setEnabled(blnIncremental);
    lblIgnoreArchiveFilter->setEnabled(blnIncremental);
    txtClearArchiveDays->setEnabled(chkClearArchiveFlag->isChecked());
}

void BackupModeDialog::optFilterAll_Click() {
    ApplyEnabling();
}

void BackupModeDialog::optFilterLastModDate_Click() {
    ApplyEnabling();
}

void BackupModeDialog::chkClearArchiveFlag_Click() {
    ApplyEnabling();
}

void BackupModeDialog::cmdOkay_Click() {
    try {
        if (!blnApplyChoices()) return;
        mblnCancel = false;
        accept();
    } catch (...) {
        AppErrors().TopError("BackupModeDialog.cmdOkay_Click");
    }
}

bool BackupModeDialog::blnApplyChoices() {
    const std::string strClearDays = strTrim(txtClearArchiveDays->text().toStdString());
    const std::string strDays = strTrim(txtNumberOfDays->text().toStdString());
    if (!blnIsDayCount(strClearDays))
        return blnRefuse("Invalid number of days for \"Clear archive flag...\" option.");
    const bool blnIncremental = optFilterLastModDate->isChecked();
    if (!optFilterAll->isChecked()) {
        if (!blnIncremental)
            return blnRefuse("You must choose an \"Additional Selection Criteria\" option.");
        if (!blnIsDayCount(strDays))
            return blnRefuse(
                "Number of days is required for \"Only save files modified within...\" option.");
    }
    // Both conversions before anything is set, so a number too large for
    // them leaves the manager and the store as they were.
    const int32_t lngClearDays = lngCLng(strClearDays);
    const int32_t lngDays = blnIncremental ? lngCLng(strDays) : 0;

    savecore::BackupManager& objManager = *mobjManager;
    if (blnIncremental) {
        objManager.blnIncrementalMode(true);
        objManager.lngDaysSinceLastMod(lngDays);
        objManager.blnIncludeArchiveFlag(chkIncludeArchive->isChecked());
        SaveModeArg(kNumberOfDays, strDays);
        SaveModeArg(kIncludeArchive, pszBool(objManager.blnIncludeArchiveFlag()));
    }
    objManager.blnClearArchiveFlag(chkClearArchiveFlag->isChecked());
    objManager.lngClearArchiveFlagDays(lngClearDays);
    objManager.blnUseDateTimeSubFolder(chkMakeDatedBackup->isChecked());
    SaveModeArg(kMode, optFilterAll->isChecked() ? "All" : "Incremental");
    SaveModeArg(kClearArchive, pszBool(objManager.blnClearArchiveFlag()));
    SaveModeArg(kDated, pszBool(objManager.blnUseDateTimeSubFolder()));
    SaveModeArg(kClearArchiveDays, strClearDays);
    return true;
}

void BackupModeDialog::cmdCancel_Click() {
    reject();
}

}  // namespace tarnwickbackup
