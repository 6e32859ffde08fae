// The engine's shortcuts for long documents must not change what they stand for: a paint that
// starts at the first visible section draws what asking every section draws, a section laid out
// again where nothing changed keeps its lines, and sections moved between documents keep the
// link list in document order.
#include <gtest/gtest.h>

#include <cstdio>

#include "HtmlEngineFixture.h"
#include "htmlview/HtmlDocumentEdit.h"

namespace {

class SizedPicture : public IHtmlPicture {
public:
    SizedPicture(int32_t w, int32_t h) : w_(w), h_(h) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }

private:
    int32_t w_, h_;
};

void ServePictures(TestDoc& d) {
    d.Doc.GetImage = [](const std::string& name, uint8_t&, bool&) -> std::shared_ptr<IHtmlPicture> {
        int w = 0, h = 0;
        if (sscanf(name.c_str(), "%dx%d", &w, &h) == 2) return std::make_shared<SizedPicture>(w, h);
        return nullptr;
    };
}

// Long enough for the paint to search its sections: lines, a rule, a table, a picture floating
// beside later lines and reaching far below its own section, a paragraph of several lines.
std::string LongPage() {
    std::string html = "<p>a first paragraph that breaks into lines at a narrow width</p>";
    for (int i = 0; i < 60; ++i)
        html += "line " + std::to_string(i) + "<br>";
    html += "<hr><table border=1><tr><td>cell a</td><td>cell b</td></tr></table>";
    html += "<img src=\"40x400.bmp\" align=left>beside the picture<br>";
    for (int i = 60; i < 120; ++i)
        html += "<a href=\"#" + std::to_string(i) + "\">link " + std::to_string(i) + "</a><br>";
    html += "<p>" + std::string(40, 'w') + " a paragraph long enough to break into several lines " +
            std::string(30, 'x') + "</p>";
    for (int i = 120; i < 160; ++i)
        html += "tail " + std::to_string(i) + "<br>";
    return html;
}

using Ops = std::vector<TFixedMetrics::Op>;

// Each section asked in turn, as a paint did before it searched.
Ops DrawEverySection(TestDoc& d, const THvRect& rect) {
    d.Metrics.Ops.clear();
    TCell& cell = d.Doc;
    const int32_t width = cell.Indents.Width();
    cell.Indents.LeftEdge = 0;
    cell.Indents.RightEdge = width;
    cell.Indents.ClipWidth = 6000;
    int32_t y = 0;
    for (const auto& s : cell.Sections)
        y = s->Draw(d.Metrics, rect, cell.Indents, 0, y);
    cell.Indents.LeftEdge = 0;
    cell.Indents.RightEdge = width;
    return d.Metrics.Ops;
}

void ExpectSameOps(const Ops& a, const Ops& b, const std::string& where) {
    ASSERT_EQ(a.size(), b.size()) << where;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Kind, b[i].Kind) << where << " op " << i;
        EXPECT_EQ(a[i].X, b[i].X) << where << " op " << i;
        EXPECT_EQ(a[i].Y, b[i].Y) << where << " op " << i;
        EXPECT_EQ(a[i].X2, b[i].X2) << where << " op " << i;
        EXPECT_EQ(a[i].Y2, b[i].Y2) << where << " op " << i;
        EXPECT_EQ(a[i].Text, b[i].Text) << where << " op " << i;
    }
}

struct LineShape {
    int32_t Top, Start, Ln, Indent, Height;
    bool operator==(const LineShape&) const = default;
};

// Every text line of the document with where it is.
std::vector<LineShape> Shape(TestDoc& d) {
    std::vector<LineShape> out;
    for (auto* s : d.TextSections()) {
        int32_t top = s->YValue;
        for (const auto& l : s->Lines) {
            out.push_back({top, l.Start, l.Ln, l.LineIndent, l.FullHeight()});
            top += l.FullHeight();
        }
    }
    return out;
}

} // namespace

TEST(HtmlIncremental, APaintFromTheFirstVisibleSectionDrawsWhatEverySectionDraws) {
    TestDoc d;
    ServePictures(d);
    d.Load(LongPage(), 300);
    ASSERT_GT(d.Doc.Count(), 100);
    const struct {
        int32_t Scroll, Top, Bottom;
    } views[] = {
        {0, 0, 200},
        {0, 50, 51},
        {500, 0, 300},
        {950, 10, 400},
        {1000, 0, 16},
        {1003, 5, 37},
        {d.Height - 100, 0, 300},
        {d.Height + 50, 0, 300},
        {1900, 0, 600},
        {0, 0, 100000},
        {2400, 0, 1},
        {-20, 0, 200},
    };
    for (const auto& v : views) {
        const std::string where = "scroll " + std::to_string(v.Scroll) + " clip " + std::to_string(v.Top) +
                                  ".." + std::to_string(v.Bottom);
        d.Doc.SetYOffset(v.Scroll);
        const THvRect rect{0, v.Top, 300, v.Bottom};
        const Ops every = DrawEverySection(d, rect);
        d.Metrics.Ops.clear();
        EXPECT_EQ(d.Doc.Draw(d.Metrics, rect, 6000, 0, 0), d.Height) << where;
        ExpectSameOps(d.Metrics.Ops, every, where);
    }
    // The floating picture was drawn while only the lines beside it were in view.
    bool picture = false;
    d.Doc.SetYOffset(0);
    for (const auto& s : d.TextSections())
        if (!s->Images.Empty()) {
            d.Doc.SetYOffset(s->YValue + 100);
            d.Draw(0, 50);
            for (const auto& op : d.Metrics.Ops)
                picture = picture || op.Kind == 'P' || op.Kind == 'S';
        }
    EXPECT_TRUE(picture);
}

