// The markup renderer on a canvas with fixed metrics: every character is 6
// pixels wide (7 when bold) and a line is twice the font size high.
#include "labels/MvMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mv::markup;

namespace {

struct TDrawn {
    int X, Y;
    std::string Text;
    TMarkupFont Font;
    bool Clear;
    TMarkupColor Brush;
};

struct TLineDrawn {
    int X1, Y1, X2, Y2, Width;
};

class TFixedCanvas : public IMarkupCanvas {
public:
    TMarkupFont Font() override { return font; }
    void SetFont(const TMarkupFont& f) override { font = f; }
    TMarkupColor BrushColor() override { return brush; }
    void SetBrushColor(TMarkupColor c) override {
        brush = c;
        clear = false;
    }
    bool BrushClear() override { return clear; }
    void SetBrushClear(bool v) override { clear = v; }
    TMarkupColor PenColor() override { return penColor; }
    void SetPenColor(TMarkupColor c) override { penColor = c; }
    int PenWidth() override { return penWidth; }
    void SetPenWidth(int w) override { penWidth = w; }
    int TextWidth(std::string_view t) override {
        return static_cast<int>(t.size()) * ((font.Style & msBold) ? 7 : 6);
    }
    int LineHeight() override { return font.Size * 2; }
    void TextOut(int x, int y, std::string_view t) override {
        drawn.push_back({x, y, std::string(t), font, clear, brush});
    }
    void Line(int x1, int y1, int x2, int y2) override { lines.push_back({x1, y1, x2, y2, penWidth}); }

    std::string Texts() const {
        std::string all;
        for (const TDrawn& d : drawn)
            all += (all.empty() ? "" : "|") + d.Text;
        return all;
    }

    TMarkupFont font{0, 0x000000, 8};
    TMarkupColor brush = 0xFFFFFF;
    bool clear = false;
    TMarkupColor penColor = 0;
    int penWidth = 1;
    std::vector<TDrawn> drawn;
    std::vector<TLineDrawn> lines;
};

const TMarkupRect kRect{0, 0, 200, 100};

TEST(MarkupPrepare, EntitiesBreaksAndRules) {
    struct Case {
        const char* In;
        std::vector<std::string> Out;
    } cases[] = {
        {"a&nbsp;b", {"a b"}},
        {"&AMP;&quot;&reg;&Copy;&trade;&euro;", {"&\"\xAE\xA9\x99\x80"}},
        {"&LT;b&GT;", {"&LT;b&GT;"}},
        {"one\r\ntwo", {"onetwo"}},
        {"one<br>two<BR>three", {"one", "two", "three"}},
        {"above<hr>below", {"above<hr>", "below"}},
        {"<HR SIZE=3>x", {"<HR SIZE=3>x"}},
        {"trailing<br>", {"trailing"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrepareMarkupText(c.In), c.Out) << c.In;
}

TEST(MarkupAttributes, QuotedPlainAndMissing) {
    struct Case {
        const char* Tag;
        const char* Name;
        const char* Value;
    } cases[] = {
        {"A HREF=\"http://x.org/a b\"", "HREF", "http://x.org/a b"},
        {"a href='credits'", "HREF", "credits"},
        {"A HREF = target more", "href", "target"},
        {"IND=20", "IND", "20"},
        {"FONT COLOR=clRed SIZE=12", "SIZE", "12"},
        {"FONT BGCOLOR=clYellow", "COLOR", "clYellow"},
        {"A HREF=\"unclosed", "HREF", "unclosed"},
        {"B", "HREF", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarkupAttribute(c.Tag, c.Name), c.Value) << c.Tag;
}

TEST(MarkupColors, NamesAndNumbers) {
    EXPECT_EQ(StringToMarkupColor("clRed"), 0x0000FF);
    EXPECT_EQ(StringToMarkupColor("CLYELLOW"), 0x00FFFF);
    EXPECT_EQ(StringToMarkupColor("$00FF00"), 0x00FF00);
    EXPECT_EQ(StringToMarkupColor("clBtnFace"), static_cast<TMarkupColor>(0x8000000F));
    EXPECT_THROW(StringToMarkupColor("reddish"), std::exception);
}

TEST(MarkupDraw, PiecesTakeTheStylesOfTheirTags) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "a<b>bb</b>c<i>d<u>e</u></i><s>f</S>");
    ASSERT_EQ(c.Texts(), "a|bb|c|d|e|f");
    const int xs[] = {0, 6, 20, 26, 32, 38};
    const unsigned styles[] = {0, msBold, 0, msItalic, msItalic | msUnderline, msStrikeOut};
    for (size_t i = 0; i < c.drawn.size(); ++i) {
        EXPECT_EQ(c.drawn[i].X, xs[i]) << i;
        EXPECT_EQ(c.drawn[i].Font.Style, styles[i]) << i;
    }
    // The canvas font is as it was.
    EXPECT_EQ(c.font.Style, 0u);
}

TEST(MarkupDraw, TagsAreRecognisedByTheirFirstLetters) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<BODY>x</BODY><STRIKE>y<UL>z<unknown>w");
    ASSERT_EQ(c.Texts(), "x|y|z|w");
    EXPECT_EQ(c.drawn[0].Font.Style, msBold);
    EXPECT_EQ(c.drawn[1].Font.Style, msStrikeOut);
    EXPECT_EQ(c.drawn[2].Font.Style, msStrikeOut | msUnderline);
}

TEST(MarkupDraw, TagEndsAtTheFirstClosingBracketAfterIt) {
    // A '>' before the '<' is text; the tag runs from the '<' to the next '>'.
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "a>b<B>c");
    ASSERT_EQ(c.Texts(), "a>b|c");
    EXPECT_EQ(c.drawn[1].Font.Style, msBold);
    EXPECT_EQ(c.drawn[1].X, 18);
}

