#include <gtest/gtest.h>

#include <string>

#include "EngineFixture.h"

namespace savecore::test {
namespace {

class DefinitionFileTest : public EngineFixture {
  protected:
    void SetUp() override { Start(); }
};

constexpr const char* kHeader = ";Backup type definition file\r\n";

TEST_F(DefinitionFileTest, SaveThenLoadKeepsFlagsPatternAndListOrder) {
    std::filesystem::create_directories(Host('C') / "Data");
    DefinitionFile objOut = objDef("C:\\Data");
    objOut.Create();
    objOut.blnExcludeFamily(true);
    objOut.strSuppressPattern("tmp*");
    objOut.colIncludeFiles(PatternList{"report?.xls", "*.doc", ""});
    objOut.colExcludeFiles(PatternList{"~*"});
    objOut.Save();
    EXPECT_FALSE(objOut.blnModified());
    EXPECT_EQ(twtest::ReadFile(Host('C') / "Data/Weekly.BDF"),
              std::string(kHeader) +
                  "ExcludeFamily\r\nSuppressPattern tmp*\r\nIncludeFiles report?.xls\r\n"
                  "IncludeFiles *.doc\r\nIncludeFiles \r\nExcludeFiles ~*\r\n");

    DefinitionFile objIn = objDef("C:\\Data");
    ASSERT_FALSE(objIn.blnLoad()) << objIn.strMessage();
    EXPECT_EQ(objIn.lngBackupMode(), glngBACKUP_EXCLUDE);
    EXPECT_FALSE(objIn.blnIncludeFamily() || objIn.blnSkipFamily());
    EXPECT_EQ(objIn.strSuppressPattern(), "TMP*");
    EXPECT_EQ(objIn.colIncludeFiles(), (PatternList{"REPORT?.XLS", "*.DOC", ""}));
    EXPECT_EQ(objIn.colExcludeFiles(), (PatternList{"~*"}));
    EXPECT_FALSE(objIn.blnModified());
}

TEST_F(DefinitionFileTest, EmptyListsAndEmptyPatternAreNotWritten) {
    DefinitionFile objOut = objDef("C:\\");
    objOut.Create();
    objOut.blnIncludeFamily(true);
    objOut.colIncludeFiles(PatternList{});
    EXPECT_TRUE(objOut.blnFileFiltering());
    objOut.Save();
    twtest::WriteFile(Host('C') / "Weekly.BDF",
                      twtest::ReadFile(Host('C') / "Weekly.BDF") + "SuppressPattern\r\n");
    DefinitionFile objIn = objDef("C:\\");
    ASSERT_FALSE(objIn.blnLoad());
    EXPECT_FALSE(objIn.colIncludeFiles().has_value());
    EXPECT_FALSE(objIn.blnFileFiltering());
    EXPECT_EQ(objIn.strSuppressPattern(), "");
    objIn.Save();
    EXPECT_EQ(twtest::ReadFile(Host('C') / "Weekly.BDF"),
              std::string(kHeader) + "IncludeFamily\r\n");
}

TEST_F(DefinitionFileTest, LoadReportsEachKindOfFailure) {
    std::filesystem::create_directories(Host('C') / "Data");
    const std::string strPath = "C:\\Data\\Weekly.BDF";
    struct Case {
        const char* pszName;
        const char* pszFile;  // null: no file
        bool blnFailed;
        bool blnNotFound;
        std::string strMessage;      // empty: any non-empty text
        bool blnUnreadable = false;  // the file is there but cannot be opened
    };
    const Case aCases[] = {
        {"no file", nullptr, true, true, ""},
        {"header only", kHeader, false, false, ""},
        {"LF line ends", ";comment\nSkipFamily\nbad\n", true, false,
         "Unrecognized instruction in " + strPath},
        {"line of blanks", "IncludeFiles *.DOC\r\n   \r\n", true, false,
         "Unrecognized instruction in " + strPath},
        {"two family flags", "IncludeFamily\r\nSkipFamily\r\nIncludeFiles A\r\n", true, false,
         "Invalid combination of object properties in " + strPath},
        {"unreadable", "IncludeFamily\r\n", true, true, "Permission denied", true},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::filesystem::remove(Host('C') / "Data/Weekly.BDF");
        if (c.pszFile) twtest::WriteFile(Host('C') / "Data/Weekly.BDF", c.pszFile);
        mobjFileSys->SetFaultHook([&](platform::fs::FsOp op, const std::string&) {
            if (c.blnUnreadable && op == platform::fs::FsOp::OpenForRead)
                throw platform::RtError(platform::rt::kPermissionDenied);
        });
        DefinitionFile objIn = objDef("C:\\Data");
        objIn.blnIncludeFamily(true);  // must be cleared by the load
        EXPECT_EQ(objIn.blnLoad(), c.blnFailed);
        EXPECT_EQ(objIn.blnFileNotFound(), c.blnNotFound);
        EXPECT_EQ(objIn.blnFileUnreadable(), c.blnUnreadable);
        if (!c.strMessage.empty()) {
            EXPECT_EQ(objIn.strMessage(), c.strMessage);
        } else if (c.blnFailed) {
            EXPECT_FALSE(objIn.strMessage().empty());
        }
        // A failed or empty load leaves no instructions behind.
        EXPECT_FALSE(objIn.blnIncludeFamily() || objIn.blnExcludeFamily() || objIn.blnSkipFamily());
        EXPECT_FALSE(objIn.colIncludeFiles().has_value());
        EXPECT_EQ(objIn.lngBackupMode(), glngBACKUP_SKIP);
        EXPECT_FALSE(objIn.blnModified());
    }
}

TEST_F(DefinitionFileTest, RefusedSaveLeavesTheOldFile) {
    const std::string strOld = std::string(kHeader) + "SkipFamily\r\n";
    twtest::WriteFile(Host('C') / "Weekly.BDF", strOld);

    DefinitionFile objTwoFlags = objDef("C:\\");
    objTwoFlags.Create();
    objTwoFlags.blnIncludeFamily(true);
    objTwoFlags.blnExcludeFamily(true);
    const EngineFailure f = objFailureOf([&] { objTwoFlags.Save(); });
    EXPECT_EQ(f.lngNumber, tarnwick::lngPassThru);
    EXPECT_EQ(f.strDesc, "Invalid combination of object properties in C:\\Weekly.BDF");
    ASSERT_EQ(f.astrRoutines.size(), 1u);
    EXPECT_EQ(f.astrRoutines[0], "SaveCore30.DefinitionFile.Save(C:\\Weekly.BDF)");
    EXPECT_TRUE(objTwoFlags.blnModified());

    // A line end inside a pattern would smuggle a line of its own into the file.
    for (const char* pszEnd : {"\r", "\n"}) {
        DefinitionFile objCr = objDef("C:\\");
        objCr.Create();
        objCr.blnIncludeFamily(true);
        objCr.colExcludeFiles(PatternList{std::string("*.TMP") + pszEnd + "SkipFamily"});
        const EngineFailure g = objFailureOf([&] { objCr.Save(); });
        EXPECT_NE(g.strDesc.find("Invalid character in pattern"), std::string::npos) << g.strDesc;
    }

    EXPECT_EQ(twtest::ReadTree(Host('C')),
              "Weekly.BDF=" + strOld + "\n");  // unchanged, and nothing beside it
}

TEST_F(DefinitionFileTest, BackupModeLetLeavesOneFlagOrRefuses) {
    DefinitionFile objDefFile = objDef("C:\\");
    for (int32_t lngMode : {0, 1, 2, 3, -1}) {
        objDefFile.Create();
        objDefFile.blnSkipFamily(true);
        objDefFile.blnIncludeFamily(true);
        EXPECT_EQ(objDefFile.lngBackupMode(), glngBACKUP_INCLUDE);
        objDefFile.lngBackupMode(0);
        objDefFile.Save();  // blnModified false again
        if (lngMode <= 2 && lngMode >= 0) {
            objDefFile.lngBackupMode(lngMode);
            EXPECT_EQ(objDefFile.lngBackupMode(), lngMode);
            EXPECT_EQ(objDefFile.blnIncludeFamily() + objDefFile.blnExcludeFamily() +
                          objDefFile.blnSkipFamily(),
                      1);
            EXPECT_TRUE(objDefFile.blnModified());
            continue;
        }
        const EngineFailure f = objFailureOf([&] { objDefFile.lngBackupMode(lngMode); });
        EXPECT_EQ(f.strDesc, "Invalid backup mode " + std::to_string(lngMode));
        EXPECT_EQ(f.astrRoutines,
                  std::vector<std::string>{"SaveCore30.DefinitionFile.lngBackupMode(let)"});
        EXPECT_FALSE(objDefFile.blnIncludeFamily() || objDefFile.blnExcludeFamily() ||
                     objDefFile.blnSkipFamily());
        EXPECT_FALSE(objDefFile.blnModified());
    }
}

TEST_F(DefinitionFileTest, OnlyInstructionChangesMarkModified) {
    std::filesystem::create_directories(Host('C') / "Data");
    DefinitionFile objDefFile = objDef("C:\\");
    objDefFile.Create();
    objDefFile.strSetName("Daily");
    objDefFile.objFolder(mobjFileSys->GetFolder("C:\\Data"));
    objDefFile.colIncludeFiles(PatternList{"A"});
    objDefFile.Save();
    objDefFile.colIncludeFiles()->push_back("B");
    EXPECT_FALSE(objDefFile.blnModified());
    EXPECT_TRUE(std::filesystem::exists(Host('C') / "Data/Daily.BDF"));
    objDefFile.strSuppressPattern("X");
    EXPECT_TRUE(objDefFile.blnModified());
    objDefFile.Create();
    EXPECT_FALSE(objDefFile.blnModified());
    objDefFile.colExcludeFiles(std::nullopt);
    EXPECT_TRUE(objDefFile.blnModified());
}

TEST_F(DefinitionFileTest, NamesRoundTripInWindows1252AndUtf8) {
    DefinitionFile objOut = objDef("C:\\");
    objOut.Create();
    objOut.colIncludeFiles(PatternList{"\xC3\xA9t\xC3\xA9*"});  // été*
    objOut.Save();
    EXPECT_EQ(twtest::ReadFile(Host('C') / "Weekly.BDF"),
              std::string(kHeader) + "IncludeFiles \xE9t\xE9*\r\n");
    DefinitionFile objIn = objDef("C:\\");
    ASSERT_FALSE(objIn.blnLoad());
    EXPECT_EQ(objIn.colIncludeFiles(), (PatternList{"\xC3\x89T\xC3\x89*"}));

    objOut.colIncludeFiles(PatternList{"\xD0\xBF\xD1\x80\xC3\xA9*"});  // прé*
    objOut.Save();
    EXPECT_EQ(twtest::ReadFile(Host('C') / "Weekly.BDF"),
              std::string(kHeader) + "IncludeFiles \xD0\xBF\xD1\x80\xC3\xA9*\r\n");
    ASSERT_FALSE(objIn.blnLoad());
    EXPECT_EQ(objIn.colIncludeFiles(), (PatternList{"\xD0\x9F\xD0\xA0\xC3\x89*"}));

    // Written on Windows, in lower case.
    twtest::WriteFile(Host('C') / "Weekly.BDF", "excludefiles caf\xE9\x9c*\r\n");
    ASSERT_FALSE(objIn.blnLoad());
    EXPECT_EQ(objIn.colExcludeFiles(), (PatternList{"CAF\xC3\x89\xC5\x92*"}));  // CAFÉŒ*
}

TEST_F(DefinitionFileTest, DeleteRemovesTheFileOrTellsTheUser) {
    std::filesystem::create_directories(Host('C') / "Data");
    twtest::WriteFile(Host('C') / "Data/Weekly.BDF", std::string(kHeader) + "SkipFamily\r\n");
    DefinitionFile objDefFile = objDef("C:\\Data");
    ASSERT_FALSE(objDefFile.blnLoad());
    objDefFile.Delete();
    EXPECT_FALSE(std::filesystem::exists(Host('C') / "Data/Weekly.BDF"));
    EXPECT_TRUE(mobjUi->Prompts().empty());

    objDefFile.Delete();  // nothing left to delete
    ASSERT_EQ(mobjUi->Prompts().size(), 1u);
    const auto& p = mobjUi->Prompts()[0];
    EXPECT_EQ(p.strPrompt, "Unable to delete instruction file \"C:\\Data\\Weekly.BDF\".");
    EXPECT_EQ(p.lngStyle, platform::ui::vbCritical + platform::ui::vbOKOnly);
    EXPECT_EQ(p.strTitle, "Tarnwick Backup");
    EXPECT_TRUE(objDefFile.blnSkipFamily());
    EXPECT_EQ(mobjHandler->intRoutineCount(), 0);
}

}  // namespace
}  // namespace savecore::test
