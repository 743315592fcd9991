#include <gtest/gtest.h>

#include <sstream>

#include "LibFixture.h"
#include "platform/fs/RtError.h"
#include "platform/ui/ListBoxControl.h"
#include "tarnwicklib/GlobalThings.h"
#include "tests/support/TreeBuilder.h"

namespace {

using tarnwick::GlobalThings;

TEST(GlobalThingsPaths, PartsSlashesAndJoins) {
    GlobalThings g;
    EXPECT_EQ(g.intPathLen("C:\\Dir\\Name.txt"), 7);
    EXPECT_EQ(g.intPathLen("C:Name.txt"), 2);
    EXPECT_EQ(g.intPathLen("a/b"), 2);
    EXPECT_EQ(g.intPathLen(""), 0);
    EXPECT_EQ(g.strBarePath("Name.txt"), "");
    EXPECT_EQ(g.strBareName("Name.txt"), "Name.txt");
    EXPECT_EQ(g.strBarePath("C:\\Dir\\Name.txt"), "C:\\Dir\\");
    EXPECT_EQ(g.strBareName("C:\\Dir\\"), "");
    // The file type position does not stop at folders.
    EXPECT_EQ(g.intFileTypePos("C:\\Dir.old\\Name"), 7);
    EXPECT_EQ(g.intFileTypePos("Name"), 5);
    EXPECT_EQ(g.intFileTypePos("a.tar.gz"), 6);
    EXPECT_EQ(g.intFileTypePos(""), 1);
    // Positions are 16-bit.
    EXPECT_EQ(twtest::FailureOf([&] { g.intPathLen(std::string(32767, 'a') + "\\b"); }).Number,
              platform::rt::kOverflow);
    EXPECT_EQ(twtest::FailureOf([&] { g.intFileTypePos(std::string(32767, 'a')); }).Number,
              platform::rt::kOverflow);
    EXPECT_EQ(g.intFileTypePos(std::string(32766, 'a')), 32767);

    EXPECT_EQ(g.strAddPathSlash("C:\\"), "C:\\");
    EXPECT_EQ(g.strAddPathSlash("C:\\Data"), "C:\\Data\\");
    EXPECT_EQ(g.strAddPathSlash(""), "\\");
    EXPECT_EQ(g.strAddPathSlash("C:/Data/"), "C:/Data/\\");
    EXPECT_EQ(g.strAddPath("C:\\Data", "\\Other\\f.txt"), "\\Other\\f.txt");
    EXPECT_EQ(g.strAddPath("C:\\Data", "D:f.txt"), "D:f.txt");
    EXPECT_EQ(g.strAddPath("C:\\Data", "Sub\\f.txt"), "C:\\Data\\Sub\\f.txt");
    EXPECT_EQ(g.strAddPath("C:\\Data\\", "f.txt"), "C:\\Data\\f.txt");
}

TEST(GlobalThingsPaths, RelativePath) {
    GlobalThings g;
    struct Row {
        const char* strAbsPath;
        const char* strAbsFile;
        const char* strResult;
    };
    const Row aRows[] = {
        {"C:\\Data", "C:\\Data\\Sub\\f.txt", "Sub\\f.txt"},
        {"C:\\Data\\A", "C:\\data\\B\\f.txt", "..\\B\\f.txt"},
        {"C:\\Data\\A\\B", "C:\\Data\\f.txt", "..\\..\\f.txt"},
        {"C:\\Data", "D:\\Data\\f.txt", "D:\\Data\\f.txt"},
        {"c:\\DATA\\", "C:\\Data\\Mixed\\F.TXT", "Mixed\\F.TXT"},
        {"C:\\Data", "C:\\Database\\f.txt", "..\\Database\\f.txt"},
        {"Data\\A", "Other\\f.txt", "Other\\f.txt"},
        {"C:\\Data", "C:\\Data", "..\\Data"},
    };
    for (const auto& row : aRows)
        EXPECT_EQ(g.strRelativePath(row.strAbsPath, row.strAbsFile), row.strResult)
            << row.strAbsPath << " / " << row.strAbsFile;
}

class GlobalThingsTest : public twtest::LibFixture {
  protected:
    // The report after ending fn's failure at Test.Top.
    std::string ReportOf(const std::function<void()>& fn) {
        try {
            fn();
        } catch (...) {
            mobjHandler->TopError(platform::CurrentErr(), "Test.Top");
            return LastPrompt();
        }
        return "no failure";
    }
    static std::string Report(const std::string& strDesc, const std::string& strRoutine) {
        return "The following error has occurred:\r\n\"" + strDesc +
               "\"\r\nin TarnwickLib10.GlobalThings." + strRoutine + "\r\ncalled from Test.Top";
    }

    void WriteIni(const std::string& strName, const std::string& strText) {
        twtest::WriteFile(mobjTemp / strName, strText);
    }

