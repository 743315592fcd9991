#include "QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace platform::qt {

namespace ui = platform::ui;

namespace {

using ButtonList = std::vector<std::pair<QMessageBox::StandardButton, int32_t>>;

ButtonList ButtonsOf(int32_t lngStyle) {
    switch (lngStyle & ui::kButtonsMask) {
        case ui::vbOKCancel:
            return {{QMessageBox::Ok, ui::vbOK}, {QMessageBox::Cancel, ui::vbCancel}};
        case ui::vbAbortRetryIgnore:
            return {{QMessageBox::Abort, ui::vbAbort},
                    {QMessageBox::Retry, ui::vbRetry},
                    {QMessageBox::Ignore, ui::vbIgnore}};
        case ui::vbYesNoCancel:
            return {{QMessageBox::Yes, ui::vbYes},
                    {QMessageBox::No, ui::vbNo},
                    {QMessageBox::Cancel, ui::vbCancel}};
        case ui::vbYesNo:
            return {{QMessageBox::Yes, ui::vbYes}, {QMessageBox::No, ui::vbNo}};
        case ui::vbRetryCancel:
            return {{QMessageBox::Retry, ui::vbRetry}, {QMessageBox::Cancel, ui::vbCancel}};
        default:
            return {{QMessageBox::Ok, ui::vbOK}};
    }
}

QMessageBox::Icon IconOf(int32_t lngStyle) {
    switch (lngStyle & ui::kIconMask) {
        case ui::vbCritical:
            return QMessageBox::Critical;
        case ui::vbQuestion:
            return QMessageBox::Question;
        case ui::vbExclamation:
            return QMessageBox::Warning;
        case ui::vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QString QtUi::ToDisplayText(const std::string& strText) {
    QString text = QString::fromStdString(strText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

QMessageBox* QtUi::NewMessageBox(const std::string& strPrompt, int32_t lngStyle,
                                 const std::string& strTitle) {
    auto* box = new QMessageBox(QApplication::activeWindow());
    box->setWindowTitle(QString::fromStdString(strTitle));
    // Plain text: prompts carry user input such as "<" and paths.
    box->setTextFormat(Qt::PlainText);
    box->setText(ToDisplayText(strPrompt));
    box->setIcon(IconOf(lngStyle));
    const int32_t lngDefault = ui::DefaultResult(lngStyle);
    for (const auto& [standard, lngResult] : ButtonsOf(lngStyle)) {
        QPushButton* button = box->addButton(standard);
        button->setProperty("vbResult", lngResult);
        if (lngResult == lngDefault) box->setDefaultButton(button);
        // Escape answers Cancel where the box has it, as on Windows.
        if (lngResult == ui::vbCancel) box->setEscapeButton(button);
    }
    return box;
}

int32_t QtUi::MsgBox(const std::string& strPrompt, int32_t lngStyle, const std::string& strTitle) {
    QMessageBox* box = NewMessageBox(strPrompt, lngStyle, strTitle);
    // A box shown while the hourglass is up must still take the mouse.
    const bool blnWasBusy = mblnBusy;
    if (blnWasBusy) SetBusyCursor(false);
    box->exec();
    if (blnWasBusy) SetBusyCursor(true);
    int32_t lngResult = ui::DefaultResult(lngStyle);
    if (QAbstractButton* clicked = box->clickedButton())
        lngResult = clicked->property("vbResult").toInt();
    else if (QAbstractButton* escape = box->escapeButton())
        lngResult = escape->property("vbResult").toInt();
    delete box;
    return lngResult;
}

std::string QtUi::InputBox(const std::string& strPrompt, const std::string& strTitle,
                           const std::string& strDefault) {
    bool blnOk = false;
    const QString text = QInputDialog::getText(
        QApplication::activeWindow(), QString::fromStdString(strTitle), ToDisplayText(strPrompt),
        QLineEdit::Normal, QString::fromStdString(strDefault), &blnOk);
    return blnOk ? text.toStdString() : std::string();
}

void QtUi::DoEvents() {
    // The engine yields once a file. Letting the window system in every
    // time costs a round trip to the display and a repaint each: on 20,000
    // small files that is seconds of drawing and a window never finished.
    // Fifty times a second keeps Stop and the counts as quick to the eye.
    const auto now = std::chrono::steady_clock::now();
    if (now - mLastEvents < std::chrono::milliseconds(20)) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    mLastEvents = std::chrono::steady_clock::now();
}

void QtUi::SetBusyCursor(bool blnBusy) {
    // The pointer is a state, not a stack: setting it twice needs one reset.
    if (blnBusy == mblnBusy) return;
    mblnBusy = blnBusy;
    if (blnBusy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace platform::qt
