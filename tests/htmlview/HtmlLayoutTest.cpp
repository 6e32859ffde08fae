// Golden layouts with fixed-width metrics: line breaks, alignment, floats and CLEAR, lists,
// preformatted text, pictures in lines; hit tests and string search on the laid-out text.
#include <gtest/gtest.h>

#include "HtmlEngineFixture.h"
#include "htmlview/HtmlObjects.h"

namespace {

using Lines = std::vector<std::string>;

// A picture of a given size, for the picture request.
class TestPicture : public IHtmlPicture {
public:
    TestPicture(int32_t w, int32_t h) : w_(w), h_(h) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }

private:
    int32_t w_, h_;
};

void ServePictures(TestDoc& d) {
    d.Doc.GetImage = [](const std::string& name, uint8_t&, bool& delayed) -> std::shared_ptr<IHtmlPicture> {
        if (name == "later.bmp") {
            delayed = true;
            return nullptr;
        }
        if (name == "empty.bmp") return std::make_shared<TestPicture>(0, 0);
        // "WxH.bmp"
        int w = 0, h = 0;
        if (sscanf(name.c_str(), "%dx%d", &w, &h) == 2) return std::make_shared<TestPicture>(w, h);
        return nullptr;
    };
}

TEST(HtmlLayout, LineHeightsFollowTheTallestRun) {
    TestDoc d("small <font size=6>BIG</font> small", 1000);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    ASSERT_EQ(t[0]->Lines.size(), 1u);
    EXPECT_EQ(t[0]->Lines[0].LineHeight, 32); // 24 points
    EXPECT_EQ(t[0]->Lines[0].Descent, 8);
    EXPECT_EQ(d.Height, 32);
}

TEST(HtmlLayout, LongWordOverflowsAndReportsItsWidth) {
    TestDoc d("a abcdefghijklmnopqrst b", 80);
    EXPECT_EQ(d.Lines(), (Lines{"a ", "abcdefghijklmnopqrst ", "b"}));
    EXPECT_EQ(d.MaxWidth, 160);
}

TEST(HtmlLayout, ZeroWidthStillTakesOneCharacterALine) {
    TestDoc d("ab cd", 0);
    EXPECT_EQ(d.Lines(), (Lines{"ab ", "cd"}));
}

TEST(HtmlLayout, AlignmentOfLines) {
    TestDoc d("<p align=center>abcd<p align=right>ab<p>ab", 100);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0]->Lines[0].LineIndent, 34);
    EXPECT_EQ(t[1]->Lines[0].LineIndent, 83);
    EXPECT_EQ(t[2]->Lines[0].LineIndent, 0);
}

TEST(HtmlLayout, ParagraphAndHeadingSpacingScaleWithTheFont) {
    TestDoc d("a<p>b<h2>c</h2>");
    auto p = d.All<TParagraphSpace>();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0]->SectionHeight, 14);
    auto h = d.All<THeadingSpace>();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0]->SectionHeight, 12);
    d.Doc.SetFonts("Times", "Courier", false, 0xFFFFFF, 0, 0, 0, 0, 24);
    EXPECT_EQ(p[0]->SectionHeight, 28);
    EXPECT_EQ(h[0]->SectionHeight, 24);
}

TEST(HtmlLayout, InlinePicturesRaiseTheLine) {
    TestDoc d;
    ServePictures(d);
    d.Load("ab<img src=10x40.bmp>cd<img src=10x40.bmp align=top>", 1000);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    const LineRec& l = t[0]->Lines.at(0);
    EXPECT_EQ(l.LineHeight, 16);
    EXPECT_EQ(l.SpaceBefore, 28); // bottom-aligned: 40 + descent 4 - 16
    EXPECT_EQ(l.SpaceAfter, 24);  // top-aligned: 40 - 16
}

TEST(HtmlLayout, APictureOnlyLineHasNoTextHeight) {
    TestDoc d;
    ServePictures(d);
    d.Load("<img src=30x20.bmp>", 1000);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Lines.at(0).LineHeight, 0);
    EXPECT_EQ(d.Height, 20);
}

