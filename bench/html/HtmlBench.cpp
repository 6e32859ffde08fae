// html_bench: the page the note window's side panel shows for one namespace of 10,000 and of
// 100,000 titles read from a generated notes file, through the side panel's own document path: its
// page model (the titles sorted, each measured once, the page written), the page parsed with its
// link lines kept as runs of data, laid out at the panel's width in its font (Tahoma 8), painted.
// Measured: scan + build; layout at a first width and then at a second one (which reuses the
// widths measured in the first); paint; a full render (the store's query, the page, scan, build,
// first layout, one screen painted) against its floor: the same query, one pass over every
// title's characters summing cached advances, and painting one screen of those lines with the
// painter's bare text calls. Natively the metrics are the fixed-width ones (the engine's own
// cost); the Win32 build measures and paints with GDI. Five rounds; medians and the goal at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/NamespaceVisualizerPage.h"
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

// The side panel's width inside its scroll bar and margins, and one screen of it.
constexpr int32_t kWidth = 260;
constexpr int32_t kNarrower = 220;
constexpr THvRect kScreen{0, 0, 280, 600};

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

// The panel's font, and its links' font.
TMyFont PanelFont(bool link = false) {
    TMyFont font;
    font.Name = "Tahoma";
    font.Size = 8;
    font.Style = link ? static_cast<uint8_t>(fsUnderline) : uint8_t{0};
    return font;
}

// The panel's page for the titles, as the side panel writes it: one box for the default namespace
// with its root link, each title measured in the panel's font.
std::string SidePanelPage(IHtmlPainter& measure, const std::vector<std::string>& titles) {
    TNamespacePage page;
    page.ShowRootLinks = true;
    for (const std::string& title : titles)
        page.AddEntry("Default", title);
    const TMyFont font = PanelFont();
    int32_t columns = 0;
    return page.Build(
        kWidth,
        [&measure, &font](const std::string& t) {
            return measure.TextWidth(font, t.data(), static_cast<int32_t>(t.size()));
        },
        columns);
}

using Surface = mv::bench::THtmlSurface;

// The panel's document: its font, its link lines kept as runs of data.
struct Doc {
    explicit Doc(Surface& s) {
        list.CompactLinkLines = true;
        list.FontName = "Tahoma";
        list.FontSize = 8;
        list.SetMeasure(&s.Painter());
    }
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
    if (p.empty()) {
        Surface s;
        p = SidePanelPage(s.Painter(), Titles(titles));
    }
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
        const std::string page = SidePanelPage(s.Painter(), QueryTitles(store));
        d->parser.ParseHtmlText(page, d->list, nullptr);
        d->Layout(s, kWidth);
        benchmark::DoNotOptimize(d->list.Draw(s.Painter(), kScreen, 6000, 0, 0));
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}

// The floor of a full render: the same query, every title's width summed from cached advances
// (the widest sets the columns), and one screen of lines drawn with the painter's text call as the
// panel draws them: the box's background, then "» " in the panel's font and the title in its link
// font on each line that fits.
void BM_Floor(benchmark::State& state) {
    Surface s;
    TNotesStore store(DatabaseOf(static_cast<int>(state.range(0))));
    const TMyFont font = PanelFont(), link = PanelFont(true);
    int32_t advances[256];
    for (int c = 0; c < 256; ++c)
        advances[c] = s.BareWidth(font, std::string(1, static_cast<char>(c)));
    const int32_t lineHeight = s.Painter().Metrics(font).Height;
    const int32_t titleX = 10 + advances[0xBB] + advances[' '];
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
        s.Painter().FillRect(kScreen, 0xDDDDDD); // the box's background
        size_t next = 0;
        for (int32_t y = lineHeight; y < kScreen.Bottom && next < titles.size(); y += lineHeight, ++next) {
            s.Painter().TextOut(font, 10, y, "\xBB ", 2, 0, false, 0xFFFFFF);
            const std::string& t = titles[next];
            s.Painter().TextOut(link, titleX, y, t.data(), static_cast<int32_t>(t.size()), 0xFF0000, false,
                                0xFFFFFF);
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
        benchmark::DoNotOptimize(d->Layout(s, kWidth));
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
        benchmark::DoNotOptimize(d->Layout(s, kWidth));
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}

void BM_LayoutAtANewWidth(benchmark::State& state) {
    Surface s;
    Doc d(s);
    d.parser.ParseHtmlText(Page(static_cast<int>(state.range(0))), d.list, nullptr);
    d.Layout(s, kWidth);
    int32_t width = kWidth;
    for (auto _ : state) {
        width = width == kWidth ? kNarrower : kWidth;
        benchmark::DoNotOptimize(d.Layout(s, width));
    }
}

void BM_PaintAll(benchmark::State& state) {
    Surface s;
    Doc d(s);
    d.parser.ParseHtmlText(Page(static_cast<int>(state.range(0))), d.list, nullptr);
    int32_t height = d.Layout(s, kWidth);
    for (auto _ : state)
        benchmark::DoNotOptimize(d.list.Draw(s.Painter(), {0, 0, kScreen.Right, height}, 6000, 0, 0));
}

void BM_PaintOneScreen(benchmark::State& state) {
    Surface s;
    Doc d(s);
    d.parser.ParseHtmlText(Page(static_cast<int>(state.range(0))), d.list, nullptr);
    int32_t height = d.Layout(s, kWidth);
    d.list.SetYOffset(height / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(d.list.Draw(s.Painter(), kScreen, 6000, 0, 0));
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
    RunBenchmarks(argc, argv, reporter);
    std::printf("\nmedians of the rounds, the lowest and the highest in brackets:\n");
    for (const char* titles : {"10000", "100000"})
        PrintComparison(
            std::string(titles) +
                " titles: full render / floor (the query, summed advances, one screen drawn)",
            reporter.Ratio(std::string("BM_FullRender/") + titles, std::string("BM_Floor/") + titles), "ms",
            3);
    benchmark::Shutdown();
    return 0;
}
