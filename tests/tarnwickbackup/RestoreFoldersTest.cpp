#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <functional>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "tarnwickbackup/RestoreDated.h"
#include "tarnwickbackup/RestoreDrives.h"
#include "tarnwickbackup/RestoreFiles.h"
#include "tarnwickbackup/RestoreFolders.h"

namespace twtest {
namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;
using tarnwickbackup::RestoreDated;
using tarnwickbackup::RestoreDrives;
using tarnwickbackup::RestoreFiles;
using tarnwickbackup::RestoreFolders;

class RestoreFoldersTest : public WindowFixture {
  protected:
    // Backs up strTree (on C:, type Daily) to E:\Backup\, as a person would.
    void BackUp(const std::string& strTree) {
        BuildTree(mTmp / "c", "Daily.BDF=IncludeFamily\n" + strTree);
        auto& manager = *StartForm().objManager();
        fs::create_directories(mTmp / "e" / "Backup");
        manager.InitBackupMode();
        ASSERT_FALSE(manager.blnProcess("Daily", "E:\\Backup\\", false));
        mUi->ClearPrompts();
    }

    // The restore window of drive C: of that backup, with fnAct run in it.
    void Restore(std::function<void(RestoreFolders&)> fnAct) {
        WhenOpen<RestoreFolders>([fnAct](RestoreFolders& w) {
            w.Form_Activate();
            fnAct(w);
        });
        RestoreFolders window;
        window.ShowMe(*mForm->objManager(), "E:\\Backup\\C$", "C:");
    }

    static QTreeWidgetItem* Node(RestoreFolders& w, const QString& strPath) {
        return TreeNode(*w.tvwFolders, strPath);
    }

    // Same bytes and modification time as the copy in the backup folder.
    void ExpectAsBackedUp(const std::string& strRel, fs::path backup = {}) {
        if (backup.empty()) backup = mTmp / "e/Backup";
        const fs::path restored = mTmp / "c" / strRel, saved = backup / "C$" / strRel;
        ASSERT_TRUE(fs::exists(restored)) << strRel;
        EXPECT_EQ(ReadFile(restored), ReadFile(saved)) << strRel;
        EXPECT_EQ(fs::last_write_time(restored), fs::last_write_time(saved)) << strRel;
    }

