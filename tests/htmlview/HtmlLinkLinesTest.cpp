// Link lines kept as runs of data must be the page parsed with a text section per line: the same
// lines, heights, widths, characters, positions, hit tests, searches, copies and drawing, also
// after lines are put in, taken out and a run is split.
#include <gtest/gtest.h>

#include <algorithm>

#include "LinkLinesPage.h"
#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlDocumentEdit.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"

namespace {

constexpr TColor kOver = 0x00FF00;

struct TDoc {
    explicit TDoc(bool Compact) {
        Doc.SetMeasure(&Metrics);
        Doc.CompactLinkLines = Compact;
    }
    void Load(const std::string& Html, int32_t W = 900) {
        Doc.Clear();
        Parser.ParseHtmlText(Html, Doc, nullptr);
        Doc.LinksActive = true;
        Doc.OverColor = kOver;
        Layout(W);
    }
    void Layout(int32_t W) {
        Width = W;
        int32_t Curs = 0;
        MaxWidth = 0;
        Height = Doc.Layout(Metrics, 0, W, MaxWidth, Curs);
    }
    std::vector<TFixedMetrics::Op> Draw(int32_t Bottom, int32_t Scroll) {
        Doc.SetYOffset(Scroll);
        Metrics.Ops.clear();
        Doc.Draw(Metrics, {0, 0, Width, Bottom}, 6000, 0, 0);
        return Metrics.Ops;
    }
    TFixedMetrics Metrics{8};
    TSectionList Doc;
    THtmlParser Parser;
    int32_t Width = 900, Height = 0, MaxWidth = 0;
};

// One line of text as laid out: a text section, or a line of a run.
struct TLine {
    int32_t Y, Height, Curs, Len;
    TSectionBase* Section; // that holds the line
    bool operator==(const TLine& o) const {
        return Y == o.Y && Height == o.Height && Curs == o.Curs && Len == o.Len;
    }
};

void Flatten(TCell& Cell, std::vector<TLine>& Out, int& Runs) {
    for (const auto& S : Cell.Sections) {
        if (auto* T = dynamic_cast<ThtmlTable*>(S.get())) {
            for (auto& Row : T->Rows)
                for (auto& C : Row->Cells)
                    if (C) Flatten(C->Cell, Out, Runs);
        } else if (auto* R = dynamic_cast<TLinkLines*>(S.get())) {
            ++Runs;
            const int N = R->LineCount();
            for (int i = 0; i < N; ++i) {
                const int32_t End = i + 1 < N ? R->LineStart(i + 1) : R->Len;
                Out.push_back({R->YValue + i * (R->SectionHeight / N), R->SectionHeight / N,
                               R->StartCurs + R->LineStart(i), End - R->LineStart(i), R});
            }
        } else {
            Out.push_back({S->YValue, S->SectionHeight, S->StartCurs, S->Len, S.get()});
        }
    }
}

// The long box's cell (the second box) and the index of its first run.
TCell& BoxCell(TSectionList& Doc, int Box) {
    for (const auto& S : Doc.Sections)
        if (auto* T = dynamic_cast<ThtmlTable*>(S.get())) {
            TCell& Outer = T->Rows[static_cast<size_t>(Box / 3)]->Cells[static_cast<size_t>(Box % 3)]->Cell;
            for (const auto& I : Outer.Sections)
                if (auto* Inner = dynamic_cast<ThtmlTable*>(I.get())) return Inner->Rows[0]->Cells[0]->Cell;
        }
    throw std::runtime_error("no box");
}

int FirstRun(TCell& Cell) {
    for (int i = 0; i < Cell.Count(); ++i)
        if (dynamic_cast<TLinkLines*>(Cell.Sections[i])) return i;
    return -1;
}

int SectionWithUrl(TCell& Cell, const std::string& Url) {
    for (int i = 0; i < Cell.Count(); ++i)
        if (auto* S = dynamic_cast<TSection*>(Cell.Sections[i]))
            if (S->Fonts.Count() == 2 && S->Fonts[1]->UrlTarget.URL() == Url) return i;
    return -1;
}

// The rows hit-tested: thick near the ends and around the middle of the page, thin elsewhere.
std::vector<int32_t> HitRows(int32_t Height) {
    std::vector<int32_t> Ys;
    for (int32_t Y = 0; Y < Height + 4; ++Y)
        if (Y < 150 || Y > Height - 150 || std::abs(Y - Height / 2) < 100 || Y % 41 == 0) Ys.push_back(Y);
    return Ys;
}

void ExpectSameDrawing(TDoc& A, TDoc& B, int32_t Scroll) {
    const auto OA = A.Draw(300, Scroll), OB = B.Draw(300, Scroll);
    ASSERT_EQ(OA.size(), OB.size()) << "scroll " << Scroll;
    for (size_t i = 0; i < OA.size(); ++i) {
        EXPECT_EQ(OA[i].Kind, OB[i].Kind) << Scroll << " op " << i;
        EXPECT_EQ(OA[i].X, OB[i].X) << Scroll << " op " << i;
        EXPECT_EQ(OA[i].Y, OB[i].Y) << Scroll << " op " << i;
        EXPECT_EQ(OA[i].X2, OB[i].X2) << Scroll << " op " << i;
        EXPECT_EQ(OA[i].Y2, OB[i].Y2) << Scroll << " op " << i;
        EXPECT_EQ(OA[i].Text, OB[i].Text) << Scroll << " op " << i;
        EXPECT_EQ(OA[i].Color, OB[i].Color) << Scroll << " op " << i;
    }
}

// Everything a viewer reads of the two documents: A parsed with a section per line, B with runs.
void ExpectSameDocument(TDoc& A, TDoc& B) {
    ASSERT_EQ(A.Width, B.Width);
    EXPECT_EQ(A.Height, B.Height);
    EXPECT_EQ(A.MaxWidth, B.MaxWidth);
    EXPECT_EQ(A.Doc.Len, B.Doc.Len);
    std::vector<TLine> LA, LB;
    int RunsA = 0, RunsB = 0;
    Flatten(A.Doc, LA, RunsA);
    Flatten(B.Doc, LB, RunsB);
    EXPECT_EQ(RunsA, 0);
    EXPECT_GT(RunsB, 0);
    ASSERT_EQ(LA.size(), LB.size());
    for (size_t i = 0; i < LA.size(); ++i)
        ASSERT_EQ(LA[i], LB[i]) << "line " << i << " y " << LA[i].Y << "/" << LB[i].Y << " curs "
                                << LA[i].Curs << "/" << LB[i].Curs;
    int32_t MinA = 0, MaxA = 0, MinB = 0, MaxB = 0;
    A.Doc.MinMaxWidth(A.Metrics, MinA, MaxA);
    B.Doc.MinMaxWidth(B.Metrics, MinB, MaxB);
    EXPECT_EQ(MinA, MinB);
    EXPECT_EQ(MaxA, MaxB);

    // Hit tests read where the last paint put the lines: both painted whole first.
    A.Draw(A.Height + 1, 0);
    B.Draw(B.Height + 1, 0);
    int Links = 0;
    for (int32_t Y : HitRows(A.Height))
        for (int32_t X : {3, 17, 40, 120, 330, 470, 650}) {
            TUrlTarget UA, UB;
            TFormControlObj *FA = nullptr, *FB = nullptr;
            const bool HA = A.Doc.LinkAtPoint(A.Metrics, X, Y, UA, FA);
            const bool HB = B.Doc.LinkAtPoint(B.Metrics, X, Y, UB, FB);
            ASSERT_EQ(HA, HB) << X << "," << Y;
            EXPECT_EQ(UA.URL, UB.URL) << X << "," << Y;
            Links += HA;
            int32_t XA = 0, YA = 0, TA = 0, XB = 0, YB = 0, TB = 0;
            bool IA = false, IB = false;
            ASSERT_EQ(A.Doc.CharIndexAtPoint(A.Metrics, X, Y, XA, YA, TA, IA),
                      B.Doc.CharIndexAtPoint(B.Metrics, X, Y, XB, YB, TB, IB))
                << X << "," << Y;
            EXPECT_EQ(std::tie(XA, YA, TA, IA), std::tie(XB, YB, TB, IB)) << X << "," << Y;
            TObject *OA = nullptr, *OB = nullptr;
            int32_t IXA = 0, IYA = 0, IXB = 0, IYB = 0;
            EXPECT_EQ(A.Doc.ObjectAtPoint(X, Y, OA, IXA, IYA), B.Doc.ObjectAtPoint(X, Y, OB, IXB, IYB));
        }
    EXPECT_GT(Links, 50);

    // Every character: its place, itself, its source position and back. A's answers come from
    // the section that holds the character (what the document's walk finds, without the walk).
    size_t Holder = 0;
    const int32_t Split = LA[LA.size() / 2].Curs;
    for (int32_t C = 0; C < A.Doc.Len; ++C) {
        while (Holder < LA.size() && LA[Holder].Curs + LA[Holder].Len <= C)
            ++Holder;
        ASSERT_LT(Holder, LA.size());
        TSectionBase& S = *LA[Holder].Section;
        int32_t XA = -7, YA = -7, XB = -7, YB = -7;
        ASSERT_EQ(S.CharIndexToPoint(A.Metrics, C, XA, YA), B.Doc.CharIndexToPoint(B.Metrics, C, XB, YB))
            << C;
        ASSERT_EQ(std::tie(XA, YA), std::tie(XB, YB)) << C;
        char CA = 0, CB = 0;
        TObject *OA = nullptr, *OB = nullptr;
        ASSERT_EQ(S.CharAtIndex(C, CA, OA), B.Doc.CharAtIndex(C, CB, OB)) << C;
        ASSERT_EQ(CA, CB) << C;
        const int32_t SA = S.SourcePosOf(C);
        ASSERT_EQ(SA, B.Doc.SourcePosOf(C)) << C;
        if (C % 29 != 0 && std::abs(C - Split) > 100) continue;
        for (int32_t P : {SA - 1, SA, SA + 1})
            for (bool Prev : {false, true})
                ASSERT_EQ(A.Doc.DocPosOf(P, Prev), B.Doc.DocPosOf(P, Prev)) << C << " " << P << " " << Prev;
    }
    for (int32_t C : {-1, A.Doc.Len}) {
        int32_t X = 0, Y = 0;
        char Ch = 0;
        TObject* O = nullptr;
        EXPECT_FALSE(B.Doc.CharIndexToPoint(B.Metrics, C, X, Y));
        EXPECT_FALSE(B.Doc.CharAtIndex(C, Ch, O));
        EXPECT_EQ(B.Doc.SourcePosOf(C), -1);
    }

    // Every hit of a few searches, forwards.
    for (const auto& [What, Case] : std::vector<std::pair<std::string, bool>>{{"topic\xA0"
                                                                               "1",
                                                                               false},
                                                                              {"\xBB", true},
                                                                              {"&", true},
                                                                              {"P\xA0"
                                                                               "10",
                                                                               false},
                                                                              {"ONE", true},
                                                                              {"e\xA0t", false}}) {
        int32_t From = 0;
        int Hits = 0;
        while (true) {
            const int32_t HA = A.Doc.FindString(From, What, Case);
            ASSERT_EQ(HA, B.Doc.FindString(From, What, Case)) << What << " from " << From;
            if (HA < 0) break;
            ++Hits;
            From = HA + 1;
        }
        if (What == "topic\xA0"
                    "1") {
            EXPECT_GT(Hits, 10);
        }
    }

    // Selections that start and end inside runs, at their edges and across a whole box.
    const int32_t Mid = LA[LA.size() / 2].Curs;
    for (const auto& [From, To] :
         std::vector<std::pair<int32_t, int32_t>>{{0, A.Doc.Len},
                                                  {LA[8].Curs + 3, LA[40].Curs + 5},
                                                  {Mid - 50, Mid + 50},
                                                  {LA[9].Curs, LA[12].Curs + LA[12].Len},
                                                  {LA[20].Curs + 1, LA[20].Curs + 4},
                                                  {LA[30].Curs + LA[30].Len, LA[31].Curs}}) {
        A.Doc.SelFrom = B.Doc.SelFrom = From;
        A.Doc.SelTo = B.Doc.SelTo = To;
        EXPECT_EQ(A.Doc.SelectedText(), B.Doc.SelectedText()) << From << ".." << To;
    }
    // A selection drawn: from inside one line of a run to inside a line of the next.
    A.Doc.SelFrom = B.Doc.SelFrom = Mid - 40;
    A.Doc.SelTo = B.Doc.SelTo = Mid + 30;
    ExpectSameDrawing(A, B, LA[LA.size() / 2].Y - 120);
    ASSERT_TRUE(std::any_of(A.Metrics.Ops.begin(), A.Metrics.Ops.end(), [&](const TFixedMetrics::Op& O) {
        return O.Kind == 'T' && O.Color == A.Doc.Background;
    }));
    A.Doc.SelFrom = A.Doc.SelTo = B.Doc.SelFrom = B.Doc.SelTo = 0;

    for (int32_t Scroll : {0, 37, A.Height / 2 - 150, A.Height / 2 + 11, std::max(0, A.Height - 290)})
        ExpectSameDrawing(A, B, Scroll);
}

bool HasColor(const std::vector<TFixedMetrics::Op>& Ops, TColor Color) {
    return std::any_of(Ops.begin(), Ops.end(), [Color](const TFixedMetrics::Op& O) {
        return O.Kind == 'T' && (O.Color & 0xFFFFFF) == Color;
    });
}

} // namespace

