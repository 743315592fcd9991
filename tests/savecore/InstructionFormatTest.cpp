#include <gtest/gtest.h>

#include "savecore/InstructionFormat.h"

namespace savecore {
namespace {

const PatternList& List(const std::optional<PatternList>& col) {
    static const PatternList kAbsent{"<absent>"};
    return col ? *col : kAbsent;
}

TEST(InstructionFormat, ReadsKeywordsInAnyCaseAndUpperCasesPatterns) {
    const auto r = ReadInstructions(
        ";Backup type definition file\r\n"
        "excludefamily\r\n"
        "IncludeFiles *.doc\r\n"
        "\r\n"
        "INCLUDEFILES    report?.xls   \r\n"
        "SuppressPattern tmp*\r\n"
        "SuppressPattern temp*\r\n"
        "ExcludeFamily again\r\n"
        "IncludeFiles\r\n"
        "ExcludeFiles ~*");
    ASSERT_FALSE(r.blnUnrecognized);
    const Instructions& i = r.objInstructions;
    EXPECT_TRUE(i.blnExcludeFamily);
    EXPECT_FALSE(i.blnIncludeFamily);
    EXPECT_FALSE(i.blnSkipFamily);
    EXPECT_EQ(i.strSuppressPattern, "TEMP*");
    EXPECT_EQ(List(i.colIncludeFiles), (PatternList{"*.DOC", "REPORT?.XLS", ""}));
    EXPECT_EQ(List(i.colExcludeFiles), (PatternList{"~*"}));
}

TEST(InstructionFormat, CrCrLfAndLfEachEndALine) {
    const auto r =
        ReadInstructions("IncludeFamily\rIncludeFiles A\r\nIncludeFiles B\nIncludeFiles C\n\r");
    EXPECT_FALSE(r.blnUnrecognized);
    EXPECT_EQ(List(r.objInstructions.colIncludeFiles), (PatternList{"A", "B", "C"}));
}

TEST(InstructionFormat, UnknownKeywordsStopTheReading) {
    for (const char* psz : {"   \r\n", " IncludeFamily\r\n", "IncludeFiles\t*.DOC\r\n",
                            "IncludeFamilies\r\n", "# comment\r\n"}) {
        const auto r = ReadInstructions(std::string("IncludeFiles A\r\n") + psz + "SkipFamily\r\n");
        EXPECT_TRUE(r.blnUnrecognized) << '"' << psz << '"';
        EXPECT_FALSE(r.objInstructions.blnSkipFamily) << "read past the stop: " << psz;
    }
}

}  // namespace
}  // namespace savecore
