// The visualizer's document edited line by line must be the document a parse of the whole new
// page gives: the same sections, lines, positions, fonts, links and hit tests, and the same drawing.
// Each case runs on a document that keeps link lines as runs of data, as the panel's does, and on
// one of a text section per line; the first must also answer as the second does.
#include <gtest/gtest.h>

#include <functional>

#include "app/NamespaceVisualizerEdit.h"
#include "app/NamespaceVisualizerPage.h"
#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

namespace {

int32_t Measure8(const std::string& s) {
    return static_cast<int32_t>(s.size()) * 8;
}

constexpr int32_t kWidth = 900;

struct TDoc {
    TFixedMetrics Metrics{8};
    TSectionList Doc;
    THtmlParser Parser;
    TStringList Anchors;
    int32_t Height = 0;

    explicit TDoc(bool Compact = false) {
        Doc.SetMeasure(&Metrics);
        Doc.CompactLinkLines = Compact;
    }
    void Load(const std::string& Html) {
        Doc.Clear();
        Parser.ParseHtmlText(Html, Doc, &Anchors);
        Layout();
    }
    void Layout(int32_t Width = kWidth) {
        int32_t curs = 0;
        MaxWidth = 0;
        Height = Doc.Layout(Metrics, 0, Width, MaxWidth, curs);
    }
    int32_t MaxWidth = 0;
    std::vector<TFixedMetrics::Op> Draw(int32_t Top, int32_t Bottom, int32_t Scroll) {
        Doc.SetYOffset(Scroll);
        Metrics.Ops.clear();
        Doc.Draw(Metrics, {0, Top, kWidth, Bottom}, 6000, 0, 0);
        return Metrics.Ops;
    }
};

void ExpectSameCell(TCell& A, TCell& B, const std::string& Where);

void ExpectSameSection(TSectionBase& A, TSectionBase& B, const std::string& Where) {
    EXPECT_EQ(typeid(A), typeid(B)) << Where;
    EXPECT_EQ(A.YValue, B.YValue) << Where;
    EXPECT_EQ(A.SectionHeight, B.SectionHeight) << Where;
    EXPECT_EQ(A.DrawHeight, B.DrawHeight) << Where;
    EXPECT_EQ(A.StartCurs, B.StartCurs) << Where;
    EXPECT_EQ(A.Len, B.Len) << Where;
    if (auto* TA = dynamic_cast<TSection*>(&A)) {
        auto* TB = dynamic_cast<TSection*>(&B);
        ASSERT_NE(TB, nullptr) << Where;
        const std::string At = Where + " '" + TA->Text() + "'";
        EXPECT_EQ(TA->Text(), TB->Text()) << At;
        ASSERT_EQ(TA->Lines.size(), TB->Lines.size()) << At;
        for (size_t k = 0; k < TA->Lines.size(); ++k) {
            EXPECT_EQ(TA->Lines[k].Start, TB->Lines[k].Start) << At;
            EXPECT_EQ(TA->Lines[k].Ln, TB->Lines[k].Ln) << At;
            EXPECT_EQ(TA->Lines[k].LineHeight, TB->Lines[k].LineHeight) << At;
            EXPECT_EQ(TA->Lines[k].LineIndent, TB->Lines[k].LineIndent) << At;
        }
        ASSERT_EQ(TA->SourceIndexList.size(), TB->SourceIndexList.size()) << At;
        for (size_t k = 0; k < TA->SourceIndexList.size(); ++k) {
            EXPECT_EQ(TA->SourceIndexList[k].PosIndex, TB->SourceIndexList[k].PosIndex) << At;
            EXPECT_EQ(TA->SourceIndexList[k].SourceIndex, TB->SourceIndexList[k].SourceIndex) << At;
        }
        ASSERT_EQ(TA->Fonts.Count(), TB->Fonts.Count()) << At;
        for (int k = 0; k < TA->Fonts.Count(); ++k) {
            const TFontObj& FA = *TA->Fonts[k];
            const TFontObj& FB = *TB->Fonts[k];
            EXPECT_EQ(FA.Pos, FB.Pos) << At;
            EXPECT_EQ(FA.UrlTarget.URL(), FB.UrlTarget.URL()) << At;
            EXPECT_EQ(FA.CurrentFont->Name, FB.CurrentFont->Name) << At;
            EXPECT_EQ(FA.CurrentFont->Size, FB.CurrentFont->Size) << At;
            EXPECT_EQ(FA.CurrentFont->Style, FB.CurrentFont->Style) << At;
            EXPECT_EQ(FA.CurrentFont->Color, FB.CurrentFont->Color) << At;
        }
    } else if (auto* RA = dynamic_cast<TLinkLines*>(&A)) {
        auto* RB = dynamic_cast<TLinkLines*>(&B);
        ASSERT_NE(RB, nullptr) << Where;
        ASSERT_EQ(RA->LineCount(), RB->LineCount()) << Where;
        for (int k = 0; k < RA->LineCount(); ++k) {
            EXPECT_EQ(RA->Title(k), RB->Title(k)) << Where << " line " << k;
            EXPECT_EQ(RA->Url(k), RB->Url(k)) << Where << " line " << k;
            EXPECT_EQ(RA->LineStart(k), RB->LineStart(k)) << Where << " line " << k;
            EXPECT_EQ(RA->SourcePosOf(RA->StartCurs + RA->LineStart(k)),
                      RB->SourcePosOf(RB->StartCurs + RB->LineStart(k)))
                << Where << " line " << k;
        }
    } else if (auto* TA = dynamic_cast<ThtmlTable*>(&A)) {
        auto* TB = dynamic_cast<ThtmlTable*>(&B);
        ASSERT_NE(TB, nullptr) << Where;
        EXPECT_EQ(TA->TableWidth, TB->TableWidth) << Where;
        EXPECT_EQ(TA->TableHeight, TB->TableHeight) << Where;
        ASSERT_EQ(TA->Rows.size(), TB->Rows.size()) << Where;
        for (size_t r = 0; r < TA->Rows.size(); ++r) {
            ASSERT_EQ(TA->Rows[r]->Cells.size(), TB->Rows[r]->Cells.size()) << Where;
            EXPECT_EQ(TA->Rows[r]->RowHeight, TB->Rows[r]->RowHeight) << Where;
            for (size_t c = 0; c < TA->Rows[r]->Cells.size(); ++c) {
                TCellObj* CA = TA->Rows[r]->Cells[c].get();
                TCellObj* CB = TB->Rows[r]->Cells[c].get();
                ASSERT_EQ(CA == nullptr, CB == nullptr) << Where;
                if (!CA) continue;
                EXPECT_EQ(CA->Wd, CB->Wd) << Where;
                EXPECT_EQ(CA->Ht, CB->Ht) << Where;
                ExpectSameCell(CA->Cell, CB->Cell,
                               Where + "/r" + std::to_string(r) + "c" + std::to_string(c));
            }
        }
    }
}

void ExpectSameCell(TCell& A, TCell& B, const std::string& Where) {
    EXPECT_EQ(A.YValue, B.YValue) << Where;
    EXPECT_EQ(A.StartCurs, B.StartCurs) << Where;
    EXPECT_EQ(A.Len, B.Len) << Where;
    ASSERT_EQ(A.Count(), B.Count()) << Where;
    for (int i = 0; i < A.Count(); ++i)
        ExpectSameSection(*A.Sections[i], *B.Sections[i], Where + "/" + std::to_string(i));
}

// What a viewer reads of a document: its size, the links and characters under the mouse and the
// drawing.
void ExpectSameBehaviour(TDoc& Edited, TDoc& Parsed) {
    EXPECT_EQ(Edited.Height, Parsed.Height);
    EXPECT_EQ(Edited.MaxWidth, Parsed.MaxWidth);
    EXPECT_EQ(Edited.Doc.Len, Parsed.Doc.Len);
    // Links and characters under the mouse, every 5 pixels down a column through the boxes
    // (hit tests read where the last paint put things: all of both painted first).
    Edited.Draw(0, Edited.Height + 1, 0);
    Parsed.Draw(0, Parsed.Height + 1, 0);
    // Every 5 pixels; a long page at most some 700 rows, at steps that fall on every part of a line.
    const int32_t Step = Parsed.Height > 3500 ? Parsed.Height / 700 | 1 : 5;
    for (int32_t y = 0; y < Parsed.Height; y += Step)
        for (int32_t x : {20, 60, 320}) {
            TUrlTarget UA, UB;
            TFormControlObj *FA = nullptr, *FB = nullptr;
            const bool LA = Edited.Doc.LinkAtPoint(Edited.Metrics, x, y, UA, FA);
            const bool LB = Parsed.Doc.LinkAtPoint(Parsed.Metrics, x, y, UB, FB);
            EXPECT_EQ(LA, LB) << x << "," << y;
            EXPECT_EQ(UA.URL, UB.URL) << x << "," << y;
            int32_t XA = 0, YA = 0, HA = 0, XB = 0, YB = 0, HB = 0;
            bool IA = false, IB = false;
            const int32_t CA = Edited.Doc.CharIndexAtPoint(Edited.Metrics, x, y, XA, YA, HA, IA);
            EXPECT_EQ(CA, Parsed.Doc.CharIndexAtPoint(Parsed.Metrics, x, y, XB, YB, HB, IB)) << x << "," << y;
            EXPECT_EQ(Edited.Doc.SourcePosOf(CA), Parsed.Doc.SourcePosOf(CA)) << x << "," << y;
        }
    for (int32_t Scroll : {0, 37, Parsed.Height / 2, std::max(0, Parsed.Height - 200)}) {
        const auto A = Edited.Draw(0, 300, Scroll);
        const auto B = Parsed.Draw(0, 300, Scroll);
        ASSERT_EQ(A.size(), B.size()) << Scroll;
        for (size_t i = 0; i < A.size(); ++i) {
            EXPECT_EQ(A[i].Kind, B[i].Kind) << Scroll;
            EXPECT_EQ(A[i].X, B[i].X) << Scroll;
            EXPECT_EQ(A[i].Y, B[i].Y) << Scroll;
            EXPECT_EQ(A[i].Text, B[i].Text) << Scroll;
            EXPECT_EQ(A[i].Color, B[i].Color) << Scroll;
        }
    }
}

// Everything a viewer reads of a document, and its structure: the same sections and links.
void ExpectSameDocument(TDoc& Edited, TDoc& Parsed) {
    ExpectSameCell(Edited.Doc, Parsed.Doc, "doc");
    ASSERT_EQ(Edited.Doc.LinkList.size(), Parsed.Doc.LinkList.size());
    for (size_t i = 0; i < Parsed.Doc.LinkList.size(); ++i)
        EXPECT_EQ(Edited.Doc.LinkList[i]->UrlTarget.URL(), Parsed.Doc.LinkList[i]->UrlTarget.URL()) << i;
    ExpectSameBehaviour(Edited, Parsed);
}

// How many runs of link lines and text sections the cell holds, tables inside it included.
void CountKinds(TCell& Cell, int& Runs, int& Texts) {
    for (const auto& S : Cell.Sections) {
        if (dynamic_cast<TLinkLines*>(S.get())) ++Runs;
        if (dynamic_cast<TSection*>(S.get())) ++Texts;
        if (auto* Table = dynamic_cast<ThtmlTable*>(S.get()))
            for (auto& Row : Table->Rows)
                for (auto& C : Row->Cells)
                    if (C) CountKinds(C->Cell, Runs, Texts);
    }
}

// A page model, the document shown (edited when the page allows it) and the page's full parse.
struct TPanel {
    explicit TPanel(bool Compact) : Shown(Compact), Compact(Compact) {}
    TNamespacePage Page;
    TDoc Shown;
    bool Compact;
    TNamespaceDocumentEditor Editor;
    int32_t Columns = 0;
    int Loads = 0, Edits = 0;

