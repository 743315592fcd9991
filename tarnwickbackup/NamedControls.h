// Buttons and labels as the windows make them: named, so that tests and
// screen readers find them by the names the windows give them.
#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace tarnwickbackup {

// Not pressed by Enter unless made the default; the tip is left out when
// there is none.
QPushButton* NewButton(QWidget* parent, const char* pszName, const QString& strCaption,
                       const char* pszTip = nullptr);

QLabel* NewLabel(QWidget* parent, const char* pszName, const QString& strCaption,
                 bool blnWrap = true);

}  // namespace tarnwickbackup
