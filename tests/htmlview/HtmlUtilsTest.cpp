// Shared helpers: MulDiv's rounding and zero divisor, URL-to-path conversion.
#include <gtest/gtest.h>

#include "htmlview/HtmlUtils.h"

TEST(HtmlUtils, HtmlMulDivRoundsHalfAwayFromZeroAndGuardsZero) {
    struct Case {
        int32_t A, B, C, R;
    } cases[] = {
        {10, 3, 4, 8},  {5, 1, 2, 3},   {-5, 1, 2, -3},         {7, 0, 3, 0},
        {1, 1, 0, -1},  {12, 9, 12, 9}, {2000000000, 2, 1, -1}, {2000000000, 3, 3, 2000000000},
        {-6, 1, -4, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HtmlMulDiv(c.A, c.B, c.C), c.R) << c.A << "*" << c.B << "/" << c.C;
}

TEST(HtmlUtils, UrlToDosPath) {
    struct Case {
        const char* In;
        const char* Out;
    } cases[] = {
        {"file:///C|/dir/a%20b.gif", "C:\\dir\\a b.gif"},
        {"%41bc", "%41bc"},
        {"a%zz", "a%zz"},
        {"a|b", "a|b"},
        {"FILE://x/y", "x\\y"},
        {"a%41%42", "aAB"},
        {"a%4", "a%4"},
        // An escaped '%' is a literal character, not the start of another escape.
        {"a%2541", "a%41"},
        {"a%25%41", "a%A"},
        {"a%252525", "a%2525"},
        {"dir/100%25.gif", "dir\\100%.gif"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlToDosPath(c.In), c.Out) << c.In;
    EXPECT_EQ(UrlToServerPath("/a/b.htm", "C:\\root"), "C:\\root\\a\\b.htm");
}

TEST(HtmlUtils, WriteLineEndsWithCrLf) {
    TStringSink sink;
    WriteLine(sink, "abc", 2);
    EXPECT_EQ(sink.Text, "ab\r\n");
}