TEST(HtmlLayout, TextThenAPictureThatDoesNotFitBreaksBeforeThePicture) {
    TestDoc d;
    ServePictures(d);
    d.Load("abcdef<img src=50x10.bmp>", 80);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    ASSERT_EQ(t[0]->Lines.size(), 2u);
    EXPECT_EQ(t[0]->Lines[0].Ln, 6);
}

TEST(HtmlLayout, PictureSizes) {
    struct Case {
        const char* Html;
        int32_t W, H;
    } cases[] = {
        {"<img src=200x50.bmp width=100>", 100, 25},
        {"<img src=200x50.bmp height=0>", 4, 1},
        {"<img src=200x50.bmp width=50%>", 200, 50},
        {"<img src=200x50.bmp width=150%>", 200, 50},
        {"<img src=nothing.bmp alt=abc>", 50, 24},
        {"<img src=empty.bmp>", 26, 24},
        {"<a href=x><img src=10x10.bmp></a>", 12, 12},
        {"<a href=x><img src=10x10.bmp border=0></a>", 10, 10},
        {"<img src=200x50.bmp width=99999999>", 32000, 8000},
    };
    for (const auto& c : cases) {
        TestDoc d;
        ServePictures(d);
        d.Load(c.Html, 400);
        auto t = d.TextSections();
        ASSERT_EQ(t.size(), 1u) << c.Html;
        ASSERT_EQ(t[0]->Images.Count(), 1) << c.Html;
        EXPECT_EQ(t[0]->Images[0]->ImageWidth, c.W) << c.Html;
        EXPECT_EQ(t[0]->Images[0]->ImageHeight, c.H) << c.Html;
    }
}

TEST(HtmlLayout, PictureHitTestsUseDocumentCoordinatesWhenScrolled) {
    std::string html = "<img src=30x20.bmp>";
    for (int i = 0; i < 50; ++i)
        html += "<br>line";
    html += "<br><a href=pic><img src=30x20.bmp></a>";
    TestDoc d;
    ServePictures(d);
    d.Load(html, 400);
    d.Doc.SetYOffset(d.Height - 100);
    d.Draw(0, 100);                  // only the end of the document is on screen
    int32_t lastTop = d.Height - 22; // the linked picture's frame (2 pixels wider each way)
    TObject* obj = nullptr;
    int32_t ix = 0, iy = 0;
    ASSERT_TRUE(d.Doc.ObjectAtPoint(5, lastTop + 5, obj, ix, iy));
    EXPECT_EQ(iy, 4);
    TUrlTarget url;
    TFormControlObj* ctrl = nullptr;
    ASSERT_TRUE(d.Doc.LinkAtPoint(d.Metrics, 5, lastTop + 5, url, ctrl));
    EXPECT_EQ(url.URL, "pic");
    EXPECT_FALSE(d.Doc.ObjectAtPoint(5, lastTop + 5 - (d.Height - 100), obj, ix, iy));
}

TEST(HtmlLayout, DelayedPicturesWaitInTheMissingList) {
    TestDoc d;
    ServePictures(d);
    d.Load("<img src=later.bmp><img src=later.bmp>", 400);
    EXPECT_EQ(d.Doc.MissingImages.size(), 2u);
    EXPECT_EQ(d.Doc.MissingImages[0].first, "LATER.BMP");
    d.Doc.Clear();
    EXPECT_TRUE(d.Doc.MissingImages.empty());
}

TEST(HtmlLayout, FloatsLetTextFlowBesideAndClearMovesBelow) {
    TestDoc d;
    ServePictures(d);
    d.Load("<img src=40x50.bmp align=left>ab cd<br clear=left>ef", 400);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 2u);
    // The float takes 40 + HSpace 5: the text starts right of it.
    EXPECT_EQ(t[0]->Lines.at(0).LineIndent, 45);
    // The cleared section starts with room down to the float's bottom.
    EXPECT_EQ(t[1]->YValue + t[1]->Lines.at(0).LineHeight, 50);
    EXPECT_EQ(t[1]->Lines.at(1).LineIndent, 0);
    EXPECT_GE(d.Height, 50 + 16);
}

