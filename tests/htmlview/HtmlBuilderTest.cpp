// The document builder: what sections and text each construct produces.
#include <gtest/gtest.h>

#include "HtmlEngineFixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST(HtmlBuilder, TextWrapsAtWordsAndFoldsWhiteSpace) {
    TestDoc d("Hello   big\r\nworld of text", 80); // 10 characters a line
    EXPECT_EQ(d.Lines(), (Lines{"Hello big ", "world of ", "text"}));
}

TEST(HtmlBuilder, ParagraphsGiveOneSpaceForARun) {
    TestDoc d("a<p><p></p>b");
    EXPECT_EQ(d.All<TParagraphSpace>().size(), 1u);
    EXPECT_EQ(d.Lines(), (Lines{"a", "b"}));
}

TEST(HtmlBuilder, HeadingsAreBoldAndSized) {
    TestDoc d("<h1>Title</h1>text");
    auto texts = d.TextSections();
    ASSERT_EQ(texts.size(), 2u);
    const TMyFont& f = *texts[0]->Fonts[0]->CurrentFont;
    EXPECT_EQ(f.Size, 24);
    EXPECT_TRUE(f.Style & fsBold);
    EXPECT_EQ(texts[1]->Fonts[0]->CurrentFont->Size, 12);
    EXPECT_EQ(d.All<THeadingSpace>().size(), 2u);
}

TEST(HtmlBuilder, StylesAndFontsMakeRuns) {
    TestDoc d("a<b>b<i>c</i></b><font size=+1 color=red face=\"Arial, Helv\">d</font>e");
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Text(), "abcde");
    TFontObj* b = t[0]->Fonts.GetFontObjAt(1);
    EXPECT_EQ(b->CurrentFont->Style, fsBold);
    EXPECT_EQ(t[0]->Fonts.GetFontObjAt(2)->CurrentFont->Style, fsBold | fsItalic);
    TFontObj* d4 = t[0]->Fonts.GetFontObjAt(3);
    EXPECT_EQ(d4->CurrentFont->Size, 14);
    EXPECT_EQ(d4->CurrentFont->Name, "Arial");
    EXPECT_EQ(d4->CurrentFont->Color & 0xFFFFFF, 0x0000FF);
    EXPECT_EQ(t[0]->Fonts.GetFontObjAt(4)->CurrentFont->Size, 12);
}

TEST(HtmlBuilder, RunsOfOneFontShareOneFontObject) {
    const size_t before = TSharedFont::DistinctFonts();
    {
        std::string page;
        for (int i = 0; i < 300; ++i)
            page += "plain <b>bold</b> <a href=\"u" + std::to_string(i) + "\">link</a><br>";
        TestDoc d(page);
        auto t = d.TextSections();
        ASSERT_EQ(t.size(), 300u);
        // Plain, bold and link fonts (the run after a link is plain again): three fonts kept.
        EXPECT_EQ(TSharedFont::DistinctFonts() - before, 3u);
        TFontObj* first = t[0]->Fonts.GetFontObjAt(8);
        TFontObj* last = t[299]->Fonts.GetFontObjAt(8);
        EXPECT_EQ(first->CurrentFont.Get(), last->CurrentFont.Get());
        EXPECT_EQ(t[0]->Fonts.GetFontObjAt(0)->CurrentFont.Get(),
                  t[299]->Fonts.GetFontObjAt(0)->CurrentFont.Get());
        // A hovered link changes its own colour only, and takes the shared font back after.
        TFontObj* link = t[5]->Fonts.GetFontObjAt(11);
        ASSERT_FALSE(link->UrlTarget.URL().empty());
        d.Doc.OverColor = 0x00FF00;
        link->SetHover(true);
        EXPECT_EQ(link->CurrentFont->Color & 0xFFFFFF, 0x00FF00);
        EXPECT_NE(t[6]->Fonts.GetFontObjAt(11)->CurrentFont->Color & 0xFFFFFF, 0x00FF00);
        link->SetHover(false);
        EXPECT_EQ(link->CurrentFont.Get(), t[6]->Fonts.GetFontObjAt(11)->CurrentFont.Get());
        // New document fonts reach every run.
        d.Doc.FontName = "Arial";
        d.Doc.UpdateFonts();
        EXPECT_EQ(t[299]->Fonts.GetFontObjAt(0)->CurrentFont->Name, "Arial");
        EXPECT_EQ(t[299]->Fonts.GetFontObjAt(8)->CurrentFont->Style, fsBold);
    }
    // Nothing refers to them any more: they are gone.
    EXPECT_EQ(TSharedFont::DistinctFonts(), before);
}

