// Table layout: spans, column limits, widths from percents and pixels, heights, floats,
// captions, borders, hit tests inside cells.
#include <gtest/gtest.h>

#include "HtmlEngineFixture.h"

namespace {

using Lines = std::vector<std::string>;

ThtmlTable* FirstTable(TestDoc& d) {
    auto t = d.All<ThtmlTable>();
    return t.empty() ? nullptr : t[0];
}

std::string Columns(int n, const char* cell = "<td>x") {
    std::string s = "<table><tr>";
    for (int i = 0; i < n; ++i)
        s += cell;
    return s + "</table>";
}

TEST(HtmlTable, RowsPastTheColumnLimitAreCutAndThePageShows) {
    TestDoc ok(Columns(200), 4000);
    ASSERT_NE(FirstTable(ok), nullptr);
    EXPECT_EQ(FirstTable(ok)->ColCount, 200);
    EXPECT_TRUE(FirstTable(ok)->CutCells.empty());

    struct Case {
        std::string Table;
        size_t Cut;
        int32_t FirstSpan;
    } cases[] = {
        {Columns(201), 1, 1},
        {"<table><tr><td colspan=1000000>a<td colspan=1000000>b</table>", 1, 200},
        {"<table><tr><td>a<td colspan=300>b<td>c<td>d</table>", 2, 1},
        // A row span pushes the last cell of the row below past the limit.
        {"<table><tr><td rowspan=2>r" + Columns(199).substr(11, 199 * 5) + "<tr>" +
             Columns(200).substr(11, 200 * 5) + "</table>",
         1, 1},
    };
    for (const auto& c : cases) {
        TestDoc d;
        std::vector<std::string> errors;
        d.Doc.OnLayoutError = [&](const std::string& m) { errors.push_back(m); };
        d.Load("<p>before" + c.Table + "<p>after", 4000);
        ThtmlTable* t = FirstTable(d);
        ASSERT_NE(t, nullptr) << c.Table.substr(0, 60);
        EXPECT_EQ(t->ColCount, 200) << c.Table.substr(0, 60);
        EXPECT_EQ(t->CutCells.size(), c.Cut) << c.Table.substr(0, 60);
        EXPECT_EQ(t->Rows[0]->Cells[0]->ColSpan, c.FirstSpan) << c.Table.substr(0, 60);
        for (auto& row : t->Rows) {
            EXPECT_LE(row->Cells.size(), 200u);
            for (size_t i = 0; i < row->Cells.size(); ++i)
                if (row->Cells[i]) {
                    EXPECT_LE(static_cast<size_t>(row->Cells[i]->ColSpan) + i, 200u);
                }
        }
        EXPECT_EQ(errors, (Lines{"Table has too many Columns"})) << c.Table.substr(0, 60);
        Lines lines = d.Lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.front(), "before");
        EXPECT_EQ(lines.back(), "after");
        EXPECT_GT(d.Height, 0);
        d.Draw(); // the cut table draws
        // A second layout cuts nothing more.
        d.Layout(3000);
        EXPECT_EQ(errors.size(), 1u);
    }
}

TEST(HtmlTable, CellTextEndingInASpaceKeepsItsLastWord) {
    // The widest content of each cell is one line at the width the table gives it.
    TestDoc d("<table border=1><tr><td>const char* <td>Column Declared Type <td>More Info </table>", 740);
    EXPECT_EQ(d.Lines(), (Lines{"const char* ", "Column Declared Type ", "More Info "}));
    TestDoc nested("<table border><tr><td><table border><tr><td>More Info </table></table>", 740);
    EXPECT_EQ(nested.Lines(), (Lines{"More Info "}));
    // Narrower than the text, the cell still breaks between words.
    TestDoc narrow("<table width=60><tr><td>More Info </table>", 60);
    EXPECT_EQ(narrow.Lines(), (Lines{"More ", "Info "}));
}

TEST(HtmlTable, SpansNormaliseTheGrid) {
    TestDoc d("<table><tr><td colspan=3>wide<tr><td>a<td>b</table>", 400);
    EXPECT_EQ(FirstTable(d)->ColCount, 3);
    TestDoc r("<table><tr><td rowspan=9>tall<td>a<tr><td>b</table>", 400);
    ThtmlTable* t = FirstTable(r);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Rows[0]->Cells[0]->RowSpan, 2);
    ASSERT_EQ(t->Rows[1]->Cells.size(), 2u);
    EXPECT_TRUE(t->Rows[1]->Cells[0]->Dummy);
    EXPECT_EQ(r.Lines(), (Lines{"tall", "a", "b"}));
}

