#include "BrowserVersionDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include "annotator/installer/InstallerTexts.h"

namespace notavex::installer {

BrowserVersionDialog::BrowserVersionDialog(const QString& strText, QWidget* pParent)
    : MessageDialog("browserVersionDialog", QString::fromUtf8(texts::kBrowserVersionTitle), strText,
                    "browserVersionText", QStringLiteral("Message"), pParent) {
    QPushButton* go =
        mpButtons->addButton(QStringLiteral("Go to Notavex"), QDialogButtonBox::AcceptRole);
    go->setObjectName(QStringLiteral("goToNotavex"));
    go->setAccessibleName(QStringLiteral("Go to Notavex"));
    go->setDefault(true);
    QPushButton* exitButton =
        mpButtons->addButton(QStringLiteral("Exit"), QDialogButtonBox::RejectRole);
    exitButton->setObjectName(QStringLiteral("exit"));
    exitButton->setAccessibleName(QStringLiteral("Exit"));
}

}  // namespace notavex::installer
