// A window that asks for a pick from a list: the prompt above the list,
// then OK (the default button) and Cancel.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace tarnwickbackup {

class ListPickDialog : public QDialog {
    Q_OBJECT

  public:
    // Handlers
    virtual void cmdOkay_Click() = 0;
    virtual void cmdCancel_Click() = 0;

    // Controls
    QLabel* lblList = nullptr;
    QListWidget* lstList = nullptr;
    QPushButton* cmdOkay = nullptr;
    QPushButton* cmdCancel = nullptr;

  protected:
    // pszName and pszListName are the object names of the window and the
    // list; the prompt is the list's buddy.
    ListPickDialog(QWidget* parent, const char* pszName, const QString& strTitle,
                   const QString& strPrompt, const char* pszListName);
};

}  // namespace tarnwickbackup
