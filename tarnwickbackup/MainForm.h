// The main window: pick a backup type and a destination, and start every
// other function of the program. It owns the program's one backup manager
// and file-system object, and receives the manager's progress events while
// one of its own operations runs.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "TWDeclarations.h"
#include "WaitForDrive.h"
#include "savecore/BackupManager.h"
#include "savecore/BackupManagerEvents.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace platform::fs {
class FileSystem;
class Drive;
}  // namespace platform::fs

namespace tarnwick {
class ErrorHandler;
class GlobalThings;
}  // namespace tarnwick

namespace tarnwickbackup {

class DriveProgress;

class MainForm : public QWidget, private savecore::BackupManagerEvents {
    Q_OBJECT

  public:
    // objFileSys_ is the program's file-system object (main makes it).
    explicit MainForm(std::shared_ptr<platform::fs::FileSystem> objFileSys_);
    ~MainForm() override;

    // Program start, first activation, program end (Cancel set: refused).
    void Form_Load();
    void Form_Activate();
    void Form_Unload(int16_t& Cancel);

    // Handlers
    void chkIncludeMiscDrives_Click();
    void cmdAddDest_Click();
    void cmdDelDest_Click();
    void cmdNewType_Click();
    void cmdEditType_Click();
    void cmdDeleteType_Click();
    void cmdBackup_Click();
    void cmdRestore_Click();
    void cmdShowDefList_Click();
    void cmdHelp_Click();

    bool blnValidateDest(std::string strDest);
    void EnableButtons(bool blnEnable);

    // The run of a backup, from the button and from the command line
    void ExecuteBackup(std::string strSetName, std::string strDest);
    // The next token of strLine, taken off it; none when no token is left.
    static std::optional<std::string> strGetToken(std::string& strLine);

    // The two lists and their storage
    void LoadDefFiles();
    void AddDefFilesFromDrive(const platform::fs::Drive& objDrive);
    void LoadDestinations();
    void SaveDestinations();

    // The manager's events while an operation of this window runs
    void mobjMgrEvents_StartProgress(int32_t lngProgressMode);
    void mobjMgrEvents_SetProgressFolder(const std::string& strText);
    void mobjMgrEvents_SetProgressFile(const std::string& strText);
    void mobjMgrEvents_blnProgressStop(bool& blnStop);
    void mobjMgrEvents_EndProgress();
    void mobjMgrEvents_OutOfSpace(bool& blnStop);

    // The clock and the length of a second of the wait for a new disc.
    void SetWaitClock(WaitClock fnNow, int32_t lngMsPerSecond);

    // State, for the windows this one opens and for tests
    savecore::BackupManager* objManager() const { return mobjManager.get(); }
    DriveProgress* objProgressWindow() const { return mobjProgress.get(); }
    bool blnUnattended() const { return mblnUnattended; }
    bool blnEventsConnected() const { return mobjMgrEvents.has_value(); }
    // What the unattended backup came to (glngEXIT_...), for the exit status.
    int lngExitStatus() const { return mlngExitStatus; }

    // Controls, top to bottom
    QLabel* Label2 = nullptr;
    QComboBox* cboBackup = nullptr;
    QPushButton* cmdNewType = nullptr;
    QPushButton* cmdEditType = nullptr;
    QPushButton* cmdDeleteType = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cboDest = nullptr;
    QPushButton* cmdAddDest = nullptr;
    QPushButton* cmdDelDest = nullptr;
    QPushButton* cmdBackup = nullptr;
    QPushButton* cmdShowDefList = nullptr;
    QCheckBox* chkIncludeMiscDrives = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdHelp = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void ConnectHandlers();
    void UnUnattended();
    // cboBackup holds strType exactly, letter case included.
    bool blnTypeListed(const std::string& strType) const;
    void CloseProgressWindow();
    // What the run has counted or copied so far, in the progress window.
    void ShowProgressCounts();
    // The space-only walk of the selection before a backup, for the
    // progress window's total: false when it was skipped, stopped or
    // failed, or when it would have shown a message (the backup shows it).
    bool blnCountSelection(const std::string& strSetName, const std::string& strDest);
    bool blnNewTypeNameAllowed(const std::string& strName);

    // BackupManagerEvents
    void StartProgress(int32_t& lngProgressMode) override;
    void EndProgress() override;
    void SetProgressFolder(std::string& strText) override;
    void SetProgressFile(std::string& strText) override;
    void blnProgressStop(bool& blnStop) override;
    void OutOfSpace(bool& blnStop) override;

    std::shared_ptr<tarnwick::ErrorHandler> mobjErrorHandler;
    std::shared_ptr<tarnwick::GlobalThings> mobjGlobalThings;
    std::shared_ptr<platform::fs::FileSystem> mobjFileSys;
    std::shared_ptr<savecore::BackupManager> mobjManager;
    std::unique_ptr<DriveProgress> mobjProgress;
    std::optional<savecore::BackupManager::EventConnection> mobjMgrEvents;
    bool mblnFirstActivate = false;
    // The count before a backup is running; its window stays for the backup.
    bool mblnCounting = false;
    bool mblnKeepProgress = false;
    int32_t mlngProgressMode = 0;
    int64_t mlngTotalFiles = 0;
    double mdblTotalBytes = 0;
    // What the last backup copied, for the unattended run's last line.
    int64_t mlngFilesCopied = 0;
    double mdblBytesCopied = 0;
    int32_t mlngErrorsLogged = 0;
    bool mblnUnattended = false;
    bool mblnUnloaded = false;
    bool mblnLastRunStopped = false;
    int mlngExitStatus = glngEXIT_STOPPED;  // until a backup ran
    WaitClock mfnNow = &std::chrono::system_clock::now;
    int32_t mlngWaitMsPerSecond = 1000;
};

}  // namespace tarnwickbackup
