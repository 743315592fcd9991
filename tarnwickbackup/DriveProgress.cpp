#include "DriveProgress.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "Globals.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupConstants.h"
#include "savecore/BackupManager.h"
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
    txtFolder->setAccessibleName(QStringLiteral("Folder"));
    txtFile->setAccessibleName(QStringLiteral("File"));
    // Read-only text that looks like text, not like a box to type into; it
    // can still be selected and copied.
    QPalette objPalette = palette();
    objPalette.setColor(QPalette::Base, objPalette.color(QPalette::Window));
    for (QLineEdit* box : {txtFolder, txtFile}) {
        box->setReadOnly(true);
        box->setFrame(false);
        box->setPalette(objPalette);
        box->setMinimumWidth(420);
    }
    Label1->setBuddy(txtFolder);
    Label2->setBuddy(txtFile);
    connect(cmdStop, &QPushButton::clicked, this, &DriveProgress::cmdStop_Click);

    lblCounting = new QLabel(this);
    cmdSkip = new QPushButton(QStringLiteral("S&kip"), this);
    lblCopied = new QLabel(this);
    lblTime = new QLabel(this);
    barProgress = new QProgressBar(this);
    lblCounting->setObjectName(QStringLiteral("lblCounting"));
    cmdSkip->setObjectName(QStringLiteral("cmdSkip"));
    lblCopied->setObjectName(QStringLiteral("lblCopied"));
    lblTime->setObjectName(QStringLiteral("lblTime"));
    barProgress->setObjectName(QStringLiteral("barProgress"));
    lblCounting->setAccessibleName(QStringLiteral("Counting"));
    cmdSkip->setAccessibleName(QStringLiteral("Skip counting"));
    lblCopied->setAccessibleName(QStringLiteral("Copied"));
    lblTime->setAccessibleName(QStringLiteral("Time"));
    barProgress->setAccessibleName(QStringLiteral("Backup progress"));
    barProgress->setRange(0, 1000);
    connect(cmdSkip, &QPushButton::clicked, this, [this] { mblnSkip = true; });
    for (QWidget* control :
         std::initializer_list<QWidget*>{lblCounting, cmdSkip, lblCopied, lblTime, barProgress})
        control->hide();
    mobjTick = new QTimer(this);
    mobjTick->setInterval(1000);
    connect(mobjTick, &QTimer::timeout, this, &DriveProgress::ShowTimes);

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
    auto* counting = new QHBoxLayout;
    counting->addWidget(lblCounting, 1);
    counting->addWidget(cmdSkip);
    grid->addLayout(counting, 3, 0, 1, 2);
    grid->addWidget(lblCopied, 4, 0, 1, 2);
    grid->addWidget(barProgress, 5, 0, 1, 2);
    grid->addWidget(lblTime, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}

void DriveProgress::StartCounting() {
    mblnSkip = false;
    lblCounting->setText(QStringLiteral("counting..."));
    lblCounting->show();
    cmdSkip->show();
}

void DriveProgress::SetCounted(int64_t lngFiles, double dblBytes) {
    lblCounting->setText(QStringLiteral("counting... %1 files, %2 bytes")
                             .arg(QString::fromStdString(savecore::strGrouped(lngFiles)),
                                  QString::fromStdString(savecore::strGrouped(dblBytes))));
}

void DriveProgress::StartCopying(int64_t lngTotalFiles, double dblTotalBytes) {
    lblCounting->hide();
    cmdSkip->hide();
    mlngTotalFiles = lngTotalFiles;
    mdblTotalBytes = dblTotalBytes;
    barProgress->setVisible(lngTotalFiles > 0);
    lblCopied->show();
    lblTime->show();
    mobjElapsed.start();
    mobjTick->start();
    SetCopied(0, 0);
}

void DriveProgress::SetCopied(int64_t lngFiles, double dblBytes) {
    mlngFiles = lngFiles;
    mdblBytes = dblBytes;
    QString strText = QStringLiteral("Copied: %1 files, %2 bytes")
                          .arg(QString::fromStdString(savecore::strGrouped(lngFiles)),
                               QString::fromStdString(savecore::strGrouped(dblBytes)));
    if (mlngTotalFiles > 0) {
        strText += QStringLiteral(" of %1 files, %2 bytes")
                       .arg(QString::fromStdString(savecore::strGrouped(mlngTotalFiles)),
                            QString::fromStdString(savecore::strGrouped(mdblTotalBytes)));
        // Bytes measure the work better than files; an empty selection
        // of files still moves by files.
        const double dblDone = mdblTotalBytes > 0 ? dblBytes / mdblTotalBytes
                                                  : static_cast<double>(lngFiles) / mlngTotalFiles;
        barProgress->setValue(static_cast<int>(std::clamp(dblDone, 0.0, 1.0) * 1000));
    }
    lblCopied->setText(strText);
    ShowTimes();
}

void DriveProgress::ShowTimes() {
    if (!mobjElapsed.isValid()) return;
    const double dblSeconds = static_cast<double>(mobjElapsed.elapsed()) / 1000;
    QString strText =
        QStringLiteral("Elapsed: %1").arg(strDuration(static_cast<int64_t>(dblSeconds)));
    // Within the first second the rate means nothing; the time left is a
    // guess until a few seconds have passed.
    if (dblSeconds < 1) {
        lblTime->setText(strText);
        return;
    }
    const double dblRate = mdblBytes / dblSeconds;
    strText += QStringLiteral(", ") + strRate(dblRate);
    if (mlngTotalFiles > 0 && dblRate > 0 && dblSeconds >= 3) {
        const double dblLeft = std::max(0.0, mdblTotalBytes - mdblBytes) / dblRate;
        strText +=
            QStringLiteral(", about %1 left").arg(strDuration(static_cast<int64_t>(dblLeft)));
    }
    lblTime->setText(strText);
}

QString DriveProgress::strDuration(int64_t lngSeconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(lngSeconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(lngSeconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(lngSeconds % 60, 2, 10, QLatin1Char('0'));
}

QString DriveProgress::strRate(double dblBytesPerSecond) {
    static const char* const apszUnit[] = {"bytes/s", "KB/s", "MB/s", "GB/s"};
    int ix = 0;
    while (dblBytesPerSecond >= 1024 && ix < 3) {
        dblBytesPerSecond /= 1024;
        ++ix;
    }
    return QStringLiteral("%1 %2")
        .arg(dblBytesPerSecond, 0, 'f', ix == 0 ? 0 : 1)
        .arg(QLatin1String(apszUnit[ix]));
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
