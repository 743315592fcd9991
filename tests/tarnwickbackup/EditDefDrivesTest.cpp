// The drive editor over real temporary drives: what each drive's root says,
// the folder editor and the question after it, space for one drive and for
// all drives with Stop, closing during a calculation; the main window's
// buttons that open the editor and the listing.
#include <QComboBox>
#include <QHeaderView>
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
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using tarnwickbackup::EditDefDrives;

const char* const gpszINCLUDE = ";Backup type definition file\r\nIncludeFamily\r\n";
const char* const gpszEXCLUDE = ";Backup type definition file\r\nExcludeFamily\r\n";
const char* const gpszSKIP = ";Backup type definition file\r\nSkipFamily\r\n";
const std::string gstrASK =
    "Do you want to calculate the space required to backup this drive with these "
    "instructions?";

class EditDefDrivesTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        mHandler = std::make_shared<tarnwick::ErrorHandler>();
        mHandler->Init(tarnwick::AppObject{tarnwickbackup::App().Path});
        tarnwick::SharedData().objErrorHandler(mHandler);
        // Drives of every kind the list tells apart: C: fixed without a file,
        // D: fixed with a skip root, E: removable with an include root,
        // F: a CD drive without a disc, N: a network drive (its volume name
        // must not show), R: a damaged root file.
        for (const char* name : {"dd", "ee", "nn", "rr"})
            std::filesystem::create_directories(mTmp / name);
        WriteFile(mTmp / "dd" / "Daily.BDF", gpszSKIP);
        WriteFile(mTmp / "ee" / "Daily.BDF", gpszINCLUDE);
        WriteFile(mTmp / "nn" / "Daily.BDF", gpszEXCLUDE);
        WriteFile(mTmp / "rr" / "Daily.BDF", "garbage line\r\n");
        platform::fs::DriveTable table;
        table.drives.push_back({'C', mTmp / "c", 2, "SYSTEM", "", std::nullopt, false});
        table.drives.push_back({'D', mTmp / "dd", 2, "DATA", "", std::nullopt, false});
        table.drives.push_back({'E', mTmp / "ee", 1, "STICK", "", std::nullopt, false});
        table.drives.push_back({'F', mTmp / "missing", 4, "DISC", "", std::nullopt, false});
        table.drives.push_back(
            {'N', mTmp / "nn", 3, "NASVOL", "\\\\nas\\share", std::nullopt, false});
        table.drives.push_back({'R', mTmp / "rr", 2, "", "", std::nullopt, false});
        mDrives = platform::fs::FileSystem::Create(table);
        mManager.Init(mDrives);
        mManager.blnIncludeMiscDrives(true);
        mManager.LoadDrives();
    }

    std::vector<std::string> Rows(const EditDefDrives& editor) const {
        std::vector<std::string> aRows;
        for (int i = 0; i < editor.lvwDrives->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = editor.lvwDrives->topLevelItem(i);
            aRows.push_back(item->data(0, Qt::UserRole).toString().toStdString() + " " +
                            item->text(0).toStdString() + "|" + item->text(1).toStdString());
        }
        return aRows;
    }

    void Pick(EditDefDrives& editor, int intRow) {
        QTreeWidgetItem* item = editor.lvwDrives->topLevelItem(intRow);
        editor.lvwDrives->setCurrentItem(item);
    }

    std::vector<std::string> PromptTexts() const {
        std::vector<std::string> aTexts;
        for (const auto& prompt : mUi->Prompts()) aTexts.push_back(prompt.strPrompt);
        return aTexts;
    }

    // Folders enough for a calculation that Stop can interrupt.
    void FillDrive(const std::filesystem::path& root, int intFolders) {
        std::string strTree;
        for (int i = 0; i < intFolders; ++i) strTree += "f" + std::to_string(i) + "/a.txt=12345\n";
        BuildTree(root, strTree);
    }

    std::shared_ptr<tarnwick::ErrorHandler> mHandler;
    std::shared_ptr<platform::fs::FileSystem> mDrives;
    savecore::BackupManager mManager;
};