TEST(HtmlBuilder, FontSizesFollowTheTables) {
    struct Case {
        const char* Html;
        int32_t Size;
    } cases[] = {
        {"<font size=+1>x", 14},
        {"<font size=9>x", 36},
        {"<font size=-9>x", 8},
        {"<basefont size=5><font size=+1>x", 24},
        {"<big>x", 14},
        {"<small>x", 10},
        {"<big><big><big><big><big>x", 36},
        {"<pre><font size=4>x</font></pre>", 12},
        {"<font size=99999999999>x", 8}, // a number beyond 32 bits counts as 0
    };
    for (const auto& c : cases) {
        TestDoc d(c.Html);
        auto t = d.TextSections();
        ASSERT_FALSE(t.empty()) << c.Html;
        TFontObj* f = t.back()->Fonts.GetFontObjAt(t.back()->Len - 1);
        EXPECT_EQ(f->CurrentFont->Size, c.Size) << c.Html;
    }
}

TEST(HtmlBuilder, LinksRegisterAndCarryTheirTarget) {
    TestDoc d("<a href=\"x.htm\" target=t>go</a> on <a name=\"#Here\">here</a>");
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    TFontObj* link = t[0]->Fonts.GetFontObjAt(0);
    EXPECT_EQ(link->UrlTarget.URL(), "x.htm");
    EXPECT_EQ(link->UrlTarget.Target(), "t");
    EXPECT_TRUE(link->CurrentFont->Style & fsUnderline);
    EXPECT_TRUE(t[0]->Fonts.GetFontObjAt(3)->UrlTarget.URL().empty());
    EXPECT_EQ(d.Doc.LinkList.size(), 1u);
    ASSERT_EQ(d.Anchors.Count(), 1);
    EXPECT_EQ(d.Anchors[0], "HERE");
    EXPECT_EQ(d.Anchors.GetObject(0), t[0]);
}

TEST(HtmlBuilder, TextBeforeBodyIsDroppedAndItsPartsUnregistered) {
    TestDoc d("<a name=top href=x>lost</a><input name=q><body bgcolor=#00FF00 text=red>kept");
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Text(), "kept");
    EXPECT_TRUE(d.Doc.LinkList.empty());
    EXPECT_TRUE(d.Doc.FormControlList.empty());
    ASSERT_EQ(d.Anchors.Count(), 1);
    EXPECT_EQ(d.Anchors.GetObject(0), t[0]); // the anchor moved to the new section
    EXPECT_EQ(d.Doc.Background & 0xFFFFFF, 0x00FF00);
    EXPECT_EQ(t[0]->Fonts[0]->CurrentFont->Color & 0xFFFFFF, 0x0000FF);
}

TEST(HtmlBuilder, BodyAfterContentIsIgnored) {
    TestDoc d("<p>one<body bgcolor=red>two");
    EXPECT_EQ(d.Lines(), (Lines{"onetwo"}));
    EXPECT_NE(d.Doc.Background & 0xFFFFFF, 0x0000FF);
}

TEST(HtmlBuilder, ListsNumberAndNest) {
    TestDoc d("<ol type=A start=26><li>y<li>z<ul><li>in</ul></ol><ol start=0 type=i><li>zero</ol><ol "
              "type=\"\"><li>e</ol>");
    auto items = d.All<TOListItem>();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0]->NumberText(), "Z.");
    EXPECT_EQ(items[1]->NumberText(), "Z."); // letters stop at Z
    EXPECT_EQ(items[2]->NumberText(), "0."); // no numeral for 0: decimal
    EXPECT_EQ(items[3]->NumberText(), "1.");
    auto bullets = d.All<TUListItem>();
    ASSERT_EQ(bullets.size(), 5u); // the numbered items are list items too
    TUListItem* inner = nullptr;
    for (auto* b : bullets)
        if (b->ListType == 2) inner = b;
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Level, 2);
    EXPECT_EQ(inner->Lines.at(0).LineIndent, 70);
    EXPECT_EQ(items[0]->Lines.at(0).LineIndent, 35);
}

TEST(HtmlBuilder, RomanNumeralsAndLetters) {
    struct Case {
        char Type;
        int32_t N;
        const char* Text;
    } cases[] = {{'I', 4, "IV."}, {'i', 21, "xx."}, {'a', 2, "b."},
                 {'A', 27, "Z."}, {'1', 7, "7."},   {'i', 0, "0."}};
    TSectionList doc;
    for (const auto& c : cases) {
        TOListItem item(&doc, nullptr, TMyFont(), c.Type, c.N, 1);
        EXPECT_EQ(item.NumberText(), c.Text) << c.Type << c.N;
    }
}

TEST(HtmlBuilder, LoneListItemBecomesABulletAndEndsAtABlock) {
    TestDoc d("<li>one <b>two</b><font size=5>three");
    auto items = d.All<TUListItem>();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->Level, 1);
    EXPECT_EQ(items[0]->Text(), "one two");
}

TEST(HtmlBuilder, PreformattedKeepsSpacesAndLines) {
    TestDoc d("<pre>a  b\r\n\r\n  c&amp;<b>d</b>\x04</pre>after");
    auto pres = d.All<TPreFormated>();
    ASSERT_EQ(pres.size(), 3u);
    EXPECT_EQ(pres[0]->Text(), "a  b");
    EXPECT_EQ(pres[1]->Len, 0);
    EXPECT_EQ(pres[2]->Text(), "  c&d ");  // a raw placeholder byte shows as a space
    EXPECT_EQ(pres[1]->SectionHeight, 10); // an empty line: the font's point size
    EXPECT_TRUE(pres[2]->Fonts.GetFontObjAt(4)->CurrentFont->Style & fsBold);
}