    GlobalThings g;
};

TEST_F(GlobalThingsTest, PrintIniDescriptionBreaksAtBlanksWithinSixtyOrFailsWithoutBounds) {
    const std::string w1(30, 'a'), w2(30, 'b'), w3(30, 'c');
    std::vector<std::string> astrLines(1);
    g.PrintIniDescription(astrLines, "DescCount", "Desc", w1 + " " + w2 + " " + w3);
    EXPECT_EQ(astrLines, (std::vector<std::string>{"", "Desc1=" + w1, "Desc2=" + w2 + " " + w3,
                                                   "DescCount=2"}));

    astrLines = {"", "Kept=1"};
    g.PrintIniDescription(astrLines, "N", "D", "");
    EXPECT_EQ(astrLines, (std::vector<std::string>{"", "Kept=1", "D1=", "N=1"}));

    // A word longer than the limit is a piece of its own.
    const std::string strLong(70, 'x');
    astrLines.assign(1, "");
    g.PrintIniDescription(astrLines, "N", "D", strLong + " " + w1 + " " + w2 + " " + w3);
    EXPECT_EQ(astrLines, (std::vector<std::string>{"", "D1=" + strLong, "D2=" + w1,
                                                   "D3=" + w2 + " " + w3, "N=3"}));

    // An array without bounds cannot take the pieces.
    std::vector<std::string> astrNone;
    EXPECT_EQ(ReportOf([&] { g.PrintIniDescription(astrNone, "N", "D", "text"); }),
              Report("Subscript out of range", "PrintIniDescription"));
}

TEST_F(GlobalThingsTest, DescriptionSurvivesTheRoundTripThroughAnIniFile) {
    std::string strText;
    for (int i = 0; i < 60; ++i) strText += std::string(1 + (i * 7) % 13, char('a' + i % 26)) + " ";
    strText += std::string(75, 'z') + " end";
    std::vector<std::string> astrLines{"[Folder]"};
    g.PrintIniDescription(astrLines, "DescCount", "Desc", strText);
    ASSERT_GT(astrLines.size(), 4u);
    std::string strFile;
    for (const auto& strLine : astrLines) strFile += strLine + "\r\n";
    WriteIni("desc.ini", strFile);

    EXPECT_EQ(g.strGetIniDescription("folder", "DescCount", "Desc", "C:\\desc.ini"), strText);
}

// Values are cut to the 150-byte buffer; the count converts as CInt does.
TEST_F(GlobalThingsTest, IniStringsAndDescriptionCounts) {
    WriteIni("c.ini",
             "[S]\nLong=" + std::string(200, 'v') +
                 "\nShort = hi \nD1=one\nD2=two\nD3=three\nD4=four\n"
                 "Half=2.5\nHalfUp=3.5\nBlank=  \nSpaced= 2 \nZero=0\nBig=40000\nWord=two\n");
    EXPECT_EQ(g.strGetIniString("S", "Long", "C:\\c.ini"), std::string(149, 'v'));
    EXPECT_EQ(g.strGetIniString("S", "short", "C:\\C.INI"), "hi");
    EXPECT_EQ(g.strGetIniString("S", "Missing", "C:\\c.ini"), "");
    EXPECT_EQ(g.strGetIniString("S", "Long", "C:\\none.ini"), "");

    EXPECT_EQ(g.strGetIniDescription("S", "Half", "D", "C:\\c.ini"), "one two");
    EXPECT_EQ(g.strGetIniDescription("S", "HalfUp", "D", "C:\\c.ini"), "one two three four");
    EXPECT_EQ(g.strGetIniDescription("S", "Spaced", "D", "C:\\c.ini"), "one two");
    EXPECT_EQ(g.strGetIniDescription("S", "Zero", "D", "C:\\c.ini"), "");
    for (const auto& [strKey, strDesc] :
         {std::pair<std::string, std::string>{"Blank", "Type mismatch"},
          {"Word", "Type mismatch"},
          {"Big", "Overflow"}})
        EXPECT_EQ(ReportOf([&] { g.strGetIniDescription("S", strKey, "D", "C:\\c.ini"); }),
                  Report(strDesc, "strGetIniDescription( C:\\c.ini)"));
}

class FakeListBox : public platform::ui::ListBoxControl {
  public:
    int32_t SetTabStops(const std::vector<int32_t>& alngStops) override {
        maCalls.push_back(alngStops);
        return mlngResult;
    }
    int32_t mlngResult = 1;
    std::vector<std::vector<int32_t>> maCalls;
};

TEST_F(GlobalThingsTest, TabStopsGoToTheListBoxAndARefusalFails) {
    FakeListBox objList;
    g.ListBoxSetTabStops(objList, {10, 2147483647});
    g.ListBoxSetTabStops(objList, {});
    EXPECT_EQ(objList.maCalls,
              (std::vector<std::vector<int32_t>>{{10, 2147483647}, std::vector<int32_t>{}}));

    EXPECT_EQ(ReportOf([&] {
                  g.ListBoxSetTabStops(objList, {10, 2147483648LL});
              }),
              Report("Overflow", "ListBoxSetTabStops"));
    EXPECT_EQ(objList.maCalls.size(), 2u);

    objList.mlngResult = 0;
    EXPECT_EQ(ReportOf([&] {
                  g.ListBoxSetTabStops(objList, {10, 20});
              }),
              Report("Unable to set list box tabs", "ListBoxSetTabStops"));
}

TEST_F(GlobalThingsTest, FileExistsNeverFails) {
    twtest::WriteFile(mobjTemp / "Data" / "here.txt", "x");
    EXPECT_TRUE(g.blnFileExists("C:\\Data\\here.txt"));
    EXPECT_FALSE(g.blnFileExists("C:\\Data\\gone.txt"));
    EXPECT_FALSE(g.blnFileExists("C:\\NoFolder\\gone.txt"));
    EXPECT_FALSE(g.blnFileExists("Q:\\x.txt"));
    EXPECT_FALSE(g.blnFileExists(""));
}

}  // namespace
