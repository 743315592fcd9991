#include "WaitForDrive.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "Globals.h"
#include "platform/fs/FileSystem.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

WaitForDrive::WaitForDrive(QWidget* parent, WaitClock fnNow, int32_t lngMsPerSecond)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mfnNow(fnNow ? std::move(fnNow) : WaitClock(&std::chrono::system_clock::now)),
      mlngMsPerSecond(lngMsPerSecond) {
    setObjectName(QStringLiteral("WaitForDrive"));
    setWindowTitle(QStringLiteral("Waiting For Drive..."));
    Label1 = new QLabel(QStringLiteral("Waiting for drive..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    connect(tmrMain, &QTimer::timeout, this, &WaitForDrive::tmrMain_Timer);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 24);
    layout->addWidget(Label1);
    setMinimumWidth(300);
}

bool WaitForDrive::blnShowMe(std::shared_ptr<const platform::fs::Drive> objDrive,
                             std::chrono::system_clock::time_point datEndWait, int16_t intSeconds) {
    try {
        mblnResult = false;
        mblnEnding = false;
        mobjDrive = std::move(objDrive);
        mdatEndWait = datEndWait;
        tmrMain->setInterval(intSeconds * mlngMsPerSecond);
        tmrMain->start();
        exec();
        return mblnResult;
    } catch (...) {
        AppErrors().NestedError("WaitForDrive.blnShowMe");
    }
}

void WaitForDrive::tmrMain_Timer() {
    try {
        platform::ui::Ui().DoEvents();
        if (mfnNow() > mdatEndWait)
            EndWait(true);
        else if (mobjDrive->IsReady())
            EndWait(false);
    } catch (...) {
        // A drive that cannot even be asked will not become ready: give up
        // waiting rather than leave a window nobody can close.
        EndWait(true);
        AppErrors().TopError("WaitForDrive.tmrMain_Timer");
    }
}

void WaitForDrive::EndWait(bool blnStop) {
    mblnResult = blnStop;
    tmrMain->stop();
    mblnEnding = true;
    done(blnStop ? QDialog::Rejected : QDialog::Accepted);
}

void WaitForDrive::closeEvent(QCloseEvent* event) {
    if (mblnEnding)
        event->accept();
    else
        event->ignore();
}

}  // namespace tarnwickbackup
