#include "DriveProgress.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Globals.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupConstants.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

DriveProgress::DriveProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DriveProgress"));
    Label1 = new QLabel(QStringLiteral("Folder:"), this);
    txtFolder = new QLineEdit(this);
    Label2 = new QLabel(QStringLiteral("File:"), this);
    txtFile = new QLineEdit(this);
    cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    Label2->setObjectName(QStringLiteral("Label2"));
    txtFile->setObjectName(QStringLiteral("txtFile"));
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    for (QLineEdit* box : {txtFolder, txtFile}) {
        box->setReadOnly(true);
        box->setMinimumWidth(420);
    }
    connect(cmdStop, &QPushButton::clicked, this, &DriveProgress::cmdStop_Click);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtFolder, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(txtFile, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStop);
    buttons->addStretch(1);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}

void DriveProgress::ShowMe(int32_t lngMode) {
    try {
        mlngMode = lngMode;
        switch (lngMode) {
            case savecore::glngBACKUP_PROGRESS_BACKUP:
                setWindowTitle(QStringLiteral("Backing Up"));
                break;
            case savecore::glngBACKUP_PROGRESS_CHECK:
                setWindowTitle(QStringLiteral("Checking"));
                break;
            case savecore::glngBACKUP_PROGRESS_DELTYPE:
                setWindowTitle(QStringLiteral("Deleting Backup Type"));
                break;
            case savecore::glngBACKUP_PROGRESS_RESTORE:
                setWindowTitle(QStringLiteral("Restoring Backup"));
                break;
            default:
                AppErrors().RaiseError("Unrecognized progress type");
        }
        mblnStop = false;
        show();
        platform::ui::Ui().DoEvents();
    } catch (...) {
        AppErrors().NestedError("DriveProgress.ShowMe");
    }
}

void DriveProgress::SetFolder(const std::string& strFolder) {
    txtFolder->setText(QString::fromStdString(strFolder));
    txtFile->setText(QString());
    platform::ui::Ui().DoEvents();
}

void DriveProgress::SetFile(const std::string& strFile) {
    txtFile->setText(QString::fromStdString(strFile));
    platform::ui::Ui().DoEvents();
}

void DriveProgress::cmdStop_Click() {
    mblnStop = true;
}

void DriveProgress::closeEvent(QCloseEvent* event) {
    mblnStop = true;
    event->ignore();
}

void DriveProgress::reject() {
    mblnStop = true;
}

}  // namespace tarnwickbackup
