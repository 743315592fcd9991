#include "RestoreDrives.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <ctime>

#include "Globals.h"
#include "RestoreDated.h"
#include "RestoreFolders.h"
#include "TWDeclarations.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupManager.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

// 2500 twips at 15 twips a pixel.
constexpr int gintDRIVE_WIDTH = 167;

// The names the engine gives months in its dated folders.
constexpr const char* gaMONTHS[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

void Refuse(const std::string& strText) {
    ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
}

// The decimal number written by strName[iFrom, iFrom + iCount); -1 unless
// every one of those characters is a digit.
int intDigits(const std::string& strName, std::size_t iFrom, std::size_t iCount) {
    int intValue = 0;
    for (std::size_t i = iFrom; i < iFrom + iCount; ++i) {
        if (strName[i] < '0' || strName[i] > '9') return -1;
        intValue = intValue * 10 + (strName[i] - '0');
    }
    return intValue;
}

// A drive-letter folder as the engine makes it: a letter and a dollar sign.
bool blnIsDriveFolderName(const std::string& strName) {
    return strName.size() == 2 && strName[1] == '$' &&
           ((strName[0] >= 'A' && strName[0] <= 'Z') || (strName[0] >= 'a' && strName[0] <= 'z'));
}

}  // namespace

RestoreDrives::RestoreDrives(QWidget* parent) : DriveListWindow(parent, "RestoreDrives") {
    setWindowTitle(QStringLiteral("Select Drive Originally Backed Up"));
    lblRestoreFrom = new QLabel(this);
    lblRestoreFrom->setObjectName(QStringLiteral("lblRestoreFrom"));
    lblRestoreFrom->setTextFormat(Qt::PlainText);
    lblRestoreFrom->setWordWrap(true);
    // At its smallest: the column whole and five drives without scrolling.
    NewDriveList(QStringLiteral("Drive Letter Backed Up"), gintDRIVE_WIDTH, 6);
    cmdRestoreDrive =
        new QPushButton(QStringLiteral("Restore Part/All Of Selected Drive..."), this);
    cmdRestoreDrive->setObjectName(QStringLiteral("cmdRestoreDrive"));
    // Enter anywhere opens the drive picked; nothing while none is.
    cmdRestoreDrive->setDefault(true);
    cmdRestoreDrive->setEnabled(false);
    cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdRestoreDrive);
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* row = new QHBoxLayout;
    row->addWidget(lvwDrives, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblRestoreFrom);
    layout->addLayout(row, 1);
    setTabOrder(lvwDrives, cmdRestoreDrive);
    setTabOrder(cmdRestoreDrive, cmdHelp);
    setTabOrder(cmdHelp, cmdClose);

    connect(lvwDrives, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* objItem) {
        lvwDrives_ItemClick(objItem);
        cmdRestoreDrive_Click();
    });
    connect(cmdRestoreDrive, &QPushButton::clicked, this, &RestoreDrives::cmdRestoreDrive_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &RestoreDrives::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &RestoreDrives::cmdClose_Click);
    SetHelpContext(*this, glngHELP_RESTORE);
}

void RestoreDrives::ShowMe(savecore::BackupManager& objManager, const std::string& strBackupRoot) {
    try {
        mobjManager = &objManager;
        mstrBackupRoot = strBackupRoot;
        std::string strDisplay = strBackupRoot;
        if (blnLoadInfo()) return;
        if (gintDatedCount > 0) {
            const bool blnDated =
                mintDriveCount < 1 ||
                ui::Ui().MsgBox(
                    "The backup destination you selected has both a regular backup, "
                    "and additional backups in subfolders named for when those backups "
                    "were made. Click \"Yes\" to restore one of the dated subfolder "
                    "backups, or \"No\" to restore the main backup.",
                    ui::vbYesNo + ui::vbInformation, gstrAPP_TITLE) == ui::vbYes;
            if (blnDated) {
                int16_t i = 0;
                {
                    RestoreDated objDated(parentWidget());
                    i = objDated.intShowMe();
                }
                if (i == 0) return;
                // A copy: reading the dated folder empties the list.
                const DatedBackupInfo udtChosen = gaDatedBackups[static_cast<std::size_t>(i - 1)];
                strDisplay = strBackupRoot + " (" + strDatedText(udtChosen.datMade) + ")";
                mstrBackupRoot = strBackupRoot + udtChosen.strFolderName + "\\";
                if (blnLoadInfo()) return;
            }
        }
        if (ui::Ui().MsgBox("Do you want to restore from your backup on \"" + strDisplay +
                                "\" now, using Vantrel?",
                            ui::vbYesNo + ui::vbQuestion, "Restore Now") != ui::vbYes)
            return;
        lblRestoreFrom->setText(QString::fromStdString("Restore From: " + strDisplay));
        DisplayDrives();
        exec();
    } catch (...) {
        AppErrors().NestedError("RestoreDrives.ShowMe");
    }
}

