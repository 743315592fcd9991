// The drive editor over real temporary drives, and the main window's
// buttons that open it and the listing.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "savecore/BackupManager.h"
#include "tarnwickbackup/BackupDefList.h"
#include "tarnwickbackup/EditDefDrives.h"
#include "tarnwickbackup/EditDefFolders.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using tarnwickbackup::BackupDefList;
using tarnwickbackup::EditDefDrives;
using tarnwickbackup::EditDefFolders;

const std::string gstrHEAD = ";Backup type definition file\r\n";
const std::string gstrASK =
    "Do you want to calculate the space required to backup this drive with these "
    "instructions?";

// Notes (and closes) a folder editor that should not have opened.
void WatchFolderEditor(bool& blnOpened) {
    QTimer::singleShot(0, [&blnOpened] {
        if (auto* folders = qobject_cast<EditDefFolders*>(QApplication::activeModalWidget())) {
            blnOpened = true;
            folders->done(0);
        }
    });
}

class EditDefDrivesTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // C: fixed without a file, D: a skip root, E: removable with an
        // include root, F: a CD drive without a disc, N: a network drive (its
        // volume name must not show), R: a damaged root file.
        WriteFile(mTmp / "dd" / "Daily.BDF", gstrHEAD + "SkipFamily\r\n");
        WriteFile(mTmp / "ee" / "Daily.BDF", gstrHEAD + "IncludeFamily\r\n");
        WriteFile(mTmp / "nn" / "Daily.BDF", gstrHEAD + "ExcludeFamily\r\n");
        WriteFile(mTmp / "rr" / "Daily.BDF", "garbage line\r\n");
        platform::fs::DriveTable table;
        table.drives.push_back({'C', mTmp / "c", 2, "SYSTEM", "", std::nullopt, false});
        table.drives.push_back({'D', mTmp / "dd", 2, "DATA", "", std::nullopt, false});
        table.drives.push_back({'E', mTmp / "ee", 1, "STICK", "", std::nullopt, false});
        table.drives.push_back({'F', mTmp / "missing", 4, "DISC", "", std::nullopt, false});
        table.drives.push_back({'N', mTmp / "nn", 3, "NAS", "\\\\nas\\share", std::nullopt, false});
        table.drives.push_back({'R', mTmp / "rr", 2, "", "", std::nullopt, false});
        mManager.Init(platform::fs::FileSystem::Create(table));
        mManager.blnIncludeMiscDrives(true);
        mManager.LoadDrives();
    }

    // Opens the editor, runs fnAct in it and closes it.
    void Run(const std::function<void(EditDefDrives&)>& fnAct) {
        WhenOpen<EditDefDrives>([&](EditDefDrives& editor) {
            fnAct(editor);
            editor.cmdClose->click();
        });
        EditDefDrives editor;
        editor.ShowMe("Daily", mManager);
        EXPECT_FALSE(editor.isVisible());
        EXPECT_FALSE(editor.blnEventsConnected());
    }

    static std::string Row(const EditDefDrives& editor, int i) {
        const QTreeWidgetItem* item = editor.lvwDrives->topLevelItem(i);
        return (item->data(0, Qt::UserRole).toString() + " " + item->text(0) + "|" + item->text(1))
            .toStdString();
    }

    // A calculation on C: long enough for Stop to interrupt.
    void FillC() {
        std::string strTree = "Daily.BDF=" + gstrHEAD + "IncludeFamily\n";
        for (int i = 0; i < 40; ++i) strTree += "f" + std::to_string(i) + "/a.txt=12345\n";
        BuildTree(mTmp / "c", strTree);
    }

    savecore::BackupManager mManager;
};

