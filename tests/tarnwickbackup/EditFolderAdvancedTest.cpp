#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "savecore/BackupManager.h"
#include "savecore/DefinitionFile.h"
#include "tarnwickbackup/EditFolderAdvanced.h"
#include "tarnwickbackup/FolderNode.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using savecore::PatternList;
using tarnwickbackup::EditFolderAdvanced;

const char* const gpszASK =
    "You have changed these advanced instructions. Do you want to save these changes?";

std::vector<std::string> Rows(const QListWidget& objList) {
    std::vector<std::string> astr;
    for (int i = 0; i < objList.count(); ++i) astr.push_back(objList.item(i)->text().toStdString());
    return astr;
}

void PressKey(QWidget& objWidget, int lngKey) {
    QKeyEvent objPress(QEvent::KeyPress, lngKey, Qt::NoModifier);
    QApplication::sendEvent(&objWidget, &objPress);
}

class EditFolderAdvancedTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        mManager.Init(mFs);
    }
    void TearDown() override {
        mHandler->ClearErrors();
        AppFixture::TearDown();
    }

    // C:\Data with a "Daily" instruction file of these lines, loaded.
    void LoadFolder(const std::string& strLines) {
        WriteFile(mTmp / "c" / "Data" / "Daily.BDF", ";Backup type definition file\r\n" + strLines);
        mNode.objDefFile = std::make_unique<savecore::DefinitionFile>();
        mNode.objDefFile->Init(mManager, "Daily", mFs->GetFolder("C:\\Data"));
        ASSERT_FALSE(mNode.objDefFile->blnLoad());
    }
    savecore::DefinitionFile& Def() { return *mNode.objDefFile; }

    // Opens the window on the folder and runs fnAct in it; a window fnAct
    // leaves open is closed without its question.
    void Run(std::function<void(EditFolderAdvanced&)> fnAct) {
        WhenOpen<EditFolderAdvanced>(std::move(fnAct), [](EditFolderAdvanced& w) {
            ADD_FAILURE() << "the window stayed open";
            w.done(0);
        });
        EditFolderAdvanced objWindow;
        objWindow.ShowMe(mNode, "C:\\Data");
        EXPECT_FALSE(objWindow.isVisible());
    }

    savecore::BackupManager mManager;
    tarnwickbackup::FolderNode mNode;
};

TEST_F(EditFolderAdvancedTest,
       OpensWithTheFilesListsInTheirOrderAndClosesWithoutAskingWhenUnchanged) {
    LoadFolder(
        "ExcludeFamily\r\nSuppressPattern OLD*\r\nIncludeFiles *.ZIP\r\n"
        "IncludeFiles *.DOC\r\nIncludeFiles A*\r\n");
    for (const int lngWay : {0, 1, 2}) {
        Run([lngWay](EditFolderAdvanced& w) {
            EXPECT_EQ(Rows(*w.lvwFiles[1]), (std::vector<std::string>{"*.ZIP", "*.DOC", "A*"}));
            EXPECT_EQ(w.lvwFiles[2]->count(), 0) << "an absent list shows no rows";
            EXPECT_EQ(w.txtSuppressPattern->text(), "OLD*");
            EXPECT_EQ(w.lvwFiles[2]->accessibleName(),
                      "Do NOT backup files matching these wildcard names:");
            // Close button, Escape, the title bar's close box.
            if (lngWay == 0) w.cmdClose->click();
            if (lngWay == 1) PressKey(w, Qt::Key_Escape);
            if (lngWay == 2) w.close();
        });
    }
    EXPECT_TRUE(mUi->Prompts().empty());
    EXPECT_FALSE(Def().blnModified());
    EXPECT_FALSE(Def().colExcludeFiles().has_value());
}

