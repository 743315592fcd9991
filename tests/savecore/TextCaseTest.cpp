#include <gtest/gtest.h>

#include "savecore/TextCase.h"

namespace savecore {
namespace {

TEST(TextCase, UCaseCoversTheLettersOfNames) {
    EXPECT_EQ(strUCase("report1.xls"), "REPORT1.XLS");
    EXPECT_EQ(strUCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");  // été
    EXPECT_EQ(strUCase("\xC3\xBF"), "\xC5\xB8");                    // ÿ -> Ÿ
    EXPECT_EQ(strUCase("stra\xC3\x9F"
                       "e"),
              "STRA\xC3\x9F"
              "E");                                               // ß stays
    EXPECT_EQ(strUCase("\xC3\xB7\xC2\xB5"), "\xC3\xB7\xC2\xB5");  // ÷ µ stay
    EXPECT_EQ(strUCase("\xC5\x93\xC5\xA1\xC5\xBE\xC5\x82"),
              "\xC5\x92\xC5\xA0\xC5\xBD\xC5\x81");                                // œšžł
    EXPECT_EQ(strUCase("\xCE\xB1\xCF\x82\xCE\xAC"), "\xCE\x91\xCE\xA3\xCE\x86");  // αςά
    EXPECT_EQ(strUCase("\xD0\xBF\xD1\x80\xD1\x91"), "\xD0\x9F\xD0\xA0\xD0\x81");  // прё
    EXPECT_EQ(strUCase("a\xE9z"), "A\xE9Z");  // a byte that is not UTF-8 is kept
}

TEST(TextCase, ReadsWindows1252AndUtf8Files) {
    EXPECT_EQ(strFromFileBytes("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(strFromFileBytes("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(strFromFileBytes("plain"), "plain");
}

TEST(TextCase, WritesWindows1252WhenNothingIsLost) {
    EXPECT_EQ(strToFileBytes("caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8"), "caf\xE9 \x80 \x9F");
    // Not in 1252: kept as UTF-8.
    EXPECT_EQ(strToFileBytes("\xD0\x96"), "\xD0\x96");
    // In 1252 "Ã©" would be the bytes of UTF-8 "é": kept as UTF-8 instead.
    EXPECT_EQ(strToFileBytes("\xC3\x83\xC2\xA9"), "\xC3\x83\xC2\xA9");
    for (const char* psz : {"caf\xC3\xA9", "\xD0\x96*", "\xC3\x83\xC2\xA9", "A\xE2\x82\xAC"})
        EXPECT_EQ(strFromFileBytes(strToFileBytes(psz)), psz);
}

}  // namespace
}  // namespace savecore
