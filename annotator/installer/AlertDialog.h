// The installer's alert: a text to read and OK.
#pragma once

#include "annotator/installer/MessageDialog.h"

namespace notavex::installer {

class AlertDialog : public MessageDialog {
  public:
    explicit AlertDialog(const QString& strText, QWidget* pParent = nullptr);
};

}  // namespace notavex::installer
