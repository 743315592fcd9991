// Offered to users of Internet Explorer 6: the product's own page for it,
// "Go to Notavex" or "Exit".
#pragma once

#include "annotator/installer/MessageDialog.h"

namespace notavex::installer {

class BrowserVersionDialog : public MessageDialog {
  public:
    explicit BrowserVersionDialog(const QString& strText, QWidget* pParent = nullptr);
};

}  // namespace notavex::installer
