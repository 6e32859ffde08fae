// How a text section measures its runs: a run that fits is measured whole, once; prefix extents
// are asked for only where a line cuts a run or a word ends inside one; a layout at a new width
// measures nothing. Widths here are proportional, so a wrong prefix or a run measured at the wrong
// place shows in the lines.
#include <gtest/gtest.h>

#include "HtmlEngineFixture.h"

namespace {

using Lines = std::vector<std::string>;

// 'i' is 2 pixels, 'W' 12, a space 4, everything else 6; bold adds 1 to each character.
class TProportional : public TFixedMetrics {
public:
    static int32_t CharWidth(const TMyFont& font, char c) {
        int32_t w = c == 'i' ? 2 : c == 'W' ? 12 : c == ' ' ? 4 : 6;
        return w + ((font.Style & fsBold) ? 1 : 0);
    }
    int32_t TextWidth(const TMyFont& font, const char* s, int32_t n) override {
        ++Whole;
        int32_t w = 0;
        for (int32_t k = 0; k < n; ++k)
            w += CharWidth(font, s[k]);
        return w;
    }
    void TextExtents(const TMyFont& font, const char* s, int32_t n, int32_t* extents) override {
        ++Prefixes;
        int32_t w = 0;
        for (int32_t k = 0; k < n; ++k)
            extents[k] = w += CharWidth(font, s[k]);
    }
    int32_t FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) override {
        ++Fits;
        int32_t w = 0, fit = 0;
        while (fit < n && (w += CharWidth(font, s[fit])) <= maxExtent)
            ++fit;
        return fit;
    }
    int Whole = 0, Prefixes = 0, Fits = 0;
};

struct PropDoc {
    TProportional Metrics;
    TSectionList Doc;
    THtmlParser Parser;
    int32_t MaxWidth = 0;

    explicit PropDoc(const std::string& html) {
        Metrics.Record = false;
        Doc.SetMeasure(&Metrics);
        Parser.ParseHtmlText(html, Doc, nullptr);
    }
    Lines Layout(int32_t width) {
        int32_t curs = 0;
        Doc.Layout(Metrics, 0, width, MaxWidth, curs);
        Lines out;
        TestDoc::CollectLines(Doc, out);
        return out;
    }
    void ResetCounts() { Metrics.Whole = Metrics.Prefixes = 0; }
};

TEST(HtmlMeasure, LongRunsAreFittedLineByLineAsTheirExtentsWould) {
    // Over 2,048 characters in one font: no prefix extents (four bytes a character), the same
    // lines as the same text in two shorter runs that are cut through their extents.
    std::string text;
    for (int i = 0; text.size() < 3000; ++i)
        text += i % 7 == 0 ? "WWWWWWWWWWWW " : i % 3 == 0 ? "iiii WW " : "ii Wi iii ";
    for (int32_t width : {10, 37, 60, 87, 200, 1000}) {
        PropDoc one(text), two(text.substr(0, 1500) + "<font color=red>" + text.substr(1500));
        Lines lines = one.Layout(width);
        EXPECT_EQ(lines, two.Layout(width)) << width;
        EXPECT_GT(lines.size(), 3u) << width;
        EXPECT_EQ(one.Metrics.Prefixes, 0) << width;
        EXPECT_GT(two.Metrics.Prefixes, 0) << width;
        EXPECT_EQ(one.MaxWidth, two.MaxWidth) << width;
    }
}

TEST(HtmlMeasure, RunsThatFitAreMeasuredWholeAndOnce) {
    // Three link lines of two runs each, as the side panel writes them.
    std::string page;
    for (const char* title : {"iWi", "WWW", "iii"})
        page += std::string("<nobr>&raquo; <a href=\"n:") + title + "\">" + title + "</a></nobr><br>";
    PropDoc d(page);
    d.ResetCounts();
    EXPECT_EQ(d.Layout(1000), (Lines{"\xBB\xA0iWi", "\xBB\xA0WWW", "\xBB\xA0iii"}));
    EXPECT_EQ(d.Metrics.Whole, 6);
    EXPECT_EQ(d.Metrics.Prefixes, 0);
    // No room for a whole line: each line's first run has to be cut, so its prefix extents are
    // asked for, once; the widest line overflows.
    d.ResetCounts();
    d.Layout(10);
    EXPECT_EQ(d.Metrics.Whole, 0);
    EXPECT_EQ(d.Metrics.Prefixes, 3);
    EXPECT_EQ(d.MaxWidth, 6 + 6 + 36); // "» " (a no-break space) and "WWW"
    // Another width: everything is known already.
    d.ResetCounts();
    d.Layout(700);
    EXPECT_EQ(d.Metrics.Whole + d.Metrics.Prefixes, 0);
}

TEST(HtmlMeasure, LinesCutInsideRunsUseThePrefixExtents) {
    // Widths: "iiii WW " 40, bold "ii WW" 3+3+5+13+13 = 37, " iii" 10. A word goes on a line
    // when it fits with the space after it.
    struct Case {
        int32_t Width;
        Lines Expected;
    };
    const Case cases[] = {
        {200, {"iiii WW ii WW iii"}},
        {87, {"iiii WW ii WW iii"}}, // exactly the whole width
        {86, {"iiii WW ii WW ", "iii"}},
        {60, {"iiii WW ii ", "WW iii"}},     // the cut falls in the bold run
        {50, {"iiii WW ", "ii WW iii"}},     // "ii" of the bold run fits, its space does not
        {40, {"iiii WW ", "ii ", "WW iii"}}, // "WW" fits, the space after it does not
        {12, {"iiii ", "WW ", "ii ", "WW ", "iii"}},
    };
    for (const Case& c : cases) {
        PropDoc d("iiii WW <b>ii WW</b> iii");
        EXPECT_EQ(d.Layout(c.Width), c.Expected) << c.Width;
        // One line needs no prefix extents; a cut line does.
        EXPECT_EQ(d.Metrics.Prefixes == 0, c.Expected.size() == 1) << c.Width;
    }
}

TEST(HtmlMeasure, MinAndMaxWidthsSpanRuns) {
    // The widest word runs across a font change: "Wi" + bold "iW" = 12 + 2 + 3 + 13.
    PropDoc d("ii Wi<b>iW</b> i");
    int32_t mn = 0, mx = 0;
    d.Doc.MinMaxWidth(d.Metrics, mn, mx);
    EXPECT_EQ(mn, 30);
    EXPECT_EQ(mx, 2 + 2 + 4 + 14 + 16 + 4 + 2);
}

TEST(HtmlMeasure, TextAddedOrFontsChangedAreMeasuredAgain) {
    PropDoc d("WW ii");
    EXPECT_EQ(d.Layout(1000), (Lines{"WW ii"}));
    auto* section = dynamic_cast<TSection*>(d.Doc.Sections[0]);
    ASSERT_NE(section, nullptr);
    section->AddChar('W', 99, false);
    d.ResetCounts();
    EXPECT_EQ(d.Layout(30), (Lines{"WW ", "iiW"}));
    EXPECT_GT(d.Metrics.Whole + d.Metrics.Prefixes, 0);
    // A new default font size makes the runs new too: measured again, same lines.
    d.ResetCounts();
    d.Doc.SetFonts("Times", "Courier", false, 0xFFFFFF, 0, 0, 0, 0, 14);
    EXPECT_EQ(d.Layout(30), (Lines{"WW ", "iiW"}));
    EXPECT_GT(d.Metrics.Whole + d.Metrics.Prefixes, 0);
}

} // namespace
