#include "AlertDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "annotator/installer/InstallerTexts.h"

namespace notavex::installer {

AlertDialog::AlertDialog(const QString& strText, QWidget* pParent) : QDialog(pParent) {
    setObjectName(QStringLiteral("alertDialog"));
    setWindowTitle(QString::fromUtf8(texts::kAlertTitle));
    setAccessibleName(QString::fromUtf8(texts::kAlertTitle));
    auto* text = new QLabel(strText, this);
    text->setObjectName(QStringLiteral("alertText"));
    text->setAccessibleName(QStringLiteral("Alert"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setMinimumWidth(420);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

}  // namespace notavex::installer
