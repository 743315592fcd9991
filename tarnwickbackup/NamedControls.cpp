#include "NamedControls.h"

#include <QLabel>
#include <QPushButton>

namespace tarnwickbackup {

QPushButton* NewButton(QWidget* parent, const char* pszName, const QString& strCaption,
                       const char* pszTip) {
    auto* button = new QPushButton(strCaption, parent);
    button->setObjectName(QString::fromUtf8(pszName));
    if (pszTip && *pszTip) button->setToolTip(QString::fromUtf8(pszTip));
    button->setAutoDefault(false);
    return button;
}

QLabel* NewLabel(QWidget* parent, const char* pszName, const QString& strCaption, bool blnWrap) {
    auto* label = new QLabel(strCaption, parent);
    label->setObjectName(QString::fromUtf8(pszName));
    label->setWordWrap(blnWrap);
    return label;
}

}  // namespace tarnwickbackup