TEST(HtmlLayout, RightFloatNarrowsTheLine) {
    TestDoc d;
    ServePictures(d);
    d.Load("<img src=40x50.bmp align=right>aaaa bbbb cccc", 120);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    // 120 - 45 = 75 pixels: nine characters.
    EXPECT_EQ(t[0]->Lines.at(0).Ln, 6);
    EXPECT_EQ(t[0]->Images[0]->Indent, 120 - 45 + 5);
}

TEST(HtmlLayout, CellHeightReachesTheFloatBottom) {
    TestDoc d;
    ServePictures(d);
    d.Load("<img src=20x100.bmp align=left>short", 400);
    EXPECT_EQ(d.Height, 100);
}

TEST(HtmlLayout, PreformattedDoesNotWrap) {
    TestDoc d("<pre>a very long line of text that does not wrap</pre>", 80);
    EXPECT_EQ(d.Lines(), (Lines{"a very long line of text that does not wrap"}));
    EXPECT_EQ(d.MaxWidth, 43 * 8);
}

TEST(HtmlLayout, TabsInPreformattedTextBecomeSpaces) {
    TestDoc d("<pre>a\tb</pre>");
    EXPECT_EQ(d.Lines(), (Lines{"a b"}));
}

TEST(HtmlLayout, ListsIndentByLevel) {
    TestDoc d("<ul><li>one<ul><li>two</ul><li>three</ul>");
    auto items = d.All<TUListItem>();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Lines.at(0).LineIndent, 35);
    EXPECT_EQ(items[1]->Lines.at(0).LineIndent, 70);
    EXPECT_EQ(items[2]->Lines.at(0).LineIndent, 35);
}

TEST(HtmlLayout, LongListsKeepOnlyTheirOpenLevels) {
    std::string page = "<dl>";
    for (int i = 0; i < 2000; ++i)
        page += "<dt>term<dd>meaning";
    page += "</dl><ul><li>one<ul><li>two<ul><li>three</ul></ul></ul>after";
    TestDoc d(page);
    auto texts = d.TextSections();
    ASSERT_EQ(texts.size(), 4004u);
    // Terms and meanings alternate between two indents to the end of the list.
    EXPECT_EQ(texts[3998]->Lines.at(0).LineIndent, texts[0]->Lines.at(0).LineIndent);
    EXPECT_EQ(texts[3999]->Lines.at(0).LineIndent, texts[1]->Lines.at(0).LineIndent);
    EXPECT_GT(texts[1]->Lines.at(0).LineIndent, texts[0]->Lines.at(0).LineIndent);
    auto items = d.All<TUListItem>();
    ASSERT_EQ(items.size(), 4003u); // the terms and meanings are list items too
    EXPECT_EQ(items.back()->Lines.at(0).LineIndent, 105);
    EXPECT_EQ(texts.back()->Text(), "after");
    EXPECT_EQ(texts.back()->Lines.at(0).LineIndent, 0);
    // Every level was closed again: nothing is left for later indent queries to walk.
    EXPECT_TRUE(d.Doc.Indents.L.empty());
}

