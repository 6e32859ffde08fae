// The namespace visualizer's page: golden pages for small maps, ordering, escaping, columns,
// and the work a render does after one more title.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/NamespaceVisualizerPage.h"
#include "base/StrUtils.h"
#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

namespace {

using Strings = std::vector<std::string>;

// Every title is 10 pixels a character.
int32_t Measure10(const std::string& s) {
    return static_cast<int32_t>(s.size()) * 10;
}

const std::string Head = "<html><body><nobr>  <table width=\"100%\"><tr>";
const std::string Tail = "  </tr></table></nobr></body></html>";
std::string Box(const std::string& name, const std::string& links) {
    return "<td valign=\"top\"><table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" "
           "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td><b><nobr>" +
           name + "</nobr></b><br>" + links + "</td></tr></table>";
}
std::string Link(const std::string& href, const std::string& text) {
    return "<nobr>\xBB <a href=\"" + href + "\">" + text + "</nobr></a><br>";
}
std::string Root(const std::string& name) {
    return "<nobr>\xBB <a href=\"" + name + ":\">[Root]</a></nobr><br>";
}

// The text of every section of a cell, tables included.
void CollectText(TCell& cell, std::string& out) {
    for (const auto& s : cell.Sections) {
        if (auto* t = dynamic_cast<TSection*>(s.get())) out += t->Text() + "|";
        if (auto* tb = dynamic_cast<ThtmlTable*>(s.get()))
            for (auto& row : tb->Rows)
                for (auto& c : row->Cells)
                    if (c && !c->Dummy) CollectText(c->Cell, out);
    }
}

// The page with its boxes put PerRow to a row.
std::string Regroup(std::string html, int32_t perRow) {
    const std::string breakAfterBox = "</table></tr><tr>", boxEnd = "</td></tr></table>";
    for (size_t at; (at = html.find(breakAfterBox)) != std::string::npos;)
        html.erase(at + 8, 9);
    int32_t n = 0;
    for (size_t at = html.find(boxEnd); at != std::string::npos; at = html.find(boxEnd, at + 1))
        if (++n % perRow == 0) html.insert(at + boxEnd.size(), "</tr><tr>");
    return html;
}

} // namespace

TEST(NamespacePage, GoldenPagesOfSmallMaps) {
    TNamespacePage page;
    int32_t columns = -1;
    // An empty map: "<tr>" followed directly by "  </tr>".
    EXPECT_EQ(page.Build(300, Measure10, columns), Head + Tail);
    EXPECT_EQ(columns, TNamespacePage::MaxBoxesPerRow); // no title: the widest is 1 pixel

    page.AddEntry("Work", "plan");
    page.AddEntry("Work", "");
    EXPECT_EQ(page.Build(300, Measure10, columns),
              Head + Box("Work", Root("Work") + Link("Work:plan", "plan")) + Tail);
    // Root links first, the empty title not a second time; Columns 0 ends with an empty row.
    page.ShowRootLinks = true;
    EXPECT_EQ(page.Build(50, Measure10, columns),
              Head + Box("Work", Root("Work") + Link("Work:plan", "plan")) + "</tr><tr>" + Tail);
    EXPECT_EQ(columns, 0);
}

