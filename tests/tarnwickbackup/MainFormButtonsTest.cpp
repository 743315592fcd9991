#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <tuple>

#include "MainFormFixture.h"
#include "tarnwickbackup/DriveProgress.h"

namespace twtest {
namespace {

namespace ui = platform::ui;

class MainFormButtonsTest : public AppFixture {};

TEST_F(MainFormButtonsTest, EachRefusalOfADestinationHasItsMessage) {
    auto& form = StartForm();
    const auto strForm = [](const std::string& strDest) {
        return "\"" + strDest +
               "\" is not a valid backup destination. Destinations must include a drive letter "
               "and end with \"\\\".";
    };
    const std::string strRoot =
        "You may not use the root folder of a hard drive or a network mapped drive letter as a "
        "backup destination.";
    const std::string strInvalid = "Invalid Destination", strApp = "Tarnwick Backup";
    const std::tuple<std::string, std::string, std::string> aCases[] = {
        {"e:\\backup", strForm("e:\\backup"), strApp},
        {"\\\\", strForm("\\\\"), strApp},
        {"q:\\x\\", "Drive letter in backup destination \"q:\\x\\\" is not valid.", strApp},
        {"f:\\bk\\", "Drive in backup destination \"f:\\bk\\\" is not ready.", strApp},
        {"c:\\", strRoot, strInvalid},
        {"N:\\", strRoot, strInvalid},
        {"c:/docs\\..\\\\", strRoot, strInvalid},
        {"q:\\x\\..\\", "Drive letter in backup destination \"q:\\\" is not valid.", strApp},
        // A removable drive's folder that is the home folder by a link.
        {"e:\\home\\",
         "Backup destination \"e:\\home\\\" holds the files of drive C:. A backup there "
         "would erase the files it is meant to save.",
         strInvalid},
    };
    std::filesystem::create_directory_symlink(mTmp / "c", mTmp / "e" / "home");
    for (const auto& [strDest, strMessage, strTitle] : aCases) {
        mUi->ClearPrompts();
        EXPECT_FALSE(form.blnValidateDest(strDest)) << strDest;
        ASSERT_EQ(mUi->Prompts().size(), 1u) << strDest;
        EXPECT_EQ(LastPrompt().strPrompt, strMessage);
        EXPECT_EQ(LastPrompt().strTitle, strTitle);
        EXPECT_EQ(LastPrompt().lngStyle, ui::vbCritical + ui::vbOKOnly);
    }
    // The roots of removable and CD drives are fine.
    mUi->ClearPrompts();
    EXPECT_TRUE(form.blnValidateDest("e:\\"));
    EXPECT_TRUE(form.blnValidateDest("G:\\"));
    EXPECT_TRUE(mUi->Prompts().empty());
}

TEST_F(MainFormButtonsTest, MissingDestinationFolderIsCreatedLevelByLevelAfterOneQuestion) {
    auto& form = StartForm();
    mUi->QueueMsgBoxAnswer(ui::vbNo);
    EXPECT_FALSE(form.blnValidateDest("c:\\a\\b\\"));
    EXPECT_FALSE(std::filesystem::exists(mTmp / "c" / "a"));

    mUi->ClearPrompts();
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    EXPECT_TRUE(form.blnValidateDest("c:\\a\\b\\"));
    ASSERT_EQ(mUi->Prompts().size(), 1u);
    EXPECT_EQ(LastPrompt().strPrompt,
              "Backup destination folder \"c:\\a\\b\\\" does not exist. Do you wish to create it?");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbQuestion + ui::vbYesNo);
    EXPECT_TRUE(std::filesystem::is_directory(mTmp / "c" / "a" / "b"));
}

TEST_F(MainFormButtonsTest, AddingADestinationIgnoresLetterCaseAndSelectsTheNewOne) {
    auto& form = StartForm();
    std::filesystem::create_directories(mTmp / "e" / "backup");
    mUi->QueueInputBoxAnswer("e:/backup//old\\..\\");  // kept as the folder it names
    form.cmdAddDest->click();
    ASSERT_EQ(form.cboDest->currentText(), "e:\\backup\\");
    const int lngCount = form.cboDest->count();

    form.cboDest->setCurrentIndex(0);
    mUi->QueueInputBoxAnswer("E:\\BACKUP\\");
    form.cmdAddDest->click();
    EXPECT_EQ(form.cboDest->count(), lngCount);
    EXPECT_EQ(form.cboDest->currentIndex(), 0) << "the existing entry is not selected";

    mUi->QueueInputBoxAnswer("");  // Cancel
    form.cmdAddDest->click();
    EXPECT_EQ(form.cboDest->count(), lngCount);

    // Removing finds the entry without case and asks nothing.
    mUi->ClearPrompts();
    form.cboDest->setCurrentIndex(form.cboDest->findText("e:\\backup\\"));
    form.cmdDelDest->click();
    EXPECT_EQ(form.cboDest->findText("e:\\backup\\"), -1);
    EXPECT_EQ(form.cboDest->count(), lngCount - 1);
    EXPECT_TRUE(mUi->Prompts().empty());
}

TEST_F(MainFormButtonsTest, NewTypeRefusesBadNamesAsksAndTriesTheNameOnDisk) {
    BuildTree(mTmp / "c", "Daily.BDF\n");
    auto& form = StartForm();
    mUi->QueueInputBoxAnswer("DAILY");
    form.cmdNewType->click();
    EXPECT_EQ(LastPrompt().strPrompt, "A backup type with this name already exists.");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbCritical + ui::vbOKOnly);

