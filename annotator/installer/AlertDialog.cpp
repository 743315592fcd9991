#include "AlertDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include "annotator/installer/InstallerTexts.h"

namespace notavex::installer {

AlertDialog::AlertDialog(const QString& strText, QWidget* pParent)
    : MessageDialog("alertDialog", QString::fromUtf8(texts::kAlertTitle), strText, "alertText",
                    QStringLiteral("Alert"), pParent) {
    mpButtons->addButton(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
}

}  // namespace notavex::installer
