#include <QFont>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "savecore/DriveProcessor.h"
#include "tarnwickbackup/EditDefFolders.h"
#include "tarnwickbackup/FolderImages.h"
#include "tarnwickbackup/FolderNode.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using tarnwickbackup::EditDefFolders;

class EditDefFoldersTest : public AppFixture {
  protected:
    // Opens the folder editor of type Daily on C: and runs fnAct in it; the
    // window is left to close itself (a still open one is closed, answering
    // No to the save question).
    void Edit(std::function<void(EditDefFolders&)> fnAct) {
        auto& form = StartForm();
        auto* manager = form.objManager();
        manager->strSetName("Daily");
        savecore::DriveProcessor* proc = nullptr;
        for (const auto& p : *manager->colDriveProcs())
            if (p->objDrive()->DriveLetter() == "C") proc = p.get();
        ASSERT_NE(proc, nullptr);
        WhenOpen<EditDefFolders>(
            [fnAct](EditDefFolders& w) {
                w.Form_Activate();
                fnAct(w);
            },
            [this](EditDefFolders& w) {
                mUi->QueueMsgBoxAnswer(ui::vbNo);
                w.cmdClose_Click();
                if (w.isVisible()) w.done(0);
            });
        EditDefFolders window;
        window.ShowMe(*proc, "C:  ");
    }

    static QTreeWidgetItem* Node(EditDefFolders& w, const std::string& strPath) {
        return TreeNode(*w.tvwFolders, QString::fromStdString(strPath));
    }

    // "image" or "image bold" of a node.
    static std::string Look(EditDefFolders& w, const std::string& strPath) {
        QTreeWidgetItem* node = Node(w, strPath);
        if (!node) return "<missing>";
        std::string s = node->data(0, tarnwickbackup::glngIMAGE_KEY_ROLE).toString().toStdString();
        return node->font(0).bold() ? s + " bold" : s;
    }

    static void Select(EditDefFolders& w, const std::string& strPath) {
        QTreeWidgetItem* node = Node(w, strPath);
        ASSERT_NE(node, nullptr) << strPath;
        w.tvwFolders->setCurrentItem(node);
    }

    std::string Bdf(const std::string& strFolder) {
        const auto file = mTmp / "c" / strFolder / "Daily.BDF";  // strFolder: "A/B"
        return std::filesystem::exists(file) ? ReadFile(file) : "<none>";
    }
};