TEST(HtmlBuilder, TextModeShowsMarkupAsTyped) {
    TestDoc d;
    d.Parser.ParseTextAsPreformatted("a<b>&amp;\r\nx\x05y", d.Doc, nullptr);
    d.Layout(400);
    EXPECT_EQ(d.Lines(), (Lines{"a<b>&amp;", "x y"}));
}

TEST(HtmlBuilder, ScriptBodyGoesToTheHandlerNotTheText) {
    TestDoc d;
    std::string seen;
    d.Parser.OnScript = [&](TObject*, const std::string& name, const std::string&, const std::string& s) {
        seen = name + ":" + s;
    };
    d.Load("a<script name=n>if (a < b) x = '<b>';\r\n</script>b");
    EXPECT_EQ(seen, "n:if (a < b) x = '<b>';\r\n");
    EXPECT_EQ(d.Lines(), (Lines{"ab"}));
    TestDoc unhandled("a<script>x</script>b");
    EXPECT_EQ(unhandled.Lines(), (Lines{"ab"}));
}

TEST(HtmlBuilder, MalformedInputStillGivesADocument) {
    // Each input, and a piece of its text that must still be shown ("" when it has none).
    const std::pair<const char*, const char*> inputs[] = {
        {"<b><i><u>unclosed", "unclosed"},
        {"text<!-- never closed", ""},
        {"<table><tr><td>cell", "cell"},
        {"</ol></ul></table></td>stray ends", "stray ends"},
        {"<a href=x><a href=y>double</a>", "double"},
        {"<select><option>a<option selected>b", ""},
        {"<textarea>line1\r\nline2", ""},
        {"<<<>>>&&&;;", "&&&;;"},
        {"<h1><h2><h3>x</h1>", "x"},
        {"<map name=m><b><i><u>", ""},
    };
    for (const auto& [in, shown] : inputs) {
        TestDoc d;
        EXPECT_NO_THROW(d.Load(in)) << in;
        EXPECT_NO_THROW(d.Draw()) << in;
        std::string text;
        for (const std::string& line : d.Lines())
            text += line;
        EXPECT_NE(text.find(shown), std::string::npos) << in << " shows " << text;
        EXPECT_GE(d.Height, 0) << in;
    }
    TestDoc unclosed("<b><i><u>unclosed");
    EXPECT_EQ(unclosed.Lines(), (Lines{"unclosed"}));
    TestDoc comment("text<!-- never closed");
    EXPECT_TRUE(comment.Lines().empty()); // the document ends before the comment
}

TEST(HtmlBuilder, DeepNestingIsCapped) {
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<div><ul><blockquote><table><tr><td>";
    deep += "x";
    TestDoc d;
    d.Parser.ParseHtmlText(deep, d.Doc, nullptr);
    try {
        d.Layout(2000);
    } catch (const EProcessError& e) {
        // The skipped tables' rows and cells pile into the deepest table that was kept.
        EXPECT_STREQ(e.what(), "Table has too many Columns");
    }
    EXPECT_FALSE(d.Doc.Processing);
    EXPECT_LE(d.Lines().size(), 5000u);
}

TEST(HtmlBuilder, TitleBaseAndMeta) {
    TestDoc d;
    std::string meta;
    d.Parser.ParseHtmlText(
        "<title>The  Title</title><base href=\"http://x/\" target=main>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"><p>x",
        d.Doc, nullptr, {}, {},
        [&](TObject*, const std::string& h, const std::string&, const std::string& c) {
            meta = h + "|" + c;
        });
    EXPECT_EQ(d.Parser.Title, "The Title");
    EXPECT_EQ(d.Parser.BaseHref, "http://x/");
    EXPECT_EQ(d.Parser.BaseTarget, "main");
    EXPECT_EQ(meta, "Content-Type|text/html; charset=windows-1251");
    auto t = d.All<TSection>();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back()->Fonts.GetFontObjAt(0)->CurrentFont->Charset, 204);
}

TEST(HtmlBuilder, NoBreakKeepsWordsTogether) {
    TestDoc d("<nobr>aa bb  cc</nobr> dd", 40);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Text(), "aa\xA0"
                            "bb\xA0"
                            "cc dd");
    EXPECT_EQ(d.Lines(), (Lines{"aa\xA0"
                                "bb\xA0"
                                "cc ",
                                "dd"}));
}

TEST(HtmlBuilder, CenterAndDivAlignParagraphs) {
    TestDoc d("<center>ab</center><div align=right>cd</div>ef", 100);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0]->Justify, 2);
    EXPECT_EQ(t[0]->Lines[0].LineIndent, (100 - 16) / 2);
    EXPECT_EQ(t[1]->Lines[0].LineIndent, 100 - 16 - 1);
    EXPECT_EQ(t[2]->Lines[0].LineIndent, 0);
}

} // namespace
