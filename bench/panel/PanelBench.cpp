// panel_bench: the side panel (TNamespaceVisualizer) of one namespace of 10,000 topics, read from
// the store as the note window reads it.
// - Full render (the store's query, the entries, page, load, layout, first paint) against its
//   floor: the same query, one pass over every title's characters summing cached advances (what
//   the column count needs), and painting one page of lines and box borders with bare GDI calls.
// - One store event (a new topic: AddEntry + Render + paint) against a full render.
// - Scrolling by one page as the scroll bar does it (and painting) against drawing the same
//   visible lines and box borders with bare ExtTextOutA calls.
// - The same page painted again in place, to tell the paint from the scroll around it.
// - The parts of a full render (page text, parse, first layout, first paint), to show where it goes.
// Runs under Wine from the program folder (Google Benchmark, cross-built); five repetitions of
// each, and the ratios of their medians are printed at the end.
#include "app/NamespaceVisualizer.h"
#include "app/TitleWidths.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/MedianReporter.h"
#include "bench/store/BenchDatabase.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTextSection.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTopics = 10000;
std::string Database; // the generated database of kTopics topics in the default namespace

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
// the grey box with its three-pixel border, and "» " and the title of each line in view.
struct TBarePage {
    HFONT Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HBRUSH Grey = CreateSolidBrush(RGB(0xDD, 0xDD, 0xDD));
    HBRUSH Border = CreateSolidBrush(RGB(0xAA, 0xAA, 0xAA));
    ~TBarePage() {
        DeleteObject(Font);
        DeleteObject(Grey);
        DeleteObject(Border);
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
        const int Lines = 660 / 13 + 1;
        for (int i = 0; i < Lines && !Titles.empty(); ++i) {
            ExtTextOutA(DC, 9, i * 13, 0, nullptr, "\xBB ", 2, nullptr);
            const std::string& T = Titles[(First + static_cast<size_t>(i)) % Titles.size()];
            SetTextColor(DC, RGB(0, 0, 0xFF));
            ExtTextOutA(DC, 19, i * 13, 0, nullptr, T.data(), static_cast<UINT>(T.size()), nullptr);
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
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Bare.Font);
    INT Advances[256] = {};
    GetCharWidth32A(DC, 0, 255, Advances);
    for (auto _ : State) {
        const std::vector<std::string> Titles = QueryTitles(Store);
        int32_t Widest = 0;
        for (const std::string& T : Titles) {
            int32_t W = 0;
            for (const char C : T)
                W += Advances[static_cast<unsigned char>(C)];
            Widest = std::max(Widest, W);
        }
        benchmark::DoNotOptimize(Widest);
        Bare.Draw(P.Panel->PaintPanel().Handle(), Titles, 0);
    }
    SelectObject(DC, Old);
    DeleteDC(DC);
}

void BM_StoreEventUpdate(benchmark::State& State) {
    TNotesStore Store(Database);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    int N = 0;
    for (auto _ : State) {
        P.Panel->AddEntry("Default", "Zz new topic " + std::to_string(N++));
        P.Panel->Render();
        P.Paint();
    }
}

// One page down, as the scroll bar's page button asks for it (the window's pixels that stay in
// view move, the rest is painted), back to the top near the end.
void BM_ScrollOnePage(benchmark::State& State) {
    TNotesStore Store(Database);
    TPanel P;
    P.Fill(Store);
    P.Panel->Render();
    P.Paint();
    const int32_t Page = P.Panel->PaintPanel().Height();
    for (auto _ : State) {
        if (P.Panel->VScrollPos() > P.Panel->DocumentHeight() - 2 * Page) P.Panel->ScrollTo(0);
        P.Panel->VScrollBar().Perform(CN_VSCROLL, SB_PAGEDOWN, 0);
        P.Panel->PaintPanel().Update(); // painted now, if the scroll only asked for a paint
        GdiFlush();
    }
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
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RepaintPage)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_BareExtTextOut)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    Database = ExeFolder() + "\\scale-10000.mvdb"; // shared with scale_bench
    EnsureBenchDatabase(Database, BenchFlat(kTopics));
    Application->Initialize();
    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, &Reporter);
    const double Render = Reporter.Median("BM_FullRender"), Floor = Reporter.Median("BM_Floor"),
                 Update = Reporter.Median("BM_StoreEventUpdate"),
                 Scroll = Reporter.Median("BM_ScrollOnePage"), Bare = Reporter.Median("BM_BareExtTextOut");
    std::printf("\nmedians of %d topics:\n", kTopics);
    std::printf(
        "  full render %.2f ms, floor (query + advances + one page) %.2f ms: %.2fx (goal at most 3)\n",
        Render, Floor, Floor > 0 ? Render / Floor : 0.0);
    std::printf("  store event update %.2f ms / full render: %.3f (goal at most 0.10)\n", Update,
                Render > 0 ? Update / Render : 0.0);
    std::printf("  scroll one page %.3f ms / bare ExtTextOutA %.3f ms: %.2fx (goal at most 1.5)\n", Scroll,
                Bare, Bare > 0 ? Scroll / Bare : 0.0);
    std::printf("  (the page painted again in place, no scroll: %.3f ms)\n",
                Reporter.Median("BM_RepaintPage"));
    benchmark::Shutdown();
    return 0;
}