TEST(NamespacePage, BoxesAndTitlesAreSortedIgnoringCaseAndEqualTitlesAreKeptOnce) {
    TNamespacePage page;
    page.AddEntry("b", "x");
    page.AddEntry("A", "x");
    page.AddEntry("c", "x");
    page.AddEntry("A b", "x"); // sorted by name, not by the name=value line
    EXPECT_EQ(page.Namespaces(), (Strings{"A", "A b", "b", "c"}));
    page.AddEntry("Default", "beta");
    page.AddEntry("default", "Beta");
    page.AddEntry("Default", "alpha");
    EXPECT_EQ(page.Titles("DEFAULT"), (Strings{"alpha", "beta"}));
    page.RemoveEntry("Default", "BETA");
    page.RemoveEntry("Default", "missing");
    page.RemoveEntry("nowhere", "alpha");
    EXPECT_EQ(page.Titles("Default"), (Strings{"alpha"}));
    page.RemoveEntry("Default", "alpha");
    EXPECT_TRUE(page.Titles("Default").empty());
    int32_t columns = 0;
    EXPECT_EQ(page.Build(1000, Measure10, columns).find("Default"), std::string::npos);

    // Titles added in order, as the store lists them, and then out of order: the same sorted
    // list, the last title added again in another case kept once.
    for (const char* Title : {"a", "ab", "abc", "b", "b c", "ba"})
        page.AddEntry("n", Title);
    page.AddEntry("n", "BA");
    page.AddEntry("n", "Abc");
    page.AddEntry("n", "aa");
    page.AddEntry("n", "z");
    page.AddEntry("n", "Z");
    page.AddEntry("n", "");
    EXPECT_EQ(page.Titles("n"), (Strings{"", "a", "aa", "ab", "abc", "b", "b c", "ba", "z"}));
    // The four boxes of one "x" each and the nine titles of n.
    EXPECT_EQ(page.TitleCount(), 13u);
}

// A box of thousands of titles, put in out of order and taken out again in every part of it: the
// titles stay sorted ignoring case, each kept once, as a small box keeps them.
TEST(NamespacePage, ThousandsOfTitlesInAnyOrderStaySortedAndUnique) {
    TNamespacePage page;
    std::vector<std::string> expected;
    auto title = [](int i) { return "t" + std::to_string(i); };
    for (int k = 0; k < 5000; ++k) {
        const int i = (k * 7919) % 5000; // every number once, scattered
        page.AddEntry("n", title(i));
        if (k % 7 == 0) page.AddEntry("n", "T" + std::to_string(i)); // the same in another case
        expected.push_back(title(i));
    }
    // Taken out: a stretch at the front (whole blocks go), every third of the rest, and names
    // that are not there.
    std::vector<std::string> kept;
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    for (size_t k = 0; k < expected.size(); ++k) {
        if (k < 1500 || k % 3 == 0)
            page.RemoveEntry("n", k % 2 ? expected[k] : "T" + expected[k].substr(1));
        else
            kept.push_back(expected[k]);
    }
    page.RemoveEntry("n", "t5000");
    page.RemoveEntry("n", "a");
    EXPECT_EQ(page.Titles("n"), kept);
    EXPECT_EQ(page.TitleCount(), kept.size());
    // Put back in order after the last: still one list.
    page.AddEntry("n", "zz");
    kept.push_back("zz");
    EXPECT_EQ(page.Titles("n"), kept);
    for (const std::string& t : kept)
        page.RemoveEntry("n", t);
    EXPECT_TRUE(page.Namespaces().empty());

    // Each title before all the others: the first block fills and splits again and again.
    std::vector<std::string> reversed;
    for (int i = 3999; i >= 0; --i) {
        char name[16];
        std::snprintf(name, sizeof name, "r%05d", i);
        page.AddEntry("r", name);
        reversed.insert(reversed.begin(), name);
    }
    EXPECT_EQ(page.Titles("r"), reversed);
    EXPECT_EQ(page.TitleCount(), reversed.size());
}

TEST(NamespacePage, ColumnsFollowTheWidestBoxes) {
    TNamespacePage page;
    // Each box 96 pixels: a 60-pixel title, the mark before it (20) and the frame (16).
    for (const char* ns : {"N", "M", "O", "P"})
        page.AddEntry(ns, "123456");
    int32_t columns = 0;
    const std::string html = page.Build(150, Measure10, columns);
    EXPECT_EQ(columns, 1);
    // One box per row: a row break after each box.
    EXPECT_NE(html.find("</table></tr><tr><td valign"), std::string::npos);
    page.Build(300, Measure10, columns);
    EXPECT_EQ(columns, 3);
    // Every box fits in one row: as many as a row holds, and no row break.
    EXPECT_EQ(page.Build(400, Measure10, columns).find("</tr><tr>"), std::string::npos);
    EXPECT_EQ(columns, TNamespacePage::MaxBoxesPerRow);
    // A long name widens its box as a long title does (bold: a quarter more), and only its own
    // column: 128 + 96 fits in 300 beside the others, three columns (320) do not.
    page.AddEntry("Namespace", "y"); // 90 pixels, 112 in bold
    page.Build(300, Measure10, columns);
    EXPECT_EQ(columns, 2);
    page.ForgetWidths();
    page.Build(60, nullptr, columns); // nothing measured: the frames alone, 17 pixels a box
    EXPECT_EQ(columns, 3);
}