TEST_F(EditFolderAdvancedTest, AddedNamesAreUpperCaseAndYesPutsThemIntoTheFile) {
    LoadFolder("IncludeFamily\r\nIncludeFiles *.DOC\r\n");
    mUi->QueueInputBoxAnswer("*.mp3");
    mUi->QueueInputBoxAnswer("*.tmp");
    mUi->QueueInputBoxAnswer("  bigfile.exe\t");
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    Run([this](EditFolderAdvanced& w) {
        PressKey(*w.lvwFiles[2], Qt::Key_Insert);
        EXPECT_EQ(Rows(*w.lvwFiles[2]), (std::vector<std::string>{"*.MP3"}));
        EXPECT_EQ(w.lvwFiles[2]->currentRow(), 0);
        // Enter in a list edits its row and does not press Close.
        PressKey(*w.lvwFiles[2], Qt::Key_Return);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Rows(*w.lvwFiles[2]), (std::vector<std::string>{"*.TMP"}));
        w.cmdAddFile[1]->click();
        EXPECT_EQ(Rows(*w.lvwFiles[1]), (std::vector<std::string>{"*.DOC", "BIGFILE.EXE"}));
        EXPECT_FALSE(Def().blnModified()) << "nothing is written before the question";
        w.cmdClose->click();
        EXPECT_EQ(LastPrompt().strPrompt, gpszASK);
        EXPECT_EQ(LastPrompt().lngStyle, ui::vbYesNoCancel + ui::vbQuestion + ui::vbDefaultButton3);
    });
    EXPECT_TRUE(Def().blnModified());
    EXPECT_EQ(Def().colIncludeFiles(), (PatternList{"*.DOC", "BIGFILE.EXE"}));
    EXPECT_EQ(Def().colExcludeFiles(), (PatternList{"*.TMP"}));
    EXPECT_EQ(Def().strSuppressPattern(), "") << "an unchanged pattern is not written";
    Def().Save();
    EXPECT_EQ(ReadFile(mTmp / "c" / "Data" / "Daily.BDF"),
              ";Backup type definition file\r\nIncludeFamily\r\nIncludeFiles *.DOC\r\n"
              "IncludeFiles BIGFILE.EXE\r\nExcludeFiles *.TMP\r\n");
}

TEST_F(EditFolderAdvancedTest, DeletingEveryIncludeRowLeavesAnEmptyListNotAnAbsentOne) {
    LoadFolder(
        "ExcludeFamily\r\nIncludeFiles *.DOC\r\nIncludeFiles *.XLS\r\nIncludeFiles *.PPT\r\n"
        "ExcludeFiles ~*\r\n");
    Run([this](EditFolderAdvanced& w) {
        // Without a selected row both buttons refuse and change nothing.
        w.cmdDeleteFile[1]->click();
        EXPECT_EQ(LastPrompt().strPrompt, "Click on the name to delete first.");
        EXPECT_EQ(LastPrompt().lngStyle, ui::vbCritical + ui::vbOKOnly);
        w.cmdEditFile[1]->click();
        EXPECT_EQ(LastPrompt().strPrompt, "Click on the name to change first.");
        EXPECT_EQ(w.lvwFiles[1]->count(), 3);

        w.lvwFiles[1]->setCurrentRow(1);
        w.cmdDeleteFile[1]->click();
        EXPECT_EQ(Rows(*w.lvwFiles[1]), (std::vector<std::string>{"*.DOC", "*.PPT"}));
        EXPECT_EQ(w.lvwFiles[1]->selectedItems().front()->text(), "*.PPT")
            << "the next row is selected";
        // The Delete key in the list deletes too, without asking.
        const auto nPrompts = mUi->Prompts().size();
        PressKey(*w.lvwFiles[1], Qt::Key_Delete);
        PressKey(*w.lvwFiles[1], Qt::Key_Delete);
        EXPECT_EQ(w.lvwFiles[1]->count(), 0);
        EXPECT_EQ(mUi->Prompts().size(), nPrompts);
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose->click();
    });
    ASSERT_TRUE(Def().colIncludeFiles().has_value());
    EXPECT_TRUE(Def().colIncludeFiles()->empty());
    EXPECT_EQ(Def().colExcludeFiles(), (PatternList{"~*"}));
    EXPECT_TRUE(Def().blnModified()) << "the folder editor counts the folder as changed";
}