TEST(HtmlLinkLines, RunsOfLinkLinesAnswerAsTheirSections) {
    const std::string Page = LinkLinesPage(PanelBoxes(2000));
    TDoc A(false), B(true);
    for (int32_t W : {900, 280}) {
        SCOPED_TRACE(W);
        A.Load(Page, W);
        B.Load(Page, W);
        ExpectSameDocument(A, B);
        if (HasFatalFailure()) return;
        // The long box: its name, a run, the line with an entity, a run.
        TCell& Big = BoxCell(B.Doc, 1);
        ASSERT_EQ(Big.Count(), 5); // and the empty paragraph the last line break opens
        EXPECT_NE(dynamic_cast<TLinkLines*>(Big.Sections[1]), nullptr);
        EXPECT_NE(dynamic_cast<TLinkLines*>(Big.Sections[3]), nullptr);
        EXPECT_EQ(dynamic_cast<TLinkLines*>(Big.Sections[1])->LineCount(), 1001); // [Root] joined it
        // Only the lines kept as sections list their links.
        EXPECT_EQ(B.Doc.LinkList.size(), 1u);
    }
    // Laid out again at the other width without a new parse.
    A.Layout(900);
    B.Layout(900);
    ExpectSameDocument(A, B);
}

TEST(HtmlLinkLines, HoveredAndVisitedLinesLookAsTheirSections) {
    // A title twice in the long box: both lines light up under the mouse.
    std::vector<TLinkBox> Boxes = PanelBoxes(300);
    Boxes[1].Titles[14] = Boxes[1].Titles[8];
    const std::string Page = LinkLinesPage(Boxes);
    TDoc A(false), B(true);
    A.Load(Page);
    B.Load(Page);
    auto Visited = [](std::string_view Url) { return Url == "Big:topic 1003" || Url == "Alpha:first one"; };
    A.Doc.SetVisitedLinks(Visited, true);
    B.Doc.SetVisitedLinks(Visited, true);
    // The mouse over a line of the long box, then over another line of it.
    std::vector<int32_t> Lines;
    int Runs = 0;
    std::vector<TLine> LA;
    Flatten(A.Doc, LA, Runs);
    for (int k : {9, 12}) {
        const TLine& L = LA[static_cast<size_t>(6 + k)];
        TUrlTarget UA, UB;
        TFormControlObj *FA = nullptr, *FB = nullptr;
        A.Draw(A.Height, 0);
        B.Draw(B.Height, 0);
        int32_t X = 0, Y = 0;
        ASSERT_TRUE(A.Doc.CharIndexToPoint(A.Metrics, L.Curs + 3, X, Y));
        ASSERT_TRUE(A.Doc.LinkAtPoint(A.Metrics, X + 2, Y + 2, UA, FA));
        ASSERT_TRUE(B.Doc.LinkAtPoint(B.Metrics, X + 2, Y + 2, UB, FB));
        EXPECT_EQ(UA.URL, UB.URL);
        const auto Ops = A.Draw(400, 0);
        EXPECT_EQ(std::count_if(Ops.begin(), Ops.end(),
                                [](const TFixedMetrics::Op& O) {
                                    return O.Kind == 'T' && (O.Color & 0xFFFFFF) == kOver;
                                }),
                  k == 9 ? 2 : 1);
        EXPECT_TRUE(HasColor(Ops, A.Doc.VisitedColor & 0xFFFFFF));
        ExpectSameDrawing(A, B, 0);
        ExpectSameDrawing(A, B, 100);
    }
    A.Doc.ClearHover();
    B.Doc.ClearHover();
    EXPECT_FALSE(HasColor(A.Draw(400, 0), kOver));
    ExpectSameDrawing(A, B, 0);
    A.Doc.SetVisitedLinks([](std::string_view) { return true; }, false);
    B.Doc.SetVisitedLinks([](std::string_view) { return true; }, false);
    EXPECT_FALSE(HasColor(A.Draw(400, 0), A.Doc.VisitedColor & 0xFFFFFF));
    ExpectSameDrawing(A, B, 0);
}

