#include "QtInstallerUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include "annotator/installer/AlertDialog.h"
#include "annotator/installer/BrowserVersionDialog.h"
#include "annotator/installer/LicenceDialog.h"
#include "annotator/installer/ProgressWindow.h"
#include "platform/qt/QtUi.h"
#include "platform/win/QtFileQueueCallback.h"

namespace notavex::installer {

using namespace platform::ui;

QtInstallerUi::QtInstallerUi() = default;
QtInstallerUi::~QtInstallerUi() = default;

QWidget* QtInstallerUi::Owner() const {
    return mpProgress.get();
}

void QtInstallerUi::CreateProgress(bool blnVisible) {
    mpProgress = std::make_unique<ProgressWindow>();
    mpQueueCallback = std::make_unique<platform::win::QtFileQueueCallback>(mpProgress.get());
    if (blnVisible) {
        mpProgress->show();
        QApplication::processEvents();
    }
}

void QtInstallerUi::SetStatus(const std::string& strStatus) {
    if (!mpProgress) return;
    mpProgress->SetStatus(QString::fromStdString(strStatus));
    QApplication::processEvents();
}

void QtInstallerUi::DestroyProgress() {
    mpQueueCallback.reset();
    mpProgress.reset();
}

int32_t QtInstallerUi::lngMessageBox(const std::string& strText, int32_t lngStyle,
                                     const std::string& strTitle) {
    std::unique_ptr<QMessageBox> box(
        platform::qt::QtUi::NewMessageBox(strText, lngStyle, strTitle));
    if (Owner()) box->setParent(Owner(), box->windowFlags());
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    return clicked ? clicked->property("vbResult").toInt() : vbCancel;
}

bool QtInstallerUi::blnAsk(const std::string& strText, const std::string& strTitle) {
    return lngMessageBox(strText, vbOKCancel | vbExclamation, strTitle) == vbOK;
}

void QtInstallerUi::Tell(const std::string& strText, const std::string& strTitle) {
    lngMessageBox(strText, vbOKOnly, strTitle);
}

bool QtInstallerUi::blnLicenceAccepted() {
    LicenceDialog dialog(Owner());
    return dialog.exec() == QDialog::Accepted;
}

void QtInstallerUi::Alert(const std::string& strText) {
    AlertDialog dialog(QString::fromStdString(strText), Owner());
    dialog.exec();
}

bool QtInstallerUi::blnGoToNotavex(const std::string& strText) {
    BrowserVersionDialog dialog(QString::fromStdString(strText), Owner());
    return dialog.exec() == QDialog::Accepted;
}

platform::win::FileQueueCallback& QtInstallerUi::QueueCallback() {
    if (!mpQueueCallback)
        mpQueueCallback = std::make_unique<platform::win::QtFileQueueCallback>(nullptr);
    return *mpQueueCallback;
}

void QtInstallerUi::Pause(int lngMs) {
    QEventLoop loop;
    QTimer::singleShot(lngMs, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace notavex::installer
