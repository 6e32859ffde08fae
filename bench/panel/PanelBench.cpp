// panel_bench: the side panel (TNamespaceVisualizer) of one namespace of 10,000 topics, read from
// the store as the note window reads it.
// - Full render (the store's query, the entries, page, load, layout, first paint) against its
//   floor: the same query, one pass over every title's characters summing cached advances (what
//   the column count needs), and painting one page of lines and box borders with bare GDI calls,
//   each character at its advance.
// - One store event (a new topic: AddEntry + Render + paint) against a full render, and the same
//   event at 100,000 topics against 1,000.
// - Scrolling by one page as the scroll bar does it (and painting) against the same scroll in a
//   bare window (a scroll bar control, ScrollWindowEx, the uncovered strip painted with
//   ExtTextOutA in WM_PAINT): what any window scrolling those lines must do. Before the runs it is
//   checked to show the panel's pixels.
// - Beside it, drawing the same visible lines and box borders with bare ExtTextOutA calls: no
//   scroll bar and no paint cycle, the platform's share of the step shows against it.
// - The same page painted again in place, to tell the paint from the scroll around it.
// - The parts of a full render (page text, parse, first layout, first paint), to show where it goes.
// Runs under Wine from the program folder (Google Benchmark, cross-built) in five rounds; the
// medians, their spread and the goals are printed at the end.
#include "app/NamespaceVisualizer.h"
#include "app/TitleWidths.h"
#include "bench/panel/BareScrollWindow.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/MedianReporter.h"
#include "bench/store/BenchDatabase.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTopics = 10000;
std::string Database; // the generated database of kTopics topics in the default namespace
// The same store event at a small and a user's real size (databases shared with scale_bench).
std::string Database1000, Database100000;

// The titles of the default namespace, as the note window asks for them.
std::vector<std::string> QueryTitles(TNotesStore& Store) {
    std::vector<std::string> Titles;
    if (auto Topics = Store.FindTopics("", nullptr, "")) {
        Titles.reserve(static_cast<size_t>(Topics->Count()));
        for (int i = 0; i < Topics->Count(); ++i)
            Titles.push_back(ListLineTitle(Topics->Get(i)));
    }
    return Titles;
}

