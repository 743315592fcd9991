// The options of one backup made from the main window: all files or only
// recently changed ones (and those with the archive flag), clearing the
// archive flag, and a subfolder named for the date and time. It starts from
// the choices last stored and, on OK, sets them on the manager and stores
// them again for every backup type.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace savecore {
class BackupManager;
}

namespace tarnwickbackup {

class BackupModeDialog : public QDialog {
    Q_OBJECT

  public:
    explicit BackupModeDialog(QWidget* parent = nullptr);

    // Modal. True when the user cancelled; then the manager keeps the modes
    // InitBackupMode gave it and nothing is stored.
    bool blnShowMe(savecore::BackupManager& objManager, const std::string& strSetName,
                   const std::string& strDest);

    void optFilterAll_Click();
    void optFilterLastModDate_Click();
    void chkClearArchiveFlag_Click();
    void cmdOkay_Click();
    void cmdCancel_Click();

    QGroupBox* frameFilter = nullptr;
    QRadioButton* optFilterAll = nullptr;
    QRadioButton* optFilterLastModDate = nullptr;
    QLineEdit* txtNumberOfDays = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* chkIncludeArchive = nullptr;
    QLabel* lblIgnoreArchiveFilter = nullptr;
    QCheckBox* chkClearArchiveFlag = nullptr;
    QLineEdit* txtClearArchiveDays = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* chkMakeDatedBackup = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdOkay = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    void BuildControls();
    void LoadChoices();
    void ApplyEnabling();
    // The checks of OK in their order; false after a refusal was shown.
    bool blnApplyChoices();

    savecore::BackupManager* mobjManager = nullptr;
    bool mblnCancel = true;
};

}  // namespace tarnwickbackup
