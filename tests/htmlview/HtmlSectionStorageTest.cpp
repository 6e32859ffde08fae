// How a text section keeps its parts: lines and source runs inside it until they outgrow it,
// a run's link in one block, the first runs inside the run list and every run where the
// document's link list and hover point at it.
#include <gtest/gtest.h>

#include "HtmlEngineFixture.h"
#include "htmlview/HtmlDocumentEdit.h"

namespace {

struct Rec {
    int32_t A = 0, B = 0;
};

TEST(HtmlSectionStorage, ASmallVectorKeepsItsItemsWhenItGrowsShrinksAndIsCopied) {
    TSmallVector<Rec, 2> v;
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(v.capacity(), 2u);
    v.push_back({1, 10});
    v.push_back({2, 20});
    const Rec* inside = v.data();
    for (int32_t i = 3; i <= 9; ++i)
        v.push_back(v[static_cast<size_t>(i - 3)]); // an item of its own, while growing
    ASSERT_EQ(v.size(), 9u);
    EXPECT_NE(v.data(), inside);
    EXPECT_EQ(v[2].A, 1);
    EXPECT_EQ(v[3].B, 20);
    EXPECT_EQ(v.back().A, v[6].A);
    EXPECT_THROW(v.at(9), std::out_of_range);

    TSmallVector<Rec, 2> copy = v;
    copy[0].A = 99;
    EXPECT_EQ(v[0].A, 1);
    int32_t sum = 0;
    for (const Rec& r : copy)
        sum += r.B;
    EXPECT_EQ(sum, 5 * 10 + 4 * 20);

    v.clear();
    v.push_back({5, 50});
    v.shrink_to_fit(); // one item fits inside again
    EXPECT_EQ(v.data(), inside);
    EXPECT_EQ(v.capacity(), 2u);
    EXPECT_EQ(v.front().B, 50);
    copy.shrink_to_fit();
    EXPECT_EQ(copy.capacity(), 9u);
    EXPECT_EQ(copy[8].A, 1);
    EXPECT_EQ(copy[0].A, 99);
}

TEST(HtmlSectionStorage, ARunLinkGivesBackWhatItWasGiven) {
    struct Case {
        std::string Url, Target;
    };
    for (const Case& c : {Case{"", ""}, Case{"page.htm", ""}, Case{"", "frame"},
                          Case{"Default:A title with spaces & more", "_blank"},
                          Case{std::string("a\0b", 3), std::string("c\0", 2)}}) {
        TRunLink link;
        link = TUrlTarget{c.Url, c.Target};
        EXPECT_EQ(link.URL(), c.Url);
        EXPECT_EQ(link.Target(), c.Target);
        TRunLink copy(link);
        link.Clear();
        EXPECT_TRUE(link.URL().empty());
        EXPECT_TRUE(link.Target().empty());
        const TUrlTarget out = copy.Get();
        EXPECT_EQ(out.URL, c.Url);
        EXPECT_EQ(out.Target, c.Target);
        copy = copy; // itself
        EXPECT_EQ(copy.URL(), c.Url);
    }
}

TEST(HtmlSectionStorage, RunsPastTheFirstTwoAreListedLinkedAndHoveredInPlace) {
    // One paragraph of twelve runs, every other one a link of its own (4 characters each).
    std::string html;
    for (int i = 0; i < 6; ++i)
        html += "<b>ab" + std::to_string(i) + " </b><a href=\"u" + std::to_string(i) + "\">ln" +
                std::to_string(i) + " </a>";
    TestDoc d(html, 2000);
    d.Draw();
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    TSection& s = *t[0];
    ASSERT_EQ(s.Fonts.Count(), 12);
    int n = 0;
    for (TFontObj* run : s.Fonts) {
        EXPECT_EQ(run, s.Fonts[n]);
        EXPECT_EQ(run->Pos, 4 * n);
        EXPECT_EQ(run->Section, &s);
        ++n;
    }
    EXPECT_EQ(n, 12);
    ASSERT_EQ(d.Doc.LinkList.size(), 6u);
    d.Doc.LinksActive = true;
    for (int i = 0; i < 6; ++i) {
        TFontObj* run = s.Fonts[2 * i + 1];
        EXPECT_EQ(d.Doc.LinkList[static_cast<size_t>(i)], run);
        TUrlTarget url;
        TFormControlObj* ctrl = nullptr;
        // The middle of the link's characters: 8 pixels each.
        ASSERT_TRUE(d.Doc.LinkAtPoint(d.Metrics, (4 * (2 * i + 1) + 1) * 8 + 4, 5, url, ctrl)) << i;
        EXPECT_EQ(url.URL, "u" + std::to_string(i));
        EXPECT_EQ(d.Doc.HoverLink, run);
        EXPECT_TRUE(run->Hover);
        if (i > 0) {
            EXPECT_FALSE(s.Fonts[2 * i - 1]->Hover) << i;
        }
        EXPECT_EQ(s.Fonts.GetFontObjAt(4 * (2 * i + 1) + 3), run);
    }
    // A section's runs go with it: the document lists no run of it any more.
    d.Doc.Sections.Clear();
    EXPECT_TRUE(d.Doc.LinkList.empty());
    EXPECT_EQ(d.Doc.HoverLink, nullptr);
}

TEST(HtmlSectionStorage, ATrailingRunOpenedByAClosingTagGoesAndLeavesTheLinkList) {
    // Two runs kept inside, then a third in a block of its own that the closing tags leave empty.
    for (const char* html : {"a<a href=x>b</a>", "a<b>b</b><a href=x>c</a>", "<a href=x>a</a>"}) {
        TestDoc d(html);
        auto t = d.TextSections();
        ASSERT_EQ(t.size(), 1u) << html;
        const TSection& s = *t[0];
        EXPECT_LT(s.Fonts.Last()->Pos, s.Len) << html;
        ASSERT_EQ(d.Doc.LinkList.size(), 1u) << html;
        EXPECT_EQ(d.Doc.LinkList[0], s.Fonts.GetFontObjAt(s.Len - 1)) << html;
        EXPECT_EQ(d.Doc.LinkList[0]->UrlTarget.URL(), "x") << html;
    }
    // Line after line the dropped run's block is taken again; each line keeps its mark and link.
    std::string page;
    for (int i = 0; i < 40; ++i)
        page += "<nobr>\xBB <a href=\"N:t" + std::to_string(i) + "\"><b>t" + std::to_string(i) +
                "</b></nobr></a><br>";
    TestDoc d(page);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 40u);
    ASSERT_EQ(d.Doc.LinkList.size(), 40u);
    for (size_t i = 0; i < t.size(); ++i) {
        ASSERT_EQ(t[i]->Fonts.Count(), 2) << i;
        EXPECT_EQ(d.Doc.LinkList[i], t[i]->Fonts[1]) << i;
        EXPECT_EQ(t[i]->Fonts[1]->UrlTarget.URL(), "N:t" + std::to_string(i));
        EXPECT_TRUE(t[i]->Fonts[1]->CurrentFont->Style & fsBold) << i;
        EXPECT_FALSE(t[i]->Fonts[0]->CurrentFont->Style & fsBold) << i;
    }
}

} // namespace

