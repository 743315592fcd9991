#include <QPushButton>
#include <QTreeWidget>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "savecore/BackupManager.h"
#include "tarnwickbackup/BackupDefList.h"
#include "tarnwickbackup/FolderImages.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"

namespace twtest {
namespace {

using tarnwickbackup::BackupDefList;

struct Row {
    std::string strFolder, strInstruction, strFiltering, strImage;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << "{" << r.strFolder << " | " << r.strInstruction << " | " << r.strFiltering << " | "
              << r.strImage << "}";
}

std::vector<Row> Rows(const QTreeWidget& objList) {
    std::vector<Row> a;
    for (int i = 0; i < objList.topLevelItemCount(); ++i) {
        const QTreeWidgetItem& r = *objList.topLevelItem(i);
        a.push_back({r.text(0).toStdString(), r.text(1).toStdString(), r.text(2).toStdString(),
                     r.data(0, tarnwickbackup::glngIMAGE_KEY_ROLE).toString().toStdString()});
    }
    return a;
}

std::string Lines(const std::string& strLines) {
    return ";Backup type definition file\r\n" + strLines;
}

class BackupDefListTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        for (const auto& [strRel, strLines] : std::vector<std::pair<std::string, std::string>>{
                 {"", "IncludeFamily\r\n"},
                 {"Data", "ExcludeFamily\r\nIncludeFiles *.DOC\r\n"},
                 {"Data/Old", "SkipFamily\r\n"},
                 {"Data/Work", "IncludeFamily\r\n"},
                 {"Mail", "IncludeFamily\r\nExcludeFiles *.TMP\r\n"},
                 {"Notes", "ExcludeFiles *.BAK\r\n"},
                 {"Temp", "ExcludeFamily\r\nSuppressPattern TEMP\r\n"},
                 {"Work2", "IncludeFamily\r\n"},
                 {"Gone", "IncludeFamily\r\n"}})
            WriteFile(mTmp / "c" / strRel / "Daily.BDF", Lines(strLines));
        BuildTree(mTmp / "c", "Data/a.doc\nWork2/b.txt\n");
        mManager.Init(mFs);
        mManager.LoadDrives();
    }
    void TearDown() override {
        mHandler->ClearErrors();
        AppFixture::TearDown();
    }

    // Opens the listing and hands its rows to fnCheck while it is open.
    std::vector<Row> ShowList(std::function<void(BackupDefList&)> fnCheck = nullptr) {
        std::vector<Row> aRows;
        bool blnOpened = false;
        WhenOpen<BackupDefList>([&](BackupDefList& w) {
            blnOpened = true;
            aRows = Rows(*w.lvwFiles);
            if (fnCheck) fnCheck(w);
            w.cmdClose->click();
        });
        BackupDefList objList;
        objList.ShowMe(mManager);
        EXPECT_TRUE(blnOpened);
        EXPECT_FALSE(objList.isVisible());
        return aRows;
    }

    savecore::BackupManager mManager;
};

TEST_F(BackupDefListTest, ListsTheFilesOfTheLastRunInEngineOrderWithWhatEachHoldsNow) {
    {
        // Before any run there is nothing to show: ShowMe returns at once.
        BackupDefList objList;
        objList.ShowMe(mManager);
        EXPECT_FALSE(objList.isVisible());
        EXPECT_EQ(objList.lvwFiles->topLevelItemCount(), 0);
    }
    ASSERT_FALSE(mManager.blnProcess("Daily", "", true));
    ASSERT_TRUE(mManager.colDefFolders().has_value());
    std::vector<std::string> astrEngine;
    for (const auto& f : *mManager.colDefFolders()) astrEngine.push_back(f->Path());

    // Changed since the run: a file and a folder deleted, one damaged, one with a pattern
    // the engine cannot read.
    std::filesystem::remove(mTmp / "c" / "Work2" / "Daily.BDF");
    std::filesystem::remove_all(mTmp / "c" / "Gone");
    WriteFile(mTmp / "c" / "Mail" / "Daily.BDF", "Nonsense\r\n");
    WriteFile(mTmp / "c" / "Data" / "Work" / "Daily.BDF",
              Lines("IncludeFamily\r\nSuppressPattern [Z-A]\r\n"));

    const std::vector<Row> aRows = ShowList([](BackupDefList& w) {
        // Sorting would lose the engine's order.
        EXPECT_FALSE(w.lvwFiles->isSortingEnabled());
        // Images carry a spoken text; a "??" row says why.
        const QTreeWidgetItem& root = *w.lvwFiles->topLevelItem(0);
        EXPECT_FALSE(root.icon(0).isNull());
        EXPECT_EQ(root.data(0, Qt::AccessibleDescriptionRole).toString(), "include");
        const auto found = w.lvwFiles->findItems("C:\\Work2", Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found.front()->toolTip(1), "File not found");
        const auto bad = w.lvwFiles->findItems("C:\\Data\\Work", Qt::MatchExactly, 0);
        ASSERT_EQ(bad.size(), 1);
        EXPECT_NE(bad.front()->toolTip(1).indexOf("[Z-A]"), -1);
    });
    std::vector<std::string> astrShown;
    for (const Row& r : aRows) astrShown.push_back(r.strFolder);
    EXPECT_EQ(astrShown, astrEngine) << "rows in the order the engine met the folders";
    const std::vector<Row> aExpected = {
        {"C:\\", "Backup", "No", "include"},
        {"C:\\Data", "Do NOT backup", "Yes", "exclude"},
        {"C:\\Data\\Old", "Do NOT backup, no overrides", "No", "skip"},
        {"C:\\Data\\Work", "??", "", ""},
        {"C:\\Gone", "??", "", ""},
        {"C:\\Mail", "??", "", ""},
        {"C:\\Notes", "", "Yes", ""},
        {"C:\\Temp", "Suppress", "No", "skip"},
        {"C:\\Work2", "??", "", ""},
    };
    std::vector<Row> aSorted = aRows;
    std::sort(aSorted.begin(), aSorted.end(),
              [](const Row& a, const Row& b) { return a.strFolder < b.strFolder; });
    EXPECT_EQ(aSorted, aExpected);
    EXPECT_TRUE(mUi->Prompts().empty());
    EXPECT_TRUE(mHandler->strErrorDesc().empty()) << mHandler->strErrorDesc();
}

TEST_F(BackupDefListTest, AfterAFolderCalculationOnlyTheFilesBelowThatFolderAreListed) {
    ASSERT_FALSE(mManager.blnProcess("Daily", "", true));
    ASSERT_TRUE(mManager.colDriveProcs().has_value());
    savecore::DriveProcessor& objProcC = *mManager.colDriveProcs()->front();
    ASSERT_EQ(objProcC.objDrive()->DriveLetter(), "C");
    ASSERT_FALSE(mManager.blnFolderSpace("Daily", objProcC, mFs->GetFolder("C:\\Data"), true));
    std::vector<std::string> astrShown;
    for (const Row& r : ShowList()) astrShown.push_back(r.strFolder);
    EXPECT_EQ(astrShown, (std::vector<std::string>{"C:\\Data", "C:\\Data\\Old", "C:\\Data\\Work"}));
    // A second opening reads the files again.
    WriteFile(mTmp / "c" / "Data" / "Daily.BDF", Lines("IncludeFamily\r\n"));
    EXPECT_EQ(ShowList().front(), (Row{"C:\\Data", "Backup", "No", "include"}));
}

}  // namespace
}  // namespace twtest