// What a user can ask of a laid-out document, as text: heights, hit tests, caret places,
// characters, the selected text, drawing, widths and searches.
std::string Answers(TestDoc& d) {
    std::string out = "height " + std::to_string(d.Height) + " width " + std::to_string(d.MaxWidth) + "\n";
    for (const auto& s : d.Doc.Sections)
        out += "section " + std::to_string(s->YValue) + " " + std::to_string(s->SectionHeight) + " " +
               std::to_string(s->DrawHeight) + " " + std::to_string(s->StartCurs) + "\n";
    d.Draw();
    for (const auto& op : d.Metrics.Ops)
        out += std::string("op ") + op.Kind + " " + std::to_string(op.X) + "," + std::to_string(op.Y) + " " +
               op.Text + "\n";
    for (int32_t y = 0; y < d.Height + 4; y += 3)
        for (int32_t x : {0, 3, 10, 40, 47, 52, 100, 150, 200, 390}) {
            int32_t xr = 0, yr = 0, ht = 0;
            bool inText = false;
            int32_t pos = d.Doc.CharIndexAtPoint(d.Metrics, x, y, xr, yr, ht, inText);
            out += "at " + std::to_string(pos) + " " + std::to_string(xr) + " " + std::to_string(yr) + " " +
                   std::to_string(ht) + " " + std::to_string(inText) + "\n";
        }
    for (int32_t c = 0; c <= d.Doc.Len; ++c) {
        int32_t x = -1, y = -1;
        char ch = 0;
        TObject* obj = nullptr;
        bool point = d.Doc.CharIndexToPoint(d.Metrics, c, x, y);
        bool has = d.Doc.CharAtIndex(c, ch, obj);
        out += "caret " + std::to_string(point) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
               std::to_string(has) + (has ? std::string(1, ch) : "") + "\n";
    }
    d.Doc.SelFrom = 0;
    d.Doc.SelTo = d.Doc.Len;
    out += "copy [" + d.Doc.SelectedText() + "]\n";
    d.Doc.SelFrom = 1;
    d.Doc.SelTo = d.Doc.Len - 1;
    out += "copy [" + d.Doc.SelectedText() + "]\n";
    d.Draw();
    for (const auto& op : d.Metrics.Ops)
        out += std::string("sel ") + op.Kind + " " + std::to_string(op.X) + "," + std::to_string(op.Y) + "\n";
    d.Doc.SelFrom = d.Doc.SelTo = 0;
    int32_t mn = 0, mx = 0;
    d.Doc.MinMaxWidth(d.Metrics, mn, mx);
    out += "minmax " + std::to_string(mn) + " " + std::to_string(mx) + "\n";
    for (int32_t at = d.Doc.FindString(0, " ", false); at >= 0; at = d.Doc.FindString(at + 1, " ", false))
        out += "space " + std::to_string(at) + "\n";
    return out;
}

TEST(HtmlLayout, EmptyLinesAnswerAsTextSectionsDo) {
    const char* pages[] = {
        "a<br><br>b",
        "<center>a<br><br>bb</center>",
        "<p align=right>a<br><br>b",
        "<ul><li>a<br><br>b<ul><li>c<br><br></ul></ul>d",
        "<img src=40x50.bmp align=left>a<br><br clear=left><br>b",
        "<b>a<br><br></b><font size=7>x<br><br><br>y</font>",
    };
    for (const char* page : pages) {
        // The same page with an anchor in the first empty line keeps it a text section.
        std::string named = page;
        named.replace(named.find("<br>"), 4, "<br><a name=k></a>");
        TestDoc plain, kept;
        ServePictures(plain);
        ServePictures(kept);
        plain.Load(page);
        kept.Load(named);
        EXPECT_FALSE(plain.All<TBreakLine>().empty()) << page;
        EXPECT_EQ(plain.All<TBreakLine>().size(), kept.All<TBreakLine>().size() + 1) << page;
        EXPECT_EQ(Answers(plain), Answers(kept)) << page;
        // Again after new document fonts.
        for (TestDoc* d : {&plain, &kept}) {
            d->Doc.FontSize = 16;
            d->Doc.UpdateFonts();
            d->Layout(300);
        }
        EXPECT_EQ(Answers(plain), Answers(kept)) << page;
    }
}

TEST(HtmlLayout, EmptyLinesKeepTheirSourcePlace) {
    TestDoc d("ab<br><br>cd");
    auto lines = d.All<TBreakLine>();
    ASSERT_EQ(lines.size(), 1u);
    int32_t at = lines[0]->StartCurs;
    EXPECT_EQ(at, 2);
    EXPECT_EQ(d.Doc.SourcePosOf(at), 6); // the second line break
    EXPECT_EQ(d.Doc.DocPosOf(6, false), at);
    EXPECT_EQ(d.Doc.DocPosOf(5, false), at);
    EXPECT_EQ(d.Doc.DocPosOf(8, true), at);
    EXPECT_EQ(d.Doc.DocPosOf(10, false), at + 1); // "c" after the tag
}