namespace {

TEST(HtmlSectionStorage, SharedFontsAskedForAgainAreTheSameUntilTheLastGoes) {
    const size_t before = TSharedFont::DistinctFonts();
    auto font = [](int32_t size) {
        TMyFont f;
        f.Name = "Arial";
        f.Size = size;
        return f;
    };
    {
        // More fonts than are remembered as recent, asked for in turns.
        std::vector<TSharedFont> held;
        for (int round = 0; round < 3; ++round)
            for (int32_t size = 20; size < 27; ++size)
                held.emplace_back(font(size));
        EXPECT_EQ(TSharedFont::DistinctFonts() - before, 7u);
        for (size_t i = 7; i < held.size(); ++i)
            EXPECT_EQ(held[i], held[i % 7]) << i;
        // The last of one font goes while it is among the recent ones; asked for again it is made anew.
        TSharedFont lone(font(40));
        EXPECT_EQ(TSharedFont::DistinctFonts() - before, 8u);
        lone = TSharedFont(font(20));
        EXPECT_EQ(TSharedFont::DistinctFonts() - before, 7u);
        EXPECT_EQ(lone, held[0]);
        const TSharedFont again(font(40));
        EXPECT_EQ(again->Size, 40);
        EXPECT_EQ(TSharedFont::DistinctFonts() - before, 8u);
    }
    EXPECT_EQ(TSharedFont::DistinctFonts(), before);
}

} // namespace

namespace {

TEST(HtmlSectionStorage, ShiftedSourcePositionsAreThoseOfThePageWithTheTextPutIn) {
    // Every kind of section that keeps source positions: text, empty lines, list items,
    // preformatted text, a table's cells and its caption. A comment put into the page adds no
    // section, so the page with it parses to the same document with positions moved on.
    const std::string page = "<p>one two</p>x<br><br><br>y<ul><li>item</li></ul><pre>a  b\nc</pre>"
                             "<table><caption>cap</caption><tr><td>cell<br><br>z</td></tr></table>end";
    const std::string comment = "<!-- in -->";
    for (const char* mark : {"one", "y<ul>", "<br><br>y", "item", "b\nc", "cap", "z</td>", "end"}) {
        const size_t at = page.find(mark);
        ASSERT_NE(at, std::string::npos) << mark;
        TestDoc shifted(page), parsed(page.substr(0, at) + comment + page.substr(at));
        HtmlEdit::ShiftSourcePositions(shifted.Doc, static_cast<int32_t>(at),
                                       static_cast<int32_t>(comment.size()));
        ASSERT_EQ(shifted.Doc.Len, parsed.Doc.Len) << mark;
        for (int32_t pos = 0; pos < parsed.Doc.Len; ++pos)
            EXPECT_EQ(shifted.Doc.SourcePosOf(pos), parsed.Doc.SourcePosOf(pos)) << mark << " " << pos;
    }
}

} // namespace