TEST(HtmlTable, AttributeClamps) {
    TestDoc d("<table border=1 cellpadding=80><tr><td>x</table>", 400);
    ThtmlTable* t = FirstTable(d);
    EXPECT_EQ(t->CellSpacing, 4);
    EXPECT_EQ(t->CellPadding, 50);
    TestDoc s("<table cellspacing=100 hspace=-70 vspace=999><tr><td>x</table>", 400);
    EXPECT_EQ(FirstTable(s)->CellSpacing, 40);
    EXPECT_EQ(FirstTable(s)->HSpace, 40);
    EXPECT_EQ(FirstTable(s)->VSpace, 200);
}

TEST(HtmlTable, PercentWidthOfTheBlock) {
    TestDoc d("<table width=50%><tr><td>x</table>", 600);
    EXPECT_EQ(FirstTable(d)->TableWidth, 2 + 298);
}

TEST(HtmlTable, PercentCellsWithoutATableWidth) {
    TestDoc d;
    TFixedMetrics tens(10);
    d.Doc.SetMeasure(&tens);
    d.Parser.ParseHtmlText(
        "<table cellpadding=0 cellspacing=0><tr><td width=30%>aaaaaa<td width=70%>bbbbbbb</table>", d.Doc,
        nullptr);
    int32_t curs = 0, maxWidth = 0;
    d.Doc.Layout(tens, 0, 600, maxWidth, curs);
    ThtmlTable* t = FirstTable(d);
    EXPECT_EQ(t->Widths[0], 60);
    EXPECT_EQ(t->Widths[1], 140);
}

TEST(HtmlTable, PixelCellWidthsAndNaturalWidths) {
    TestDoc d("<table cellpadding=0 cellspacing=0><tr><td width=100>a<td>bb</table>", 400);
    ThtmlTable* t = FirstTable(d);
    EXPECT_EQ(t->Widths[0], 100);
    EXPECT_EQ(t->Widths[1], 16);
    TestDoc n("<table><tr><td>aaaa bbbb cccc<td>dd</table>", 60);
    ThtmlTable* tn = FirstTable(n);
    // Too narrow for the maxima: each column gets at least its widest word.
    EXPECT_GE(tn->Widths[0], 32 + 4);
    EXPECT_GE(tn->Widths[1], 16 + 4);
}

TEST(HtmlTable, GivenHeightStretchesRowsAndTheLastTakesTheRounding) {
    TestDoc d("<table height=300 cellpadding=0 cellspacing=0><tr><td>a<tr><td>b<tr><td>c</table>", 400);
    ThtmlTable* t = FirstTable(d);
    ASSERT_EQ(t->Rows.size(), 3u);
    EXPECT_EQ(t->Rows[0]->RowHeight, 16 + (300 - 48) / 3);
    EXPECT_EQ(t->Rows[0]->RowHeight + t->Rows[1]->RowHeight + t->Rows[2]->RowHeight, 300);
    TestDoc empty("<table height=300></table>x", 400); // no rows: nothing to divide
    EXPECT_EQ(empty.Lines(), (Lines{"x"}));
}

TEST(HtmlTable, FloatingTableLetsTextFlowBeside) {
    TestDoc d("<table align=left cellpadding=0 cellspacing=0><tr><td>cell</table>after", 400);
    ThtmlTable* t = FirstTable(d);
    EXPECT_EQ(t->SectionHeight, 0);
    auto texts = d.TextSections();
    ASSERT_FALSE(texts.empty());
    EXPECT_GE(texts.back()->Lines.at(0).LineIndent, 32);
}

TEST(HtmlTable, WideCaptionCentresTheGrid) {
    TestDoc d("<table cellpadding=0 cellspacing=0><caption>a long caption</caption><tr><td>ab</table>", 400);
    ThtmlTable* t = FirstTable(d);
    // The caption takes its minimum width (its widest word) when that is wider than the grid.
    EXPECT_EQ(t->CaptionWidth, 7 * 8);
    EXPECT_EQ(t->TableIndent, (56 - 16) / 2);
    EXPECT_EQ(d.Lines(), (Lines{"a long ", "caption", "ab"}));
}

TEST(HtmlTable, HeaderCellsAreCentredAndBold) {
    TestDoc d("<table><tr><th>h<td>d<th align=left>l</table>", 400);
    ThtmlTable* t = FirstTable(d);
    auto* h = dynamic_cast<TSection*>(t->Rows[0]->Cells[0]->Cell.Sections[0]);
    auto* c = dynamic_cast<TSection*>(t->Rows[0]->Cells[1]->Cell.Sections[0]);
    auto* l = dynamic_cast<TSection*>(t->Rows[0]->Cells[2]->Cell.Sections[0]);
    ASSERT_TRUE(h && c && l);
    EXPECT_EQ(h->Justify, 2);
    EXPECT_TRUE(h->Fonts[0]->CurrentFont->Style & fsBold);
    EXPECT_EQ(c->Justify, 1);
    EXPECT_FALSE(c->Fonts[0]->CurrentFont->Style & fsBold);
    EXPECT_EQ(l->Justify, 1);
}

