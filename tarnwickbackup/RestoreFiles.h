// The files of one backed-up folder, to pick the ones to restore. Only
// files are listed (no folders), sorted by name without letter case; hidden
// and system files are listed too, greyed and said to be so.
#pragma once

#include <string>
#include <vector>

#include "ListPickDialog.h"

namespace tarnwickbackup {

class RestoreFiles : public ListPickDialog {
    Q_OBJECT

  public:
    explicit RestoreFiles(QWidget* parent = nullptr);

    // Modal. True when cancelled; otherwise colFiles receives the names
    // (without folder) of the files picked, in list order.
    bool blnShowMe(const std::string& strSrc, std::vector<std::string>& colFiles);

    // Handlers
    void cmdOkay_Click() override;
    void cmdCancel_Click() override;

    // Controls: the prompt and the list, by their names in this window
    QLabel*& lblNames = lblList;
    QListWidget*& filNames = lstList;

  protected:
    void reject() override;

  private:
    void ListFiles(const std::string& strSrc);

    std::vector<std::string> mcolSelectedFiles;
    bool mblnCancelled = false;
};

}  // namespace tarnwickbackup
