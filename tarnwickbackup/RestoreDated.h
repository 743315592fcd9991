// The choice among the dated backups of a backup destination, and the list
// of them that the drive window reads from the destination.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ListPickDialog.h"
#include "platform/fs/FileSystem.h"

namespace tarnwickbackup {

struct DatedBackupInfo {
    std::string strFolderName;  // "05Dec2026_01$23PM"
    platform::fs::Date datMade;
};

// The dated backups of the destination read last, in the order the folders
// were listed; entry i is gaDatedBackups[i - 1].
extern std::vector<DatedBackupInfo> gaDatedBackups;
extern int16_t gintDatedCount;

// "mm/dd/yyyy hh:mmAM/PM" in local time, e.g. 12/05/2026 01:23PM.
std::string strDatedText(platform::fs::Date dat);

class RestoreDated : public ListPickDialog {
    Q_OBJECT

  public:
    explicit RestoreDated(QWidget* parent = nullptr);

    // Modal; the number of the chosen entry of gaDatedBackups, 0 when
    // cancelled.
    int16_t intShowMe();

    // Handlers
    void cmdOkay_Click() override;
    void cmdCancel_Click() override;

    // Controls: the prompt and the list, by their names in this window
    QLabel*& lblPrompt = lblList;
    QListWidget*& lstBackups = lstList;

  private:
    int16_t mintResult = 0;
};

}  // namespace tarnwickbackup