TEST(HtmlTable, TextBeforeTheFirstCellShowsAbove) {
    TestDoc d("<table>above<tr><td>in</table>", 400);
    EXPECT_EQ(d.Lines(), (Lines{"above", "in"}));
    EXPECT_EQ(d.Doc.Sections.Count(), 3); // the first section, the text, the table
}

TEST(HtmlTable, NestedTablesAndHitTestsInCells) {
    TestDoc d("<table><tr><td>left<td><table><tr><td><a href=deep>deep</a></table></table>", 400);
    d.Draw();
    EXPECT_EQ(d.Lines(), (Lines{"left", "deep"}));
    // Find the link by searching its text and asking the point of that character.
    int32_t pos = d.Doc.FindString(0, "deep", true);
    ASSERT_GE(pos, 0);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(d.Doc.CharIndexToPoint(d.Metrics, pos, x, y));
    TUrlTarget url;
    TFormControlObj* ctrl = nullptr;
    ASSERT_TRUE(d.Doc.LinkAtPoint(d.Metrics, x + 3, y + 3, url, ctrl));
    EXPECT_EQ(url.URL, "deep");
    int32_t xr, yr, ht;
    bool inText;
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, x + 1, y + 1, xr, yr, ht, inText), pos);
}

TEST(HtmlTable, CellBackgroundsAndBordersAreDrawn) {
    TestDoc d("<table border=1 bgcolor=#00FF00><tr bgcolor=red><td>a<td bgcolor=blue>b</table>", 400);
    d.Draw();
    std::vector<TColor> fills;
    for (const auto& op : d.Metrics.Ops)
        if (op.Kind == 'F') fills.push_back(op.Color & 0xFFFFFF);
    EXPECT_EQ(fills, (std::vector<TColor>{0x0000FF, 0xFF0000}));
    int lines = 0;
    for (const auto& op : d.Metrics.Ops)
        lines += op.Kind == 'L';
    EXPECT_EQ(lines, 3 * 4); // two sunken cell frames and the raised outer frame
}

TEST(HtmlTable, PartialTableAtTheEndOfInputIsAttached) {
    TestDoc d("<table><tr><td><a name=inside>x</a><td>y", 400);
    ASSERT_NE(FirstTable(d), nullptr);
    EXPECT_EQ(d.Lines(), (Lines{"x", "y"}));
    ASSERT_EQ(d.Anchors.Count(), 1);
    char ch = 0;
    TObject* obj = nullptr;
    auto* s = dynamic_cast<TSection*>(d.Anchors.GetObject(0));
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->CharAtIndex(s->StartCurs, ch, obj));
    EXPECT_EQ(ch, 'x');
}

TEST(HtmlTable, MinMaxOfANestedTableIsReused) {
    // Deeply nested tables lay out in time linear in their size, not exponential.
    std::string html;
    for (int i = 0; i < 16; ++i)
        html += "<table><tr><td>cell ";
    html += "core";
    TestDoc d(html, 2000);
    d.Metrics.MeasureCalls = 0;
    d.Layout(1500);
    EXPECT_LT(d.Metrics.MeasureCalls, 5000);
    EXPECT_EQ(d.Lines().back(), "cell core");
}

} // namespace

