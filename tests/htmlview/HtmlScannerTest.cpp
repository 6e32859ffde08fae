// The scanner: symbols, text runs, entities, attribute values, comments, includes, colours.
#include <gtest/gtest.h>

#include "htmlview/HtmlScanner.h"

namespace {

struct Scanned {
    int Sym;
    std::string Text;
};

std::vector<Scanned> ScanAll(const std::string& html, THtmlScanner* scanner = nullptr) {
    THtmlScanner local;
    THtmlScanner& s = scanner ? *scanner : local;
    s.BeginScan(html);
    s.Advance();
    std::vector<Scanned> out;
    for (int guard = 0; guard < 10000; ++guard) {
        s.Next();
        if (s.Symbol == SymEof) break;
        out.push_back({s.Symbol, s.TextToken.S});
    }
    return out;
}

std::string AllText(const std::string& html) {
    std::string t;
    for (const auto& s : ScanAll(html))
        if (s.Sym == SymText) t += s.Text;
    return t;
}

TEST(HtmlScanner, LessThanThatStartsNoTagIsText) {
    auto syms = ScanAll("a < b");
    ASSERT_EQ(syms.size(), 3u);
    EXPECT_EQ(syms[0].Text, "a ");
    EXPECT_EQ(syms[1].Text, "<");
    EXPECT_EQ(syms[2].Text, " b");
}

TEST(HtmlScanner, EntitiesDecodeOrStayAsTyped) {
    struct Case {
        const char* In;
        std::string Out;
    } cases[] = {
        {"&amp;", "&"},
        {"&amp", "&"},
        {"&AMP;", "&AMP;"},
        {"&#65;", "A"},
        {"&#1234567;", "&#1234567;"},
        {"&hellip;", "..."},
        {"&nbsp;", "\xA0"},
        {"&yuml;", "\xFF"},
        {"&trade;", "\x99"},
        {"&#9;", " "},
        {"&#10;", " "}, // control characters are white space, never a glyph
        {"&#13;", " "},
        {"&#127;", " "},
        {"&#8;", "&#8;"},
        {"&#8364;", "\x80"}, // the euro sign exists in the code page
        {"&#1234;", "?"},    // a character the code page lacks
        {"&toolong;", "&toolon"},
        {"& x", "& x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AllText(c.In).substr(0, c.Out.size()), c.Out) << c.In;
}

TEST(HtmlScanner, HellipTakesThreePositions) {
    THtmlScanner s;
    s.BeginScan("ab&hellip;");
    s.Advance();
    s.Next();
    EXPECT_EQ(s.TextToken.S, "ab");
    s.Next();
    ASSERT_EQ(s.TextToken.S, "...");
    EXPECT_EQ(s.TextToken.I, (std::vector<int32_t>{2, 3, 4}));
}

TEST(HtmlScanner, WhiteSpaceFoldsAndLongRunsSplit) {
    EXPECT_EQ(AllText("a \t\r\n  b\r\rc"), "a b c");
    std::string longText(250, 'x');
    auto syms = ScanAll(longText);
    ASSERT_EQ(syms.size(), 3u);
    EXPECT_EQ(syms[0].Text.size(), 100u);
    EXPECT_EQ(syms[2].Text.size(), 50u);
}

TEST(HtmlScanner, LineEndsFoldToOneCarriageReturnEach) {
    THtmlScanner s;
    s.InPre = true;
    for (const char* in : {"a\r\nb", "a\n\rb", "a\nb", "a\rb"}) {
        auto syms = ScanAll(in, &s);
        ASSERT_EQ(syms.size(), 1u) << in;
        EXPECT_EQ(syms[0].Text, "a\rb") << in;
    }
    auto two = ScanAll("a\r\n\r\nb", &s);
    EXPECT_EQ(two[0].Text, "a\r\rb");
}

TEST(HtmlScanner, TagsEndTagsAndHeadings) {
    struct Case {
        const char* In;
        int Sym;
        int Level;
    } cases[] = {
        {"<b>", SymB, 0},
        {"</B>", SymBEnd, 0},
        {"<H3>", SymH, 3},
        {"</h2>", SymHEnd, 2},
        {"<H7>", SymH, 0},
        {"</BR>", SymUnknownTag, 0},
        {"</IMG>", SymUnknownTag, 0},
        {"<blink>", SymUnknownTag, 0},
        {"<selected>", SymSELECTED, 0},
        {"<wrap>", SymWRAP, 0},
        {"<table border>", SymTABLE, 0},
    };
    for (const auto& c : cases) {
        THtmlScanner s;
        auto syms = ScanAll(c.In, &s);
        ASSERT_FALSE(syms.empty()) << c.In;
        EXPECT_EQ(syms[0].Sym, c.Sym) << c.In;
        EXPECT_EQ(s.HeadingLevel, c.Level) << c.In;
    }
}

struct AttrCase {
    const char* In;
    int Which;
    int32_t Value;
    std::string Text;
};

TEST(HtmlScanner, AttributeValues) {
    AttrCase cases[] = {
        {"<table border>", AttrBORDER, 1, ""},
        {"<table border=0>", AttrBORDER, 0, "0"},
        {"<table border=x>", AttrBORDER, 1, "x"},
        {"<td width=\"50%\">", AttrWIDTH, 50, "50%"},
        {"<td width=50%>", AttrWIDTH, 50, "50%"},
        {"<td width='-7'>", AttrWIDTH, -7, "-7"},
        {"<a href=\"a&amp;b\">", AttrHREF, 0, "a&b"},
        {"<a href=a&amp;b>", AttrHREF, 0, "a&amp;b"},
        {"<a href=\"x\r\ny\">", AttrHREF, 0, "xy"},
        {"<td width=99999999999>", AttrWIDTH, 0, "99999999999"},
        {"<meta http-equiv=refresh>", AttrHTTPEQUIV, 0, "refresh"},
        {"<p foo=bar>", SymUnknownAttr, 0, "bar"},
    };
    for (const auto& c : cases) {
        THtmlScanner s;
        ScanAll(c.In, &s);
        ASSERT_EQ(s.Attributes.Count(), 1) << c.In;
        EXPECT_EQ(s.Attributes[0].Which, c.Which) << c.In;
        EXPECT_EQ(s.Attributes[0].Value, c.Value) << c.In;
        EXPECT_EQ(s.Attributes[0].Name, c.Text) << c.In;
    }
}

TEST(HtmlScanner, TagsThatKeepNoAttributesLeaveTheEarlierOnes) {
    THtmlScanner s;
    ScanAll("<p align=center><b class=x>", &s);
    ASSERT_EQ(s.Attributes.Count(), 1);
    EXPECT_EQ(s.Attributes[0].Which, AttrALIGN);
}

TEST(HtmlScanner, CommentsAndDeclarations) {
    EXPECT_EQ(AllText("a<!-- x -- >b"), "ab");
    EXPECT_EQ(AllText("a<!-- a - b -->b"), "ab");
    EXPECT_EQ(AllText("<!DOCTYPE html>a<!--1--><!--2-->b"), "ab");
}

TEST(HtmlScanner, OpenCommentAtTheEndRaises) {
    THtmlScanner s;
    s.BeginScan("a<!-- never closed");
    s.Advance();
    try {
        s.Next(); // the text run reads on into the comment
        FAIL() << "no exception";
    } catch (const EParseError& e) {
        EXPECT_STREQ(e.what(), "Open Comment at End of HTML File");
    }
}

TEST(HtmlScanner, IncludeDirectiveExpandsOrIsAComment) {
    EXPECT_EQ(AllText("a<!--#include file=x -->b"), "ab");
    THtmlScanner s;
    std::string seenCommand, seenParams;
    s.OnInclude = [&](TObject*, const std::string& cmd, TStrings& params, std::string& text) {
        seenCommand = cmd;
        seenParams = params.Text();
        text = "<b>IN</b>";
    };
    auto syms = ScanAll("a<!--#include file=\"x.htm\" -->b", &s);
    EXPECT_EQ(seenCommand, "include");
    EXPECT_EQ(seenParams, "FILE=\"x.htm\"\r\n");
    std::string seq;
    for (auto& x : syms)
        seq += x.Sym == SymText ? x.Text : "|" + std::string(SymbolName(x.Sym)) + "|";
    EXPECT_EQ(seq, "a|B|IN|B|b");
}

TEST(HtmlScanner, DocumentEndingInBreakLeavesASpace) {
    auto syms = ScanAll("x<BR>");
    ASSERT_EQ(syms.size(), 3u);
    EXPECT_EQ(syms[1].Sym, SymBR);
    EXPECT_EQ(syms[2].Text, " ");
    auto p = ScanAll("x</p>");
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[2].Text, " ");
}

TEST(HtmlScanner, ControlCharactersAreSingleSymbols) {
    auto syms = ScanAll(std::string("a\x04z", 3));
    ASSERT_EQ(syms.size(), 3u);
    EXPECT_EQ(syms[1].Sym, SymOtherChar);
    EXPECT_EQ(syms[1].Text, "\x04");
}

TEST(HtmlScanner, NoBreakTurnsSpacesIntoFives) {
    THtmlScanner s;
    s.NoBreak = true;
    auto syms = ScanAll("a  b", &s);
    EXPECT_EQ(syms[0].Text, "a\x05"
                            "b");
}

TEST(HtmlScanner, Colours) {
    struct Case {
        const char* In;
        bool Ok;
        TColor Out;
    } cases[] = {
        {"#FF0000", true, 0x0000FF},  {"FF0000", true, 0x0000FF},     {"#F", true, 0x0000F0},
        {"red", true, 0x0000FF},      {"Silver", true, 0xC0C0C0},     {"#GG0000", false, 0x123456},
        {"", false, 0x123456},        {"#00FF00", true, 0x00FF00},    {"0000FF", true, 0xFF0000},
        {"11223344", true, 0x443322}, {"123456789", false, 0x123456},
    };
    for (const auto& c : cases) {
        TColor color = 0x123456;
        EXPECT_EQ(THtmlScanner::ColorFromString(c.In, color), c.Ok) << c.In;
        EXPECT_EQ(color, c.Out) << c.In;
    }
}

TEST(HtmlScanner, PositionsCountDocumentCharacters) {
    THtmlScanner s;
    s.BeginScan("<b>xy</b>");
    s.Advance();
    s.Next();
    EXPECT_EQ(s.TagStart, 0);
    s.Next();
    EXPECT_EQ(s.TextToken.I, (std::vector<int32_t>{3, 4}));
    s.Next();
    EXPECT_EQ(s.TagStart, 5);
}

} // namespace