struct TPanel {
    std::unique_ptr<TForm> Form;
    TNamespaceVisualizer* Panel = nullptr;
    TPanel() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 700);
        Panel = new TNamespaceVisualizer(Form.get());
        Panel->SetParent(Form.get());
        Panel->SetBounds(0, 0, 280, 660);
        Panel->SetScrollBars(THvScrollStyle::ssVertical);
        Panel->SetBorderStyle(THTMLBorderStyle::htNone);
        Panel->SetDefBackground(clWindow);
        Panel->SetDefFontName("Tahoma");
        Panel->SetDefFontSize(8);
        Panel->ShowRootLinks = true;
        Form->Show();
    }
    void Fill(TNotesStore& Store) {
        for (const std::string& Title : QueryTitles(Store))
            Panel->AddEntry("Default", Title);
    }
    void Paint() {
        RedrawWindow(Panel->PaintPanel().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
};

// One page of the panel's lines drawn with bare GDI calls on the panel's window: the background,
// the grey box with its three-pixel border, and "» " and the title of each line in view, each
// character placed at its advance (found once for the font), as the panel places them.
struct TBarePage {
    HFONT Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HBRUSH Grey = CreateSolidBrush(RGB(0xDD, 0xDD, 0xDD));
    HBRUSH Border = CreateSolidBrush(RGB(0xAA, 0xAA, 0xAA));
    INT Advances[256] = {};
    std::vector<INT> Dx; // one line's placement
    TBarePage() {
        HDC DC = CreateCompatibleDC(nullptr);
        HGDIOBJ Old = SelectObject(DC, Font);
        GetCharWidth32A(DC, 0, 255, Advances);
        SelectObject(DC, Old);
        DeleteDC(DC);
    }
    ~TBarePage() {
        DeleteObject(Font);
        DeleteObject(Grey);
        DeleteObject(Border);
    }
    const INT* Placed(const std::string& Text) {
        Dx.resize(Text.size());
        for (size_t K = 0; K < Text.size(); ++K)
            Dx[K] = Advances[static_cast<unsigned char>(Text[K])];
        return Dx.data();
    }
    void Draw(HWND Wnd, const std::vector<std::string>& Titles, size_t First) {
        HDC DC = GetDC(Wnd);
        HGDIOBJ Old = SelectObject(DC, Font);
        RECT R{0, 0, 280, 660};
        FillRect(DC, &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RECT Box{2, 0, 278, 660};
        FillRect(DC, &Box, Border);
        InflateRect(&Box, -3, 0);
        FillRect(DC, &Box, Grey);
        SetBkMode(DC, TRANSPARENT);
        static const std::string Mark = "\xBB ";
        const int Lines = 660 / 13 + 1;
        for (int i = 0; i < Lines && !Titles.empty(); ++i) {
            ExtTextOutA(DC, 9, i * 13, 0, nullptr, Mark.data(), 2, Placed(Mark));
            const std::string& T = Titles[(First + static_cast<size_t>(i)) % Titles.size()];
            SetTextColor(DC, RGB(0, 0, 0xFF));
            ExtTextOutA(DC, 19, i * 13, 0, nullptr, T.data(), static_cast<UINT>(T.size()), Placed(T));
            SetTextColor(DC, 0);
        }
        SelectObject(DC, Old);
        ReleaseDC(Wnd, DC);
        GdiFlush();
    }
};

void BM_FullRender(benchmark::State& State) {
    TNotesStore Store(Database);
    for (auto _ : State) {
        State.PauseTiming();
        auto P = std::make_unique<TPanel>(); // a fresh control: nothing measured yet
        State.ResumeTiming();
        P->Fill(Store);
        P->Panel->Render();
        P->Paint();
        // Destroying the window and its document is not part of a render.
        State.PauseTiming();
        P.reset();
        State.ResumeTiming();
    }
}

// The floor of a full render: what no side panel can skip.
void BM_Floor(benchmark::State& State) {
    TNotesStore Store(Database);
    TPanel P; // only its window, to paint on
    TBarePage Bare;
    for (auto _ : State) {
        const std::vector<std::string> Titles = QueryTitles(Store);
        int32_t Widest = 0;
        for (const std::string& T : Titles) {
            int32_t W = 0;
            for (const char C : T)
                W += Bare.Advances[static_cast<unsigned char>(C)];
            Widest = std::max(Widest, W);
        }
        benchmark::DoNotOptimize(Widest);
        Bare.Draw(P.Panel->PaintPanel().Handle(), Titles, 0);
    }
}

// A title put into the panel by a store event and the panel drawn; Titled names the N-th title
// (one after the last, or one in the middle of the list, where the lines after it move).
void StoreEvent(benchmark::State& State, const std::string& Path,
                const std::function<std::string(int)>& Titled) {
    TNotesStore Store(Path);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    int N = 0;
    for (auto _ : State) {
        P.Panel->AddEntry("Default", Titled(N++));
        P.Panel->Render();
        P.Paint();
    }
}

std::string LastTitle(int N) {
    return "Zz new topic " + std::to_string(N);
}
std::string MiddleTitle(int N) {
    return "Topic 5 new " + std::to_string(N);
}

void BM_StoreEventUpdate(benchmark::State& State) {
    StoreEvent(State, Database, LastTitle);
}
void BM_StoreEvent1000(benchmark::State& State) {
    StoreEvent(State, Database1000, MiddleTitle);
}
void BM_StoreEvent100000(benchmark::State& State) {
    StoreEvent(State, Database100000, MiddleTitle);
}

// Where the page scrolls start: a quarter down the list, where only link lines and the box's
// sides show (the bare window draws no box head).
int32_t ScrollStart(int32_t DocumentHeight) {
    return DocumentHeight / 4;
}

// One page down, as the scroll bar's page button asks for it (the window's pixels that stay in
// view move, the rest is painted), back to the start near the end.
void BM_ScrollOnePage(benchmark::State& State) {
    TNotesStore Store(Database);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    const int32_t Page = P.Panel->PaintPanel().Height(), Start = ScrollStart(P.Panel->DocumentHeight());
    P.Panel->ScrollTo(Start);
    P.Paint();
    for (auto _ : State) {
        if (P.Panel->VScrollPos() > P.Panel->DocumentHeight() - 2 * Page) P.Panel->ScrollTo(Start);
        P.Panel->VScrollBar().Perform(CN_VSCROLL, SB_PAGEDOWN, 0);
        P.Panel->PaintPanel().Update(); // painted now, if the scroll only asked for a paint
        GdiFlush();
    }
}

// The panel's link lines and box as laid out (read after a paint, when each line knows where it
// was drawn), for the bare window to draw the same.
TBareScrollPage BarePageOf(THtmlDisplay& Panel) {
    TBareScrollPage Page;
    // Lines kept as runs of data tell their top and start; the baseline is the font's ascent
    // (and external leading) below the top, as for a line of one font.
    HDC Screen = GetDC(nullptr);
    HFONT Font = CreateFontA(-MulDiv(8, GetDeviceCaps(Screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                             DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ OldFont = SelectObject(Screen, Font);
    TEXTMETRICA Tm{};
    GetTextMetricsA(Screen, &Tm);
    TGdiPainter Measure(Screen);
    std::function<void(TCell&)> Visit = [&](TCell& Cell) {
        for (const auto& S : Cell.Sections) {
            if (auto* Table = dynamic_cast<ThtmlTable*>(S.get())) {
                if (Table->BorderColorGiven) {
                    Page.BoxLeft = Table->DrawX;
                    Page.BoxRight = Table->DrawX + Table->TableWidth - 1;
                }
                for (const auto& Row : Table->Rows)
                    for (const auto& C : Row->Cells)
                        if (C) Visit(C->Cell);
                continue;
            }
            if (auto* Run = dynamic_cast<TLinkLines*>(S.get())) {
                int32_t LastTop = 0;
                for (int i = 0; i < Run->LineCount(); ++i) {
                    int32_t X = 0, Top = 0;
                    if (!Run->CharIndexToPoint(Measure, Run->StartCurs + Run->LineStart(i), X, Top)) continue;
                    std::string Title(Run->Title(i));
                    for (char& C : Title)
                        if (C == NbspChar) C = ' ';
                    Page.Lines.push_back({Top + Tm.tmAscent + Tm.tmExternalLeading, Title});
                    if (i > 0) Page.LineHeight = Top - LastTop;
                    LastTop = Top;
                    Page.MarkX = std::max(Page.MarkX, X); // lines never drawn have none
                }
                continue;
            }
            auto* Line = dynamic_cast<TSection*>(S.get());
            if (!Line || Line->Lines.size() != 1 || Line->Text().size() < 2 || Line->Text()[0] != '\xBB')
                continue;
            const LineRec& L = Line->Lines[0];
            std::string Title = Line->Text().substr(2);
            for (char& C : Title)
                if (C == NbspChar) C = ' ';
            Page.Lines.push_back({Line->YValue + L.SpaceBefore + L.LineHeight - L.Descent, Title});
            Page.LineHeight = L.FullHeight();
            Page.MarkX = std::max(Page.MarkX, L.DrawX); // lines never drawn have none
        }
    };
    Visit(Panel.SectionList());
    SelectObject(Screen, OldFont);
    DeleteObject(Font);
    ReleaseDC(nullptr, Screen);
    const TSectionList& Doc = Panel.SectionList();
    Page.Width = Panel.PaintPanel().Width();
    Page.Height = Panel.PaintPanel().Height();
    Page.DocumentHeight = Panel.DocumentHeight();
    Page.Page = Panel.VScrollBar().LargeChange;
    Page.Text = HtmlColorRef(Doc.FontColor);
    Page.Link = HtmlColorRef(Doc.HotSpotColor);
    Page.Background = HtmlColorRef(Doc.Background);
    // The box the page writes (bgcolor #DDDDDD) and its raised and sunken frames on white.
    Page.Box = RGB(0xDD, 0xDD, 0xDD);
    Page.Light = RGB(0xC0, 0xC0, 0xC0);
    Page.Shadow = GetSysColor(COLOR_BTNSHADOW);
    return Page;
}

TBareScrollPage BarePage; // read from a painted panel before the runs

void BM_BareScrollWindow(benchmark::State& State) {
    TBareScrollWindow Bare(BarePage, 320, 0);
    const int32_t Start = ScrollStart(BarePage.DocumentHeight);
    Bare.ScrollTo(Start);
    for (auto _ : State) {
        if (Bare.Position() > BarePage.DocumentHeight - 2 * BarePage.Height) Bare.ScrollTo(Start);
        Bare.ScrollTo(Bare.Position() + BarePage.Page);
        GdiFlush();
    }
}

// The page drawn into a bitmap, no window around it: the engine's own drawing against the bare
// window's drawing of the same lines (both with the background filled first).
struct TOffScreen {
    HDC DC = CreateCompatibleDC(nullptr);
    HBITMAP Bitmap;
    HGDIOBJ Old;
    RECT All;
    explicit TOffScreen(const TBareScrollPage& Page) : All{0, 0, Page.Width, Page.Height} {
        HDC Screen = GetDC(nullptr);
        Bitmap = CreateCompatibleBitmap(Screen, Page.Width, Page.Height);
        ReleaseDC(nullptr, Screen);
        Old = SelectObject(DC, Bitmap);
    }
    ~TOffScreen() {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
};

void BM_DrawPageOffScreen(benchmark::State& State) {
    TNotesStore Store(Database);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    P.Panel->ScrollTo(ScrollStart(P.Panel->DocumentHeight()));
    P.Paint();
    TOffScreen Off(BarePage);
    for (auto _ : State) {
        FillRect(Off.DC, &Off.All, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        P.Panel->DrawDocument(Off.DC, Off.All);
        GdiFlush();
    }
}

void BM_BareDrawPageOffScreen(benchmark::State& State) {
    TBareScrollWindow Bare(BarePage, 320, 0);
    Bare.ScrollTo(ScrollStart(BarePage.DocumentHeight));
    TOffScreen Off(BarePage);
    for (auto _ : State) {
        FillRect(Off.DC, &Off.All, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        Bare.Paint(Off.DC, Off.All);
        GdiFlush();
    }
}

// The pixels of a window's client area as the screen has them.
std::vector<COLORREF> Pixels(HWND Window, int Width, int Height) {
    HDC DC = GetDC(Window);
    HDC Mem = CreateCompatibleDC(DC);
    HBITMAP Bitmap = CreateCompatibleBitmap(DC, Width, Height);
    HGDIOBJ Old = SelectObject(Mem, Bitmap);
    BitBlt(Mem, 0, 0, Width, Height, DC, 0, 0, SRCCOPY);
    std::vector<COLORREF> Out;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Out.push_back(GetPixel(Mem, x, y));
    SelectObject(Mem, Old);
    DeleteObject(Bitmap);
    DeleteDC(Mem);
    ReleaseDC(Window, DC);
    return Out;
}

// Reads the bare window's page from the panel, then scrolls both by pages from the same place
// and counts the pixels where they differ (0: the bare window draws what the user sees).
size_t PrepareBarePage() {
    TNotesStore Store(Database);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    BarePage = BarePageOf(*P.Panel);
    if (BarePage.Lines.empty()) return SIZE_MAX; // the panel's lines are not text sections
    TBareScrollWindow Bare(BarePage, 320, 0);
    const int32_t Start = ScrollStart(P.Panel->DocumentHeight());
    P.Panel->ScrollTo(Start);
    P.Paint();
    Bare.ScrollTo(Start);
    size_t Differ = 0;
    for (int Step = 0; Step < 3; ++Step) {
        P.Panel->VScrollBar().Perform(CN_VSCROLL, SB_PAGEDOWN, 0);
        P.Panel->PaintPanel().Update();
        Bare.ScrollTo(Bare.Position() + BarePage.Page);
        if (Bare.Position() != P.Panel->VScrollPos()) return SIZE_MAX;
        GdiFlush();
        const auto Panel = Pixels(P.Panel->PaintPanel().Handle(), BarePage.Width, BarePage.Height);
        const auto Plain = Pixels(Bare.PaintWindow(), BarePage.Width, BarePage.Height);
        for (size_t i = 0; i < Panel.size(); ++i)
            Differ += Panel[i] != Plain[i];
    }
    return Differ;
}

// The same page painted again in place (the whole panel invalidated): the paint without the scroll.
void BM_RepaintPage(benchmark::State& State) {
    TNotesStore Store(Database);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    P.Panel->ScrollTo(P.Panel->DocumentHeight() / 2);
    for (auto _ : State) {
        P.Paint();
        GdiFlush();
    }
}

void BM_BareExtTextOut(benchmark::State& State) {
    TNotesStore Store(Database);
    const std::vector<std::string> Titles = QueryTitles(Store);
    TPanel P;
    TBarePage Bare;
    size_t First = 0;
    for (auto _ : State) {
        Bare.Draw(P.Panel->PaintPanel().Handle(), Titles, First);
        First += 51;
    }
}

// The parts of a full render, to see where its time goes.
TNamespacePage BigModel() {
    TNotesStore Store(Database);
    TNamespacePage Page;
    Page.ShowRootLinks = true;
    for (const std::string& Title : QueryTitles(Store))
        Page.AddEntry("Default", Title);
    return Page;
}

std::string BigPage() {
    TNamespacePage Page = BigModel();
    int32_t Columns = 0;
    return Page.Build(
        260, [](const std::string& S) { return static_cast<int32_t>(S.size()) * 6; }, Columns);
}

void BM_PartPageText(benchmark::State& State) {
    // Writing the page, each title measured in the panel's font.
    HDC DC = CreateCompatibleDC(nullptr);
    HFONT Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ Old = SelectObject(DC, Font);
    const TNamespacePage Model = BigModel();
    const TTitleWidths Widths(DC); // probed once for the font, as the panel keeps it
    for (auto _ : State) {
        State.PauseTiming();
        TNamespacePage Page = Model;
        State.ResumeTiming();
        int32_t Columns = 0;
        const std::string& Html = Page.Build(
            260, [&Widths, DC](const std::string& T) { return Widths.Width(DC, T); }, Columns);
        benchmark::DoNotOptimize(Html.size());
    }
    SelectObject(DC, Old);
    DeleteObject(Font);
    DeleteDC(DC);
}

void BM_PartParse(benchmark::State& State) {
    const std::string Html = BigPage();
    for (auto _ : State) {
        TSectionList Doc;
        Doc.CompactLinkLines = true; // as the panel's document keeps its lines
        THtmlParser Parser;
        TStringList Anchors;
        Parser.ParseHtmlText(Html, Doc, &Anchors);
        benchmark::DoNotOptimize(Doc.Count());
        State.PauseTiming();
        Doc.Clear();
        State.ResumeTiming();
    }
}

void BM_PartLayout(benchmark::State& State) {
    // A first layout of the parsed page: every run measured with GDI (a fresh font cache).
    const std::string Html = BigPage();
    HDC DC = CreateCompatibleDC(nullptr);
    for (auto _ : State) {
        State.PauseTiming();
        auto Fonts = std::make_unique<THtmlFontCache>();
        auto Painter = std::make_unique<TGdiPainter>(DC, *Fonts);
        auto Doc = std::make_unique<TSectionList>();
        Doc->CompactLinkLines = true;
        Doc->FontName = "Tahoma";
        Doc->FontSize = 8;
        Doc->SetMeasure(Painter.get());
        THtmlParser Parser;
        TStringList Anchors;
        Parser.ParseHtmlText(Html, *Doc, &Anchors);
        State.ResumeTiming();
        int32_t Curs = 0, MaxWidth = 0;
        benchmark::DoNotOptimize(Doc->Layout(*Painter, 0, 260, MaxWidth, Curs));
        State.PauseTiming();
        Doc.reset();
        Painter.reset();
        Fonts.reset();
        State.ResumeTiming();
    }
    DeleteDC(DC);
}

void BM_PartFirstPaint(benchmark::State& State) {
    TNotesStore Store(Database);
    for (auto _ : State) {
        State.PauseTiming();
        auto P = std::make_unique<TPanel>();
        P->Fill(Store);
        P->Panel->Render();
        State.ResumeTiming();
        P->Paint();
        State.PauseTiming();
        P.reset();
        State.ResumeTiming();
    }
}

BENCHMARK(BM_PartPageText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PartParse)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PartLayout)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PartFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FullRender)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StoreEventUpdate)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StoreEvent1000)->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_StoreEvent100000)->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RepaintPage)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_BareExtTextOut)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_BareScrollWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_DrawPageOffScreen)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_BareDrawPageOffScreen)->Unit(benchmark::kMillisecond)->Iterations(100);

} // namespace

