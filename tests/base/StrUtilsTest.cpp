// ASCII case helpers, trimming, integer conversion, formatting and file-name parts.
#include "base/StrUtils.h"

#include <gtest/gtest.h>

#include "base/Exceptions.h"

namespace {

TEST(StrUtils, CaseChangesTouchOnlyAscii) {
    EXPECT_EQ("ABC-XYZ \xE4\xF6", UpperCase("abc-xyz \xE4\xF6"));
    EXPECT_EQ("abc-xyz \xC4\xD6", LowerCase("ABC-XYZ \xC4\xD6"));
    EXPECT_TRUE(SameText("Home", "hOME"));
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_FALSE(SameText("Home", "Homes"));
}

TEST(StrUtils, Comparisons) {
    struct Case {
        const char* a;
        const char* b;
        int text; // sign of CompareText
        int str;  // sign of CompareStr
    };
    const Case cases[] = {
        {"abc", "ABC", 0, 1}, {"a", "B", -1, 1}, {"", "", 0, 0},      {"", "a", -1, -1},
        {"ab", "a", 1, 1},    {"_", "a", 1, -1}, {"\x80", "z", 1, 1}, {"Zeta", "alpha", 1, -1},
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(c.text, sign(CompareText(c.a, c.b)));
        EXPECT_EQ(c.str, sign(CompareStr(c.a, c.b)));
        EXPECT_EQ(-c.text, sign(CompareText(c.b, c.a)));
    }
}

TEST(StrUtils, TrimRemovesControlCharactersAndBlanks) {
    EXPECT_EQ("a b", Trim(" \t\r\n a b \x01\x1F"));
    EXPECT_EQ("a b \t", TrimLeft("\t a b \t"));
    EXPECT_EQ("\t a b", TrimRight("\t a b \t"));
    EXPECT_EQ("", Trim(" \t "));
    EXPECT_EQ("\xA0x\xA0", Trim("\xA0x\xA0")) << "high characters are not blanks";
}

TEST(StrUtils, StrToIntAcceptsSignsHexAndTheFullRange) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case good[] = {
        {"0", 0},
        {"42", 42},
        {"+7", 7},
        {"-0", 0},
        {"  12", 12},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"$FF", 255},
        {"$ff", 255},
        {"0x1A", 26},
        {"-$10", -16},
        {"$7FFFFFFF", INT32_MAX},
        {"$FFFFFFFF", -1},
        {"$8000000F", static_cast<int32_t>(0x8000000F)},
        {"007", 7},
    };
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value, StrToInt(c.text));
    }
}

TEST(StrUtils, StrToIntRejectsMalformedAndOutOfRange) {
    const char* bad[] = {"",
                         " ",
                         "-",
                         "+",
                         "$",
                         "0x",
                         "12a",
                         "1 ",
                         "1.5",
                         "2147483648",
                         "-2147483649",
                         "$100000000",
                         "99999999999999999999999",
                         "--1",
                         "\t"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        int32_t value = 99;
        EXPECT_FALSE(TryStrToInt(text, value));
        EXPECT_EQ(-5, StrToIntDef(text, -5));
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string("'") + text + "' is not a valid integer value", e.Message());
        }
    }
}

TEST(StrUtils, Int64Conversion) {
    EXPECT_EQ(INT64_MIN, StrToInt64("-9223372036854775808"));
    EXPECT_EQ(INT64_MAX, StrToInt64("9223372036854775807"));
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(int64_t{1} << 40, StrToInt64("$10000000000"));
    EXPECT_EQ("-9223372036854775808", IntToStr(INT64_MIN));
    EXPECT_EQ("-2147483648", IntToStr(INT32_MIN));
    EXPECT_EQ("0", IntToStr(0));
    EXPECT_EQ("00FF", IntToHex(255, 4));
    EXPECT_EQ("FFFFFFFF", IntToHex(0xFFFFFFFF, 1));
}

TEST(StrUtils, FormatGrowsPastItsFirstBuffer) {
    EXPECT_EQ("a 1 -2 x", Format("a %d %lld %s", 1, -2LL, "x"));
    const std::string big(1000, 'q');
    EXPECT_EQ("[" + big + "]", Format("[%s]", big.c_str()));
}

TEST(StrUtils, StringReplace) {
    struct Case {
        const char* s;
        const char* from;
        const char* to;
        bool all;
        bool ignoreCase;
        const char* expected;
    };
    const Case cases[] = {
        {"aXbXc", "X", "--", true, false, "a--b--c"}, {"aXbXc", "X", "", false, false, "abXc"},
        {"aXbxc", "x", "Y", true, true, "aYbYc"},     {"aXbxc", "x", "Y", true, false, "aXbYc"},
        {"aaa", "aa", "a", true, false, "aa"},        {"abc", "", "Z", true, false, "abc"},
        {"ab", "abc", "Z", true, false, "ab"},        {"xx", "x", "xx", true, false, "xxxx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.s);
        EXPECT_EQ(c.expected, StringReplace(c.s, c.from, c.to, c.all, c.ignoreCase));
    }
}

TEST(StrUtils, QuotedStrDoublesInnerQuotes) {
    EXPECT_EQ("''", QuotedStr(""));
    EXPECT_EQ("'it''s'", QuotedStr("it's"));
    EXPECT_EQ("''''''", QuotedStr("''"));
    EXPECT_EQ(1, Pos("a", "abc"));
    EXPECT_EQ(0, Pos("d", "abc"));
}

TEST(StrUtils, FileNamePartsAcceptBothDelimiters) {
    struct Case {
        const char* name;
        const char* path;
        const char* file;
        const char* ext;
        const char* changed; // ChangeFileExt(name, ".ini")
    };
    const Case cases[] = {
        {"C:\\Prog\\Miravelund.exe", "C:\\Prog\\", "Miravelund.exe", ".exe", "C:\\Prog\\Miravelund.ini"},
        {"/usr/lib/x.tar.gz", "/usr/lib/", "x.tar.gz", ".gz", "/usr/lib/x.tar.ini"},
        {"dir.d/noext", "dir.d/", "noext", "", "dir.d/noext.ini"},
        {"mixed\\a/b.txt", "mixed\\a/", "b.txt", ".txt", "mixed\\a/b.ini"},
        {"plain", "", "plain", "", "plain.ini"},
        {"folder\\", "folder\\", "", "", "folder\\.ini"},
        {"", "", "", "", ".ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.path, ExtractFilePath(c.name));
        EXPECT_EQ(c.file, ExtractFileName(c.name));
        EXPECT_EQ(c.ext, ExtractFileExt(c.name));
        EXPECT_EQ(c.changed, ChangeFileExt(c.name, ".ini"));
    }
}

TEST(StrUtils, TrailingPathDelimiter) {
    EXPECT_EQ("a\\", IncludeTrailingPathDelimiter("a\\"));
    EXPECT_EQ("a/", IncludeTrailingPathDelimiter("a/"));
    EXPECT_EQ(std::string("a") + PathDelim, IncludeTrailingPathDelimiter("a"));
    EXPECT_EQ("a", ExcludeTrailingPathDelimiter("a/"));
    EXPECT_EQ("a", ExcludeTrailingPathDelimiter("a"));
}

} // namespace