TEST(HtmlLayout, BulletsAndNumbersAreDrawnLeftOfTheText) {
    TestDoc d("<ul><li>a</ul><ol><li>b</ol>");
    d.Doc.Background = 0xFFFFFF;
    d.Draw();
    bool bullet = false, number = false;
    for (const auto& op : d.Metrics.Ops) {
        if (op.Kind == 'E' && op.Text == "filled" && op.X2 <= 35 - 5 && op.Color == 0x800000)
            bullet = true; // level 1: navy
        if (op.Kind == 'T' && op.Text == "1." && op.X2 == 35 - 5) number = true;
    }
    EXPECT_TRUE(bullet);
    EXPECT_TRUE(number);
}

TEST(HtmlLayout, DrawingSkipsWhatIsOutOfView) {
    std::string html;
    for (int i = 0; i < 100; ++i)
        html += "line " + std::to_string(i) + "<br>";
    TestDoc d(html, 400);
    d.Doc.SetYOffset(16 * 50);
    d.Draw(0, 32);
    std::vector<std::string> drawn;
    for (const auto& op : d.Metrics.Ops)
        if (op.Kind == 'T') drawn.push_back(op.Text);
    EXPECT_EQ(drawn, (Lines{"line 50", "line 51"}));
}

TEST(HtmlLayout, ALineWiderThanTheViewDrawsOnlyWhatReachesIt) {
    // One word of 3,000 one-letter runs, bold and plain by turns: 24,000 pixels on one line.
    std::string html;
    for (int i = 0; i < 1500; ++i)
        html += "<b>a</b>b";
    TestDoc d(html + "<br>next line", 400);
    ASSERT_EQ(d.Lines().size(), 2u);
    d.Metrics.Ops.clear();
    d.Doc.Draw(d.Metrics, {0, 0, 100, 1000}, 6000, 0, 0);
    std::string firstLine;
    int texts = 0;
    for (const auto& op : d.Metrics.Ops)
        if (op.Kind == 'T') {
            ++texts;
            if (op.Y < 16) firstLine += op.Text;
        }
    // 100 pixels show 12.5 characters of 8: the runs drawn reach the edge and stop there.
    EXPECT_EQ(firstLine, "ababababababa");
    EXPECT_EQ(texts, 14); // and the next line
    // A float further on is still drawn at its edge.
    TestDoc f;
    ServePictures(f);
    f.Load(html.substr(0, 400) + "<img src=40x50.bmp align=right>", 400);
    f.Metrics.Ops.clear();
    f.Doc.Draw(f.Metrics, {0, 0, 100, 1000}, 6000, 0, 0);
    bool picture = false;
    for (const auto& op : f.Metrics.Ops)
        picture = picture || op.Kind == 'P' || op.Kind == 'S';
    EXPECT_TRUE(picture);
}

TEST(HtmlLayout, SelectionDrawsOpaqueRuns) {
    TestDoc d("abcdef", 400);
    d.Doc.SelFrom = 2;
    d.Doc.SelTo = 4;
    d.Draw();
    std::vector<std::string> drawn;
    for (const auto& op : d.Metrics.Ops)
        if (op.Kind == 'T') drawn.push_back(op.Text);
    EXPECT_EQ(drawn, (Lines{"ab", "cd", "ef"}));
    EXPECT_EQ(d.Doc.SelectedText(), "cd");
}

