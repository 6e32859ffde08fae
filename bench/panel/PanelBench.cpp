// panel_bench: the side panel (TNamespaceVisualizer) of one namespace of 10,000 topics.
// - Full render (page, load, layout, first paint) against measuring each title once with GDI.
// - One store event (a new topic: AddEntry + Render + paint) against a full render.
// - Scrolling by one page (and painting) against drawing the same visible text runs with bare
//   ExtTextOutA calls.
// - The parts of a full render (page text, parse, first layout, first paint), to show where it goes.
// Runs under Wine (Google Benchmark, cross-built); the ratios are printed at the end.
#include "app/NamespaceVisualizer.h"
#include "app/TitleWidths.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTextSection.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTopics = 10000;
std::map<std::string, double> Seconds; // the last measured time of each benchmark, per iteration

std::string Title(int i) {
    return "Topic number " + std::to_string(i) + " about things";
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
        for (int i = 0; i < kTopics; ++i)
            Panel->AddEntry("Big", Title(i));
        Form->Show();
    }
    void Paint() {
        RedrawWindow(Panel->PaintPanel().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
};

void BM_FullRender(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<TPanel>(); // a fresh control: nothing measured yet
        state.ResumeTiming();
        p->Panel->Render();
        p->Paint();
        // Destroying the window and its document is not part of a render.
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
}

void BM_MeasureEachTitleOnce(benchmark::State& state) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<std::string> titles;
    for (int i = 0; i < kTopics; ++i)
        titles.push_back(Title(i));
    for (auto _ : state) {
        int64_t total = 0;
        for (const auto& t : titles) {
            SIZE s{};
            GetTextExtentPoint32A(dc, t.data(), static_cast<int>(t.size()), &s);
            total += s.cx;
        }
        benchmark::DoNotOptimize(total);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

void BM_StoreEventUpdate(benchmark::State& state) {
    TPanel p;
    p.Panel->Render();
    p.Paint();
    int n = 0;
    for (auto _ : state) {
        p.Panel->AddEntry("Big", "Zz new topic " + std::to_string(n++));
        p.Panel->Render();
        p.Paint();
    }
}

void BM_ScrollOnePage(benchmark::State& state) {
    TPanel p;
    p.Panel->Render();
    p.Paint();
    int32_t page = p.Panel->PaintPanel().Height();
    int32_t y = 0;
    for (auto _ : state) {
        y += page;
        if (y > p.Panel->DocumentHeight() - 2 * page) y = 0;
        p.Panel->ScrollTo(y);
        p.Paint();
    }
}

void BM_BareExtTextOut(benchmark::State& state) {
    // The same visible text runs: one page of the panel's lines ("» " and the title).
    TPanel p;
    p.Panel->Render();
    p.Paint();
    HWND wnd = p.Panel->PaintPanel().Handle();
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    const int lines = p.Panel->PaintPanel().Height() / 13 + 1;
    int first = 0;
    for (auto _ : state) {
        HDC dc = GetDC(wnd);
        HGDIOBJ old = SelectObject(dc, font);
        RECT r{0, 0, 280, 660};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        for (int i = 0; i < lines; ++i) {
            ExtTextOutA(dc, 4, i * 13, 0, nullptr, "\xBB ", 2, nullptr);
            const std::string t = Title((first + i) % kTopics);
            ExtTextOutA(dc, 14, i * 13, 0, nullptr, t.data(), static_cast<UINT>(t.size()), nullptr);
        }
        SelectObject(dc, old);
        ReleaseDC(wnd, dc);
        GdiFlush();
        first += lines;
    }
    DeleteObject(font);
}

// The parts of a full render, to see where its time goes.
std::string BigPage() {
    TNamespacePage page;
    page.ShowRootLinks = true;
    for (int i = 0; i < kTopics; ++i)
        page.AddEntry("Big", Title(i));
    int32_t columns = 0;
    return page.Build(
        260, [](const std::string& s) { return static_cast<int32_t>(s.size()) * 6; }, columns);
}

void BM_PartPageText(benchmark::State& state) {
    // Writing the page, each title measured in the panel's font.
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    for (auto _ : state) {
        state.PauseTiming();
        TNamespacePage page;
        page.ShowRootLinks = true;
        for (int i = 0; i < kTopics; ++i)
            page.AddEntry("Big", Title(i));
        state.ResumeTiming();
        int32_t columns = 0;
        const TTitleWidths widths(dc); // as the panel measures
        const std::string html = page.Build(
            260, [&widths](const std::string& t) { return widths.Width(t); }, columns);
        benchmark::DoNotOptimize(html.size());
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

void BM_PartParse(benchmark::State& state) {
    const std::string html = BigPage();
    for (auto _ : state) {
        TSectionList doc;
        THtmlParser parser;
        TStringList anchors;
        parser.ParseHtmlText(html, doc, &anchors);
        benchmark::DoNotOptimize(doc.Count());
        state.PauseTiming();
        doc.Clear();
        state.ResumeTiming();
    }
}

void BM_PartLayout(benchmark::State& state) {
    // A first layout of the parsed page: every run measured with GDI (a fresh font cache).
    const std::string html = BigPage();
    HDC dc = CreateCompatibleDC(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        auto fonts = std::make_unique<THtmlFontCache>();
        auto painter = std::make_unique<TGdiPainter>(dc, *fonts);
        auto doc = std::make_unique<TSectionList>();
        doc->FontName = "Tahoma";
        doc->FontSize = 8;
        doc->SetMeasure(painter.get());
        THtmlParser parser;
        TStringList anchors;
        parser.ParseHtmlText(html, *doc, &anchors);
        state.ResumeTiming();
        int32_t curs = 0, maxWidth = 0;
        benchmark::DoNotOptimize(doc->Layout(*painter, 0, 260, maxWidth, curs));
        state.PauseTiming();
        doc.reset();
        painter.reset();
        fonts.reset();
        state.ResumeTiming();
    }
    DeleteDC(dc);
}

void BM_PartFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<TPanel>();
        p->Panel->Render();
        state.ResumeTiming();
        p->Paint();
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_PartPageText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PartParse)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PartLayout)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PartFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FullRender)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MeasureEachTitleOnce)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StoreEventUpdate)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_BareExtTextOut)->Unit(benchmark::kMillisecond)->Iterations(20);

// Collects each benchmark's real time per iteration for the ratios.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs)
            Seconds[r.benchmark_name()] = r.GetAdjustedRealTime() / 1000.0;
    }
};

} // namespace

int main(int argc, char** argv) {
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto at = [](const char* name) {
        for (const auto& [k, v] : Seconds)
            if (k.rfind(name, 0) == 0) return v;
        return 0.0;
    };
    const double render = at("BM_FullRender"), measure = at("BM_MeasureEachTitleOnce"),
                 update = at("BM_StoreEventUpdate"), scroll = at("BM_ScrollOnePage"),
                 bare = at("BM_BareExtTextOut");
    std::printf("full render / measuring each title once: %.2f (goal at most 3)\n", render / measure);
    std::printf("store event update / full render: %.3f (goal at most 0.10)\n", update / render);
    std::printf("scroll one page / bare ExtTextOutA: %.2f (goal at most 1.5)\n", scroll / bare);
    return 0;
}
