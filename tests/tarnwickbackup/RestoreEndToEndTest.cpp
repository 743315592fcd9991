// Restores through the windows, from the main window's button down to the
// file list, from a plain and from a dated backup, compared byte for byte
// and by modification time with what was backed up.
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QCheckBox>
#include <QTreeWidget>

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
using namespace tarnwickbackup;

template <class Window>
void CloseLeftOpen(Window& w) {
    w.done(0);
}

class RestoreEndToEndTest : public WindowFixture {
  protected:
    // One restore through every window: fnPick chooses in the folder
    // window (and the file list), the rest answers as a person would.
    void Restore(bool blnDated, std::function<void(RestoreFolders&)> fnPick) {
        mUi->QueueMsgBoxAnswer(blnDated ? ui::vbYes : ui::vbNo);  // dated or regular
        mUi->QueueMsgBoxAnswer(ui::vbYes);                        // "Restore Now"
        auto fnDrives = [this, fnPick] {
            WhenOpen<RestoreDrives>(
                [this, fnPick](RestoreDrives& r) {
                    ASSERT_EQ(r.lvwDrives->topLevelItemCount(), 1);
                    r.lvwDrives->setCurrentItem(r.lvwDrives->topLevelItem(0));
                    WhenOpen<RestoreFolders>(
                        [this, fnPick](RestoreFolders& f) {
                            f.Form_Activate();
                            QTreeWidgetItem* root = f.tvwFolders->topLevelItem(0);
                            for (int i = 0; i < root->childCount(); ++i)
                                if (root->child(i)->text(0) == QLatin1String("Docs"))
                                    f.tvwFolders->setCurrentItem(root->child(i));
                            fnPick(f);
                            mUi->QueueMsgBoxAnswer(ui::vbYes);  // "Do you really want to restore"
                            f.cmdRestore_Click();               // to where it came from
                        },
                        CloseLeftOpen<RestoreFolders>);
                    r.cmdRestoreDrive_Click();
                    r.cmdClose_Click();
                },
                CloseLeftOpen<RestoreDrives>);
        };
        if (blnDated) {
            WhenOpen<RestoreDated>(
                [fnDrives](RestoreDated& d) {
                    ASSERT_EQ(d.lstBackups->count(), 1);
                    fnDrives();
                    d.lstBackups->item(0)->setSelected(true);
                    d.cmdOkay_Click();
                },
                CloseLeftOpen<RestoreDated>);
        } else {
            fnDrives();
        }
        mForm->cmdRestore_Click();
        EXPECT_EQ(mUi->PendingAnswers(), 0u);
        EXPECT_EQ(mUi->Prompts().back().strPrompt, "Restore complete!");
    }

    std::string C(const std::string& strRel) { return ReadFile(mTmp / "c" / "Docs" / strRel); }

    // Same bytes and time as the copy in the backup folder strBackup.
    void ExpectFrom(const fs::path& backup, const std::string& strRel) {
        const fs::path restored = mTmp / "c/Docs" / strRel, saved = backup / "C$/Docs" / strRel;
        EXPECT_EQ(ReadFile(restored), ReadFile(saved)) << strRel;
        EXPECT_EQ(fs::last_write_time(restored), fs::last_write_time(saved)) << strRel;
    }
};

TEST_F(RestoreEndToEndTest, FoldersAndFilesComeBackFromThePlainAndTheDatedBackup) {
    BuildTree(mTmp / "c", "Daily.BDF=IncludeFamily\nDocs/a.txt=one\nDocs/Sub/b.txt=bee\n"
                          "Docs/c.txt=sea\nOther/d.txt=dee\n");
    auto& form = StartForm();
    auto& manager = *form.objManager();
    const fs::path bk = mTmp / "e" / "bk";
    fs::create_directories(bk);
    manager.InitBackupMode();
    ASSERT_FALSE(manager.blnProcess("Daily", "E:\\bk\\", false));
    WriteFile(mTmp / "c/Docs/a.txt", "two");
    manager.blnUseDateTimeSubFolder(true);
    ASSERT_FALSE(manager.blnProcess("Daily", "E:\\bk\\", false));
    fs::path dated;
    for (const auto& entry : fs::directory_iterator(bk))
        if (entry.path().filename() != "C$") dated = entry.path();
    ASSERT_FALSE(dated.empty());

    // Changed and deleted since.
    WriteFile(mTmp / "c/Docs/a.txt", "three");
    fs::remove_all(mTmp / "c/Docs/Sub");
    fs::remove(mTmp / "c/Docs/c.txt");
    form.cboDest->addItem(QStringLiteral("E:\\bk\\"));
    form.cboDest->setCurrentIndex(form.cboDest->count() - 1);

    // The folder with its subfolders, nothing existing replaced.
    Restore(false, [](RestoreFolders& f) {
        f.optTypeSubfolders->setChecked(true);
        f.chkReplaceExisting->setChecked(false);
    });
    EXPECT_EQ(C("a.txt"), "three");
    ExpectFrom(bk, "Sub/b.txt");
    ExpectFrom(bk, "c.txt");

    // The folder alone, replacing: its subfolder comes back empty.
    fs::remove_all(mTmp / "c/Docs/Sub");
    Restore(false, [](RestoreFolders& f) {
        f.optTypeFolderOnly->setChecked(true);
        f.chkReplaceExisting->setChecked(true);
    });
    ExpectFrom(bk, "a.txt");
    EXPECT_TRUE(fs::is_empty(mTmp / "c/Docs/Sub"));

    // One picked file from the dated backup, replacing.
    Restore(true, [](RestoreFolders& f) {
        f.optTypeSelected->setChecked(true);
        f.chkReplaceExisting->setChecked(true);
        WhenOpen<RestoreFiles>(
            [](RestoreFiles& l) {
                for (int i = 0; i < l.filNames->count(); ++i)
                    l.filNames->item(i)->setSelected(l.filNames->item(i)->text() ==
                                                     QLatin1String("a.txt"));
                l.cmdOkay_Click();
            },
            CloseLeftOpen<RestoreFiles>);
    });
    ExpectFrom(dated, "a.txt");
    EXPECT_EQ(C("a.txt"), "two");
    EXPECT_EQ(C("c.txt"), "sea");
}

}  // namespace
}  // namespace twtest
