#include <gtest/gtest.h>

#include "platform/fs/FileSystem.h"
#include "platform/fs/PrivateProfile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace {

using platform::fs::GetPrivateProfileStringFromText;

std::string Get(const std::string& strText, const std::string& strSection,
                const std::string& strKey, std::size_t nSize = 150) {
    return GetPrivateProfileStringFromText(strSection, strKey, "dflt", nSize, strText);
}

TEST(PrivateProfile, NamesIgnoreCaseAndBlanksAroundKeysAndValuesGo) {
    const std::string strIni = "[General]\r\n  Name  =  Tarnwick Backup  \r\nEmpty=\r\n";
    EXPECT_EQ(Get(strIni, "general", "NAME"), "Tarnwick Backup");
    EXPECT_EQ(Get(strIni, " GENERAL ", "name"), "Tarnwick Backup");
    EXPECT_EQ(Get(strIni, "General", "Empty"), "");
}

TEST(PrivateProfile, MissingSectionOrKeyGivesTheDefault) {
    const std::string strIni = "[A]\nKey=1\n[B]\nOther=2\n";
    EXPECT_EQ(Get(strIni, "C", "Key"), "dflt");
    EXPECT_EQ(Get(strIni, "B", "Key"), "dflt");
    EXPECT_EQ(Get("", "A", "Key"), "dflt");
    EXPECT_EQ(GetPrivateProfileStringFromText("A", "None", "x  ", 10, strIni), "x");
}

TEST(PrivateProfile, OnePairOfMatchingQuotesIsStripped) {
    const std::string strIni =
        "[Q]\nD=\"a b\"\nS=' c '\nMixed=\"x'\nTwice=\"\"y\"\"\nOne=\"\nInner=a \"b\" c\n";
    EXPECT_EQ(Get(strIni, "Q", "D"), "a b");
    EXPECT_EQ(Get(strIni, "Q", "S"), " c ");
    EXPECT_EQ(Get(strIni, "Q", "Mixed"), "\"x'");
    EXPECT_EQ(Get(strIni, "Q", "Twice"), "\"y\"");
    EXPECT_EQ(Get(strIni, "Q", "One"), "\"");
    EXPECT_EQ(Get(strIni, "Q", "Inner"), "a \"b\" c");
}

TEST(PrivateProfile, CommentsAreWholeLinesOnly) {
    const std::string strIni = "[C]\n;Key=commented\n  ; Key=also\nKey=value ; not a comment\n";
    EXPECT_EQ(Get(strIni, "C", "Key"), "value ; not a comment");
    EXPECT_EQ(Get("[C]\n;Key=x\n", "C", "Key"), "dflt");
}

TEST(PrivateProfile, FirstKeyAndFirstSectionWin) {
    const std::string strIni = "[S]\nK=first\nk=second\n[T]\nK=t\n[s]\nK=third\nOnlyHere=x\n";
    EXPECT_EQ(Get(strIni, "S", "K"), "first");
    EXPECT_EQ(Get(strIni, "S", "OnlyHere"), "dflt");
    EXPECT_EQ(Get(strIni, "T", "K"), "t");
}

TEST(PrivateProfile, ValueIsCutToTheBufferWithoutSplittingACharacter) {
    const std::string strIni = "[S]\nK=abcdef\nU=ab\xC3\xA4z\n";
    EXPECT_EQ(Get(strIni, "S", "K", 4), "abc");
    EXPECT_EQ(Get(strIni, "S", "K", 1), "");
    EXPECT_EQ(Get(strIni, "S", "K", 0), "");
    EXPECT_EQ(Get(strIni, "S", "U", 4), "ab");
    EXPECT_EQ(Get(strIni, "S", "U", 5), "ab\xC3\xA4");
}

TEST(PrivateProfile, LineEndingsAndOddLines) {
    EXPECT_EQ(Get("\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K"), "v");
    EXPECT_EQ(Get("[S]\nK=last line without end", "S", "K"), "last line without end");
    EXPECT_EQ(Get("[S\nK=open section\n", "S", "K"), "open section");
    EXPECT_EQ(Get("[S]\nKeyOnly\n", "S", "KeyOnly"), "");
    EXPECT_EQ(Get("K=before any section\n[S]\n", "S", "K"), "dflt");
}

TEST(PrivateProfile, ReadsFilesThroughTheFileSystem) {
    twtest::TempDir objTemp;
    platform::fs::DriveSpec objDrive;
    objDrive.chLetter = 'C';
    objDrive.hostPath = objTemp.path();
    auto objFileSys = platform::fs::FileSystem::Create(platform::fs::DriveTable{{objDrive}});
    twtest::WriteFile(objTemp / "cfg" / "app.ini", "[Main]\r\nKey = from file\r\n");

    EXPECT_EQ(platform::fs::GetPrivateProfileString("main", "key", "d", 150, "C:\\cfg\\app.ini",
                                                    *objFileSys),
              "from file");
    EXPECT_EQ(platform::fs::GetPrivateProfileString("main", "key", "d", 150, "C:\\cfg\\none.ini",
                                                    *objFileSys),
              "d");
    EXPECT_EQ(
        platform::fs::GetPrivateProfileString("main", "key", "d", 150, "C:\\cfg", *objFileSys),
        "d");
}

}  // namespace