TEST_F(EditDefDrivesTest, EachDriveShowsWhatItsRootFileSaysAndNotReadyCannotBeOpened) {
    std::vector<std::string> aRows;
    bool blnFolderEditor = false;
    Run([&](EditDefDrives& editor) {
        for (int i = 0; i < editor.lvwDrives->topLevelItemCount(); ++i)
            aRows.push_back(Row(editor, i));
        EXPECT_EQ(editor.intSelected(), 1) << "the first row is picked at once";
        EXPECT_TRUE(editor.cmdEditDrive->isEnabled());
        editor.lvwDrives->setCurrentItem(editor.lvwDrives->topLevelItem(3));
        EXPECT_EQ(editor.intSelected(), 4);
        EXPECT_FALSE(editor.cmdEditDrive->isEnabled());
        // Enter on it opens nothing either.
        WatchFolderEditor(blnFolderEditor);
        emit editor.lvwDrives->itemActivated(editor.lvwDrives->topLevelItem(3), 0);
        // A drive taken out since the list was made is shown not ready.
        editor.lvwDrives->setCurrentItem(editor.lvwDrives->topLevelItem(2));
        std::filesystem::rename(mTmp / "ee", mTmp / "ee-out");
        WatchFolderEditor(blnFolderEditor);
        editor.cmdEditDrive->click();
        EXPECT_EQ(Row(editor, 2), "#3 E:  |Drive not ready");
        EXPECT_FALSE(editor.cmdEditDrive->isEnabled());
    });
    EXPECT_FALSE(blnFolderEditor);
    EXPECT_EQ(aRows, (std::vector<std::string>{
                         "#1 C:  (SYSTEM)|Do not backup anything (no instructions)",
                         "#2 D:  (DATA)|Do not backup anything",
                         "#3 E:  (STICK)|Everything except selected folders and files",
                         "#4 F:  |Drive not ready",
                         "#5 N:  \\\\nas\\share|Only selected folders and files",
                         "#6 R:  ()|Do not backup anything (no instructions)",
                     }));
    EXPECT_EQ(mManager.strSetName(), "Daily");
    EXPECT_TRUE(mUi->Prompts().empty());
}

TEST_F(EditDefDrivesTest, FolderEditorIsFollowedByTheQuestionAndTheRebuiltList) {
    FillC();
    std::filesystem::remove(mTmp / "c" / "Daily.BDF");
    std::string strRowAfter;
    int lngEvents = 0;
    Run([&](EditDefDrives& editor) {
        // The root gets "include" while the folder editor is open.
        WhenOpen<EditDefFolders>([&](EditDefFolders& folders) {
            WriteFile(mTmp / "c" / "Daily.BDF", gstrHEAD + "IncludeFamily\r\n");
            folders.close();
        });
        mUi->QueueMsgBoxAnswer(ui::vbNo);
        editor.cmdEditDrive->click();
        strRowAfter = Row(editor, 0);
        EXPECT_EQ(editor.cmdClose->text(), "Close");
        EXPECT_TRUE(editor.cmdComputeAllSpace->isEnabled());

        // Unchanged this time: asked all the same; Yes counts, and the
        // same Stop button ends the count.
        WhenOpen<EditDefFolders>([](EditDefFolders& folders) { folders.close(); });
        mUi->OnDoEvents([&] {
            if (++lngEvents == 5) editor.cmdClose->click();
        });
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        editor.cmdEditDrive->click();
        mUi->OnDoEvents(nullptr);
        EXPECT_TRUE(editor.isVisible()) << "Stop is not Close";
    });
    EXPECT_EQ(strRowAfter, "#1 C:  (SYSTEM)|Everything except selected folders and files");
    EXPECT_EQ(PromptTexts(), (std::vector<std::string>{
                                 gstrASK, gstrASK, "Calculation stopped.",
                                 mManager.strSpaceUsed() + " used on drive \"C:  (SYSTEM)\"."}));
    EXPECT_EQ(mUi->Prompts()[0].lngStyle, ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2);
    EXPECT_EQ(mUi->Prompts()[3].lngStyle, ui::vbInformation + ui::vbOKOnly);
    EXPECT_LT(mManager.dblSpaceUsed(), 40 * 5.0);
}