TEST_F(EditDefDrivesTest, EachDriveShowsWhatItsRootFileSays) {
    bool blnOpened = false;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            blnOpened = true;
            EXPECT_EQ(editor.windowTitle(), "Select Drive To Give Instructions For");
            EXPECT_EQ(editor.lblBackupType->text(), "Backup Type: Daily");
            EXPECT_EQ(Rows(editor),
                      (std::vector<std::string>{
                          "#1 C:  (SYSTEM)|Do not backup anything (no instructions)",
                          "#2 D:  (DATA)|Do not backup anything",
                          "#3 E:  (STICK)|Everything except selected folders and files",
                          "#4 F:  |Drive not ready",
                          "#5 N:  \\\\nas\\share|Only selected folders and files",
                          "#6 R:  ()|Do not backup anything (no instructions)",
                      }));
            const auto* header = editor.lvwDrives->headerItem();
            EXPECT_EQ(header->text(0), "Drive Letter (and Identification)");
            EXPECT_EQ(header->text(1), "What to Backup");
            EXPECT_EQ(editor.lvwDrives->columnWidth(0), 200);
            EXPECT_FALSE(editor.lvwDrives->rootIsDecorated());
            // The first row is picked at once; the not-ready drive cannot
            // be opened, by button or by Enter.
            EXPECT_EQ(editor.intSelected(), 1);
            EXPECT_TRUE(editor.cmdEditDrive->isEnabled());
            Pick(editor, 3);
            EXPECT_EQ(editor.intSelected(), 4);
            EXPECT_FALSE(editor.cmdEditDrive->isEnabled());
            emit editor.lvwDrives->itemActivated(editor.lvwDrives->topLevelItem(3), 0);
            EXPECT_TRUE(editor.isVisible()) << "no folder editor for F:";
            Pick(editor, 4);
            EXPECT_TRUE(editor.cmdEditDrive->isEnabled());
            editor.cmdClose->click();
            EXPECT_FALSE(editor.isVisible());
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_TRUE(blnOpened);
    EXPECT_EQ(mManager.strSetName(), "Daily");
    EXPECT_TRUE(mUi->Prompts().empty()) << "a damaged root file is not announced here";
}

TEST_F(EditDefDrivesTest, FolderEditorIsFollowedByTheSpaceQuestionAndTheListIsRebuilt) {
    FillDrive(mTmp / "c", 3);
    std::string strEditorDrive;
    std::vector<std::string> aRowsAfter;
    bool blnIdleAfterNo = false;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            // C: has no instructions; its root gets "include" while the
            // folder editor is open, as saving there would.
            WhenOpen<tarnwickbackup::EditDefFolders>(
                [&](tarnwickbackup::EditDefFolders& folders) {
                    strEditorDrive = folders.objectName().toStdString();
                    WriteFile(mTmp / "c" / "Daily.BDF", gpszINCLUDE);
                    folders.close();
                },
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); });
            mUi->QueueMsgBoxAnswer(ui::vbNo);
            editor.cmdEditDrive->click();
            aRowsAfter = Rows(editor);
            blnIdleAfterNo = editor.cmdClose->text() == "Close" &&
                             editor.cmdComputeAllSpace->isEnabled() && !editor.blnCalculating() &&
                             editor.intSelected() == 1;

            // Unchanged this time: the question comes all the same; Yes
            // counts the drive.
            WhenOpen<tarnwickbackup::EditDefFolders>(
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); },
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); });
            mUi->QueueMsgBoxAnswer(ui::vbYes);
            editor.cmdEditDrive->click();
            editor.cmdClose->click();
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_EQ(strEditorDrive, "EditDefFolders");
    ASSERT_EQ(aRowsAfter.size(), 6u);
    EXPECT_EQ(aRowsAfter[0], "#1 C:  (SYSTEM)|Everything except selected folders and files");
    EXPECT_TRUE(blnIdleAfterNo);
    const auto& prompts = mUi->Prompts();
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_EQ(prompts[0].strPrompt, gstrASK);
    EXPECT_EQ(prompts[0].lngStyle, ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2);
    EXPECT_EQ(prompts[1].strPrompt, gstrASK);
    // Three files of five bytes.
    EXPECT_EQ(prompts[2].strPrompt, mManager.strSpaceUsed() + " used on drive \"C:  (SYSTEM)\".");
    EXPECT_EQ(prompts[2].lngStyle, ui::vbInformation + ui::vbOKOnly);
    EXPECT_GT(mManager.dblSpaceUsed(), 15.0);
    EXPECT_FALSE(editor.blnEventsConnected());
}