    void Render() {
        const std::string Html = Page.Build(kWidth, Measure8, Columns);
        if (Page.EditsApply() && Editor.Attached(Shown.Doc) && Editor.Apply(Page.Edits())) {
            Shown.Layout();
            ++Edits;
        } else {
            Shown.Load(Html);
            Editor.Attach(Shown.Doc, Page.Namespaces().size());
            ++Loads;
        }
        TDoc Parsed(Compact);
        Parsed.Load(Html);
        int Runs = 0, Texts = 0;
        CountKinds(Shown.Doc, Runs, Texts);
        // A run for each box's lines (and the line of another shape that splits one): the
        // sections left are the boxes' names and such lines.
        EXPECT_EQ(Runs > 0, Compact);
        ExpectSameDocument(Shown, Parsed);
        if (Compact) {
            // Runs of lines must answer as a section per line does.
            TDoc Plain(false);
            Plain.Load(Html);
            ExpectSameBehaviour(Shown, Plain);
        }
    }
};

std::string Title(int i) {
    return "topic " + std::to_string(1000 + i);
}

} // namespace

void EachChangeEditsTheDocumentIntoTheParsedPageIn(bool Compact) {
    struct TStep {
        const char* What;
        std::function<void(TNamespacePage&)> Change;
    };
    const std::vector<TStep> Steps = {
        {"a title at the end", [](TNamespacePage& P) { P.AddEntry("Big", "zz last"); }},
        {"a title first", [](TNamespacePage& P) { P.AddEntry("Big", "aa first"); }},
        {"a title in the middle", [](TNamespacePage& P) { P.AddEntry("Big", "topic 1010 b"); }},
        {"one out of the middle", [](TNamespacePage& P) { P.RemoveEntry("Big", Title(20)); }},
        {"the first out", [](TNamespacePage& P) { P.RemoveEntry("Big", "aa first"); }},
        {"the last out", [](TNamespacePage& P) { P.RemoveEntry("Big", "zz last"); }},
        {"out and back in another case",
         [](TNamespacePage& P) {
             P.RemoveEntry("Big", Title(5));
             P.AddEntry("Big", "TOPIC 1005");
         }},
        {"out and back the same",
         [](TNamespacePage& P) {
             P.RemoveEntry("Big", Title(6));
             P.AddEntry("Big", Title(6));
         }},
        {"in and out before a render",
         [](TNamespacePage& P) {
             P.AddEntry("Big", "passing");
             P.RemoveEntry("Big", "passing");
         }},
        {"several boxes at once",
         [](TNamespacePage& P) {
             P.AddEntry("Alpha", "<b>&amp;\"x=y\"");
             P.AddEntry("Zed", "a");
             P.RemoveEntry("Big", Title(30));
             P.AddEntry("Big", Title(30) + " again");
         }},
        {"the empty title of a box", [](TNamespacePage& P) { P.AddEntry("Zed", ""); }},
        // An escaped title is a line of another shape: it stands between two runs of lines.
        {"a title of another shape in the middle",
         [](TNamespacePage& P) { P.AddEntry("Big", "topic 1040 & co"); }},
        {"a title right after it", [](TNamespacePage& P) { P.AddEntry("Big", "topic 1040 x"); }},
        {"a title right before it", [](TNamespacePage& P) { P.AddEntry("Big", "topic 1040 %"); }},
        {"the title of another shape out again",
         [](TNamespacePage& P) { P.RemoveEntry("Big", "topic 1040 & co"); }},
        {"the last title of a box out", [](TNamespacePage& P) { P.RemoveEntry("Zed", "z"); }},
    };
    for (bool Roots : {false, true}) {
        SCOPED_TRACE(Roots ? "with root links" : "without root links");
        TPanel Panel(Compact);
        Panel.Page.ShowRootLinks = Roots;
        for (int i = 0; i < 60; ++i)
            Panel.Page.AddEntry("Big", Title(i));
        Panel.Page.AddEntry("Alpha", "one of the widest titles"); // keeps the columns
        Panel.Page.AddEntry("Zed", "z");
        Panel.Render();
        for (const TStep& Step : Steps) {
            SCOPED_TRACE(Step.What);
            Step.Change(Panel.Page);
            Panel.Render();
            if (::testing::Test::HasFatalFailure()) return;
        }
        EXPECT_EQ(Panel.Loads, 1);
        EXPECT_EQ(Panel.Edits, static_cast<int>(Steps.size()));
    }
}

