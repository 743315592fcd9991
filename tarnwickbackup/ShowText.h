// The text window: a long text with a title, and optionally a check box
// whose state is kept in the settings ("AlwaysShow" / key) and decides
// whether the text is shown next time.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace tarnwickbackup {

class ShowText : public QDialog {
    Q_OBJECT

  public:
    explicit ShowText(QWidget* parent = nullptr);

    // Modal; returns when the window is closed. Without a display the text
    // is written to standard error as one line and nothing waits.
    void ShowMe(const std::string& strTitle, const std::string& strMessage,
                const std::string& strShowAlwaysKey = "",
                const std::string& strShowAlwaysCaption = "", bool blnOnlyIfChecked = false);

    void chkAlways_Click();
    void cmdClose_Click();

    QPlainTextEdit* txtMessage = nullptr;
    QCheckBox* chkAlways = nullptr;
    QPushButton* cmdClose = nullptr;

  private:
    std::string mstrShowAlwaysKey;
};

}  // namespace tarnwickbackup
