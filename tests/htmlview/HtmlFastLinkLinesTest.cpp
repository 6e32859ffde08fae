// Link lines read straight from the source must give the very document the parser builds line by
// line: the same runs (titles, links, source positions, starts, lengths), the same text sections
// and the same laid-out places, over pages whose titles and markup stray from the usual line.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <typeinfo>

#include "LinkLinesPage.h"
#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"

namespace {

struct TParsed {
    explicit TParsed(bool Fast) {
        Doc.SetMeasure(&Metrics);
        Doc.CompactLinkLines = true;
        Parser.FastLinkLines = Fast;
    }
    void Load(const std::string& Html) {
        Doc.Clear();
        Parser.ParseHtmlText(Html, Doc, &Anchors);
        int32_t Curs = 0, MaxWidth = 0;
        Doc.Layout(Metrics, 0, 700, MaxWidth, Curs);
    }
    TFixedMetrics Metrics{8};
    TSectionList Doc;
    THtmlParser Parser;
    TStringList Anchors;
};

// Every section of the cell (tables inside it walked) written out with all the document keeps.
void Describe(TCell& Cell, std::ostream& Out) {
    for (const auto& S : Cell.Sections) {
        Out << typeid(*S).name() << " y" << S->YValue << " h" << S->SectionHeight << " c" << S->StartCurs
            << " l" << S->Len << "\n";
        if (auto* T = dynamic_cast<ThtmlTable*>(S.get())) {
            for (auto& Row : T->Rows)
                for (auto& C : Row->Cells)
                    if (C) {
                        Out << " cell\n";
                        Describe(C->Cell, Out);
                    }
        } else if (auto* R = dynamic_cast<TLinkLines*>(S.get())) {
            for (int i = 0; i < R->LineCount(); ++i)
                Out << "  [" << R->Title(i) << "] <" << R->Url(i) << "> s" << R->LineStart(i) << " m"
                    << R->MarkSource(i) << " t" << R->TitleSource(i) << "\n";
        } else if (auto* X = dynamic_cast<TSection*>(S.get())) {
            Out << "  text [" << X->Text() << "] j" << int(X->Justify) << " c" << int(X->ClearAttr) << "\n";
            for (const auto* F : X->Fonts)
                Out << "  font " << F->Pos << " <" << F->UrlTarget.URL() << "|" << F->UrlTarget.Target()
                    << "> " << F->CurrentFont->Name << " " << F->CurrentFont->Size << " "
                    << int(F->CurrentFont->Style) << " " << F->CurrentFont->Color << "\n";
            for (const auto& I : X->SourceIndexList)
                Out << "  src " << I.PosIndex << "=" << I.SourceIndex << "\n";
        }
    }
}

std::string Describe(TParsed& P) {
    std::ostringstream Out;
    Out << "len " << P.Doc.Len << " links " << P.Doc.LinkList.size() << " anchors " << P.Anchors.Count()
        << "\n";
    Describe(P.Doc, Out);
    return Out.str();
}

// The page parsed both ways must be the same document; returns the lines read straight.
int ExpectSameParse(const std::string& Html) {
    TParsed Slow(false), Fast(true);
    Slow.Load(Html);
    Fast.Load(Html);
    EXPECT_EQ(Slow.Parser.LinkLinesReadFast, 0);
    const std::string A = Describe(Slow), B = Describe(Fast);
    EXPECT_EQ(A, B) << Html;
    return Fast.Parser.LinkLinesReadFast;
}

std::string Line(const std::string& Href, const std::string& Shown) {
    return "<nobr>\xBB <a href=\"" + Href + "\">" + Shown + "</nobr></a><br>";
}

TEST(HtmlFastLinkLines, PanelPageIsReadStraightAndUnchanged) {
    const std::string Page = LinkLinesPage(PanelBoxes(300));
    // All but the first line of each run (and the lines around the entity) are read straight.
    EXPECT_GT(ExpectSameParse(Page), 280);
}

TEST(HtmlFastLinkLines, TitlesThatStrayAreReadAsTheLinesAround) {
    const std::vector<std::string> Titles = {"salt &amp; pepper",
                                             "two  spaces",
                                             " leading",
                                             "trailing ",
                                             "no\xA0"
                                             "break",
                                             "nb\xA0 space",
                                             "&nbsp;entity",
                                             "it's",
                                             "say \"hi\"",
                                             "a < b",
                                             "a > b",
                                             "caf\xE9 \x80\x9F\xFF",
                                             "tab\there",
                                             "ctl\x01x",
                                             "del\x7Fx",
                                             "line\nend",
                                             "cr\r\nlf",
                                             "&#65;BC",
                                             "x",
                                             "%20=;:/?#",
                                             "'quoted'",
                                             std::string(150, 'w'),
                                             std::string(70000, 'L')};
    std::vector<TLinkBox> Boxes = {{"Mixed", {"first", "second"}}};
    for (const auto& T : Titles) {
        Boxes[0].Titles.push_back(T);
        Boxes[0].Titles.push_back("plain after " + std::to_string(Boxes[0].Titles.size()));
    }
    Boxes.push_back({"Other box", {"", "o1", "o2", ""}});
    EXPECT_GT(ExpectSameParse(LinkLinesPage(Boxes)), Titles.size() / 2);
}

TEST(HtmlFastLinkLines, MarkupThatStraysFallsBack) {
    const std::string Box = "<table><tr><td><b><nobr>Box</nobr></b><br>";
    const std::string Two = Line("b:one", "one") + Line("b:two", "two");
    const std::vector<std::string> Variants = {
        "<NOBR>\xBB <A HREF=\"b:three\">three</NOBR></A><BR>",            // upper case
        "<nobr>\xBB <a href=\"b:three\">three</a></nobr><br>",            // ends in the root line's order
        "<nobr>\xBB <a href='b:three'>three</nobr></a><br>",              // other quotes
        "<nobr>\xBB <a  href=\"b:three\">three</nobr></a><br>",           // one more space
        "<nobr>\xBB <a href=\"b:three\">thre</nobr></a><br>",             // link and text differ
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a><br clear=all>",  // a clear
        "<nobr>\xBB <a href=\"b:three\" name=\"n\">three</nobr></a><br>", // an anchor
        "<nobr>\xBB <a href=\"b:three\" target=\"t\">three</nobr></a><br>",
        "<nobr>\xBB <a href=\"c:three\">three</nobr></a><br>",           // another prefix
        "<nobr>\xBB <a href=\"b:three\"><b>three</b></nobr></a><br>",    // another font
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a><br>\r\n",       // a line end after
        "\n<nobr>\xBB <a href=\"b:three\">three</nobr></a><br>",         // a line end before
        "<nobr>\xBB <a href=\"b:th\nree\">three</nobr></a><br>",         // in the link
        "<nobr>\xBB <a href=\"b:three\"><!-- c -->three</nobr></a><br>", // a comment
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a><br><!-- c -->",
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a><p>",                // no BR
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a></td></tr></table>", // the cell ends
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a><br><b><nobr>Name after</nobr></b><br>",
        "<nobr>\xAB <a href=\"b:three\">three</nobr></a><br>", // another mark
        "<nobr>\xBB <a href=\"b:three\">three</nobr></a><br",  // the page ends in the tag
        "words after the lines, outside NOBR<br>",
        "<b>bold words</b> and an <a href=\"x\">open link",
    };
    int Fast = 0;
    for (const auto& V : Variants) {
        SCOPED_TRACE(V);
        // The variant after two usual lines, then usual lines again.
        Fast += ExpectSameParse(Box + Two + V + Line("b:four", "four") + Line("b:five", "five") +
                                "</td></tr></table>");
        Fast += ExpectSameParse(Box + Two + V);
    }
    EXPECT_GT(Fast, 0);
}

TEST(HtmlFastLinkLines, RandomPagesAreTheSameBothWays) {
    std::mt19937 Rng(24);
    const std::string Alphabet = "abcXYZ09 \xA0\xBB\xE9\x80&;<>\"'=:#\t\n";
    const std::vector<std::string> Pieces = {"&amp;", "&nbsp;", "&lt;", " ", "  ", "x", "title", "\xA0 "};
    int Fast = 0;
    for (int Page = 0; Page < 60; ++Page) {
        std::vector<TLinkBox> Boxes;
        const int NBoxes = 1 + static_cast<int>(Rng() % 4);
        for (int b = 0; b < NBoxes; ++b) {
            TLinkBox Box{"ns" + std::to_string(b), {}};
            const int N = static_cast<int>(Rng() % 40);
            for (int i = 0; i < N; ++i) {
                std::string T;
                const int Kind = static_cast<int>(Rng() % 10);
                if (Kind == 0) {
                    T = ""; // the root line
                } else if (Kind < 3) {
                    const int Len = 1 + static_cast<int>(Rng() % 12);
                    for (int k = 0; k < Len; ++k)
                        T += Alphabet[Rng() % Alphabet.size()];
                } else if (Kind < 4) {
                    for (int k = 0; k < 3; ++k)
                        T += Pieces[Rng() % Pieces.size()];
                } else {
                    T = "topic " + std::to_string(Rng() % 1000);
                }
                Box.Titles.push_back(T);
            }
            Boxes.push_back(Box);
        }
        Fast += ExpectSameParse(LinkLinesPage(Boxes, 2));
    }
    EXPECT_GT(Fast, 500);
}

} // namespace