namespace {
// Every pixel of the table's grid band, as the border-colour fills and the cells left it:
// 'c' under a drawn cell (one pixel larger with a border), 'f' filled once, '2' filled twice,
// '.' neither.
std::vector<std::string> GridCoverage(TestDoc& d, ThtmlTable& t, TColor borderColor) {
    int32_t w = t.TableWidth, h = t.TableHeight, top = t.DrawY;
    std::vector<std::string> grid(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.'));
    auto mark = [&](int32_t l, int32_t tp, int32_t r, int32_t b, char ch) {
        for (int32_t yy = std::max(tp, 0); yy < std::min(b, h); ++yy)
            for (int32_t xx = std::max(l, 0); xx < std::min(r, w); ++xx) {
                char& p = grid[static_cast<size_t>(yy)][static_cast<size_t>(xx)];
                p = ch == 'f' ? (p == '.' ? 'f' : '2') : ch;
            }
    };
    int32_t more = t.Border ? 1 : 0, rowTop = 0;
    for (auto& row : t.Rows) {
        int32_t x = 0;
        for (size_t c = 0; c < row->Cells.size(); ++c) {
            TCellObj* cell = row->Cells[c].get();
            if (cell && !cell->Dummy && cell->Cell.Count() > 0)
                mark(x + t.CellSpacing - more, rowTop + t.CellSpacing - more, x + cell->Wd + more,
                     rowTop + cell->Ht + more, 'c');
            x += t.Widths[c];
        }
        rowTop += row->RowHeight;
    }
    for (const auto& op : d.Metrics.Ops)
        if (op.Kind == 'F' && (op.Color & 0xFFFFFF) == borderColor)
            mark(op.X - t.DrawX, op.Y - top, op.X2 - t.DrawX, op.Y2 - top, 'f');
    return grid;
}
} // namespace

TEST(HtmlTable, BorderColourFillsTheSpacingBetweenCellsOnly) {
    struct Case {
        const char* Html;
    } cases[] = {
        {"<table bordercolor=#00FF00 cellspacing=4><tr><td>a<td>bb<tr><td>ccc<td>d</table>"},
        {"<table bordercolor=#00FF00 border=1><tr><td rowspan=2>tall<td>b<tr><td>c<tr><td "
         "colspan=2>wide</table>"},
        {"<table bordercolor=#00FF00 cellspacing=3><tr><td bgcolor=blue>a<td>b</table>"},
        {"<table bordercolor=#00FF00 border=2><tr><td>a<td></td><td>c</table>"},
    };
    for (const auto& c : cases) {
        TestDoc d(c.Html, 400);
        ThtmlTable* t = FirstTable(d);
        ASSERT_NE(t, nullptr);
        d.Draw();
        auto grid = GridCoverage(d, *t, 0x00FF00);
        for (size_t y = 0; y < grid.size(); ++y) {
            // Nothing is filled twice, nothing is left out, no cell is painted over.
            EXPECT_EQ(grid[y].find_first_of(".2"), std::string::npos)
                << c.Html << " row " << y << ": " << grid[y];
        }
        // The cells are not painted in the document colour (a background picture would vanish).
        for (const auto& op : d.Metrics.Ops) {
            if (op.Kind == 'F') {
                EXPECT_NE(op.Color & 0xFFFFFF, d.Doc.Background & 0xFFFFFF) << c.Html;
            }
        }
    }
}

TEST(HtmlTable, BorderColourIsClippedToTheDrawnBand) {
    TestDoc d("<table bordercolor=#00FF00><tr><td>a<tr><td>b<tr><td>c<tr><td>d</table>", 400);
    ThtmlTable* t = FirstTable(d);
    ASSERT_NE(t, nullptr);
    d.Draw(30, 40);
    bool any = false;
    for (const auto& op : d.Metrics.Ops)
        if (op.Kind == 'F' && (op.Color & 0xFFFFFF) == 0x00FF00) {
            any = true;
            EXPECT_GE(op.Y, 29);
            EXPECT_LE(op.Y2, 40);
        }
    EXPECT_TRUE(any);
}

TEST(HtmlTable, PointsBesideANarrowCaptionHitNothing) {
    TestDoc d("<table align=center cellspacing=0 cellpadding=0><caption>cap</caption><tr><td>cell</table>",
              400);
    ThtmlTable* t = FirstTable(d);
    ASSERT_NE(t, nullptr);
    d.Draw();
    int32_t pos = d.Doc.FindString(0, "cap", true);
    ASSERT_GE(pos, 0);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(d.Doc.CharIndexToPoint(d.Metrics, pos, x, y));
    int32_t xr, yr, ht;
    bool inText;
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, x + 1, y + 1, xr, yr, ht, inText), pos);
    // Left of the centred caption, in its band: no character.
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, 2, y + 1, xr, yr, ht, inText), -1);
    EXPECT_EQ(d.Doc.CharIndexAtPoint(d.Metrics, 398, y + 1, xr, yr, ht, inText), -1);
}

TEST(HtmlTable, EmptyCellsDrawNothingOfTheirOwn) {
    // An empty cell has no background and no frame; the border colour shows through it.
    TestDoc d("<table border=1 bordercolor=#00FF00><tr><td>a<td bgcolor=blue></td></table>", 400);
    ThtmlTable* t = FirstTable(d);
    ASSERT_NE(t, nullptr);
    d.Draw();
    int lines = 0;
    for (const auto& op : d.Metrics.Ops) {
        lines += op.Kind == 'L';
        if (op.Kind == 'F') {
            EXPECT_NE(op.Color & 0xFFFFFF, 0xFF0000u);
        }
    }
    EXPECT_EQ(lines, 2 * 4); // the filled cell's sunken frame and the outer raised frame
    auto grid = GridCoverage(d, *t, 0x00FF00);
    TCellObj& empty = *t->Rows[0]->Cells[1];
    int32_t x = t->Widths[0] + t->CellSpacing + 1, y = t->CellSpacing + 1;
    ASSERT_LT(y, static_cast<int32_t>(grid.size()));
    EXPECT_EQ(grid[static_cast<size_t>(y)][static_cast<size_t>(x)], 'f') << empty.Wd;
}
