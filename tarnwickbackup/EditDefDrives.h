// The drive editor of a backup type: every drive letter the manager knows,
// with what the instruction file in its root folder says; the folder editor
// for the drive picked; and the space a backup would need, for one drive
// after editing it or for all drives, followed by the instruction listing.
//
// Closing the window (title bar, Escape) while a calculation runs is taken
// as Stop: the window stays until the engine has stopped, then closes
// without the totals and the listing that would follow a calculation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DriveListWindow.h"
#include "savecore/BackupManager.h"
#include "savecore/BackupManagerEvents.h"

class QLabel;
class QPushButton;

namespace savecore {
class DriveProcessor;
}

namespace tarnwickbackup {

struct DriveEntry {
    std::string strName;  // "C:  (SYSTEM)", "N:  \\nas\share", "F:  "
    int32_t lngMode = 0;  // the root instruction; glngBACKUP_NOTREADY when not ready
    bool blnNoInstructions = false;
    std::shared_ptr<savecore::DriveProcessor> objProc;
};

class EditDefDrives : public DriveListWindow, private savecore::BackupManagerEvents {
    Q_OBJECT

  public:
    explicit EditDefDrives(QWidget* parent = nullptr);
    ~EditDefDrives() override;

    // Modal; returns when the window has closed.
    void ShowMe(const std::string& strSetName, savecore::BackupManager& objManager);

    // The "What to Backup" text of a root instruction.
    static std::string strWhatToBackup(int32_t lngMode, bool blnNoInstructions);

    // Handlers
    void cmdEditDrive_Click();
    void cmdComputeAllSpace_Click();
    void cmdClose_Click();
    // Escape and the title bar's close button end up here.
    void reject() override;

    // State, for tests
    const std::vector<DriveEntry>& audtDrives() const { return maudtDrives; }
    int16_t intSelected() const { return mintSelected; }
    bool blnCalculating() const { return mblnCalculating; }
    bool blnEventsConnected() const { return static_cast<bool>(mobjMgrEvents); }

    // Controls
    QLabel* lblBackupType = nullptr;
    QPushButton* cmdEditDrive = nullptr;
    QPushButton* cmdComputeAllSpace = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblFolder = nullptr;

  private:
    void BuildControls();
    void ConnectHandlers();
    void LoadDrives();
    void DisplayDrives();
    void EnablePicked() override;
    void EnableDriveButtons(bool blnEnable);
    // After a calculation: true when the user asked to close meanwhile; the
    // window is then closed.
    bool blnCloseIfAsked();
    bool blnEditable(int16_t intIndex) const;
    void ConnectEvents();
    void DisconnectEvents();
    // After a failure: usable again once the report has been read.
    void IdleAgain();

    // BackupManagerEvents, while a calculation runs
    void StartProgress(int32_t& lngProgressMode) override;
    void EndProgress() override;
    void SetProgressFolder(std::string& strText) override;
    void blnProgressStop(bool& blnStop) override;

    std::string mstrSetName;
    // Entry i is maudtDrives[i - 1].
    std::vector<DriveEntry> maudtDrives;
    bool mblnCalculating = false;
    bool mblnStop = false;
    // The window was asked to close during a calculation.
    bool mblnCloseAsked = false;
    std::unique_ptr<savecore::BackupManager::EventConnection> mobjMgrEvents;
};

}  // namespace tarnwickbackup