// Boxes that do not fit the width go to the next row: the page laid out at the width it was
// written for is no wider, for root-only namespaces (the note window's panel), long names, long
// titles, and many boxes; and one box more per row would not have fitted.
TEST(NamespacePage, BoxesThatDoNotFitGoToTheNextRow) {
    struct TCase {
        const char* What;
        std::vector<std::pair<std::string, std::string>> Entries;
        bool RootLinks;
        bool Tight; // the widest box's width is its links (a bold name is allowed some room)
    };
    std::vector<TCase> cases = {
        {"three root-only namespaces", {{"Default", ""}, {"ideas", ""}, {"work", ""}}, true, false},
        {"long names", {{"Correspondence", ""}, {"Accounts", "x"}, {"b", "y"}}, true, false},
        {"titles", {{"A", "a long title here"}, {"B", "short"}, {"C", "mid title"}, {"D", "t"}}, false, true},
    };
    TCase many{"many boxes", {}, true, true};
    for (int i = 0; i < 40; ++i)
        many.Entries.push_back({"ns" + std::to_string(i), i % 3 ? "" : "topic " + std::to_string(i)});
    cases.push_back(many);
    for (const TCase& c : cases)
        for (int32_t width = 60; width <= 700; width += 13) {
            TNamespacePage page;
            page.ShowRootLinks = c.RootLinks;
            for (const auto& [ns, title] : c.Entries)
                page.AddEntry(ns, title);
            int32_t columns = 0;
            TFixedMetrics metrics(8);
            auto measure8 = [](const std::string& s) { return static_cast<int32_t>(s.size()) * 8; };
            auto laidOutWidth = [&](const std::string& html) {
                TSectionList doc;
                doc.SetMeasure(&metrics);
                THtmlParser parser;
                TStringList anchors;
                parser.ParseHtmlText(html, doc, &anchors);
                int32_t curs = 0, maxWidth = 0;
                doc.Layout(metrics, 0, width, maxWidth, curs);
                return maxWidth; // the page's width, or the width given when it fits
            };
            const std::string html = page.Build(width, measure8, columns);
            const std::string where = std::string(c.What) + " at " + std::to_string(width);
            const int32_t boxes = static_cast<int32_t>(page.Namespaces().size());
            if (columns == 0) continue; // narrower than one box: each on its own row, cut as it must be
            EXPECT_LE(laidOutWidth(html), width) << where << ", " << columns << " columns";
            if (columns >= boxes || !c.Tight) continue;
            // One more box in each row does not fit.
            std::string wider = Regroup(html, columns + 1);
            EXPECT_GT(laidOutWidth(wider), width) << where << ", " << columns + 1 << " columns";
        }
}

