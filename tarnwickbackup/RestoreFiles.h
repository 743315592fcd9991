// The files of one backed-up folder, to pick the ones to restore. Only
// files are listed (no folders), sorted by name without letter case; hidden
// and system files are listed too, greyed and said to be so.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace tarnwickbackup {

class RestoreFiles : public QDialog {
    Q_OBJECT

  public:
    explicit RestoreFiles(QWidget* parent = nullptr);

    // Modal. True when cancelled; otherwise colFiles receives the names
    // (without folder) of the files picked, in list order.
    bool blnShowMe(const std::string& strSrc, std::vector<std::string>& colFiles);

    // Handlers
    void cmdOkay_Click();
    void cmdCancel_Click();

    // Controls
    QLabel* lblNames = nullptr;
    QListWidget* filNames = nullptr;
    QPushButton* cmdOkay = nullptr;
    QPushButton* cmdCancel = nullptr;

  protected:
    void reject() override;

  private:
    void ListFiles(const std::string& strSrc);

    std::vector<std::string> mcolSelectedFiles;
    bool mblnCancelled = false;
};

}  // namespace tarnwickbackup