TEST_F(EditDefDrivesTest, StopDuringAllDrivesShowsStoppedThenTotalThenListing) {
    FillC();
    int lngEvents = 0;
    bool blnCalculating = false;
    bool blnListing = false;
    Run([&](EditDefDrives& editor) {
        mUi->OnDoEvents([&] {
            if (++lngEvents != 5) return;
            blnCalculating = editor.cmdClose->text() == "Stop" &&
                             !editor.cmdComputeAllSpace->isEnabled() &&
                             !editor.lblFolder->text().isEmpty();
            // A row clicked meanwhile does not open the way to the editor.
            editor.lvwDrives->setCurrentItem(editor.lvwDrives->topLevelItem(1));
            EXPECT_FALSE(editor.cmdEditDrive->isEnabled());
            editor.cmdClose->click();
        });
        WhenOpen<BackupDefList>([&](BackupDefList& list) {
            blnListing = true;
            list.close();
        });
        editor.cmdComputeAllSpace->click();
        mUi->OnDoEvents(nullptr);
        EXPECT_EQ(editor.cmdClose->text(), "Close");
        EXPECT_TRUE(editor.lblFolder->text().isEmpty());
    });
    EXPECT_TRUE(blnCalculating);
    EXPECT_TRUE(blnListing);
    EXPECT_EQ(PromptTexts(), (std::vector<std::string>{
                                 "Calculation stopped.",
                                 mManager.strSpaceUsed() +
                                     " required to backup all drives using this backup type."}));
    EXPECT_EQ(mUi->Prompts()[0].lngStyle, ui::vbExclamation + ui::vbOKOnly);
    EXPECT_LT(mManager.dblSpaceUsed(), 40 * 5.0);
}

TEST_F(EditDefDrivesTest, ClosingDuringACalculationStopsItAndClosesWhenItHasEnded) {
    FillC();
    int lngEvents = 0;
    int lngAfterClose = 0;
    bool blnStayedOpen = true;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            mUi->OnDoEvents([&] {
                if (lngEvents >= 5) {
                    ++lngAfterClose;
                    blnStayedOpen = blnStayedOpen && editor.isVisible();
                }
                if (++lngEvents == 5) {
                    EXPECT_FALSE(editor.close()) << "the title bar's button";
                }
            });
            editor.cmdComputeAllSpace->click();
            mUi->OnDoEvents(nullptr);
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_TRUE(blnStayedOpen) << "not gone in the middle of the run";
    EXPECT_LE(lngAfterClose, 3) << "the close stopped the run";
    EXPECT_FALSE(editor.isVisible());
    EXPECT_FALSE(editor.blnEventsConnected());
    EXPECT_TRUE(mUi->Prompts().empty()) << "no totals and no listing after a close";
}

TEST_F(EditDefDrivesTest, MainWindowButtonsOpenTheEditorAndTheListing) {
    BuildTree(mTmp / "c", "Daily.BDF\n");
    auto& form = StartForm();
    std::string strCaption;
    auto fnLook = [&](bool blnMakeType) {
        WhenOpen<EditDefDrives>([&, blnMakeType](EditDefDrives& editor) {
            strCaption = editor.lblBackupType->text().toStdString();
            if (blnMakeType) WriteFile(mTmp / "c" / "Weekly.BDF", gstrHEAD + "SkipFamily\r\n");
            editor.close();
        });
    };
    // New Type: the list is rebuilt afterwards, with the new type picked.
    fnLook(true);
    mUi->QueueInputBoxAnswer("Weekly");
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    form.cmdNewType->click();
    EXPECT_EQ(strCaption, "Backup Type: Weekly");
    EXPECT_EQ(form.cboBackup->currentText(), "Weekly");
    // Edit Type: the selected type; the list is not rebuilt.
    form.cboBackup->setCurrentIndex(form.cboBackup->findText("Daily"));
    std::filesystem::remove(mTmp / "c" / "Weekly.BDF");
    fnLook(false);
    form.cmdEditType->click();
    EXPECT_EQ(strCaption, "Backup Type: Daily");
    EXPECT_EQ(form.cboBackup->count(), 2);
    // The listing: after a run (before one, the button shows nothing).
    form.objManager()->blnProcess("Daily", "", true);
    bool blnListing = false;
    WhenOpen<BackupDefList>([&](BackupDefList& list) {
        blnListing = true;
        list.close();
    });
    form.cmdShowDefList->click();
    EXPECT_TRUE(blnListing);
}

}  // namespace
}  // namespace twtest