TEST_F(EditFolderAdvancedTest, PatternChangesFollowTheAnswerToTheQuestion) {
    LoadFolder("IncludeFamily\r\nSuppressPattern OLD*\r\n");
    // No: the file keeps its pattern.
    mUi->QueueMsgBoxAnswer(ui::vbNo);
    Run([](EditFolderAdvanced& w) {
        w.txtSuppressPattern->setText("x*");
        w.cmdClose->click();
    });
    EXPECT_EQ(Def().strSuppressPattern(), "OLD*");
    EXPECT_FALSE(Def().blnModified());

    // Cancel keeps the window open with the change (the title bar's close
    // box asks the same); Yes then stores the pattern as typed.
    mUi->QueueMsgBoxAnswer(ui::vbCancel);
    mUi->QueueMsgBoxAnswer(ui::vbYes);
    Run([this](EditFolderAdvanced& w) {
        w.txtSuppressPattern->setText("Backup Old*");
        w.close();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.txtSuppressPattern->text(), "Backup Old*");
        EXPECT_EQ(LastPrompt().strPrompt, gpszASK);
        w.cmdClose->click();
    });
    EXPECT_EQ(Def().strSuppressPattern(), "Backup Old*");
    EXPECT_TRUE(Def().blnModified());
    EXPECT_FALSE(Def().colIncludeFiles().has_value()) << "unchanged lists are not written";
    EXPECT_FALSE(Def().colExcludeFiles().has_value());

    // A pattern the engine could not read keeps the window open on Yes.
    Run([this](EditFolderAdvanced& w) {
        w.txtSuppressPattern->setText("[Z-A]*");
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose->click();
        EXPECT_TRUE(w.isVisible());
        EXPECT_NE(LastPrompt().strPrompt.find("is not a valid wildcard name"), std::string::npos);
        EXPECT_EQ(Def().strSuppressPattern(), "Backup Old*");
        w.txtSuppressPattern->setText("[A-Z]*");
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose->click();
    });
    EXPECT_EQ(Def().strSuppressPattern(), "[A-Z]*");
    EXPECT_NO_THROW(Def().Save());
}

TEST_F(EditFolderAdvancedTest, RefusedNamesChangeNothingAndEditingReplacesTheRow) {
    LoadFolder("IncludeFamily\r\nExcludeFiles *.BAK\r\nExcludeFiles *.TMP\r\n");
    mUi->QueueInputBoxAnswer("*.bak");            // there already, in another case
    mUi->QueueInputBoxAnswer("A\r\nSkipFamily");  // would become an instruction line
    mUi->QueueInputBoxAnswer("[abc");             // not a wildcard the engine can read
    mUi->QueueInputBoxAnswer("*.TMP");            // editing *.BAK into its neighbour
    mUi->QueueInputBoxAnswer("");                 // Cancel
    mUi->QueueInputBoxAnswer("   ");              // blanks only: as Cancel
    mUi->QueueInputBoxAnswer("*.tmp");            // the same name: nothing changes
    mUi->QueueInputBoxAnswer("*.old");
    Run([this](EditFolderAdvanced& w) {
        w.cmdAddFile[2]->click();
        EXPECT_EQ(LastPrompt().strPrompt, "\"*.BAK\" is already in this list.");
        EXPECT_EQ(LastPrompt().lngStyle, ui::vbCritical + ui::vbOKOnly);
        EXPECT_EQ(w.lvwFiles[2]->currentRow(), 0) << "the existing row is shown";
        w.cmdAddFile[2]->click();
        EXPECT_EQ(LastPrompt().strPrompt, "A wildcard name cannot contain a line break.");
        w.cmdAddFile[2]->click();
        EXPECT_NE(LastPrompt().strPrompt.find("\"[ABC\" is not a valid wildcard name"),
                  std::string::npos);
        w.lvwFiles[2]->setCurrentRow(0);
        w.cmdEditFile[2]->click();
        EXPECT_EQ(LastPrompt().strPrompt, "\"*.TMP\" is already in this list.");

        w.lvwFiles[2]->setCurrentRow(1);
        for (int i = 0; i < 3; ++i) {
            w.cmdEditFile[2]->click();
            EXPECT_EQ(LastPrompt().strDefault, "*.TMP");
        }
        EXPECT_EQ(Rows(*w.lvwFiles[2]), (std::vector<std::string>{"*.BAK", "*.TMP"}));
        PressKey(*w.lvwFiles[2], Qt::Key_F2);
        EXPECT_EQ(Rows(*w.lvwFiles[2]), (std::vector<std::string>{"*.BAK", "*.OLD"}));
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose->click();
    });
    EXPECT_EQ(Def().colExcludeFiles(), (PatternList{"*.BAK", "*.OLD"}));
    EXPECT_EQ(mUi->PendingAnswers(), 0u);
}

}  // namespace
}  // namespace twtest
