// The installer's alert: a text to read and OK.
#pragma once

#include <QDialog>

namespace notavex::installer {

class AlertDialog : public QDialog {
  public:
    explicit AlertDialog(const QString& strText, QWidget* pParent = nullptr);
};

}  // namespace notavex::installer