    std::string Prompt(std::size_t i) const {
        return i < mUi->Prompts().size() ? mUi->Prompts()[i].strPrompt : "<none>";
    }
};

TEST_F(RestoreFoldersTest, RootWithAllSubfoldersGoesBackToTheDriveRootAndShowsTheLog) {
    BackUp("root.txt\nA/a.txt\nA/B/b.txt\n");
    fs::remove_all(mTmp / "c" / "A");
    fs::remove(mTmp / "c" / "root.txt");
    fs::remove(mTmp / "c" / "Daily.BDF");
    // A link where a backed-up folder belongs is passed by, and logged.
    fs::create_directories(mTmp / "c" / "A");
    fs::create_directories(mTmp / "outside");
    fs::create_directory_symlink(mTmp / "outside", mTmp / "c" / "A" / "B");
    std::string strLog;
    {
        CerrCapture objLog;
        Restore([this](RestoreFolders& w) {
            mUi->QueueMsgBoxAnswer(ui::vbYes);
            w.cmdRestore_Click();
            EXPECT_FALSE(w.isVisible());
        });
        strLog = objLog.str();
    }
    EXPECT_EQ(Prompt(0),
              "Do you really want to restore all files backed up from \"\\\", and all subfolders?");
    EXPECT_EQ(mUi->Prompts()[0].lngStyle, ui::vbYesNo + ui::vbQuestion + ui::vbDefaultButton2);
    EXPECT_EQ(mUi->Prompts()[1].strDefault, "C:\\");
    EXPECT_EQ(Prompt(2), "Restore complete!");  // no word on CD-RW software
    EXPECT_NE(strLog.find("[Error Log] "), std::string::npos);
    ExpectAsBackedUp("root.txt");
    ExpectAsBackedUp("A/a.txt");
    EXPECT_TRUE(fs::is_empty(mTmp / "outside"));
}

TEST_F(RestoreFoldersTest, AFolderIsReadOnceAndABackupFolderThatHasGoneClosesTheWindow) {
    BackUp("A/B/C/D/f.txt\n");
    Restore([this](RestoreFolders& w) {
        EXPECT_NE(Node(w, "A\\B"), nullptr);  // A has its expand mark
        EXPECT_EQ(Node(w, "A\\B\\C"), nullptr);
        Node(w, "A")->setExpanded(true);
        EXPECT_NE(Node(w, "A\\B\\C"), nullptr);
        fs::create_directories(mTmp / "e/Backup/C$/A/New");
        Node(w, "A")->setExpanded(false);
        w.tvwFolders->setCurrentItem(Node(w, "A"));
        w.cmdExpand_Click();
        EXPECT_TRUE(Node(w, "A")->isExpanded());
        EXPECT_EQ(Node(w, "A\\New"), nullptr);
    });

    fs::remove_all(mTmp / "e/Backup/C$");
    Restore([](RestoreFolders& w) { EXPECT_FALSE(w.isVisible()); });
    EXPECT_EQ(Prompt(0).rfind("The backup folder \"E:\\Backup\\C$\\\" cannot be found.", 0), 0u)
        << Prompt(0);
}

TEST_F(RestoreFoldersTest, SelectedFilesNeedAPickAndCancelAsksNothing) {
    BackUp("F/b.txt\nF/A.txt\nF/.hidden\nF/Sub/s.txt\n");
    ASSERT_EQ(mkfifo((mTmp / "e/Backup/C$/F/pipe").c_str(), 0600), 0);
    fs::remove_all(mTmp / "c" / "F");
    Restore([this](RestoreFolders& w) {
        w.tvwFolders->setCurrentItem(Node(w, "F"));
        w.optTypeSelected->click();
        WhenOpen<RestoreFiles>([this](RestoreFiles& f) {
            QStringList names;
            for (int i = 0; i < f.filNames->count(); ++i) names << f.filNames->item(i)->text();
            EXPECT_EQ(names.join(','), ".hidden,A.txt,b.txt");
            EXPECT_EQ(f.filNames->item(0)->data(Qt::AccessibleDescriptionRole).toString(),
                      "(hidden)");
            f.cmdOkay_Click();
            EXPECT_TRUE(f.isVisible());
            EXPECT_EQ(Prompt(0), "Please click on file(s) to select them to restore.");
            f.cmdCancel_Click();
        });
        w.cmdRestore_Click();
        EXPECT_EQ(mUi->Prompts().size(), 1u);  // no question after Cancel
        WhenOpen<RestoreFiles>([](RestoreFiles& f) {
            f.filNames->item(0)->setSelected(true);
            f.filNames->item(2)->setSelected(true);
            f.cmdOkay_Click();
        });
        mUi->QueueMsgBoxAnswer(ui::vbYes);  // restore?
        mUi->QueueMsgBoxAnswer(ui::vbYes);  // create C:\F?
        w.cmdRestore_Click();
    });
    EXPECT_EQ(Prompt(1),
              "Do you really want to restore selected files backed up from \"\\F\" only?");
    EXPECT_EQ(Prompt(3), "Folder \"C:\\F\" does not exist. Do you wish to create it?");
    EXPECT_EQ(ReadTree(mTmp / "c" / "F"), ".hidden=F/.hidden\nb.txt=F/b.txt\n");
}

TEST_F(RestoreFoldersTest, DestinationsThatCannotBeUsedEndBeforeAnythingIsWritten) {
    BackUp("A/a.txt\n");
    fs::remove_all(mTmp / "c" / "A");
    Restore([this](RestoreFolders& w) {
        w.tvwFolders->setCurrentItem(Node(w, "A"));
        for (const char* pszAnswer : {"", "   ", "A", "C:A", "C:\\x|y", "Q:\\A", "F:\\A",
                                      "E:\\Backup\\C$\\A\\Into", "C:\\A"}) {
            mUi->ClearPrompts();
            mUi->QueueMsgBoxAnswer(ui::vbYes);
            mUi->QueueInputBoxAnswer(pszAnswer);
            if (std::string(pszAnswer) == "C:\\A") mUi->QueueMsgBoxAnswer(ui::vbNo);  // create?
            w.cmdRestore_Click();
            EXPECT_EQ(mUi->PendingAnswers(), 0u) << pszAnswer;
            EXPECT_TRUE(w.isVisible()) << pszAnswer;
            const auto& prompts = mUi->Prompts();
            if (std::string(pszAnswer).find_first_not_of(' ') == std::string::npos)
                EXPECT_EQ(prompts.size(), 2u) << pszAnswer;  // ends without a word
            else
                EXPECT_EQ(prompts.size(), 3u) << pszAnswer;
            EXPECT_NE(prompts.back().strTitle, "Error Detected") << pszAnswer;
        }
        EXPECT_EQ(mUi->Prompts().back().strTitle, "Create Folder");
        w.cmdClose_Click();
    });
    EXPECT_FALSE(fs::exists(mTmp / "c" / "A"));
    EXPECT_FALSE(fs::exists(mTmp / "e/Backup/C$/A/Into"));
}

TEST_F(RestoreFoldersTest, ClosingDuringARestoreStopsItAndEveryFileRestoredIsWhole) {
    std::string strTree;
    for (int i = 0; i < 40; ++i)
        strTree += "D/f" + std::to_string(i) + "=" + std::string(200000 + i, 'a' + i % 26) + "\n";
    BackUp(strTree);
    fs::remove_all(mTmp / "c" / "D");
    Restore([this](RestoreFolders& w) {
        int lngCalls = 0;
        mUi->OnDoEvents([&w, &lngCalls] {
            if (!w.blnRestoring() || ++lngCalls != 5) return;
            EXPECT_EQ(w.cmdClose->text(), "Stop");
            w.close();
        });
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdRestore_Click();
        mUi->OnDoEvents(nullptr);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(mUi->Prompts().back().strPrompt, "Restore stopped by operator.");
    EXPECT_EQ(mUi->Prompts().back().lngStyle, ui::vbCritical + ui::vbOKOnly);
    int lngRestored = 0;
    for (const auto& entry : fs::directory_iterator(mTmp / "c" / "D")) {
        ++lngRestored;
        ExpectAsBackedUp("D/" + entry.path().filename().string());
    }
    EXPECT_GT(lngRestored, 0);
    EXPECT_LT(lngRestored, 40);
}

// From the main window's button down to the file list, from a plain and
// from a dated backup.
TEST_F(RestoreFoldersTest, FoldersAndFilesComeBackThroughEveryWindowFromPlainAndDatedBackups) {
    BackUp("Docs/a.txt=one\nDocs/Sub/b.txt=bee\nDocs/c.txt=sea\nDocs/Case.txt=old\n");
    auto& manager = *mForm->objManager();
    WriteFile(mTmp / "c/Docs/a.txt", "two");
    manager.blnUseDateTimeSubFolder(true);
    ASSERT_FALSE(manager.blnProcess("Daily", "E:\\Backup\\", false));
    fs::path dated;
    for (const auto& entry : fs::directory_iterator(mTmp / "e/Backup"))
        if (entry.path().filename() != "C$") dated = entry.path();
    ASSERT_FALSE(dated.empty());
    // Changed and deleted since; Case.txt is now spelt CASE.TXT.
    WriteFile(mTmp / "c/Docs/a.txt", "three");
    fs::rename(mTmp / "c/Docs/Case.txt", mTmp / "c/Docs/CASE.TXT");
    WriteFile(mTmp / "c/Docs/CASE.TXT", "newer");
    fs::remove_all(mTmp / "c/Docs/Sub");
    fs::remove(mTmp / "c/Docs/c.txt");
    mForm->cboDest->addItem(QStringLiteral("E:\\Backup\\"));
    mForm->cboDest->setCurrentIndex(mForm->cboDest->count() - 1);

    // fnPick chooses in the folder window (and the file list); the rest
    // answers as a person would, restoring to where the files came from.
    auto fnRestore = [this](bool blnDated, std::function<void(RestoreFolders&)> fnPick) {
        mUi->ClearPrompts();
        mUi->QueueMsgBoxAnswer(blnDated ? ui::vbYes : ui::vbNo);  // dated or regular
        mUi->QueueMsgBoxAnswer(ui::vbYes);                        // "Restore Now"
        auto fnDrives = [this, fnPick] {
            WhenOpen<RestoreDrives>([this, fnPick](RestoreDrives& r) {
                ASSERT_EQ(r.lvwDrives->topLevelItemCount(), 1);
                r.lvwDrives->setCurrentItem(r.lvwDrives->topLevelItem(0));
                WhenOpen<RestoreFolders>([this, fnPick](RestoreFolders& f) {
                    f.Form_Activate();
                    f.tvwFolders->setCurrentItem(Node(f, "Docs"));
                    fnPick(f);
                    mUi->QueueMsgBoxAnswer(ui::vbYes);  // "Do you really want to restore"
                    f.cmdRestore_Click();
                });
                r.cmdRestoreDrive_Click();
                r.cmdClose_Click();
            });
        };
        if (blnDated) {
            WhenOpen<RestoreDated>([fnDrives](RestoreDated& d) {
                ASSERT_EQ(d.lstBackups->count(), 1);
                fnDrives();
                d.lstBackups->item(0)->setSelected(true);
                d.cmdOkay_Click();
            });
        } else {
            fnDrives();
        }
        mForm->cmdRestore_Click();
        EXPECT_EQ(mUi->PendingAnswers(), 0u);
        EXPECT_EQ(mUi->Prompts().back().strPrompt, "Restore complete!");
    };

    // The folder with its subfolders, nothing existing replaced.
    fnRestore(false, [](RestoreFolders& f) {
        f.optTypeSubfolders->setChecked(true);
        f.chkReplaceExisting->setChecked(false);
    });
    EXPECT_EQ(ReadFile(mTmp / "c/Docs/a.txt"), "three");
    EXPECT_EQ(ReadFile(mTmp / "c/Docs/CASE.TXT"), "newer");
    EXPECT_FALSE(fs::exists(mTmp / "c/Docs/Case.txt")) << "not beside its twin either";
    ExpectAsBackedUp("Docs/Sub/b.txt");
    ExpectAsBackedUp("Docs/c.txt");
    // The folder alone, replacing: its subfolder comes back empty.
    fs::remove_all(mTmp / "c/Docs/Sub");
    fnRestore(false, [](RestoreFolders& f) {
        f.optTypeFolderOnly->setChecked(true);
        f.chkReplaceExisting->setChecked(true);
    });
    ExpectAsBackedUp("Docs/a.txt");
    EXPECT_EQ(ReadFile(mTmp / "c/Docs/CASE.TXT"), "old");
    EXPECT_EQ(fs::last_write_time(mTmp / "c/Docs/CASE.TXT"),
              fs::last_write_time(mTmp / "e/Backup/C$/Docs/Case.txt"));
    EXPECT_TRUE(fs::is_empty(mTmp / "c/Docs/Sub"));
    // One picked file from the dated backup, replacing.
    fnRestore(true, [](RestoreFolders& f) {
        f.optTypeSelected->setChecked(true);
        f.chkReplaceExisting->setChecked(true);
        WhenOpen<RestoreFiles>([](RestoreFiles& l) {
            for (int i = 0; i < l.filNames->count(); ++i)
                l.filNames->item(i)->setSelected(l.filNames->item(i)->text() == "a.txt");
            l.cmdOkay_Click();
        });
    });
    ExpectAsBackedUp("Docs/a.txt", dated);
    EXPECT_EQ(ReadFile(mTmp / "c/Docs/a.txt"), "two");
    EXPECT_EQ(ReadFile(mTmp / "c/Docs/c.txt"), "sea");
}

}  // namespace
}  // namespace twtest