int main(int argc, char** argv) {
    Database = ExeFolder() + "\\scale-10000.mvdb"; // shared with scale_bench
    EnsureBenchDatabase(Database, BenchFlat(kTopics));
    Database1000 = ExeFolder() + "\\scale-1000.mvdb";
    EnsureBenchDatabase(Database1000, BenchFlat(1000));
    Database100000 = ExeFolder() + "\\scale-100000.mvdb";
    EnsureBenchDatabase(Database100000, BenchFlat(100000));
    Application->Initialize();
    const size_t Differ = PrepareBarePage();
    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);
    std::printf("\n%d topics (medians of the rounds, the lowest and the highest in brackets):\n", kTopics);
    PrintComparison("full render / floor (the query, summed advances, one page drawn with bare GDI calls)",
                    Reporter.Ratio("BM_FullRender", "BM_Floor"), "ms", 3);
    PrintComparison("a store event (a title after the last) / a full render",
                    Reporter.Ratio("BM_StoreEventUpdate", "BM_FullRender"), "ms", 0.1);
    PrintComparison("a store event (a title in the middle) at 100,000 topics / at 1,000",
                    Reporter.Ratio("BM_StoreEvent100000", "BM_StoreEvent1000"), "ms", 1.5);
    PrintComparison("scroll one page / the bare scrolling window (scroll bar control, ScrollWindowEx, the "
                    "strip painted in WM_PAINT)",
                    Reporter.Ratio("BM_ScrollOnePage", "BM_BareScrollWindow"), "ms", 1.5);
    if (Differ == SIZE_MAX)
        std::printf(
            "    (the bare window did not find or reach the panel's lines: its figure is no yardstick)\n");
    else
        std::printf("    (pixels where the bare window and the panel differ after three pages: %zu)\n",
                    Differ);
    // Any window that scrolls pays for its scroll bar and its paint cycle; bare ExtTextOutA calls
    // drawing the page pay for neither. Against them the goal may be bounded by the platform.
    std::printf(
        "  the same goal against bare ExtTextOutA calls drawing the page (no scroll bar, no paint cycle):\n");
    PrintComparison("scroll one page / bare ExtTextOutA",
                    Reporter.Ratio("BM_ScrollOnePage", "BM_BareExtTextOut"), "ms", 1.5);
    PrintPlatformBound("the bare scrolling window / bare ExtTextOutA",
                       Reporter.Ratio("BM_BareScrollWindow", "BM_BareExtTextOut"), "ms", 1.5);
    std::printf("  beside them:\n");
    PrintComparison("the page painted again in place (no scroll) / scroll one page",
                    Reporter.Ratio("BM_RepaintPage", "BM_ScrollOnePage"), "ms");
    PrintComparison("the page drawn into a bitmap, no window: engine / bare",
                    Reporter.Ratio("BM_DrawPageOffScreen", "BM_BareDrawPageOffScreen"), "ms");
    benchmark::Shutdown();
    return 0;
}
