// html_bench: the page the note window's side panel shows (one outer table, a grey box per
// namespace, a link per title) with 10,000 and 100,000 titles read from a generated notes file.
// Measured: scan + build; layout at a first width and then at a second one (which reuses the
// widths measured in the first); paint; a full render (the store's query, the page, scan, build,
// first layout, one screen painted) against its floor: the same query, one pass over every
// title's characters summing cached advances, and painting one screen of those lines with the
// painter's bare text calls. Natively the metrics are the fixed-width ones (the engine's own
// cost); the Win32 build measures and paints with GDI. Five repetitions; medians at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/HtmlSurface.h"
#include "bench/support/MedianReporter.h"
#include "bench/store/BenchDatabase.h"
#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlParser.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"
#ifdef MV_HTML_BENCH_GDI
#include <windows.h>

#include "htmlview/HtmlDisplayPainter.h"
#endif

namespace {

constexpr int kColumns = 2;
constexpr int kTitlesPerBox = 1000;

std::string DatabaseFolder; // where the generated notes files live

std::string DatabaseOf(int titles) {
    return DatabaseFolder + "scale-" + std::to_string(titles) + ".mvdb";
}

// The titles of the default namespace, as the side panel asks for them.
std::vector<std::string> QueryTitles(TNotesStore& store) {
    std::vector<std::string> titles;
    if (auto topics = store.FindTopics("", nullptr, "")) {
        titles.reserve(static_cast<size_t>(topics->Count()));
        for (int i = 0; i < topics->Count(); ++i)
            titles.push_back(ListLineTitle(topics->Get(i)));
    }
    return titles;
}

const std::vector<std::string>& Titles(int titles) {
    static std::vector<std::string> lists[2];
    std::vector<std::string>& l = lists[titles > 10000 ? 1 : 0];
    if (l.empty()) {
        TNotesStore store(DatabaseOf(titles));
        l = QueryTitles(store);
    }
    return l;
}

std::string SidePanelPage(const std::vector<std::string>& titles) {
    std::string page = "<html><body><nobr>  <table width=\"100%\"><tr>";
    const size_t count = titles.size();
    size_t boxes = (count + kTitlesPerBox - 1) / kTitlesPerBox, t = 0;
    int column = 0;
    for (size_t b = 0; b < boxes; ++b) {
        std::string ns = "Namespace" + std::to_string(b);
        page += "<td valign=\"top\"><table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" "
                "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td><b><nobr>" +
                ns + "</nobr></b><br>";
        page += "<nobr>\xBB <a href=\"" + ns + ":\">[Root]</a></nobr><br>";
        for (int k = 0; k < kTitlesPerBox && t < count; ++k, ++t)
            page += "<nobr>\xBB <a href=\"" + ns + ":" + titles[t] + "\">" + titles[t] + "</nobr></a><br>";
        page += "</td></tr></table>";
        if (++column >= kColumns) {
            column = 0;
            page += "</tr><tr>";
        }
    }
    return page + "  </tr></table></nobr></body></html>";
}

using Surface = mv::bench::THtmlSurface;

struct Doc {
    explicit Doc(Surface& s) { list.SetMeasure(&s.Painter()); }
    TSectionList list;
    THtmlParser parser;
    int32_t Layout(Surface& s, int32_t width) {
        int32_t curs = 0, maxWidth = 0;
        return list.Layout(s.Painter(), 0, width, maxWidth, curs);
    }
};

const std::string& Page(int titles) {
    static std::string pages[2];
    std::string& p = pages[titles > 10000 ? 1 : 0];
    if (p.empty()) p = SidePanelPage(Titles(titles));
    return p;
}

// A full render: the store's query, the page, scan + build, a first layout (fresh widths), one
// screen painted. Freeing the document is left out of the time.
void BM_FullRender(benchmark::State& state) {
    Surface s;
    TNotesStore store(DatabaseOf(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        s.Fresh();
        auto d = std::make_unique<Doc>(s);
        state.ResumeTiming();
        const std::string page = SidePanelPage(QueryTitles(store));
        d->parser.ParseHtmlText(page, d->list, nullptr);
        d->Layout(s, 600);
        benchmark::DoNotOptimize(d->list.Draw(s.Painter(), {0, 0, 800, 600}, 6000, 0, 0));
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}

// The floor of a full render: the same query, every title's width summed from cached advances
// (the widest sets the columns), and one screen of lines ("» " and the title in the link font)
// drawn with the painter's text call, as many as fit in 600 pixels in two columns.
void BM_Floor(benchmark::State& state) {
    Surface s;
    TNotesStore store(DatabaseOf(static_cast<int>(state.range(0))));
    TMyFont font;
    font.Name = "Times New Roman";
    font.Size = 12;
    font.Style = fsUnderline;
    int32_t advances[256];
    for (int c = 0; c < 256; ++c)
        advances[c] = s.BareWidth(font, std::string(1, static_cast<char>(c)));
    const int32_t lineHeight = 19; // the page's line height in this font
    for (auto _ : state) {
        const std::vector<std::string> titles = QueryTitles(store);
        int32_t widest = 0;
        for (const std::string& t : titles) {
            int32_t w = 0;
            for (const char c : t)
                w += advances[static_cast<unsigned char>(c)];
            widest = std::max(widest, w);
        }
        benchmark::DoNotOptimize(widest);
        s.Painter().FillRect({0, 0, 800, 600}, 0xDDDDDD); // the boxes' background
        size_t next = 0;
        for (int column = 0; column < kColumns; ++column)
            for (int32_t y = lineHeight; y < 600 && next < titles.size(); y += lineHeight, ++next) {
                s.Painter().TextOut(font, column * 300, y, "\xBB ", 2, 0, false, 0xFFFFFF);
                const std::string& t = titles[next];
                s.Painter().TextOut(font, column * 300 + 10, y, t.data(), static_cast<int32_t>(t.size()),
                                    0xFF0000, false, 0xFFFFFF);
            }
    }
}

// Freeing the previous document is not part of loading the next one: it is left out of the time.
void BM_ScanAndBuild(benchmark::State& state) {
    Surface s;
    const std::string& page = Page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto d = std::make_unique<Doc>(s);
        d->parser.ParseHtmlText(page, d->list, nullptr);
        benchmark::DoNotOptimize(d->list.Count());
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}

void BM_ScanBuildAndLayout(benchmark::State& state) {
    Surface s;
    const std::string& page = Page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto d = std::make_unique<Doc>(s);
        d->parser.ParseHtmlText(page, d->list, nullptr);
        benchmark::DoNotOptimize(d->Layout(s, 600));
        state.PauseTiming();
        d.reset();
        s.Fresh();
        state.ResumeTiming();
    }
}

void BM_FirstLayout(benchmark::State& state) {
    Surface s;
    const std::string& page = Page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        s.Fresh();
        auto d = std::make_unique<Doc>(s);
        d->parser.ParseHtmlText(page, d->list, nullptr);
        state.ResumeTiming();
        benchmark::DoNotOptimize(d->Layout(s, 600));
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}

void BM_LayoutAtANewWidth(benchmark::State& state) {
    Surface s;
    Doc d(s);
    d.parser.ParseHtmlText(Page(static_cast<int>(state.range(0))), d.list, nullptr);
    d.Layout(s, 600);
    int32_t width = 600;
    for (auto _ : state) {
        width = width == 600 ? 450 : 600;
        benchmark::DoNotOptimize(d.Layout(s, width));
    }
}

void BM_PaintAll(benchmark::State& state) {
    Surface s;
    Doc d(s);
    d.parser.ParseHtmlText(Page(static_cast<int>(state.range(0))), d.list, nullptr);
    int32_t height = d.Layout(s, 600);
    for (auto _ : state)
        benchmark::DoNotOptimize(d.list.Draw(s.Painter(), {0, 0, 800, height}, 6000, 0, 0));
}

void BM_PaintOneScreen(benchmark::State& state) {
    Surface s;
    Doc d(s);
    d.parser.ParseHtmlText(Page(static_cast<int>(state.range(0))), d.list, nullptr);
    int32_t height = d.Layout(s, 600);
    d.list.SetYOffset(height / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(d.list.Draw(s.Painter(), {0, 0, 800, 600}, 6000, 0, 0));
}

BENCHMARK(BM_FullRender)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanAndBuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanBuildAndLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutAtANewWidth)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOneScreen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
#ifdef MV_HTML_BENCH_GDI
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DatabaseFolder = path;
    DatabaseFolder.erase(DatabaseFolder.find_last_of("\\/") + 1);
#else
    DatabaseFolder = MV_BENCH_FOLDER "/";
#endif
    for (int titles : {10000, 100000})
        EnsureBenchDatabase(DatabaseOf(titles), BenchFlat(titles)); // shared with scale_bench
    TMedianReporter reporter;
    RunBenchmarks(argc, argv, &reporter);
    std::printf("\nmedians:\n");
    for (const char* titles : {"10000", "100000"}) {
        const double render = reporter.Median(std::string("BM_FullRender/") + titles),
                     floor = reporter.Median(std::string("BM_Floor/") + titles);
        if (render > 0 && floor > 0)
            std::printf("  %6s titles: full render %.2f ms, floor (query + advances + one screen) %.2f ms: "
                        "%.2fx (goal at most 3)\n",
                        titles, render, floor, render / floor);
    }
    benchmark::Shutdown();
    return 0;
}
