#include "ShowText.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <iostream>

#include "Globals.h"
#include "SettingsStore.h"
#include "TWDeclarations.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/ScriptedUi.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

ShowText::ShowText(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ShowText"));
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setReadOnly(true);
    txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Error logs line up in columns.
    txtMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    chkAlways = new QCheckBox(this);
    chkAlways->setObjectName(QStringLiteral("chkAlways"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(chkAlways, &QCheckBox::clicked, this, &ShowText::chkAlways_Click);
    connect(cmdClose, &QPushButton::clicked, this, &ShowText::cmdClose_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkAlways, 1);
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtMessage, 1);
    layout->addLayout(bottom);
    resize(620, 420);
}

void ShowText::ShowMe(const std::string& strTitle, const std::string& strMessage,
                      const std::string& strShowAlwaysKey, const std::string& strShowAlwaysCaption,
                      bool blnOnlyIfChecked) {
    try {
        setWindowTitle(QString::fromStdString(strTitle));
        txtMessage->setPlainText(platform::qt::QtUi::ToDisplayText(strMessage));
        mstrShowAlwaysKey = strShowAlwaysKey;
        if (!mstrShowAlwaysKey.empty()) {
            chkAlways->setVisible(true);
            chkAlways->setText(QString::fromStdString(strShowAlwaysCaption));
            chkAlways->setChecked(
                Settings().GetSetting(gstrSECTION_ALWAYS_SHOW, mstrShowAlwaysKey, "1") == "1");
            if (blnOnlyIfChecked && !chkAlways->isChecked()) {
                close();
                return;
            }
        } else {
            chkAlways->setVisible(false);
        }
        if (App().blnHeadless) {
            std::cerr << platform::ui::ScriptedUi::strOneLine(strTitle, strMessage) << std::endl;
            return;
        }
        exec();
        close();
    } catch (...) {
        AppErrors().NestedError("ShowText.ShowMe");
    }
}

void ShowText::chkAlways_Click() {
    try {
        Settings().SaveSetting(gstrSECTION_ALWAYS_SHOW, mstrShowAlwaysKey,
                               chkAlways->isChecked() ? "1" : "");
    } catch (...) {
        AppErrors().TopError("ShowText.chkAlways_Click");
    }
}

void ShowText::cmdClose_Click() {
    accept();
}

}  // namespace tarnwickbackup