TEST(HtmlLinkLines, LinesPutInTakenOutAndSplitAreThoseOfTheChangedPage) {
    std::vector<TLinkBox> Boxes = PanelBoxes(400);
    TDoc B(true);
    B.Load(LinkLinesPage(Boxes));
    auto Html = [](const std::string& Box, const std::string& Title) {
        return "<nobr>\xBB <a href=\"" + Box + ":" + Title + "\">" + Title + "</nobr></a><br>";
    };
    // Where title k of the long box starts in the page.
    auto Place = [&](int K) {
        const std::string Page = LinkLinesPage(Boxes);
        return static_cast<int32_t>(Page.find(Html("Big", Boxes[1].Titles[static_cast<size_t>(K)])));
    };
    struct TStep {
        const char* What;
        int Title; // index in the long box's titles
        std::string Text;
        enum { Insert, Delete, Split } Kind;
    };
    const std::vector<TStep> Steps = {
        {"a line put in the middle", 50, "inserted title", TStep::Insert},
        {"a line put in first after the root", 1, "aa", TStep::Insert},
        {"a line put in last of the run", 201, "zz run end", TStep::Insert},
        {"a line taken out", 70, "", TStep::Delete},
        {"the first line taken out", 1, "", TStep::Delete},
        {"a line with an entity splits the run", 120, "x &amp; y", TStep::Split},
        {"a wider line put in", 10, "a much much wider title than the others", TStep::Insert}};
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.What);
        TCell& Cell = BoxCell(B.Doc, 1);
        const int RunAt = FirstRun(Cell);
        auto* Run = dynamic_cast<TLinkLines*>(Cell.Sections[RunAt]);
        ASSERT_NE(Run, nullptr);
        const int32_t At = Place(Step.Title);
        // The run holds the root line and the titles before the first one with an entity.
        const int Line = Step.Title;
        TDoc Fresh(false), Source(false);
        if (Step.Kind == TStep::Delete) {
            const int32_t Length =
                static_cast<int32_t>(Html("Big", Boxes[1].Titles[static_cast<size_t>(Line)]).size());
            Boxes[1].Titles.erase(Boxes[1].Titles.begin() + Line);
            Fresh.Load(LinkLinesPage(Boxes));
            HtmlEdit::ShiftSourcePositions(B.Doc, At + Length, -Length);
            Run->DeleteLine(Line);
            Cell.SectionsChanged(RunAt);
        } else {
            Boxes[1].Titles.insert(Boxes[1].Titles.begin() + Line, Step.Text);
            Fresh.Load(LinkLinesPage(Boxes));
            HtmlEdit::ShiftSourcePositions(B.Doc, At, static_cast<int32_t>(Html("Big", Step.Text).size()));
            // The new line comes from a parse of the changed page, as an editor takes it.
            Source.Load(LinkLinesPage(Boxes));
            TCell& FreshCell = BoxCell(Source.Doc, 1);
            std::string Url = "Big:" + Step.Text;
            if (const size_t Amp = Url.find("&amp;"); Amp != std::string::npos) Url.replace(Amp, 5, "&");
            const int From = SectionWithUrl(FreshCell, Url);
            ASSERT_GE(From, 0);
            auto* Line1 = dynamic_cast<TSection*>(FreshCell.Sections[From]);
            if (Step.Kind == TStep::Insert) {
                ASSERT_TRUE(Run->InsertLine(Line, *Line1));
                Cell.SectionsChanged(RunAt);
            } else {
                EXPECT_FALSE(Run->InsertLine(Line, *Line1)); // not the run's shape
                Cell.Sections.Insert(RunAt + 1, Run->SplitOff(Line));
                Cell.SectionsChanged(RunAt);
                HtmlEdit::MoveSection(Source.Doc, FreshCell, From, B.Doc, Cell, RunAt + 1, 0);
            }
        }
        B.Layout(900);
        ExpectSameDocument(Fresh, B);
        if (HasFatalFailure()) return;
    }
}