TEST_F(EditDefFoldersTest, DriveWithoutInstructionsOpensAsExcludeAndSavesItOnClose) {
    BuildTree(mTmp / "c", "Docs/\nRecycler/\nRECYCLED/\nrecycled.not/\nb/\n");
    std::filesystem::create_directories(mTmp / "c" / "Docs" / "a\\b");  // no Windows name
    Edit([this](EditDefFolders& w) {
        QTreeWidgetItem* root = w.tvwFolders->topLevelItem(0);
        EXPECT_TRUE(root->isExpanded());
        std::string names;
        for (int i = 0; i < root->childCount(); ++i)
            names += root->child(i)->text(0).toStdString() + ",";
        EXPECT_EQ(names, "b,Docs,recycled.not,");
        EXPECT_EQ(Look(w, ""), "exclude");
        EXPECT_EQ(Look(w, "Docs"), "inherit");
        EXPECT_TRUE(w.blnChanged());
        Node(w, "Docs")->setExpanded(true);
        ASSERT_EQ(Node(w, "Docs")->childCount(), 1);
        w.tvwFolders->setCurrentItem(Node(w, "Docs")->child(0));
        w.cmdBackupInclude_Click();
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose_Click();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(Bdf("Docs/a\\b"), ";Backup type definition file\r\nIncludeFamily\r\n");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbYesNoCancel + ui::vbQuestion + ui::vbDefaultButton3);
    EXPECT_NE(Bdf(""), "<none>");
    EXPECT_NE(Bdf("").find("ExcludeFamily"), std::string::npos);
}

TEST_F(EditDefFoldersTest, FoldersAreReadTwoLevelsAheadAndOnlyOncePerOpening) {
    BuildTree(mTmp / "c", "Daily.BDF=IncludeFamily\nA/B/C/D/\n");
    Edit([this](EditDefFolders& w) {
        EXPECT_NE(Node(w, "A\\B"), nullptr);  // expand box of A is right
        EXPECT_EQ(Node(w, "A\\B\\C"), nullptr);
        Node(w, "A")->setExpanded(true);
        EXPECT_NE(Node(w, "A\\B\\C"), nullptr);
        EXPECT_EQ(Node(w, "A\\B\\C\\D"), nullptr);
        // A folder that appears later is not seen: A was read once.
        std::filesystem::create_directories(mTmp / "c" / "A" / "New");
        Node(w, "A")->setExpanded(false);
        Select(w, "A");
        w.cmdExpand_Click();
        EXPECT_TRUE(Node(w, "A")->isExpanded());
        EXPECT_EQ(Node(w, "A\\New"), nullptr);
        EXPECT_EQ(Look(w, "A\\B\\C"), "inherit bold");
        EXPECT_FALSE(w.blnChanged());
        w.cmdClose_Click();
        EXPECT_FALSE(w.isVisible());  // nothing changed: no question
    });
    EXPECT_TRUE(mUi->Prompts().empty());
}

TEST_F(EditDefFoldersTest, SkipSetsAsideInstructionsBelowAndLiftingItRestoresThem) {
    BuildTree(mTmp / "c", "Daily.BDF=ExcludeFamily\nA/B/Daily.BDF=IncludeFamily\nA/B/C/\nA/D/\n");
    Edit([this](EditDefFolders& w) {
        Node(w, "A")->setExpanded(true);
        Node(w, "A\\B")->setExpanded(true);
        EXPECT_EQ(Look(w, "A\\B"), "include bold");
        EXPECT_EQ(Look(w, "A\\B\\C"), "inherit bold");
        EXPECT_EQ(Look(w, "A\\D"), "inherit");
        Select(w, "A");
        w.cmdBackupSkip_Click();
        for (const char* p : {"A\\B", "A\\B\\C", "A\\D"}) EXPECT_EQ(Look(w, p), "inherit") << p;
        EXPECT_EQ(Look(w, "A"), "skip");
        // Nothing below a skip takes instructions.
        Select(w, "A\\B");
        w.cmdBackupInclude_Click();
        EXPECT_EQ(CountPrompts("You may not give instructions for a folder which has a parent"), 1);
        EXPECT_EQ(Look(w, "A\\B"), "inherit");
        // Lifting the skip before saving brings B's own instructions back.
        Select(w, "A");
        w.cmdBackupExclude_Click();
        EXPECT_EQ(Look(w, "A\\B"), "include bold");
        EXPECT_EQ(Look(w, "A\\B\\C"), "inherit bold");
        EXPECT_EQ(Look(w, "A\\D"), "inherit");
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose_Click();
    });
    EXPECT_EQ(Bdf("A/B"), "IncludeFamily");
    EXPECT_NE(Bdf("A").find("ExcludeFamily"), std::string::npos);

    // A skip that is saved deletes the instructions below it.
    mForm.reset();
    Edit([this](EditDefFolders& w) {
        Select(w, "A");
        w.cmdBackupSkip_Click();
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose_Click();
    });
    EXPECT_EQ(Bdf("A/B"), "<none>");
    EXPECT_NE(Bdf("A").find("SkipFamily"), std::string::npos);
}

TEST_F(EditDefFoldersTest, InheritRefusalsAndANewInstructionAfterInheritRewritesTheFile) {
    BuildTree(mTmp / "c", "Daily.BDF=IncludeFamily\nA/Daily.BDF=ExcludeFamily\nA/In/\nX/Y/\n");
    WriteFile(mTmp / "c" / "X" / "Daily.BDF", "ExcludeFamily\r\nIncludeFiles *.DOC\r\n");
    Edit([this](EditDefFolders& w) {
        EXPECT_EQ(Look(w, "A"), "exclude");
        EXPECT_EQ(Look(w, "A\\In"), "inherit");
        EXPECT_EQ(Look(w, "X"), "exclude bold");  // its own list names files to back up
        EXPECT_EQ(Look(w, "X\\Y"), "inherit");
        w.cmdBackupInherit_Click();  // the root
        Select(w, "A\\In");
        w.cmdBackupInherit_Click();
        EXPECT_EQ(CountPrompts("You may not set a top level folder to inherit"), 1);
        EXPECT_EQ(CountPrompts("This folder already inherits its instructions"), 1);
        EXPECT_FALSE(w.blnChanged());
        Select(w, "A");
        w.cmdBackupInherit_Click();
        EXPECT_EQ(Look(w, "A"), "inherit bold");
        EXPECT_EQ(Look(w, "A\\In"), "inherit bold");
        w.cmdBackupSkip_Click();
        EXPECT_EQ(Look(w, "A\\In"), "inherit");
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose_Click();
    });
    EXPECT_NE(Bdf("A").find("SkipFamily"), std::string::npos);
    EXPECT_EQ(Bdf("A").find("ExcludeFamily"), std::string::npos);
}

TEST_F(EditDefFoldersTest, DamagedFilesAndUnlistableFoldersAreAnnouncedOnceAndKeepTheTreeUsable) {
    BuildTree(mTmp / "c", "Daily.BDF=IncludeFamily\nBad/Daily.BDF=NONSENSE\nBad/Sub/\nA/B/C/\n");
    Edit([this](EditDefFolders& w) {
        const std::string strInvalid = "Invalid backup instructions in folder \"C:\\Bad\"";
        EXPECT_EQ(CountPrompts(strInvalid), 1);
        EXPECT_EQ(Look(w, "Bad"), "inherit bold");
        Node(w, "Bad")->setExpanded(true);
        Node(w, "Bad")->setExpanded(false);
        Node(w, "Bad")->setExpanded(true);
        EXPECT_EQ(CountPrompts(strInvalid), 1);
        // B vanishes before its subfolders are read.
        std::filesystem::remove_all(mTmp / "c" / "A" / "B");
        Node(w, "A")->setExpanded(true);
        EXPECT_EQ(CountPrompts("The following error occurred while looking for subfolders of "
                               "\"C:\\A\\B\": "),
                  1);
        QTreeWidgetItem* b = Node(w, "A\\B");
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(w.objRecord(b)->blnUnlisted);
        EXPECT_NE(b->data(0, Qt::AccessibleDescriptionRole)
                      .toString()
                      .toStdString()
                      .find("could not be read"),
                  std::string::npos);
        // The damaged file is the pending change: saving deletes it.
        EXPECT_TRUE(w.blnChanged());
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose_Click();
    });
    EXPECT_EQ(Bdf("Bad"), "<none>");
    EXPECT_EQ(Bdf(""), "IncludeFamily");
}

TEST_F(EditDefFoldersTest, ASaveThatFailsHalfWayKeepsTheWindowAndItsChanges) {
    // An instruction "file" that is a folder cannot be written.
    BuildTree(mTmp / "c", "A/\nB/Daily.BDF/\n");
    Edit([this](EditDefFolders& w) {
        Select(w, "A");
        w.cmdBackupInclude_Click();
        Select(w, "B");
        w.cmdBackupInclude_Click();
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdClose_Click();
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(w.blnChanged());
        const auto& report = LastPrompt();
        EXPECT_EQ(report.strTitle, "Error Detected");
        EXPECT_NE(report.strPrompt.find("C:\\B\\Daily.BDF"), std::string::npos);
        EXPECT_EQ(Look(w, "B"), "include bold");
        // Cancel keeps everything; No drops it.
        mUi->QueueMsgBoxAnswer(ui::vbCancel);
        w.cmdClose_Click();
        EXPECT_TRUE(w.isVisible());
        mUi->QueueMsgBoxAnswer(ui::vbNo);
        w.cmdClose_Click();
        EXPECT_FALSE(w.isVisible());
    });
    // What was saved before the failure is whole.
    EXPECT_NE(Bdf("").find("ExcludeFamily"), std::string::npos);
    EXPECT_NE(Bdf("A").find("IncludeFamily"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(mTmp / "c" / "B" / "Daily.BDF"));
}

TEST_F(EditDefFoldersTest, SpaceOfAFolderNeedsSavedInstructions) {
    BuildTree(mTmp / "c", "Daily.BDF=IncludeFamily\nA/f.txt=12345\nA/Sub/g.txt=123\n");
    Edit([this](EditDefFolders& w) {
        Select(w, "A");
        w.cmdBackupExclude_Click();
        mUi->QueueMsgBoxAnswer(ui::vbNo);
        w.cmdFolderSpace_Click();
        EXPECT_FALSE(mForm->objManager()->colDefFolders().has_value());
        EXPECT_EQ(Bdf("A"), "<none>");
        w.cmdBackupInclude_Click();
        mUi->QueueMsgBoxAnswer(ui::vbYes);
        w.cmdFolderSpace_Click();
        EXPECT_FALSE(w.blnChanged());
        EXPECT_NE(Bdf("A").find("IncludeFamily"), std::string::npos);
        const std::string strEnd = " needed to backup \"C:\\A\".";
        const std::string& strShown = LastPrompt().strPrompt;
        EXPECT_EQ(strShown.substr(strShown.size() - std::min(strShown.size(), strEnd.size())),
                  strEnd);
        ASSERT_TRUE(mForm->objManager()->colDefFolders().has_value());
        EXPECT_EQ(mForm->objManager()->colDefFolders()->size(), 1u);
        // Close reads Stop while counting; closing the window waits for the
        // stop and then closes.
        mUi->OnDoEvents([&w] {
            if (!w.blnCalculating()) return;
            EXPECT_EQ(w.cmdClose->text().toStdString(), "Stop");
            w.close();
        });
        w.cmdFolderSpace_Click();
        mUi->OnDoEvents(nullptr);
        EXPECT_EQ(CountPrompts("Calculation stopped."), 1);
        EXPECT_FALSE(w.isVisible());
    });
}

}  // namespace
}  // namespace twtest