TEST(MarkupDraw, UnclosedBracketEndsTheLine) {
    for (const char* text : {"ab<cd<br>ef", "x>y<z<br>ef", "ab<<br>ef"}) {
        TFixedCanvas c;
        DrawMarkup(c, kRect, 0, text);
        ASSERT_EQ(c.drawn.size(), 2u) << text;
        EXPECT_EQ(c.drawn[1].Text, "ef");
        EXPECT_EQ(c.drawn[1].Y, 16);
    }
}

TEST(MarkupDraw, EscapedBracketsAreText) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "&LT;b&GT;");
    EXPECT_EQ(c.Texts(), "<b>");
    EXPECT_EQ(c.drawn[0].Font.Style, 0u);
}

TEST(MarkupDraw, IndentMovesTheNextPiece) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "ab<IND=40>cd");
    ASSERT_EQ(c.Texts(), "ab|cd");
    EXPECT_EQ(c.drawn[1].X, 40);
}

TEST(MarkupDraw, HugeNumbersAreKeptWithinLimits) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<IND=2147483647>ab<FONT SIZE=2147483647>c<HR SIZE=2147483647>d");
    ASSERT_EQ(c.Texts(), "ab|c|d");
    EXPECT_EQ(c.drawn[0].X, 1000000);
    EXPECT_EQ(c.drawn[1].X, 1000000 + 12);
    EXPECT_EQ(c.drawn[1].Font.Size, 1638);
    ASSERT_EQ(c.lines.size(), 1u);
    EXPECT_EQ(c.lines[0].Width, 1000);
    EXPECT_EQ(MarkupTextWidth(c, kRect, 0, "<IND=-2147483648>x"), 0);
}

TEST(MarkupDraw, BadValuesAreShownWhereTheyAreDrawn) {
    struct Case {
        const char* Text;
        const char* Drawn;
    } cases[] = {
        {"ab<IND=x1>cd", "ab|<IND=x1>|cd"},
        {"<FONT COLOR=reddish>cd</FONT>", "<FONT COLOR=reddish>|cd"},
    };
    for (const Case& k : cases) {
        TFixedCanvas c;
        EXPECT_NO_THROW(DrawMarkup(c, kRect, 0, k.Text)) << k.Text;
        EXPECT_EQ(c.Texts(), k.Drawn);
        EXPECT_EQ(c.drawn.back().Font.Color, 0x000000) << k.Text;
    }
}

TEST(MarkupDraw, FontTagColoursAndRestore) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<FONT BGCOLOR=clYellow>y</FONT><FONT COLOR=$00FF00 SIZE=10>g</FONT>n");
    ASSERT_EQ(c.Texts(), "y|g|n");
    // BGCOLOR also matches COLOR: both colours become yellow.
    EXPECT_EQ(c.drawn[0].Font.Color, 0x00FFFF);
    EXPECT_EQ(c.drawn[0].Brush, 0x00FFFF);
    EXPECT_FALSE(c.drawn[0].Clear);
    EXPECT_EQ(c.drawn[1].Font.Color, 0x00FF00);
    EXPECT_EQ(c.drawn[1].Font.Size, 10);
    EXPECT_EQ(c.drawn[1].Brush, 0xFFFFFF);
    EXPECT_EQ(c.drawn[2].Font.Color, 0x000000);
    EXPECT_EQ(c.drawn[2].Font.Size, 8);
    // The canvas keeps its own font and brush.
    EXPECT_EQ(c.font.Size, 8);
    EXPECT_EQ(c.brush, 0xFFFFFF);
    EXPECT_FALSE(c.clear);
}

TEST(MarkupDraw, FontSizeThatIsNoNumberKeepsTheSize) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<FONT SIZE=big>x");
    EXPECT_EQ(c.drawn[0].Font.Size, 8);
}

TEST(MarkupLinks, DrawnBlueAndNotHoveredWhenPainting) {
    // A link at the top-left corner is not taken as hovered by a plain paint.
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<A HREF=\"credits\">Credits</A> after");
    ASSERT_EQ(c.Texts(), "Credits| after");
    EXPECT_EQ(c.drawn[0].Font.Color, mcBlue);
    EXPECT_EQ(c.drawn[1].Font.Color, 0x000000);
}

