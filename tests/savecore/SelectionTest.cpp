#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "tests/support/LocalTime.h"

namespace savecore {

// Starts a run without walking anything, so datStartTime is set.
class BackupManagerTestAccess {
  public:
    static void StartRun(BackupManager& objManager, const std::string& strSetName) {
        objManager.StartRun(strSetName, true);
    }
};

namespace test {
namespace {

class SelectionTest : public EngineFixture {
  protected:
    void SetUp() override { Start(); }
};

// What a walk decides for one folder, from its instruction file alone.
struct FolderDecision {
    bool blnVisited = false;
    bool blnPassedDown = false;
    std::string strSelected;  // names of the selected files, in listing order sorted
};

// blnEmptyIncludeList: an editor made the include list present but empty
// (no file can say that).
FolderDecision objDecide(DefinitionFile& objDefFile, bool blnIsRoot, bool blnInherited,
                         bool blnEmptyIncludeList) {
    FolderDecision d;
    const bool blnNoFile = objDefFile.blnLoad();
    EXPECT_TRUE(!blnNoFile || objDefFile.blnFileNotFound()) << objDefFile.strMessage();
    if (blnNoFile) objDefFile.Create();
    if (blnEmptyIncludeList) objDefFile.colIncludeFiles(PatternList{});
    d.blnVisited =
        !(objDefFile.blnSkipFamily() || objDefFile.blnSuppressFolder() || (blnIsRoot && blnNoFile));
    if (!d.blnVisited) return d;
    d.blnPassedDown = objDefFile.blnExcludeFamily()   ? false
                      : objDefFile.blnIncludeFamily() ? true
                                                      : blnInherited;
    if (objDefFile.blnFilesImpossible(d.blnPassedDown)) return d;
    std::vector<std::string> astrNames;
    for (const auto& objFile : objDefFile.objFolder()->Files())
        if (!(objFile->Attributes() & platform::fs::vbDirectory) &&
            objDefFile.blnCheckFile(*objFile))
            astrNames.push_back(objFile->Name());
    std::sort(astrNames.begin(), astrNames.end());
    for (const auto& strName : astrNames)
        d.strSelected += (d.strSelected.empty() ? "" : ",") + strName;
    return d;
}

TEST_F(SelectionTest, EachKindOfFolderSelectsAsSummarised) {
    const std::string strFiles =
        "a.doc\nB.TXT\nReport1.xls\nREPORT12.XLS\npagefile.sys\nWin386.swp\nSub/\n";
    struct Row {
        const char* pszCase;
        const char* pszFile;  // null: the folder has no instruction file
        bool blnRoot;
        bool blnInherited;
        bool blnVisited;
        bool blnPassedDown;
        const char* pszSelected;
        bool blnEmptyIncludeList = false;
    };
    const Row aRows[] = {
        {"root without file", nullptr, true, false, false, false, ""},
        {"root IncludeFamily", "IncludeFamily", true, false, true, true,
         "B.TXT,REPORT12.XLS,Report1.xls,Weekly.BDF,a.doc"},
        {"no file, inherits include", nullptr, false, true, true, true,
         "B.TXT,REPORT12.XLS,Report1.xls,a.doc"},
        {"no file, inherits exclude", nullptr, false, false, true, false, ""},
        {"IncludeFamily", "IncludeFamily", false, false, true, true,
         "B.TXT,REPORT12.XLS,Report1.xls,Weekly.BDF,a.doc"},
        {"IncludeFamily, include list", "IncludeFamily\r\nIncludeFiles *.doc", false, false, true,
         true, "a.doc"},
        {"IncludeFamily, empty include list", "IncludeFamily", false, false, true, true, "", true},
        {"IncludeFamily, suppressed", "IncludeFamily\r\nSuppressPattern case*", false, true, false,
         false, ""},
        {"ExcludeFamily, no list", "ExcludeFamily", false, true, true, false, ""},
        {"ExcludeFamily, exclude list only",
         "ExcludeFamily\r\nExcludeFiles *.TXT\r\nExcludeFiles *.BDF", false, true, true, false,
         "REPORT12.XLS,Report1.xls,a.doc"},
        {"ExcludeFamily, include and exclude",
         "ExcludeFamily\r\nIncludeFiles REPORT?.XLS\r\nIncludeFiles *.DOC\r\nExcludeFiles A*",
         false, true, true, false, "Report1.xls"},
        {"SkipFamily", "SkipFamily\r\nIncludeFiles *", false, true, false, false, ""},
        {"swap files, even when listed",
         "IncludeFamily\r\nIncludeFiles *.SYS\r\nIncludeFiles *.SWP", false, false, true, true, ""},
        {"lists only, inherits include", "IncludeFiles *.TXT", false, true, true, true, "B.TXT"},
        {"lists only, inherits exclude", "IncludeFiles *.TXT", false, false, true, false, ""},
        {"pattern only, not matching", "SuppressPattern TMP*", false, true, true, true,
         "B.TXT,REPORT12.XLS,Report1.xls,Weekly.BDF,a.doc"},
    };
    int intCase = 0;
    for (const Row& r : aRows) {
        SCOPED_TRACE(r.pszCase);
        const std::string strRel = r.blnRoot ? "" : "Case" + std::to_string(++intCase) + "/";
        std::filesystem::remove(Host('C') / "Weekly.BDF");
        twtest::BuildTree(Host('C') / strRel, strFiles);
        if (r.pszFile) twtest::WriteFile(Host('C') / (strRel + "Weekly.BDF"), r.pszFile);
        const std::string strWin = r.blnRoot ? "C:\\" : "C:\\Case" + std::to_string(intCase);
        DefinitionFile objDefFile = objDef(strWin);
        const FolderDecision d =
            objDecide(objDefFile, r.blnRoot, r.blnInherited, r.blnEmptyIncludeList);
        EXPECT_EQ(d.blnVisited, r.blnVisited);
        EXPECT_EQ(d.blnPassedDown, r.blnPassedDown);
        EXPECT_EQ(d.strSelected, r.pszSelected);
    }
}

TEST_F(SelectionTest, SuppressPatternMatchesTheFolderOwnName) {
    twtest::BuildTree(Host('C'), "TmpWork/\nWork/\n\xC3\xA9t\xC3\xA9/\n");
    struct Case {
        const char* pszFolder;
        const char* pszPattern;
        bool blnSuppressed;
    };
    const Case aCases[] = {
        {"C:\\TmpWork", "TMP*", true},
        {"C:\\Work", "TMP*", false},
        {"C:\\TmpWork", "", false},
        {"C:\\", "*", true},
        {"C:\\", "?*", false},
        {"C:\\\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", true},
        {"C:\\\xC3\xA9t\xC3\xA9", "???", true},
    };
    for (const Case& c : aCases) {
        DefinitionFile objDefFile = objDef(c.pszFolder);
        objDefFile.Create();
        objDefFile.strSuppressPattern(c.pszPattern);
        EXPECT_EQ(objDefFile.blnSuppressFolder(), c.blnSuppressed)
            << c.pszFolder << " / " << c.pszPattern;
    }
}

TEST_F(SelectionTest, MalformedPatternFailsNamingTheInstructionFile) {
    twtest::BuildTree(Host('C'), "Data/a.txt\n");
    DefinitionFile objDefFile = objDef("C:\\Data");
    objDefFile.Create();
    objDefFile.colExcludeFiles(PatternList{"*.BAK", "[AB"});
    const EngineFailure f =
        objFailureOf([&] { objDefFile.blnCheckFile(*mobjFileSys->GetFile("C:\\Data\\a.txt")); });
    EXPECT_EQ(f.strDesc, "Invalid pattern string \"[AB\" in C:\\Data\\Weekly.BDF");
    EXPECT_EQ(f.astrRoutines, std::vector<std::string>{"SaveCore30.DefinitionFile.blnCheckFile"});

    objDefFile.strSuppressPattern("X[Z-A]");
    const EngineFailure g = objFailureOf([&] { objDefFile.blnSuppressFolder(); });
    EXPECT_EQ(g.strDesc, "Invalid pattern string \"X[Z-A]\" in C:\\Data\\Weekly.BDF");
    EXPECT_EQ(g.astrRoutines,
              std::vector<std::string>{"SaveCore30.DefinitionFile.blnSuppressFolder"});
}

TEST_F(SelectionTest, IncrementalModeCountsCalendarDaysFromTheRunStart) {
    twtest::BuildTree(Host('C'), "Data/today.txt\nData/yesterday.txt\nData/later.txt\n");
    twtest::SetModified(Host('C') / "Data/today.txt", twtest::LocalTime(2026, 3, 10, 0, 1));
    twtest::SetModified(Host('C') / "Data/yesterday.txt", twtest::LocalTime(2026, 3, 9, 23, 59));
    twtest::SetModified(Host('C') / "Data/later.txt", twtest::LocalTime(2026, 3, 12, 9, 0));
    for (const char* psz :
         {"C:\\Data\\today.txt", "C:\\Data\\yesterday.txt", "C:\\Data\\later.txt"}) {
        auto objFile = mobjFileSys->GetFile(psz);
        objFile->SetAttributes(objFile->Attributes() & ~platform::fs::vbArchive);
    }
    mobjManager.SetClock([] { return twtest::LocalTime(2026, 3, 10, 0, 5); });
    BackupManagerTestAccess::StartRun(mobjManager, "Weekly");
    mobjManager.blnIncrementalMode(true);
    mobjManager.lngDaysSinceLastMod(0);

    DefinitionFile objDefFile = objDef("C:\\Data");
    objDefFile.Create();
    auto Selected = [&](const char* pszName) {
        return objDefFile.blnCheckFile(*mobjFileSys->GetFile(std::string("C:\\Data\\") + pszName));
    };
    EXPECT_TRUE(Selected("today.txt"));
    EXPECT_FALSE(Selected("yesterday.txt"));
    EXPECT_TRUE(Selected("later.txt"));
    mobjManager.lngDaysSinceLastMod(1);
    EXPECT_TRUE(Selected("yesterday.txt"));

    mobjManager.lngDaysSinceLastMod(0);
    mobjManager.blnIncludeArchiveFlag(true);
    EXPECT_FALSE(Selected("yesterday.txt"));
    auto objOld = mobjFileSys->GetFile("C:\\Data\\yesterday.txt");
    objOld->SetAttributes(objOld->Attributes() | platform::fs::vbArchive);
    EXPECT_TRUE(Selected("yesterday.txt"));

    // The lists still apply to what the filter lets through.
    objDefFile.colExcludeFiles(PatternList{"YESTERDAY.*"});
    EXPECT_FALSE(Selected("yesterday.txt"));
    mobjManager.blnIncrementalMode(false);
    EXPECT_FALSE(Selected("yesterday.txt"));
    EXPECT_TRUE(Selected("today.txt"));
}

}  // namespace
}  // namespace test
}  // namespace savecore
