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

TEST(InstructionFormat, HeaderAloneGivesNoInstructions) {
    const auto r = ReadInstructions(";Backup type definition file\r\n");
    EXPECT_FALSE(r.blnUnrecognized);
    EXPECT_FALSE(r.objInstructions.blnIncludeFamily || r.objInstructions.blnExcludeFamily ||
                 r.objInstructions.blnSkipFamily);
    EXPECT_FALSE(r.objInstructions.colIncludeFiles.has_value());
    EXPECT_FALSE(r.objInstructions.colExcludeFiles.has_value());
}

TEST(InstructionFormat, LineEndsAtCrOnly) {
    // LF alone does not end a line: the file is one unknown instruction...
    EXPECT_TRUE(ReadInstructions("IncludeFamily\nIncludeFiles *.DOC\n").blnUnrecognized);
    // ...or one comment that swallows everything.
    const auto r = ReadInstructions(";header\nIncludeFamily\n");
    EXPECT_FALSE(r.blnUnrecognized);
    EXPECT_FALSE(r.objInstructions.blnIncludeFamily);
    // CR alone and CR LF both end lines.
    const auto r2 = ReadInstructions("IncludeFamily\rIncludeFiles A\r\nIncludeFiles B");
    EXPECT_FALSE(r2.blnUnrecognized);
    EXPECT_EQ(List(r2.objInstructions.colIncludeFiles), (PatternList{"A", "B"}));
}

TEST(InstructionFormat, UnknownKeywordsStopTheReading) {
    for (const char* psz : {"   \r\n", " IncludeFamily\r\n", "IncludeFiles\t*.DOC\r\n",
                            "IncludeFamilies\r\n", "# comment\r\n"}) {
        const auto r = ReadInstructions(std::string("IncludeFiles A\r\n") + psz + "SkipFamily\r\n");
        EXPECT_TRUE(r.blnUnrecognized) << '"' << psz << '"';
        EXPECT_FALSE(r.objInstructions.blnSkipFamily) << "read past the stop: " << psz;
    }
}

TEST(InstructionFormat, WritesTheFixedOrder) {
    Instructions i;
    i.blnSkipFamily = true;
    i.blnIncludeFamily = true;
    i.blnExcludeFamily = true;
    i.strSuppressPattern = "tmp*";
    i.colExcludeFiles = PatternList{"*.BAK", "~*"};
    i.colIncludeFiles = PatternList{"*.doc", ""};
    EXPECT_EQ(strWriteInstructions(i),
              ";Backup type definition file\r\nIncludeFamily\r\nExcludeFamily\r\n"
              "SuppressPattern tmp*\r\nSkipFamily\r\nIncludeFiles *.doc\r\nIncludeFiles \r\n"
              "ExcludeFiles *.BAK\r\nExcludeFiles ~*\r\n");
    Instructions objEmpty;
    objEmpty.colIncludeFiles = PatternList{};
    EXPECT_EQ(strWriteInstructions(objEmpty), ";Backup type definition file\r\n");
}

}  // namespace
}  // namespace savecore