TEST(HtmlLayout, HitTestsFindCharactersAndLinks) {
    TestDoc d("ab <a href=\"l.htm\">link</a><br>second line", 400);
    d.Draw();
    int32_t xr = 0, yr = 0, ht = 0;
    bool inText = false;
    // 'c' of "link" is the 6th character (index 5): x 40..48; the point 44 rounds after it.
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, 43, 5, xr, yr, ht, inText), 5);
    EXPECT_TRUE(inText);
    EXPECT_EQ(xr, 40);
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, 45, 5, xr, yr, ht, inText), 6);
    TUrlTarget url;
    TFormControlObj* ctrl = nullptr;
    EXPECT_TRUE(d.Doc.LinkAtPoint(d.Metrics, 30, 5, url, ctrl));
    EXPECT_EQ(url.URL, "l.htm");
    EXPECT_NE(d.Doc.HoverLink, nullptr);
    EXPECT_FALSE(d.Doc.LinkAtPoint(d.Metrics, 10, 5, url, ctrl));
    EXPECT_EQ(d.Doc.HoverLink, nullptr);
    // Second line: y 16..32.
    int32_t second = d.Doc.CharIndexAtPoint(d.Metrics, 1, 20, xr, yr, ht, inText);
    char ch = 0;
    TObject* obj = nullptr;
    ASSERT_TRUE(d.Doc.CharAtIndex(second, ch, obj));
    EXPECT_EQ(ch, 's');
    int32_t x = 0, y = 0;
    ASSERT_TRUE(d.Doc.CharIndexToPoint(d.Metrics, second + 2, x, y));
    EXPECT_EQ(x, 16);
    EXPECT_EQ(y, 16);
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, 1, 500, xr, yr, ht, inText), -1);
}

TEST(HtmlLayout, FindStringAcrossSections) {
    TestDoc d("Alpha beta<p>Gamma BETA delta", 400);
    int32_t first = d.Doc.FindString(0, "beta", false);
    EXPECT_EQ(first, 6);
    int32_t second = d.Doc.FindString(first + 1, "beta", false);
    ASSERT_GT(second, first);
    char ch = 0;
    TObject* obj = nullptr;
    ASSERT_TRUE(d.Doc.CharAtIndex(second, ch, obj));
    EXPECT_EQ(ch, 'B');
    EXPECT_EQ(d.Doc.FindString(first + 1, "beta", true), -1);
    EXPECT_EQ(d.Doc.FindString(0, "zzz", false), -1);
}

TEST(HtmlLayout, FindNextStepsThroughEveryHitInOrder) {
    std::string page = "<p>needle first";
    for (int i = 0; i < 300; ++i)
        page += "<p>para " + std::to_string(i) + (i % 3 == 0 ? " Needle and needle" : " nothing");
    page += "<table><tr><td>needle in a cell<td>none</table>last needle";
    TestDoc d(page);
    std::vector<int32_t> hits;
    for (int32_t at = d.Doc.FindString(0, "needle", false); at >= 0;
         at = d.Doc.FindString(at + 1, "needle", false))
        hits.push_back(at);
    ASSERT_EQ(hits.size(), 1u + 100u * 2u + 2u);
    for (size_t i = 0; i < hits.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(hits[i], hits[i - 1]);
        }
        std::string word;
        for (int32_t k = 0; k < 6; ++k) {
            char ch = 0;
            TObject* obj = nullptr;
            ASSERT_TRUE(d.Doc.CharAtIndex(hits[i] + k, ch, obj));
            word += static_cast<char>(ch | 0x20);
        }
        EXPECT_EQ(word, "needle") << i;
    }
    // From inside a hit, from the last one, past the end.
    EXPECT_EQ(d.Doc.FindString(hits[5] + 1, "needle", false), hits[6]);
    EXPECT_EQ(d.Doc.FindString(hits.back() + 1, "needle", false), -1);
    EXPECT_EQ(d.Doc.FindString(1 << 30, "needle", false), -1);
    // Built again and not laid out yet, the document is searched from its start as before.
    d.Doc.Clear();
    d.Parser.ParseHtmlText("<p>a<p>b needle<p>c", d.Doc, nullptr);
    EXPECT_EQ(d.Doc.FindString(0, "needle", false), 2);
}

