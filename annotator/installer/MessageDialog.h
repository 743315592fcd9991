// A text to read, selectable but not editable, above a row of buttons that
// the window adds: the shape of the installer's alert and browser-version
// dialogs.
#pragma once

#include <QDialog>

class QDialogButtonBox;

namespace notavex::installer {

class MessageDialog : public QDialog {
  protected:
    // pszName names the window, pszTextName and strTextAccessible the text.
    MessageDialog(const char* pszName, const QString& strTitle, const QString& strText,
                  const char* pszTextName, const QString& strTextAccessible, QWidget* pParent);

    // Accept and reject close the window.
    QDialogButtonBox* mpButtons = nullptr;
};

}  // namespace notavex::installer