bool RestoreDrives::blnLoadInfo() {
    try {
        maDriveFolders.clear();
        mintDriveCount = 0;
        gaDatedBackups.clear();
        gintDatedCount = 0;
        const platform::fs::FileSystem& objFileSys = *mobjManager->objFileSys();
        const std::string strDrive = mstrBackupRoot.substr(0, 3);
        // A letter the drive table no longer has is a drive without a disc
        // to the person.
        if (!objFileSys.DriveExists(strDrive) || !objFileSys.GetDrive(strDrive)->IsReady()) {
            Refuse("Drive with backup is not ready.");
            return true;
        }
        std::vector<platform::fs::FolderPtr> colSubFolders;
        try {
            colSubFolders = objFileSys.GetFolder(mstrBackupRoot)->SubFolders();
        } catch (const platform::RtError& err) {
            // A folder removed or closed to this user since it was chosen
            // is for the person to mend, not a fault to report.
            if (err.Number() == platform::rt::kPathNotFound ||
                err.Number() == platform::rt::kFileNotFound)
                Refuse("The backup folder \"" + mstrBackupRoot + "\" does not exist.");
            else
                Refuse("The backup folder \"" + mstrBackupRoot +
                       "\" cannot be read: " + err.Description() + ".");
            return true;
        }
        for (const auto& objFolder : colSubFolders) {
            const std::string strName = objFolder->Name();
            if (blnIsDriveFolderName(strName)) {
                if (mintDriveCount == INT16_MAX) throw platform::RtError(platform::rt::kOverflow);
                maDriveFolders.push_back({strName.substr(0, 1) + ":", objFolder->Path()});
                ++mintDriveCount;
            } else if (const auto datMade = vntTranslateDatedName(strName)) {
                if (gintDatedCount == INT16_MAX) throw platform::RtError(platform::rt::kOverflow);
                gaDatedBackups.push_back({strName, *datMade});
                ++gintDatedCount;
            }
        }
        // By letter, whatever order the host lists folders in.
        std::sort(maDriveFolders.begin(), maDriveFolders.end(),
                  [](const DriveFolderInfo& a, const DriveFolderInfo& b) {
                      return strUCase(a.strDrive) < strUCase(b.strDrive);
                  });
        return false;
    } catch (...) {
        AppErrors().NestedError("RestoreDrives.blnLoadInfo");
    }
}

std::optional<platform::fs::Date> RestoreDrives::vntTranslateDatedName(const std::string& strName) {
    try {
        // Exactly the length the engine writes: "05Dec2026_01$23PM old" is
        // someone's copy and would show a date that is not its own.
        if (strName.size() != 17 || strName[9] != '_' || strName[12] != '$') return std::nullopt;
        const int intDay = intDigits(strName, 0, 2);
        const int intYear = intDigits(strName, 5, 4);
        const int intHour = intDigits(strName, 10, 2);
        const int intMinute = intDigits(strName, 13, 2);
        const std::string strMonth = strUCase(strName.substr(2, 3));
        const std::string strHalf = strUCase(strName.substr(15, 2));
        const auto* pMonth = std::find_if(std::begin(gaMONTHS), std::end(gaMONTHS),
                                          [&](const char* psz) { return strMonth == psz; });
        if (pMonth == std::end(gaMONTHS) || (strHalf != "AM" && strHalf != "PM"))
            return std::nullopt;
        const int intMonth = static_cast<int>(pMonth - std::begin(gaMONTHS)) + 1;
        const std::chrono::year_month_day ymd{std::chrono::year{intYear},
                                              std::chrono::month{static_cast<unsigned>(intMonth)},
                                              std::chrono::day{static_cast<unsigned>(intDay)}};
        if (intYear < 1 || intDay < 0 || !ymd.ok() || intHour < 1 || intHour > 12 ||
            intMinute < 0 || intMinute > 59)
            return std::nullopt;
        std::tm tmLocal{};
        tmLocal.tm_year = intYear - 1900;
        tmLocal.tm_mon = intMonth - 1;
        tmLocal.tm_mday = intDay;
        tmLocal.tm_hour = intHour % 12 + (strHalf == "PM" ? 12 : 0);
        tmLocal.tm_min = intMinute;
        tmLocal.tm_isdst = -1;
        const std::time_t t = std::mktime(&tmLocal);
        if (t == static_cast<std::time_t>(-1)) return std::nullopt;
        return std::chrono::system_clock::from_time_t(t);
    } catch (...) {
        AppErrors().NestedError("RestoreDrives.vntTranslateDatedName");
    }
}

void RestoreDrives::DisplayDrives() {
    try {
        const QSignalBlocker objQuiet(lvwDrives);
        ClearDriveList({QStringLiteral("Drive Letter Backed Up")}, {gintDRIVE_WIDTH});
        for (int16_t i = 1; i <= mintDriveCount; ++i)
            objAddDriveRow(
                i,
                {QString::fromStdString(maDriveFolders[static_cast<std::size_t>(i - 1)].strDrive)});
        // The first drive is picked, as the list view picked it by itself;
        // with no drive at all the button stays off.
        cmdRestoreDrive->setEnabled(false);
        blnPickRow(0);
        lvwDrives->setFocus();
    } catch (...) {
        AppErrors().NestedError("RestoreDrives.DisplayDrives");
    }
}

void RestoreDrives::EnablePicked() {
    cmdRestoreDrive->setEnabled(mintSelected >= 1 && mintSelected <= mintDriveCount);
}

void RestoreDrives::cmdRestoreDrive_Click() {
    try {
        if (mintSelected < 1 || mintSelected > mintDriveCount) return;
        const DriveFolderInfo udtDrive = maDriveFolders[static_cast<std::size_t>(mintSelected - 1)];
        {
            RestoreFolders objFolders(this);
            objFolders.ShowMe(*mobjManager, udtDrive.strPath, udtDrive.strDrive);
        }
        lvwDrives->setFocus();
    } catch (...) {
        AppErrors().TopError("RestoreDrives.cmdRestoreDrive_Click");
    }
}

void RestoreDrives::cmdClose_Click() {
    close();
}

void RestoreDrives::cmdHelp_Click() {
    try {
        ShowHelp(glngHELP_RESTORE, 0, false);
    } catch (...) {
        AppErrors().TopError("RestoreDrives.cmdHelp_Click");
    }
}

}  // namespace tarnwickbackup