TEST(HtmlLayout, SourcePositionsMapBothWays) {
    TestDoc d("<b>ab</b> cd", 400);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Text(), "ab cd");
    EXPECT_EQ(d.Doc.SourcePosOf(0), 3);
    EXPECT_EQ(d.Doc.SourcePosOf(3), 10);
    EXPECT_EQ(d.Doc.DocPosOf(11, false), 4);
    EXPECT_EQ(d.Doc.DocPosOf(500, false), 4);
}

TEST(HtmlLayout, SectionTopsEncodeViewPositions) {
    TestDoc d("a<p>b<p>c", 400);
    int n = d.Doc.Sections.Count();
    ASSERT_GE(n, 3);
    int32_t top = 0;
    int index = -1;
    TSectionBase* s = d.Doc.FindSectionAtPosition(20, top, index);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(d.Doc.GetSectionTop(index), top);
    EXPECT_EQ(d.Doc.GetSectionTop(0), 0);
}

TEST(HtmlLayout, RelayoutAtANewWidthRewraps) {
    TestDoc d("aaa bbb ccc ddd", 1000);
    EXPECT_EQ(d.Lines().size(), 1u);
    d.Layout(64);
    EXPECT_EQ(d.Lines(), (Lines{"aaa bbb ", "ccc ddd"}));
}

TEST(HtmlLayout, MeasuredWidthsFollowTheMetricsAndTheText) {
    TestDoc d("aaa bbb <b>ccc</b> ddd", 72);
    EXPECT_EQ(d.Lines(), (Lines{"aaa bbb ", "ccc ddd"}));
    // Other metrics: nothing measured with the first may be reused.
    TFixedMetrics wide(12);
    d.Doc.SetMeasure(&wide);
    int32_t curs = 0, maxWidth = 0;
    d.Doc.Layout(wide, 0, 72, maxWidth, curs);
    EXPECT_EQ(d.Lines(), (Lines{"aaa ", "bbb ", "ccc ", "ddd"}));
    int32_t mn = 0, mx = 0;
    d.Doc.MinMaxWidth(wide, mn, mx);
    EXPECT_EQ(mn, 36);
    EXPECT_EQ(mx, 15 * 12);
    d.Doc.MinMaxWidth(d.Metrics, mn, mx);
    EXPECT_EQ(mn, 24);
    // Text added after a layout is measured again.
    auto t = d.TextSections();
    t[0]->AddChar('e', 99, false);
    d.Doc.SetMeasure(&d.Metrics);
    d.Layout(1000);
    EXPECT_EQ(d.Lines(), (Lines{"aaa bbb ccc ddde"}));
    EXPECT_EQ(d.MaxWidth, 1000);
    d.Doc.MinMaxWidth(d.Metrics, mn, mx);
    EXPECT_EQ(mx, 16 * 8);
}

TEST(HtmlLayout, HorizontalRuleGeometry) {
    struct Case {
        const char* Html;
        int32_t X1, X2;
    } cases[] = {
        {"<hr>", 10, 190},
        {"<hr width=50%>", 50, 150},
        {"<hr width=150%>", 10, 190},
        {"<hr width=40 align=left>", 0, 40},
        {"<hr width=40 align=right>", 160, 200},
    };
    for (const auto& c : cases) {
        TestDoc d(c.Html, 200);
        d.Draw();
        ASSERT_FALSE(d.Metrics.Ops.empty()) << c.Html;
        int32_t lo = 100000, hi = -1;
        for (const auto& op : d.Metrics.Ops) {
            lo = std::min({lo, op.X, op.X2});
            hi = std::max({hi, op.X, op.X2});
        }
        EXPECT_EQ(lo, c.X1) << c.Html;
        EXPECT_EQ(hi, c.X2) << c.Html;
    }
    TestDoc size("<hr size=30><hr size=5 color=red noshade>", 200);
    auto rules = size.All<THorzLine>();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0]->VSize, 2);
    EXPECT_EQ(rules[1]->VSize, 5);
    EXPECT_TRUE(rules[1]->HasColor);
    size.Draw();
    EXPECT_EQ(size.Metrics.Ops.back().Kind, 'F');
}

} // namespace
