// The licence agreement: the text to read, the question, Accept or Cancel.
// Cancel is the default button, so no agreement is given by a stray Enter.
#pragma once

#include <QDialog>

namespace notavex::installer {

class LicenceDialog : public QDialog {
  public:
    explicit LicenceDialog(QWidget* pParent = nullptr);
};

}  // namespace notavex::installer