TEST(NamespacePage, MarkupInNamesAndTitlesIsShownAsTextAndLinksRoundTrip) {
    const Strings titles = {"<!--", "<script>", "a\"b", "x=y", "R&D"};
    TNamespacePage page;
    for (const auto& t : titles)
        page.AddEntry("N<s>=1", t);
    int32_t columns = 0;
    const std::string html = page.Build(400, Measure10, columns);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<!--"), std::string::npos);

    // Parsed, the page shows every title as text and links it to exactly its address.
    TSectionList doc;
    THtmlParser parser;
    TStringList anchors;
    parser.ParseHtmlText(html, doc, &anchors);
    int32_t curs = 0, maxWidth = 0;
    doc.Layout(doc.Measure(), 0, 400, maxWidth, curs);
    Strings hrefs;
    for (TFontObj* link : doc.LinkList)
        if (hrefs.empty() || hrefs.back() != link->UrlTarget.URL()) hrefs.emplace_back(link->UrlTarget.URL());
    Strings want;
    for (const auto& t : page.Titles("N<s>=1"))
        want.push_back("N<s>=1:" + t);
    EXPECT_EQ(hrefs, want);
    std::string text;
    CollectText(doc, text);
    for (const auto& t : titles)
        EXPECT_NE(text.find(t), std::string::npos) << t;
    EXPECT_NE(text.find("N<s>=1"), std::string::npos);
}

TEST(NamespacePage, OneMoreTitleMeasuresOnlyThatTitle) {
    TNamespacePage page;
    for (int i = 0; i < 2000; ++i)
        page.AddEntry("Big", "topic " + std::to_string(i));
    page.AddEntry("Small", "one");
    int calls = 0;
    auto counting = [&calls](const std::string& s) {
        ++calls;
        return Measure10(s);
    };
    int32_t columns = 0;
    const std::string first = page.Build(500, counting, columns);
    EXPECT_EQ(calls, 2001 + 2 + 2); // titles, names, the mark and "[Root]"
    calls = 0;
    page.AddEntry("Big", "topic new");
    const std::string second = page.Build(500, counting, columns);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(second.size(), first.size() + Link("Big:topic new", "topic new").size());
    // A changed font measures everything again.
    calls = 0;
    page.ForgetWidths();
    page.Build(500, counting, columns);
    EXPECT_EQ(calls, 2002 + 2 + 2);
}

TEST(NamespacePage, HundredsOfRootOnlyNamespacesRender) {
    TNamespacePage page;
    page.ShowRootLinks = true;
    for (int i = 0; i < 250; ++i)
        page.AddEntry("ns" + std::to_string(1000 + i), "");
    int32_t columns = 0;
    const std::string html = page.Build(600, Measure10, columns);
    size_t boxes = 0;
    for (size_t at = html.find("[Root]"); at != std::string::npos; at = html.find("[Root]", at + 1))
        ++boxes;
    EXPECT_EQ(boxes, 250u);
    // Every box "[Root]" with its mark (80 pixels) in a frame: 96 pixels.
    EXPECT_EQ(columns, 598 / 96);
    // The document engine lays the page out (a row of more boxes would be refused).
    TSectionList doc;
    THtmlParser parser;
    TStringList anchors;
    parser.ParseHtmlText(html, doc, &anchors);
    int32_t curs = 0, maxWidth = 0;
    EXPECT_NO_THROW(doc.Layout(doc.Measure(), 0, 600, maxWidth, curs));
    EXPECT_EQ(doc.LinkList.size() >= 250u, true);
}