    const std::string strForbidden =
        "The backup type name may not contain any of the following characters:\r\n\r\n" +
        std::string(35, ' ') + " \\ / : * ? \" < > | .";
    for (const char* pszName : {"Daily.Copy", "a/b", "trailing.", "x|y", "back\\slash"}) {
        mUi->QueueInputBoxAnswer(pszName);
        form.cmdNewType->click();
        EXPECT_EQ(LastPrompt().strPrompt, strForbidden) << pszName;
    }

    mUi->QueueInputBoxAnswer("Weekly");
    mUi->QueueMsgBoxAnswer(ui::vbNo);
    form.cmdNewType->click();
    EXPECT_EQ(LastPrompt().strPrompt,
              "Are you sure you want to create a new backup type called \"Weekly\"?");
    EXPECT_EQ(LastPrompt().strTitle, "Confirm");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbYesNo + ui::vbDefaultButton2);
    EXPECT_EQ(ReadTree(mTmp / "c"), "Daily.BDF=Daily.BDF\n");

    // A file that appeared since the list was made is a failure, reported.
    BuildTree(mTmp / "c", "Late.BDF\n");
    mUi->ClearPrompts();
    mUi->QueueInputBoxAnswer("late");
    form.cmdNewType->click();
    ASSERT_EQ(mUi->Prompts().size(), 2u);
    EXPECT_EQ(LastPrompt().strTitle, "Error Detected");
    EXPECT_NE(LastPrompt().strPrompt.find("Unexpectedly found file c:\\late.BDF"),
              std::string::npos);
    EXPECT_NE(LastPrompt().strPrompt.find("MainForm.cmdNewType_Click"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(mTmp / "prog" / "error.log"));
}

TEST_F(MainFormButtonsTest, TypeButtonsWantASelectedType) {
    auto& form = StartForm();
    for (QPushButton* button : {form.cmdEditType, form.cmdDeleteType, form.cmdBackup}) {
        mUi->ClearPrompts();
        button->click();
        ASSERT_EQ(mUi->Prompts().size(), 1u);
        EXPECT_EQ(LastPrompt().strPrompt, "Select type of backup first.");
    }
    form.cmdRestore->click();
    EXPECT_EQ(LastPrompt().strPrompt, "Select backup drive or folder to restore from first.");
}

TEST_F(MainFormButtonsTest, DeleteTypeShowsProgressAndStopsWhenAsked) {
    std::string strTree = "Old.BDF\nKeep.BDF\n";
    for (int i = 0; i < 30; ++i) strTree += "d" + std::to_string(i) + "/Old.BDF\n";
    BuildTree(mTmp / "c", strTree);
    auto& form = StartForm();
    form.cboBackup->setCurrentIndex(form.cboBackup->findText("Old"));

    // No: nothing is deleted.
    mUi->QueueMsgBoxAnswer(ui::vbNo);
    form.cmdDeleteType->click();
    EXPECT_EQ(LastPrompt().strPrompt, "Do you really want to delete backup type \"Old\"?");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2);
    EXPECT_TRUE(std::filesystem::exists(mTmp / "c" / "Old.BDF"));

    // Yes, then Stop in the progress window while the engine walks; a try
    // to close the main window meanwhile is refused.
    int lngEvents = 0;
    bool blnCloseRefused = false;
    QString strCaption;
    mUi->OnDoEvents([&] {
        tarnwickbackup::DriveProgress* progress = form.objProgressWindow();
        if (!progress || ++lngEvents != 3) return;
        strCaption = progress->windowTitle();
        blnCloseRefused = !form.close() && !form.cmdDeleteType->isEnabled();
        progress->cmdStop->click();
    });
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    form.cmdDeleteType->click();
    mUi->OnDoEvents(nullptr);
    EXPECT_EQ(strCaption, "Deleting Backup Type");
    EXPECT_TRUE(blnCloseRefused);
    EXPECT_EQ(LastPrompt().strPrompt, "Delete backup type stopped.");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbExclamation + ui::vbOKOnly);
    EXPECT_EQ(form.objProgressWindow(), nullptr);
    EXPECT_FALSE(form.blnEventsConnected());
    EXPECT_TRUE(form.cmdDeleteType->isEnabled());
    std::size_t lngLeft = 0;
    for (int i = 0; i < 30; ++i)
        lngLeft += std::filesystem::exists(mTmp / "c" / ("d" + std::to_string(i)) / "Old.BDF");
    EXPECT_GT(lngLeft, 0u) << "stopped part-way";

    // Run to its end: the list is rebuilt from the disks.
    mUi->ClearPrompts();
    form.cboBackup->setCurrentIndex(form.cboBackup->findText("Old"));
    ASSERT_GE(form.cboBackup->currentIndex(), 0) << "a stopped deletion leaves the type listed";
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    form.cmdDeleteType->click();
    EXPECT_EQ(mUi->Prompts().size(), 1u);
    EXPECT_EQ(form.cboBackup->findText("Old"), -1);
    EXPECT_EQ(form.cboBackup->findText("Keep"), 0);
    EXPECT_EQ(ReadTree(mTmp / "c").find("Old.BDF"), std::string::npos);
}

}  // namespace
}  // namespace twtest
