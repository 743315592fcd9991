// Choosing a backup to restore from: the dated folder names, and the drive
// and date windows over a real backup on E:.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "savecore/BackupManager.h"
#include "tarnwickbackup/RestoreDated.h"
#include "tarnwickbackup/RestoreDrives.h"
#include "tarnwickbackup/RestoreFolders.h"
#include "tests/support/LocalTime.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using tarnwickbackup::RestoreDated;
using tarnwickbackup::RestoreDrives;
using tarnwickbackup::RestoreFolders;

TEST(RestoreDatedName, TheEngineNamesComeBackAndNothingElseIsADate) {
    for (const auto dat : {LocalTime(2026, 12, 5, 13, 23), LocalTime(2026, 1, 1, 0, 0),
                           LocalTime(2026, 6, 30, 12, 59), LocalTime(2028, 2, 29, 23, 7)}) {
        const std::string strName = savecore::strDateTimeFolderName(dat);
        EXPECT_EQ(RestoreDrives::vntTranslateDatedName(strName), dat) << strName;
    }
    EXPECT_EQ(RestoreDrives::vntTranslateDatedName("05dec2026_01$23pm"),
              LocalTime(2026, 12, 5, 13, 23));
    for (const char* pszName :
         {"31Feb2026_01$00PM", "05Dec2026_13$00PM", "05Dec2026_00$30AM", "05Dec2026_01$60PM",
          "29Feb2027_01$00PM", "00Dec2026_01$00PM", "05Dez2026_01$00PM", "05Dec2026_01$00XM",
          "05Dec2026_1$00PM", "05Dec2026_01$23PM old", "0xDec2026_01$00PM", "Old Files"})
        EXPECT_FALSE(RestoreDrives::vntTranslateDatedName(pszName)) << pszName;
}

class RestoreDrivesTest : public WindowFixture {
  protected:
    using DrivesAct = std::function<void(RestoreDrives&)>;
    using DatedAct = std::function<void(RestoreDated&)>;

    // Opens the restore from the main window with strRoot. fnDated runs in
    // the date list and fnDrives in the drive window, each expected to open
    // when given.
    void Restore(const std::string& strRoot, DrivesAct fnDrives, DatedAct fnDated = {}) {
        mUi->ClearPrompts();
        auto& form = StartForm();
        form.cboDest->addItem(QString::fromStdString(strRoot));
        form.cboDest->setCurrentIndex(form.cboDest->count() - 1);
        if (fnDated)
            WhenOpen<RestoreDated>(
                [=](RestoreDated& w) {
                    if (fnDrives) ExpectDrives(fnDrives);
                    fnDated(w);
                },
                [](RestoreDated& w) { w.reject(); });
        else if (fnDrives)
            ExpectDrives(fnDrives);
        form.cmdRestore->click();
        // A window expected that never opened is said now.
        QApplication::processEvents();
        for (const auto& prompt : mUi->Prompts()) EXPECT_NE(prompt.strTitle, "Error Detected");
    }

    static void ExpectDrives(DrivesAct fnDrives) {
        WhenOpen<RestoreDrives>(
            [=](RestoreDrives& w) {
                fnDrives(w);
                w.cmdClose->click();
            },
            [](RestoreDrives& w) { w.close(); });
    }

    static std::vector<std::string> Rows(const RestoreDrives& w) {
        std::vector<std::string> aRows;
        for (int i = 0; i < w.lvwDrives->topLevelItemCount(); ++i)
            aRows.push_back(w.lvwDrives->topLevelItem(i)->text(0).toStdString());
        return aRows;
    }
};

TEST_F(RestoreDrivesTest, PlainBackupListsItsDrivesAndOpensTheFolderWindowForOne) {
    BuildTree(mTmp / "e",
              "Backup/D$/b.txt\nBackup/C$/a.txt\nBackup/Old Files/\n"
              "Backup/31Feb2026_01$00PM/C$/\nBackup/C$ copy/\n");
    std::string strFolders;
    Restore("E:\\Backup\\", [&](RestoreDrives& w) {
        EXPECT_EQ(Rows(w), (std::vector<std::string>{"C:", "D:"}));
        EXPECT_EQ(w.lblRestoreFrom->text(), "Restore From: E:\\Backup\\");
        w.lvwDrives->setCurrentItem(w.lvwDrives->topLevelItem(1));
        WhenOpen<RestoreFolders>(
            [&](RestoreFolders& folders) {
                strFolders = folders.windowTitle().toStdString();
                folders.close();
            },
            [](RestoreFolders& folders) { folders.close(); });
        w.cmdRestoreDrive->click();
        EXPECT_TRUE(w.isVisible()) << "the drive window stays for the next drive";
    });
    EXPECT_EQ(strFolders, "Select Folder To Restore From Backup Of \"D:\"");
    ASSERT_EQ(mUi->Prompts().size(), 1u);
    EXPECT_EQ(LastPrompt().strPrompt,
              "Do you want to restore from your backup on \"E:\\Backup\\\" now, using Vantrel?");
    EXPECT_EQ(LastPrompt().strTitle, "Restore Now");
}

