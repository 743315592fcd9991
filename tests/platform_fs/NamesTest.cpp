// Host names to Windows names and back, folding, wildcards and Windows paths.
#include <gtest/gtest.h>

#include "platform/fs/HostNames.h"
#include "platform/fs/RtError.h"
#include "platform/fs/WinPath.h"

using platform::RtError;
using platform::fs::HostNames;
using platform::fs::WinPath;

TEST(HostNames, UnrepresentableNamesMapIntoPrivateUseAndBack) {
    const std::string names[] = {"plain.txt",    "back\\slash",  "bad\xff\xfe",
                                 "cut\xc3",      "\xe9t\xe9",    "caf\xc3\xa9",
                                 "\xef\x81\x9c", "\xef\x88\x80", "q?*:<>|\".txt",
                                 "\xed\xa0\x80", "\xc0\xaf",     "\xf4\x90\x80\x80"};
    for (const std::string& host : names) {
        const std::string win = HostNames::ToWindowsName(host);
        EXPECT_EQ(win.find('\\'), std::string::npos) << host;
        EXPECT_EQ(HostNames::ToHostName(win), host) << host;
    }
    EXPECT_EQ(HostNames::ToWindowsName("a\\b"),
              "a\xef\x81\x9c"
              "b");                                                 // U+F05C
    EXPECT_EQ(HostNames::ToWindowsName("x\xff"), "x\xef\x8b\xbf");  // U+F2FF
    // A literal stand-in character on the host is escaped, not taken as a backslash.
    EXPECT_NE(HostNames::ToWindowsName("\xef\x81\x9c"), "\xef\x81\x9c");
    EXPECT_EQ(HostNames::ToWindowsName("caf\xc3\xa9"), "caf\xc3\xa9");
}

TEST(HostNames, FoldsAsciiLatin1AndBeyond) {
    EXPECT_TRUE(HostNames::EqualNoCase("Weekly.BDF", "weekly.bdf"));
    EXPECT_TRUE(HostNames::EqualNoCase("\xc3\x89t\xc3\xa9", "\xc3\xa9T\xc3\x89"));  // Été / éTÉ
    EXPECT_TRUE(
        HostNames::EqualNoCase("\xc5\x81\xc3\x93"
                               "D\xc5\xb9",
                               "\xc5\x82\xc3\xb3"
                               "d\xc5\xba"));
    EXPECT_TRUE(HostNames::EqualNoCase("\xd0\x9c\xd0\x98\xd0\xa0", "\xd0\xbc\xd0\xb8\xd1\x80"));
    EXPECT_FALSE(HostNames::EqualNoCase("\xc3\x97", "\xc3\xb7"));  // × and ÷ are no pair
    EXPECT_FALSE(HostNames::EqualNoCase("a\xff", "a\xfe"));
    EXPECT_FALSE(HostNames::EqualNoCase("abc", "abd"));
}

TEST(HostNames, WildcardsMatchWithoutCase) {
    EXPECT_TRUE(HostNames::MatchesPattern("Weekly.BDF", "*.bdf"));
    EXPECT_TRUE(HostNames::MatchesPattern("noext", "*.*"));
    EXPECT_TRUE(
        HostNames::MatchesPattern("a\xc3\xa9"
                                  "c",
                                  "A?C"));  // ? is one character
    EXPECT_TRUE(HostNames::MatchesPattern("abcabd", "*ab?"));
    EXPECT_FALSE(HostNames::MatchesPattern("abc", "?"));
    EXPECT_FALSE(HostNames::MatchesPattern("a.txt", "*.bdf"));
}

TEST(WinPath, ResolvesDotsInsideTheDriveOnly) {
    EXPECT_EQ(WinPath::Parse("c:\\Data\\.\\Sub\\..\\a.txt").ToString(), "C:\\Data\\a.txt");
    EXPECT_EQ(WinPath::Parse("C:/Data//x/").ToString(), "C:\\Data\\x");
    EXPECT_TRUE(WinPath::Parse("C:").IsRoot());
    EXPECT_EQ(WinPath::Parse("C:\\a\\..").ToString(), "C:\\");
    auto number = [](const std::string& s) {
        try {
            WinPath::Parse(s);
        } catch (const RtError& e) {
            return e.Number();
        }
        return 0;
    };
    EXPECT_EQ(number("C:\\..\\etc\\passwd"), 76);
    EXPECT_EQ(number("C:\\a\\..\\..\\b"), 76);
    EXPECT_EQ(number("C:.."), 76);
    EXPECT_EQ(number("Data\\a.txt"), 52);
    EXPECT_EQ(number(std::string("C:\\a\0b", 6)), 52);
    EXPECT_EQ(WinPath::DriveLetterOf("e:\\x"), 'E');
    EXPECT_EQ(WinPath::DriveLetterOf("EE"), std::nullopt);
}

TEST(WinPath, CanonicalFolderIsOneSpellingThatNeverLeavesTheDrive) {
    const std::pair<std::string, std::string> aCases[] = {
        {"C:\\\\", "C:\\"},
        {"C:\\.\\", "C:\\"},
        {"C:/\\", "C:\\"},
        {"c:\\docs\\..\\", "c:\\"},
        {"C:\\..\\..\\x\\", "C:\\x\\"},  // clamped at the root, not an error
        {"C:..\\a", "C:\\a\\"},
        {"e:/My Backups//./2024\\..\\b", "e:\\My Backups\\b\\"},
        {"E:\\...\\ x.\\", "E:\\...\\ x.\\"},                    // only "." and ".." are special
        {"\\\\server\\share\\..\\", "\\\\server\\share\\..\\"},  // no drive letter
        {"1:\\.\\", "1:\\.\\"},
    };
    for (const auto& [strIn, strOut] : aCases) {
        EXPECT_EQ(WinPath::CanonicalFolder(strIn), strOut) << strIn;
        EXPECT_EQ(WinPath::CanonicalFolder(strOut), strOut) << strOut;
    }
}

TEST(RtErrorMapping, ErrnoBecomesTheRuntimeNumbers) {
    const std::pair<int, int32_t> aCases[] = {
        {ENOENT, 53}, {ENOTDIR, 76}, {EEXIST, 58}, {ENOSPC, 61},    {EDQUOT, 61},
        {EFBIG, 61},  {EACCES, 70},  {EROFS, 70},  {ENOMEDIUM, 68}, {EIO, 57},
    };
    for (const auto& [intErrno, lngNumber] : aCases)
        EXPECT_EQ(RtError::NumberForErrno(intErrno), lngNumber) << intErrno;
    EXPECT_EQ(RtError::NumberForErrno(ENOENT, true), 76);
    EXPECT_EQ(RtError::FromErrno(ENOSPC).Description(), "Disk full");
}
