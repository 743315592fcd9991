#include <gtest/gtest.h>

#include "platform/fs/FileSystem.h"
#include "platform/fs/PrivateProfile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace {

using platform::fs::GetPrivateProfileStringFromText;

TEST(PrivateProfile, ReadsValuesByTheWindowsRules) {
    const std::string strNames = "[General]\r\n  Name  =  Tarnwick Backup  \r\nEmpty=\r\n";
    const std::string strQuotes =
        "[Q]\nD=\"a b\"\nS=' c '\nMixed=\"x'\nTwice=\"\"y\"\"\nOne=\"\nInner=a \"b\" c\n";
    const std::string strComments =
        "[C]\n;Key=commented\n  ; Key=also\nKey=value ; not a comment\n";
    const std::string strTwice = "[S]\nK=first\nk=second\n[T]\nK=t\n[s]\nK=third\nOnlyHere=x\n";
    const std::string strCut = "[S]\nK=abcdef\nU=ab\xC3\xA4z\n";
    struct Case {
        std::string strText;
        const char* pszSection;
        const char* pszKey;
        std::size_t nSize;
        const char* pszValue;
    };
    const Case aCases[] = {
        // Names without letter case, blanks around keys and values dropped.
        {strNames, "general", "NAME", 150, "Tarnwick Backup"},
        {strNames, " GENERAL ", "name", 150, "Tarnwick Backup"},
        {strNames, "General", "Empty", 150, ""},
        {"[A]\nKey=1\n[B]\nOther=2\n", "B", "Key", 150, "dflt"},
        {"[A]\nKey=1\n[B]\nOther=2\n", "C", "Key", 150, "dflt"},
        {"", "A", "Key", 150, "dflt"},
        // One pair of matching quotes goes.
        {strQuotes, "Q", "D", 150, "a b"},
        {strQuotes, "Q", "S", 150, " c "},
        {strQuotes, "Q", "Mixed", 150, "\"x'"},
        {strQuotes, "Q", "Twice", 150, "\"y\""},
        {strQuotes, "Q", "One", 150, "\""},
        {strQuotes, "Q", "Inner", 150, "a \"b\" c"},
        // Comments are whole lines only.
        {strComments, "C", "Key", 150, "value ; not a comment"},
        {"[C]\n;Key=x\n", "C", "Key", 150, "dflt"},
        // The first key and the first section win.
        {strTwice, "S", "K", 150, "first"},
        {strTwice, "S", "OnlyHere", 150, "dflt"},
        {strTwice, "T", "K", 150, "t"},
        // Cut to the buffer, never inside a character.
        {strCut, "S", "K", 4, "abc"},
        {strCut, "S", "K", 1, ""},
        {strCut, "S", "K", 0, ""},
        {strCut, "S", "U", 4, "ab"},
        {strCut, "S", "U", 5, "ab\xC3\xA4"},
        // Line ends and odd lines.
        {"\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K", 150, "v"},
        {"[S]\nK=last line without end", "S", "K", 150, "last line without end"},
        {"[S\nK=open section\n", "S", "K", 150, "open section"},
        {"[S]\nKeyOnly\n", "S", "KeyOnly", 150, ""},
        {"K=before any section\n[S]\n", "S", "K", 150, "dflt"},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(
            GetPrivateProfileStringFromText(c.pszSection, c.pszKey, "dflt", c.nSize, c.strText),
            c.pszValue)
            << c.strText << " [" << c.pszSection << "] " << c.pszKey << " size " << c.nSize;
    EXPECT_EQ(GetPrivateProfileStringFromText("A", "None", "x  ", 10, "[A]\n"), "x");
}

TEST(PrivateProfile, ReadsFilesThroughTheFileSystem) {
    twtest::TempDir objTemp;
    platform::fs::DriveSpec objDrive;
    objDrive.chLetter = 'C';
    objDrive.hostPath = objTemp.path();
    auto objFileSys = platform::fs::FileSystem::Create(platform::fs::DriveTable{{objDrive}});
    twtest::WriteFile(objTemp / "cfg" / "app.ini", "[Main]\r\nKey = from file\r\n");
    auto get = [&](const std::string& strFile) {
        return platform::fs::GetPrivateProfileString("main", "key", "d", 150, strFile, *objFileSys);
    };
    EXPECT_EQ(get("C:\\cfg\\app.ini"), "from file");
    EXPECT_EQ(get("C:\\cfg\\none.ini"), "d");
    EXPECT_EQ(get("C:\\cfg"), "d");
}

}  // namespace