TEST_F(RestoreDrivesTest, DatedBackupsAreChosenNewestFirstOrDeclined) {
    BuildTree(mTmp / "e",
              "Backup/C$/a.txt\nBackup/05Dec2026_01$23PM/D$/b.txt\n"
              "Backup/06Dec2026_09$05AM/C$/c.txt\nBackup/06Dec2026_09$05AM/E$/\n");
    // No: the regular backup, without a date list.
    mUi->QueueMsgBoxAnswer(ui::vbNo);
    Restore("E:\\Backup\\",
            [](RestoreDrives& w) { EXPECT_EQ(Rows(w), std::vector<std::string>{"C:"}); });
    EXPECT_EQ(mUi->Prompts().size(), 2u);

    // Yes: OK without a choice is refused; the older backup is then taken.
    std::vector<std::string> aDates;
    Restore(
        "E:\\Backup\\",
        [](RestoreDrives& w) { EXPECT_EQ(Rows(w), std::vector<std::string>{"D:"}); },
        [&](RestoreDated& w) {
            for (int i = 0; i < w.lstBackups->count(); ++i)
                aDates.push_back(w.lstBackups->item(i)->text().toStdString());
            w.cmdOkay->click();
            EXPECT_TRUE(w.isVisible());
            w.lstBackups->item(1)->setSelected(true);
            w.cmdOkay->click();
        });
    EXPECT_EQ(aDates, (std::vector<std::string>{"12/06/2026 09:05AM", "12/05/2026 01:23PM"}));
    ASSERT_EQ(mUi->Prompts().size(), 3u);
    EXPECT_EQ(mUi->Prompts()[1].strPrompt, "You must select a backup date first.");
    EXPECT_EQ(LastPrompt().strPrompt,
              "Do you want to restore from your backup on "
              "\"E:\\Backup\\ (12/05/2026 01:23PM)\" now, using Vantrel?");

    // Only dated backups: straight to the list; Cancel ends the restore.
    std::filesystem::remove_all(mTmp / "e" / "Backup" / "C$");
    Restore("E:\\Backup\\", {}, [](RestoreDated& w) { w.cmdCancel->click(); });
    EXPECT_TRUE(mUi->Prompts().empty());
}

TEST_F(RestoreDrivesTest, UnusableRootsAreToldWithoutAReport) {
    BuildTree(mTmp / "e", "Locked/C$/\nEmpty/\n");
    mFs->SetFaultHook([this](platform::fs::FsOp op, const std::string& strPath) {
        if (op == platform::fs::FsOp::ListFolders && strPath == "E:\\Locked")
            throw platform::RtError(platform::rt::kPermissionDenied);
    });
    const std::pair<const char*, const char*> aCases[] = {
        {"F:\\Backup\\", "Drive with backup is not ready."},
        {"Q:\\Backup\\", "Drive with backup is not ready."},
        {"E:\\Gone\\", "The backup folder \"E:\\Gone\\\" does not exist."},
        {"E:\\Locked\\", "The backup folder \"E:\\Locked\\\" cannot be read: Permission denied."},
    };
    for (const auto& [pszRoot, pszSaid] : aCases) {
        Restore(pszRoot, {});
        ASSERT_EQ(mUi->Prompts().size(), 1u) << pszRoot;
        EXPECT_EQ(LastPrompt().strPrompt, pszSaid);
    }

    // An empty backup: nothing to pick, and the button cannot open anything.
    Restore("E:\\Empty\\", [](RestoreDrives& w) {
        EXPECT_EQ(w.lvwDrives->topLevelItemCount(), 0);
        EXPECT_FALSE(w.cmdRestoreDrive->isEnabled());
        bool blnOpened = false;
        QTimer::singleShot(0, [&] {
            QWidget* objModal = QApplication::activeModalWidget();
            blnOpened = objModal != &w;
            if (blnOpened) objModal->close();
        });
        w.cmdRestoreDrive_Click();
        QApplication::processEvents();
        EXPECT_FALSE(blnOpened);
    });
}

}  // namespace
}  // namespace twtest
