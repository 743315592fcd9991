#include "QtFileQueueCallback.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

namespace platform::win {

QtFileQueueCallback::QtFileQueueCallback(QWidget* pOwner) : mpOwner(pOwner) {}
QtFileQueueCallback::~QtFileQueueCallback() = default;

void QtFileQueueCallback::OnStart(int lngCount) {
    mpProgress = std::make_unique<QProgressDialog>(QStringLiteral("Copying files..."), QString(), 0,
                                                   lngCount, mpOwner);
    mpProgress->setWindowTitle(QStringLiteral("Copying Files"));
    mpProgress->setMinimumDuration(0);
    mpProgress->setValue(0);
}

void QtFileQueueCallback::OnFile(int lngIndex, const std::string& strPath) {
    if (!mpProgress) return;
    mpProgress->setLabelText(QString::fromStdString(strPath));
    mpProgress->setValue(lngIndex);
    QApplication::processEvents();
}

QueueAnswer QtFileQueueCallback::OnError(const std::string& strOperation,
                                         const std::string& strPath, const std::string& strError) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("File Operation Failed"),
                    QStringLiteral("Could not %1 %2:\n%3")
                        .arg(QString::fromStdString(strOperation), QString::fromStdString(strPath),
                             QString::fromStdString(strError)),
                    QMessageBox::NoButton, mpProgress ? mpProgress.get() : mpOwner);
    QPushButton* retry = box.addButton(QStringLiteral("Retry"), QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(QStringLiteral("Skip"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.exec();
    if (box.clickedButton() == retry) return QueueAnswer::Retry;
    if (box.clickedButton() == skip) return QueueAnswer::Skip;
    return QueueAnswer::Cancel;
}

void QtFileQueueCallback::OnEnd() {
    if (mpProgress) mpProgress->setValue(mpProgress->maximum());
    mpProgress.reset();
}

}  // namespace platform::win
