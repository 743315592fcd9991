#include "MessageDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace notavex::installer {

MessageDialog::MessageDialog(const char* pszName, const QString& strTitle, const QString& strText,
                             const char* pszTextName, const QString& strTextAccessible,
                             QWidget* pParent)
    : QDialog(pParent) {
    setObjectName(QString::fromUtf8(pszName));
    setWindowTitle(strTitle);
    setAccessibleName(strTitle);
    auto* text = new QLabel(strText, this);
    text->setObjectName(QString::fromUtf8(pszTextName));
    text->setAccessibleName(strTextAccessible);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setMinimumWidth(420);
    mpButtons = new QDialogButtonBox(this);
    connect(mpButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(mpButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(mpButtons);
}

}  // namespace notavex::installer