TEST_F(EditDefDrivesTest, StopDuringAllDrivesShowsStoppedThenTotalThenListing) {
    WriteFile(mTmp / "c" / "Daily.BDF", gpszINCLUDE);
    FillDrive(mTmp / "c", 40);
    int lngEvents = 0;
    bool blnCalculatingLooked = false;
    bool blnListingOpened = false;
    bool blnIdleAfter = false;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            mUi->OnDoEvents([&] {
                if (++lngEvents != 5) return;
                blnCalculatingLooked =
                    editor.cmdClose->text() == "Stop" && !editor.cmdEditDrive->isEnabled() &&
                    !editor.cmdComputeAllSpace->isEnabled() && !editor.lblFolder->text().isEmpty();
                // A row click meanwhile does not open the way to the editor.
                editor.lvwDrives->setCurrentItem(editor.lvwDrives->topLevelItem(1));
                EXPECT_FALSE(editor.cmdEditDrive->isEnabled());
                editor.cmdClose->click();
                EXPECT_TRUE(editor.isVisible()) << "Stop is not Close";
            });
            WhenOpen<tarnwickbackup::BackupDefList>(
                [&](tarnwickbackup::BackupDefList& list) {
                    blnListingOpened = true;
                    list.close();
                },
                [](tarnwickbackup::BackupDefList& list) { list.close(); });
            editor.cmdComputeAllSpace->click();
            mUi->OnDoEvents(nullptr);
            blnIdleAfter = editor.cmdClose->text() == "Close" &&
                           editor.cmdComputeAllSpace->isEnabled() &&
                           editor.lblFolder->text().isEmpty() && !editor.blnEventsConnected();
            editor.cmdClose->click();
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_TRUE(blnCalculatingLooked);
    EXPECT_TRUE(blnListingOpened);
    EXPECT_TRUE(blnIdleAfter);
    const auto aTexts = PromptTexts();
    ASSERT_EQ(aTexts.size(), 2u);
    EXPECT_EQ(aTexts[0], "Calculation stopped.");
    EXPECT_EQ(mUi->Prompts()[0].lngStyle, ui::vbExclamation + ui::vbOKOnly);
    EXPECT_EQ(aTexts[1],
              mManager.strSpaceUsed() + " required to backup all drives using this backup type.");
    EXPECT_EQ(mUi->Prompts()[1].lngStyle, ui::vbInformation + ui::vbOKOnly);
    EXPECT_LT(mManager.dblSpaceUsed(), 40 * 5.0) << "stopped part-way";
}

TEST_F(EditDefDrivesTest, ClosingDuringACalculationStopsItAndClosesWhenItHasEnded) {
    WriteFile(mTmp / "c" / "Daily.BDF", gpszINCLUDE);
    FillDrive(mTmp / "c", 40);
    int lngEvents = 0;
    int lngEventsAfterClose = 0;
    bool blnStayedOpen = true;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            mUi->OnDoEvents([&] {
                if (lngEvents > 5) {
                    ++lngEventsAfterClose;
                    blnStayedOpen = blnStayedOpen && editor.isVisible();
                }
                if (++lngEvents != 5) return;
                // The title bar's close button.
                EXPECT_FALSE(editor.close());
                blnStayedOpen = editor.isVisible() && editor.blnCalculating();
            });
            editor.cmdComputeAllSpace->click();
            mUi->OnDoEvents(nullptr);
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_TRUE(blnStayedOpen) << "the window did not go in the middle of the run";
    EXPECT_LE(lngEventsAfterClose, 3) << "the close stopped the run";
    EXPECT_FALSE(editor.isVisible());
    EXPECT_FALSE(editor.blnEventsConnected());
    EXPECT_TRUE(mUi->Prompts().empty()) << "no totals and no listing after a close";

    // Escape during the one-drive calculation after the folder editor.
    lngEvents = 0;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& again) {
            WhenOpen<tarnwickbackup::EditDefFolders>(
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); },
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); });
            mUi->OnDoEvents([&] {
                if (++lngEvents != 3) return;
                EXPECT_EQ(again.cmdClose->text(), "Stop");
                again.reject();
                EXPECT_TRUE(again.isVisible());
            });
            mUi->QueueMsgBoxAnswer(ui::vbYes);
            again.cmdEditDrive->click();
            mUi->OnDoEvents(nullptr);
        },
        [](EditDefDrives& again) { again.close(); });
    EditDefDrives again;
    again.ShowMe("Daily", mManager);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(PromptTexts(), std::vector<std::string>{gstrASK});
}

TEST_F(EditDefDrivesTest, StopOnOneDriveIsReportedBeforeItsTotal) {
    WriteFile(mTmp / "c" / "Daily.BDF", gpszINCLUDE);
    FillDrive(mTmp / "c", 40);
    int lngEvents = 0;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            WhenOpen<tarnwickbackup::EditDefFolders>(
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); },
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); });
            mUi->OnDoEvents([&] {
                if (++lngEvents == 3) editor.cmdClose->click();
            });
            mUi->QueueMsgBoxAnswer(ui::vbYes);
            editor.cmdEditDrive->click();
            mUi->OnDoEvents(nullptr);
            EXPECT_TRUE(editor.isVisible());
            EXPECT_EQ(editor.cmdClose->text(), "Close");
            editor.cmdClose->click();
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_EQ(PromptTexts(), (std::vector<std::string>{
                                 gstrASK, "Calculation stopped.",
                                 mManager.strSpaceUsed() + " used on drive \"C:  (SYSTEM)\"."}));
}