TEST(NamespaceDocumentEdit, EachChangeEditsTheDocumentIntoTheParsedPage) {
    for (bool Compact : {false, true}) {
        SCOPED_TRACE(Compact ? "link lines kept as runs" : "a section per line");
        EachChangeEditsTheDocumentIntoTheParsedPageIn(Compact);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// A box keeps its lines' layout from one layout to the next and lays out again only what an edit
// changed: every change of a box's lines, height or width, of the rows below it and of the
// document's height must come out as the parsed page's layout.
void KeptLayoutsOfTheBoxesFollowEveryChangeIn(bool Compact) {
    TPanel Panel(Compact);
    for (int n = 0; n < 9; ++n)
        for (int i = 0; i < 40; ++i)
            Panel.Page.AddEntry("ns" + std::to_string(n),
                                "t" + std::to_string(n) + "-" + std::to_string(100 + i));
    Panel.Page.AddEntry("ns0", "a title that keeps the first column wide enough for the others");
    Panel.Render();
    ASSERT_GT(Panel.Shown.Height, 0);
    const int32_t FirstHeight = Panel.Shown.Height;
    static const std::string kWider = "a title that keeps the first column wide enough for the others, too";
    const struct {
        const char* What;
        std::function<void(TPanel&)> Change;
    } Steps[] = {
        {"a wider title in a box of the second row, under the widest box",
         [](TPanel& P) { P.Page.AddEntry("ns5", "t5 a title wider than the others here"); }},
        {"the widest title of a box out again",
         [](TPanel& P) { P.Page.RemoveEntry("ns5", "t5 a title wider than the others here"); }},
        {"the widest box wider", [](TPanel& P) { P.Page.AddEntry("ns0", kWider); }},
        {"and narrower again", [](TPanel& P) { P.Page.RemoveEntry("ns0", kWider); }},
        {"a box of the first row grows: the rows below move",
         [](TPanel& P) {
             for (int i = 0; i < 6; ++i)
                 P.Page.AddEntry("ns2", "t2-" + std::to_string(200 + i));
         }},
        {"it shrinks back",
         [](TPanel& P) {
             for (int i = 0; i < 6; ++i)
                 P.Page.RemoveEntry("ns2", "t2-" + std::to_string(200 + i));
         }},
        {"the first line of the first box", [](TPanel& P) { P.Page.AddEntry("ns0", "a0"); }},
        {"the last line of the last box", [](TPanel& P) { P.Page.AddEntry("ns8", "zz"); }},
        {"laid out at another width in between",
         [](TPanel& P) {
             P.Shown.Layout(kWidth / 2);
             P.Page.RemoveEntry("ns8", "zz");
         }},
        {"laid out again with no change in between", [](TPanel& P) { P.Shown.Layout(); }},
        {"a line in the middle of every box",
         [](TPanel& P) {
             for (int n = 0; n < 9; ++n)
                 P.Page.AddEntry("ns" + std::to_string(n), "t" + std::to_string(n) + "-12");
         }},
    };
    for (const auto& Step : Steps) {
        SCOPED_TRACE(Step.What);
        Step.Change(Panel);
        Panel.Render();
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_EQ(Panel.Loads, 1); // every step was an edit
    EXPECT_GT(Panel.Shown.Height, FirstHeight);
}

TEST(NamespaceDocumentEdit, KeptLayoutsOfTheBoxesFollowEveryChange) {
    for (bool Compact : {false, true}) {
        SCOPED_TRACE(Compact ? "link lines kept as runs" : "a section per line");
        KeptLayoutsOfTheBoxesFollowEveryChangeIn(Compact);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// A box of more titles than one block of the page model holds: each build walks only the blocks
// that changed, and every line must still be taken out and put in where it stands.
void EditsOfALongBoxPutEveryLineInItsPlaceIn(bool Compact) {
    TPanel Panel(Compact);
    for (int i = 0; i < 1100; ++i) // blocks of 512, 512 and 76
        Panel.Page.AddEntry("Long", Title(i));
    Panel.Page.AddEntry("Short", "s");
    Panel.Render();
    const struct {
        const char* What;
        std::function<void(TNamespacePage&)> Change;
    } Steps[] = {
        {"a title in the last block", [](TNamespacePage& P) { P.AddEntry("Long", Title(1090) + " b"); }},
        {"a title in the first block", [](TNamespacePage& P) { P.AddEntry("Long", Title(3) + " b"); }},
        {"one out of a middle block", [](TNamespacePage& P) { P.RemoveEntry("Long", Title(600)); }},
        {"out of one block, into another",
         [](TNamespacePage& P) {
             P.RemoveEntry("Long", Title(100));
             P.AddEntry("Long", Title(1050) + " c");
             P.RemoveEntry("Long", Title(1099));
         }},
        {"a wider title in the middle", [](TNamespacePage& P) { P.AddEntry("Long", Title(700) + " wider"); }},
        {"and out again", [](TNamespacePage& P) { P.RemoveEntry("Long", Title(700) + " wider"); }},
        {"the first title after the root link", [](TNamespacePage& P) { P.AddEntry("Long", "a first"); }},
        {"another box between", [](TNamespacePage& P) { P.AddEntry("Short", "t"); }},
        {"the last title", [](TNamespacePage& P) { P.AddEntry("Long", "zz last"); }},
    };
    for (const auto& Step : Steps) {
        SCOPED_TRACE(Step.What);
        Step.Change(Panel.Page);
        Panel.Render();
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_EQ(Panel.Loads, 1);
}

// As the panel keeps its lines (the page model's blocks do not depend on how the document keeps them).
TEST(NamespaceDocumentEdit, EditsOfALongBoxPutEveryLineInItsPlace) {
    EditsOfALongBoxPutEveryLineInItsPlaceIn(true);
}

void ChangesOfTheBoxesOrColumnsLoadThePageIn(bool Compact) {
    TPanel Panel(Compact);
    for (int i = 0; i < 10; ++i)
        Panel.Page.AddEntry("Big", Title(i));
    Panel.Page.AddEntry("Small", "s");
    Panel.Render();
    const struct {
        const char* What;
        std::function<void(TNamespacePage&)> Change;
        bool Edited;
    } Steps[] = {
        {"a new namespace", [](TNamespacePage& P) { P.AddEntry("New", "x"); }, false},
        {"a title", [](TNamespacePage& P) { P.AddEntry("New", "y"); }, true},
        {"a namespace gone",
         [](TNamespacePage& P) {
             P.RemoveEntry("New", "x");
             P.RemoveEntry("New", "y");
         },
         false},
        // Big 872 pixels wide and Small 40 do not fit side by side in 898: one box a row.
        {"a title wide enough to change the columns",
         [](TNamespacePage& P) { P.AddEntry("Big", std::string(105, 'w')); }, false},
        {"root links switched on", [](TNamespacePage& P) { P.ShowRootLinks = true; }, false},
        {"widths forgotten", [](TNamespacePage& P) { P.ForgetWidths(); }, false},
        {"more titles than edits are worth",
         [](TNamespacePage& P) {
             for (size_t i = 0; i <= TNamespacePage::MaxEdits; ++i)
                 P.AddEntry("Big", "more " + std::to_string(i));
         },
         false},
        {"a title after all that", [](TNamespacePage& P) { P.RemoveEntry("Big", Title(3)); }, true},
    };
    for (const auto& Step : Steps) {
        SCOPED_TRACE(Step.What);
        const int Edits = Panel.Edits;
        Step.Change(Panel.Page);
        Panel.Render();
        EXPECT_EQ(Panel.Page.EditsApply(), Step.Edited);
        EXPECT_EQ(Panel.Edits - Edits, Step.Edited ? 1 : 0);
    }
}

TEST(NamespaceDocumentEdit, ChangesOfTheBoxesOrColumnsLoadThePage) {
    for (bool Compact : {false, true}) {
        SCOPED_TRACE(Compact ? "link lines kept as runs" : "a section per line");
        ChangesOfTheBoxesOrColumnsLoadThePageIn(Compact);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(NamespaceDocumentEdit, EditsRefuseADocumentOfAnotherShape) {
    TNamespacePage Page;
    Page.AddEntry("Big", "a");
    int32_t Columns = 0;
    Page.Build(kWidth, Measure8, Columns);
    Page.AddEntry("Big", "b");
    Page.Build(kWidth, Measure8, Columns);
    ASSERT_TRUE(Page.EditsApply());

    TDoc Other;
    Other.Load("<p>no boxes here</p>");
    TNamespaceDocumentEditor Editor;
    EXPECT_FALSE(Editor.Attach(Other.Doc, 1));
    EXPECT_FALSE(Editor.Apply(Page.Edits()));

    // A box whose cell lost its lines: the edit does not fit and the editor lets go.
    TDoc Boxes;
    Boxes.Load(std::string(TNamespacePage::PageHead) + "<td><table><tr><td><b>Big</b></td></tr></table>" +
               TNamespacePage::PageTail);
    ASSERT_TRUE(Editor.Attach(Boxes.Doc, 1));
    std::vector<TLinkEdit> Far = Page.Edits();
    Far[0].Line = 50;
    EXPECT_FALSE(Editor.Apply(Far));
    EXPECT_FALSE(Editor.Attached(Boxes.Doc));
}