TEST(MarkupLinks, HitRectanglesOfPieces) {
    const char* text = "go <A HREF=\"http://a.org\">to <B>a</B></A><br><a href='help:'>help</a>";
    // "go " is 18 wide, "to " 18 more, bold "a" 7 more: the first link spans x 18..43 on line 0.
    struct Case {
        int X, Y;
        bool Hit;
        const char* Link;
    } cases[] = {
        {17, 5, false, ""},  {18, 0, true, "http://a.org"}, {40, 16, true, "http://a.org"},
        {44, 5, false, ""},  {3, 20, true, "help:"},        {24, 33, false, ""},
        {-1, -1, false, ""},
    };
    for (const Case& k : cases) {
        TFixedCanvas c;
        std::string link = "stale";
        EXPECT_EQ(IsMouseOnMarkupLink(c, kRect, text, k.X, k.Y, link), k.Hit) << k.X << "," << k.Y;
        EXPECT_EQ(link, k.Link) << k.X << "," << k.Y;
    }
}

TEST(MarkupLinks, HoveredLinkIsRedToItsEnd) {
    TFixedCanvas c;
    std::string link;
    ASSERT_TRUE(IsMouseOnMarkupLink(c, kRect, "<A HREF=x>ab<B>cd</B></A>ef", 2, 2, link));
    ASSERT_EQ(c.Texts(), "ab|cd|ef");
    EXPECT_EQ(c.drawn[0].Font.Color, mcRed);
    EXPECT_EQ(c.drawn[1].Font.Color, mcRed);
    EXPECT_EQ(c.drawn[2].Font.Color, 0x000000);
}

TEST(MarkupLinks, EndWithoutStartKeepsTheFont) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<FONT COLOR=clGreen>a</A>b");
    EXPECT_EQ(c.drawn[1].Font.Color, 0x008000);
    EXPECT_EQ(c.drawn[1].X, 6);
}

TEST(MarkupState, DisabledLinksAndFontsKeepTheColour) {
    TFixedCanvas c;
    c.font.Color = 0x808080;
    DrawMarkup(c, kRect, odDisabled, "<A HREF=x>a</A><FONT COLOR=clRed>b</FONT>");
    ASSERT_EQ(c.Texts(), "a|b");
    EXPECT_EQ(c.drawn[0].Font.Color, 0x808080);
    EXPECT_EQ(c.drawn[1].Font.Color, 0x808080);
}

TEST(MarkupState, TransparentBrushStaysClearUnlessSelected) {
    TFixedCanvas c;
    c.clear = true;
    DrawMarkup(c, kRect, 0, "a");
    EXPECT_TRUE(c.drawn[0].Clear);
}

TEST(MarkupRule, DrawnOneLineDownAndPushesTheNextLine) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "top<HR SIZE=3>next<br>last");
    ASSERT_EQ(c.lines.size(), 1u);
    EXPECT_EQ(c.lines[0].Y1, 16);
    EXPECT_EQ(c.lines[0].X2, 200);
    EXPECT_EQ(c.lines[0].Width, 3);
    EXPECT_EQ(c.penWidth, 1);
    ASSERT_EQ(c.Texts(), "top|next|last");
    // Text after the rule on its line starts on a new line below the rule.
    EXPECT_EQ(c.drawn[1].Y, 4 + 16);
    EXPECT_EQ(c.drawn[1].X, 0);
    EXPECT_EQ(c.drawn[2].Y, 4 + 32);

    TFixedCanvas plain;
    DrawMarkup(plain, kRect, 0, "top<hr>more");
    ASSERT_EQ(plain.Texts(), "top|more");
    // A plain rule ends its line: rule width 1 + 1, its own new line and the line end.
    EXPECT_EQ(plain.drawn[1].Y, 2 + 16 + 16);
}

TEST(MarkupAlign, RightAndCentreOffsets) {
    TFixedCanvas c;
    DrawMarkup(c, kRect, 0, "<ALIGN RIGHT>abcd<br>ef<br><ALIGN CENTER>gh<br><align left>ij");
    ASSERT_EQ(c.Texts(), "abcd|ef|gh|ij");
    EXPECT_EQ(c.drawn[0].X, 200 - 24);
    // The alignment carries over to the next line.
    EXPECT_EQ(c.drawn[1].X, 200 - 12);
    EXPECT_EQ(c.drawn[2].X, (200 - 12) / 2);
    EXPECT_EQ(c.drawn[3].X, 0);
}

TEST(MarkupMeasure, WidthAndHeight) {
    TFixedCanvas c;
    EXPECT_EQ(MarkupTextWidth(c, kRect, 0, "ab<br><b>cdef</b><br>x"), 28);
    EXPECT_EQ(MarkupTextHeight(c, "ab<br>cd<br>ef"), 16 * 3 + 1);
    EXPECT_EQ(MarkupTextHeight(c, ""), 16 + 1);
    EXPECT_EQ(MarkupTextHeight(c, "<FONT SIZE=20>big"), 16 + 1);
    EXPECT_TRUE(c.drawn.empty());
}

} // namespace
