#include <gtest/gtest.h>

#include <string>

#include "platform/fs/RtError.h"
#include "savecore/Wildcard.h"

namespace savecore {
namespace {

struct LikeCase {
    const char* pszName;
    const char* pszPattern;
    bool blnExpected;
};

TEST(Wildcard, MatchesAsTheElementTableSays) {
    const LikeCase aCases[] = {
        {"REPORT1.XLS", "REPORT?.XLS", true},
        {"REPORT.XLS", "REPORT?.XLS", false},
        {"REPORT12.XLS", "REPORT?.XLS", false},
        {"A.DOC", "*.DOC", true},
        {".DOC", "*.DOC", true},
        {"README", "*.DOC", false},
        {"A.DOC.BAK", "*.DOC", false},
        {"FILE7", "FILE#", true},
        {"FILEX", "FILE#", false},
        {"FILE", "FILE#", false},
        {"BX", "[A-C]X", true},
        {"DX", "[A-C]X", false},
        {"DX", "[!A-C]X", true},
        {"AX", "[!A-C]X", false},
        {"Q", "[AQZ]", true},
        {"-", "[A-]", true},
        {"-", "[-A]", true},
        {"B", "[A-]", false},
        {"[A", "[[]A", true},
        {"*", "[*]", true},
        {"X", "[*]", false},
        {"?", "[?]", true},
        {"X", "[?]", false},
        {"#", "[#]", true},
        {"5", "[#]", false},
        {"X", "[!]", true},
        {"", "[!]", false},
        {"AB", "A[]B", true},
        {"A]", "A]", true},
        {"", "", true},
        {"A", "", false},
        {"", "*", true},
        {"", "?", false},
        {"ABC", "a*", false},  // by character code: callers upper-case both sides
        {"AXBXC", "A*B*C", true},
        {"AXBXD", "A*B*C", false},
        {"MISSISSIPPI", "*SS*PI", true},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(blnLike(c.pszName, c.pszPattern), c.blnExpected)
            << '"' << c.pszName << "\" Like \"" << c.pszPattern << '"';
}

TEST(Wildcard, CountsCharactersNotBytes) {
    EXPECT_TRUE(blnLike("\xC3\x89", "?"));  // É is one character
    EXPECT_FALSE(blnLike("\xC3\x89", "??"));
    EXPECT_TRUE(blnLike("\xC3\x89T\xC3\x89", "\xC3\x89*"));
    EXPECT_TRUE(blnLike("\xC3\x89", "[\xC3\x80-\xC3\x9D]"));  // [À-Ý]
    EXPECT_FALSE(blnLike("\xC3\x89", "[!\xC3\x80-\xC3\x9D]"));
    EXPECT_TRUE(blnLike("\xD0\x96.TXT", "?.TXT"));  // Ж
    EXPECT_TRUE(blnLike("A\xE9", "A?"));            // a stray non-UTF-8 byte
    EXPECT_FALSE(blnLike("A\xE9", "A??"));
}

TEST(Wildcard, RejectsMalformedPatternsWhateverTheName) {
    for (const char* pszPattern : {"[AB", "A[", "[", "[!", "*[Z-A]", "X[B-A]Y"}) {
        for (const char* pszName : {"", "A", "AB", "X"}) {
            try {
                blnLike(pszName, pszPattern);
                ADD_FAILURE() << "no error for \"" << pszPattern << '"';
            } catch (const platform::RtError& e) {
                EXPECT_EQ(e.Number(), 93);
                EXPECT_EQ(e.Description(), "Invalid pattern string");
            }
        }
    }
}

TEST(Wildcard, ManyStarsStayFast) {
    const std::string strName(20000, 'A');
    EXPECT_FALSE(blnLike(strName, "*A*A*A*A*A*A*A*A*A*A*A*A*B"));
    EXPECT_TRUE(blnLike(strName + "B", "*A*A*A*A*A*A*A*A*A*A*A*A*B"));
    EXPECT_FALSE(blnLike(strName, std::string(5000, '*') + "B"));
}

}  // namespace
}  // namespace savecore