TEST(HtmlIncremental, ALayoutAgainKeepsOnlyWhatStillHolds) {
    TestDoc fresh;
    ServePictures(fresh);
    fresh.Load(LongPage(), 400);

    // Laid out narrower and back: the same lines as a document laid out once at that width.
    TestDoc again;
    ServePictures(again);
    again.Load(LongPage(), 400);
    again.Layout(120);
    TestDoc narrow;
    ServePictures(narrow);
    narrow.Load(LongPage(), 120);
    EXPECT_EQ(Shape(again), Shape(narrow));
    EXPECT_NE(Shape(again), Shape(fresh));
    again.Layout(400);
    EXPECT_EQ(Shape(again), Shape(fresh));
    EXPECT_EQ(again.Height, fresh.Height);

    // Another font size: the lines are broken again, not kept.
    again.Doc.SetFonts("Times New Roman", "Courier New", false, 0xFFFFFF, 0xFF, 0x800080, 0xFF0000, 0, 18);
    again.Layout(400);
    TestDoc big;
    ServePictures(big);
    big.Doc.SetFonts("Times New Roman", "Courier New", false, 0xFFFFFF, 0xFF, 0x800080, 0xFF0000, 0, 18);
    big.Load(LongPage(), 400);
    EXPECT_EQ(Shape(again), Shape(big));
    EXPECT_EQ(again.Height, big.Height);

    // Other metrics: measured again.
    TFixedMetrics wide(11);
    int32_t curs = 0, maxWidth = 0;
    const int32_t height = again.Doc.Layout(wide, 0, 400, maxWidth, curs);
    TestDoc wider;
    wider.Metrics.CharWidth = 11;
    ServePictures(wider);
    wider.Doc.SetFonts("Times New Roman", "Courier New", false, 0xFFFFFF, 0xFF, 0x800080, 0xFF0000, 0, 18);
    wider.Load(LongPage(), 400);
    EXPECT_EQ(height, wider.Height);
    EXPECT_EQ(Shape(again), Shape(wider));
}

TEST(HtmlIncremental, MovedSectionsKeepLinksInDocumentOrder) {
    // The link goes into the first cell; the links after it are in the next cell and below.
    const std::string before = "<a href=\"a\">a</a><table><tr><td>one<br>two</td><td><a href=\"c\">c</a><br>"
                               "<a href=\"d\">d</a></td></tr></table><a href=\"e\">e</a>";
    const std::string line = "<a href=\"b\">b</a><br>";
    const std::string after = "<a href=\"a\">a</a><table><tr><td>one<br>" + line +
                              "two</td><td><a href=\"c\">c</a><br><a href=\"d\">d</a></td></tr></table>"
                              "<a href=\"e\">e</a>";
    TestDoc doc(before), parsed(after);
    const int32_t at = static_cast<int32_t>(after.find(line));
    HtmlEdit::ShiftSourcePositions(doc.Doc, at, static_cast<int32_t>(line.size()));

    TestDoc fragment("<table><tr><td>one<br>" + line + "</td></tr></table>");
    auto cellOf = [](TestDoc& d) -> TCell& {
        auto tables = d.All<ThtmlTable>();
        return tables.at(0)->Rows.at(0)->Cells.at(0)->Cell;
    };
    TCell& from = cellOf(fragment);
    const auto* moving = dynamic_cast<TSection*>(from.Sections[1]);
    ASSERT_NE(moving, nullptr);
    ASSERT_EQ(moving->Text().substr(0, 1), "b");
    const int32_t shift = at - static_cast<int32_t>(std::string("<table><tr><td>one<br>").size());
    HtmlEdit::MoveSection(fragment.Doc, from, 1, doc.Doc, cellOf(doc), 1, shift);
    EXPECT_TRUE(fragment.Doc.LinkList.empty());
    doc.Layout(400);

    std::vector<std::string> links, want;
    for (auto* f : doc.Doc.LinkList)
        links.push_back(std::string(f->UrlTarget.URL()));
    for (auto* f : parsed.Doc.LinkList)
        want.push_back(std::string(f->UrlTarget.URL()));
    EXPECT_EQ(links, want);
    EXPECT_EQ(doc.Lines(), parsed.Lines());
    for (int32_t pos = 0; pos < parsed.Doc.Len; ++pos)
        EXPECT_EQ(doc.Doc.SourcePosOf(pos), parsed.Doc.SourcePosOf(pos)) << pos;

    // Taken out again: the links of the first document, in order.
    HtmlEdit::DeleteSection(doc.Doc, cellOf(doc), 1);
    HtmlEdit::ShiftSourcePositions(doc.Doc, at + static_cast<int32_t>(line.size()),
                                   -static_cast<int32_t>(line.size()));
    doc.Layout(400);
    TestDoc original(before);
    links.clear();
    want.clear();
    for (auto* f : doc.Doc.LinkList)
        links.push_back(std::string(f->UrlTarget.URL()));
    for (auto* f : original.Doc.LinkList)
        want.push_back(std::string(f->UrlTarget.URL()));
    EXPECT_EQ(links, want);
    EXPECT_EQ(doc.Lines(), original.Lines());
    for (int32_t pos = 0; pos < original.Doc.Len; ++pos)
        EXPECT_EQ(doc.Doc.SourcePosOf(pos), original.Doc.SourcePosOf(pos)) << pos;

    // Only plain text moves.
    TestDoc pictures;
    ServePictures(pictures);
    pictures.Load("<img src=\"5x5.bmp\">x");
    EXPECT_THROW(HtmlEdit::MoveSection(pictures.Doc, pictures.Doc, 0, doc.Doc, doc.Doc, 0, 0),
                 std::logic_error);
}
