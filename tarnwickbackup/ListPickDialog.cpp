#include "ListPickDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwickbackup {

ListPickDialog::ListPickDialog(QWidget* parent, const char* pszName, const QString& strTitle,
                               const QString& strPrompt, const char* pszListName)
    : QDialog(parent) {
    setObjectName(QString::fromUtf8(pszName));
    setWindowTitle(strTitle);
    lblList = new QLabel(strPrompt, this);
    lblList->setWordWrap(true);
    lstList = new QListWidget(this);
    lstList->setObjectName(QString::fromUtf8(pszListName));
    lblList->setBuddy(lstList);
    cmdOkay = new QPushButton(QStringLiteral("OK"), this);
    cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    cmdOkay->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdOkay, &QPushButton::clicked, this, &ListPickDialog::cmdOkay_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ListPickDialog::cmdCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOkay);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblList);
    layout->addWidget(lstList, 1);
    layout->addLayout(buttons);
}

}  // namespace tarnwickbackup