TEST(NamespacePage, ASearchThatKeepsAFewTitlesWritesTheFreshPage) {
    // Most lines out and a few in, in several boxes, with and without root links: the page
    // written from the last one is the page a fresh model writes (and as quick to write as
    // that: a search keeping 3 of 100,000 titles took minutes when each line moved the rest).
    for (bool roots : {false, true}) {
        SCOPED_TRACE(roots ? "root links" : "no root links");
        TNamespacePage page, fresh;
        page.ShowRootLinks = fresh.ShowRootLinks = roots;
        for (int i = 0; i < 3000; ++i)
            page.AddEntry(i % 3 ? "Big" : "Other & more", "topic " + std::to_string(i));
        int32_t columns = 0;
        page.Build(900, Measure10, columns);
        for (int i = 0; i < 3000; ++i)
            if (i % 997 != 5) page.RemoveEntry(i % 3 ? "Big" : "Other & more", "topic " + std::to_string(i));
        for (const char* title : {"aa new", "topic 1500 b", "zz new"})
            page.AddEntry("Big", title);
        page.RemoveEntry("Other & more", "topic 1002"); // out and back in another case
        page.AddEntry("Other & more", "TOPIC 1002");
        for (const auto& name : page.Namespaces())
            for (const auto& title : page.Titles(name))
                fresh.AddEntry(name, title);
        int32_t freshColumns = 0;
        const std::string expected = fresh.Build(900, Measure10, freshColumns);
        EXPECT_EQ(page.Build(900, Measure10, columns), expected);
        EXPECT_FALSE(page.EditsApply()); // more lines than edits are worth: the page is loaded
        EXPECT_TRUE(page.Edits().empty());
        // A few lines more after that are edits again, and still the fresh page.
        page.RemoveEntry("Big", "zz new");
        fresh.RemoveEntry("Big", "zz new");
        EXPECT_EQ(page.Build(900, Measure10, columns), fresh.Build(900, Measure10, freshColumns));
        EXPECT_TRUE(page.EditsApply());
        EXPECT_EQ(page.Edits().size(), 1u);
    }
}

TEST(NamespacePage, APageLetGoAfterItsLoadIsWrittenAgainWhenAskedAndItsEditsHold) {
    // The panel updates its model without writing the page and lets the page go once loaded; the
    // page asked for later, and the edits of each store event, are those of a model that writes
    // the page at every build.
    for (bool roots : {false, true}) {
        SCOPED_TRACE(roots ? "root links" : "no root links");
        TNamespacePage written, released;
        written.ShowRootLinks = released.ShowRootLinks = roots;
        EXPECT_EQ(released.Text(), "");
        for (TNamespacePage* page : {&written, &released}) {
            page->AddEntry("Two", ""); // the empty title stands for the root link
            for (int i = 0; i < 30; ++i)
                page->AddEntry(i % 3 == 0 ? "One" : (i % 3 == 1 ? "Two" : "Three & co"),
                               "topic " + std::to_string(i));
        }
        int32_t columns = 0, releasedColumns = 0;
        // Narrow enough for two rows of boxes.
        written.Build(300, Measure10, columns);
        released.Update(300, Measure10, releasedColumns);
        ASSERT_EQ(columns, releasedColumns);
        ASSERT_LT(columns, 3);
        EXPECT_EQ(released.Text(), written.Text());
        released.ReleaseText();
        struct TChange {
            bool Add;
            const char* Namespace;
            const char* Title;
        };
        const TChange changes[] = {{true, "Two", "a first"},   {false, "One", "topic 3"},
                                   {true, "Three & co", "zz"}, {false, "Two", "topic 13"},
                                   {true, "One", "topic 3"},   {false, "Three & co", "topic 2"}};
        for (const TChange& change : changes) {
            SCOPED_TRACE(change.Title);
            std::string before = written.Text();
            for (TNamespacePage* page : {&written, &released})
                if (change.Add)
                    page->AddEntry(change.Namespace, change.Title);
                else
                    page->RemoveEntry(change.Namespace, change.Title);
            written.Build(300, Measure10, columns);
            released.Update(300, Measure10, releasedColumns);
            ASSERT_TRUE(released.EditsApply());
            ASSERT_EQ(released.Edits().size(), written.Edits().size());
            // The edits turn the page before into the page now.
            for (size_t i = 0; i < released.Edits().size(); ++i) {
                const TLinkEdit& e = released.Edits()[i];
                EXPECT_EQ(e.Offset, written.Edits()[i].Offset);
                if (e.Insert)
                    before.insert(static_cast<size_t>(e.Offset), e.Fragment,
                                  static_cast<size_t>(e.FragmentOffset), static_cast<size_t>(e.Length));
                else
                    before.erase(static_cast<size_t>(e.Offset), static_cast<size_t>(e.Length));
            }
            EXPECT_EQ(before, written.Text());
            EXPECT_EQ(released.Text(), written.Text());
            released.ReleaseText();
        }
    }
}
