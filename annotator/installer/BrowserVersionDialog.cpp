#include "BrowserVersionDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "annotator/installer/InstallerTexts.h"

namespace notavex::installer {

BrowserVersionDialog::BrowserVersionDialog(const QString& strText, QWidget* pParent)
    : QDialog(pParent) {
    setObjectName(QStringLiteral("browserVersionDialog"));
    setWindowTitle(QString::fromUtf8(texts::kBrowserVersionTitle));
    setAccessibleName(QString::fromUtf8(texts::kBrowserVersionTitle));
    auto* text = new QLabel(strText, this);
    text->setObjectName(QStringLiteral("browserVersionText"));
    text->setAccessibleName(QStringLiteral("Message"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setMinimumWidth(420);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* go =
        buttons->addButton(QStringLiteral("Go to Notavex"), QDialogButtonBox::AcceptRole);
    go->setObjectName(QStringLiteral("goToNotavex"));
    go->setAccessibleName(QStringLiteral("Go to Notavex"));
    go->setDefault(true);
    QPushButton* exitButton =
        buttons->addButton(QStringLiteral("Exit"), QDialogButtonBox::RejectRole);
    exitButton->setObjectName(QStringLiteral("exit"));
    exitButton->setAccessibleName(QStringLiteral("Exit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

}  // namespace notavex::installer