TEST_F(EditDefDrivesTest, ADriveThatGoesAwayIsShownNotReadyAndNotOpened) {
    bool blnFolderEditorOpened = false;
    std::vector<std::string> aRows;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            // E: is picked, then its stick is pulled out.
            Pick(editor, 2);
            ASSERT_TRUE(editor.cmdEditDrive->isEnabled());
            std::filesystem::rename(mTmp / "ee", mTmp / "ee-out");
            QTimer::singleShot(0, [&] {
                blnFolderEditorOpened = qobject_cast<tarnwickbackup::EditDefFolders*>(
                                            QApplication::activeModalWidget()) != nullptr;
                if (blnFolderEditorOpened) QApplication::activeModalWidget()->close();
            });
            editor.cmdEditDrive->click();
            QCoreApplication::processEvents();
            aRows = Rows(editor);
            EXPECT_EQ(editor.intSelected(), 3);
            EXPECT_FALSE(editor.cmdEditDrive->isEnabled());

            // Pulled out while the folder editor is open: no space question.
            std::filesystem::rename(mTmp / "ee-out", mTmp / "ee");
            editor.cmdClose->click();
        },
        [](EditDefDrives& editor) { editor.close(); });
    EditDefDrives editor;
    editor.ShowMe("Daily", mManager);
    EXPECT_FALSE(blnFolderEditorOpened);
    ASSERT_EQ(aRows.size(), 6u);
    EXPECT_EQ(aRows[2], "#3 E:  |Drive not ready");
    EXPECT_TRUE(mUi->Prompts().empty());

    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& again) {
            Pick(again, 2);
            WhenOpen<tarnwickbackup::EditDefFolders>(
                [&](tarnwickbackup::EditDefFolders& folders) {
                    std::filesystem::rename(mTmp / "ee", mTmp / "ee-out");
                    folders.close();
                },
                [](tarnwickbackup::EditDefFolders& folders) { folders.close(); });
            again.cmdEditDrive->click();
            EXPECT_EQ(Rows(again)[2], "#3 E:  |Drive not ready");
            again.cmdClose->click();
        },
        [](EditDefDrives& again) { again.close(); });
    EditDefDrives again;
    again.ShowMe("Daily", mManager);
    // (The folder editor may report the missing drive; that is its own.)
    for (const std::string& strText : PromptTexts())
        EXPECT_NE(strText, gstrASK) << "no space question for a drive that went away";
}

class MainFormEditorsTest : public EditDefDrivesTest {};

TEST_F(MainFormEditorsTest, NewAndEditTypeOpenTheDriveEditorAndShowInstructionsTheListing) {
    BuildTree(mTmp / "c", "Daily.BDF\n");
    auto& form = StartForm();
    savecore::BackupManager& objManager = *form.objManager();

    // New Type: the editor opens with the new name; its root file, made
    // there, puts the type in the rebuilt list.
    std::string strCaption;
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            strCaption = editor.lblBackupType->text().toStdString();
            WriteFile(mTmp / "c" / "Weekly.BDF", gpszINCLUDE);
            editor.close();
        },
        [](EditDefDrives& editor) { editor.close(); });
    mUi->QueueInputBoxAnswer("Weekly");
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    form.cmdNewType->click();
    EXPECT_EQ(strCaption, "Backup Type: Weekly");
    EXPECT_EQ(objManager.strSetName(), "Weekly");
    EXPECT_EQ(form.cboBackup->currentText(), "Weekly");
    EXPECT_EQ(form.cboBackup->count(), 2);

    // Edit Type: the selected type; the list is not rebuilt.
    form.cboBackup->setCurrentIndex(form.cboBackup->findText("Daily"));
    std::filesystem::remove(mTmp / "c" / "Weekly.BDF");
    WhenOpen<EditDefDrives>(
        [&](EditDefDrives& editor) {
            strCaption = editor.lblBackupType->text().toStdString();
            editor.close();
        },
        [](EditDefDrives& editor) { editor.close(); });
    form.cmdEditType->click();
    EXPECT_EQ(strCaption, "Backup Type: Daily");
    EXPECT_EQ(form.cboBackup->count(), 2) << "not rebuilt";

    // Show Instructions: nothing before a run, the listing after one.
    mUi->ClearPrompts();
    form.cmdShowDefList->click();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(mUi->Prompts().empty());
    objManager.blnProcess("Daily", "", true);
    bool blnListing = false;
    WhenOpen<tarnwickbackup::BackupDefList>(
        [&](tarnwickbackup::BackupDefList& list) {
            blnListing = true;
            list.close();
        },
        [](tarnwickbackup::BackupDefList& list) { list.close(); });
    form.cmdShowDefList->click();
    EXPECT_TRUE(blnListing);
}

}  // namespace
}  // namespace twtest
