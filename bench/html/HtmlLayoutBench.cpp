// html_layout_bench: how the engine's costs grow with a page. Side by side in one run: layout of
// one long paragraph (64 KB against 5 MB, plain words and a line of one-letter bold runs), of a
// definition list (1,000 against 20,000 items), stepping "find next" through every hit (1,000
// against 20,000 paragraphs), painting and scrolling the bold line; parsing and laying out the
// long pages together (and a paragraph whose font changes at every word), held to growing no
// faster than the page; and the memory a <br> line and a side panel link line keep (live heap
// bytes per line, counted by this program's allocator). Under Wine it also loads a 50 KB and a
// 5 MB one-paragraph page into the viewer.
// Natively the metrics are the fixed-width ones; the Win32 build measures and paints with GDI.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/HtmlSurface.h"
#include "bench/support/MedianReporter.h"
#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlParser.h"
#ifdef MV_HTML_BENCH_GDI
#include <windows.h>

#include "gui/Application.h"
#include "gui/Forms.h"
#include "htmlview/HtmlDisplay.h"
#include "htmlview/HtmlDisplayPainter.h"
#endif

// Every block of the program goes through here, so the live bytes of a document are known.
namespace {
size_t gLiveBytes = 0, gLiveBlocks = 0;
struct alignas(16) BlockHeader {
    size_t Size;
};
void* CountedAlloc(size_t n) {
    auto* h = static_cast<BlockHeader*>(std::malloc(n + sizeof(BlockHeader)));
    if (!h) throw std::bad_alloc();
    h->Size = n;
    gLiveBytes += n;
    ++gLiveBlocks;
    return h + 1;
}
void CountedFree(void* p) noexcept {
    if (!p) return;
    auto* h = static_cast<BlockHeader*>(p) - 1;
    gLiveBytes -= h->Size;
    --gLiveBlocks;
    std::free(h);
}
} // namespace

void* operator new(size_t n) {
    return CountedAlloc(n);
}
void* operator new[](size_t n) {
    return CountedAlloc(n);
}
void operator delete(void* p) noexcept {
    CountedFree(p);
}
void operator delete[](void* p) noexcept {
    CountedFree(p);
}
void operator delete(void* p, size_t) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, size_t) noexcept {
    CountedFree(p);
}

namespace {

using Surface = mv::bench::THtmlSurface;

Surface& TheSurface() {
    static Surface s;
    return s;
}

struct Doc {
    Doc() { list.SetMeasure(&TheSurface().Painter()); }
    // compact: runs of link lines are kept as data (TLinkLines) instead of a section per line.
    explicit Doc(const std::string& page, bool compact = false) : Doc() {
        list.CompactLinkLines = compact;
        parser.ParseHtmlText(page, list, nullptr);
    }
    TSectionList list;
    THtmlParser parser;
    int32_t Layout(int32_t width) {
        int32_t curs = 0, maxWidth = 0;
        return list.Layout(TheSurface().Painter(), 0, width, maxWidth, curs);
    }
};

const char* const kWords[] = {"the",   "engine", "lays",  "out",  "a",       "long", "paragraph", "of",
                              "words", "that",   "never", "ends", "quickly", "and",  "then",      "more"};

// One paragraph of words, about bytes long.
std::string ParagraphPage(size_t bytes) {
    std::string page = "<html><body><p>";
    for (size_t i = 0; page.size() < bytes; ++i) {
        page += kWords[(i * 7 + i / 16) % 16];
        page += ' ';
    }
    return page + "</p></body></html>";
}

// One line of one-letter bold runs, about bytes long.
std::string BoldRunsPage(size_t bytes) {
    std::string page = "<html><body><p>";
    while (page.size() < bytes)
        page += "<b>a</b>";
    return page + "</p></body></html>";
}

// One paragraph whose font changes at every word (bold, plain, italic, plain), about bytes long.
std::string FontWordsPage(size_t bytes) {
    std::string page = "<html><body><p>";
    for (size_t i = 0; page.size() < bytes; ++i)
        page += i % 2 ? "<i>italic</i> plain " : "<b>bold</b> plain ";
    return page + "</p></body></html>";
}

std::string DefinitionListPage(int items) {
    std::string page = "<html><body><dl>";
    for (int i = 0; i < items; ++i)
        page += "<dt>Term " + std::to_string(i) + "<dd>What term " + std::to_string(i) + " means";
    return page + "</dl></body></html>";
}

// Paragraphs with one hit each.
std::string FindPage(int paragraphs) {
    std::string page = "<html><body>";
    for (int i = 0; i < paragraphs; ++i)
        page += "<p>Paragraph " + std::to_string(i) + " holds the needle once.";
    return page + "</body></html>";
}

std::string BreakLinesPage(int lines) {
    std::string page = "<html><body>";
    for (int i = 0; i < lines; ++i)
        page += "<br>";
    return page + "</body></html>";
}

// One namespace box of the side panel with its link lines.
std::string PanelPage(int titles) {
    std::string page = "<html><body><nobr>  <table width=\"100%\"><tr><td valign=\"top\"><table border=\"3\" "
                       "bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" cellspacing=\"0\" cellpadding=\"4\" "
                       "align=\"left\" width=\"100%\"><tr><td><b><nobr>Namespace</nobr></b><br>";
    for (int t = 0; t < titles; ++t) {
        std::string title = "Topic title number " + std::to_string(t) + (t % 3 ? " about things" : "");
        page += "<nobr>\xBB <a href=\"Namespace:" + title + "\">" + title + "</nobr></a><br>";
    }
    return page + "</td></tr></table></td></tr></table></nobr></body></html>";
}

double Kb(const std::string& page) {
    return static_cast<double>(page.size()) / 1024.0;
}

void Layout(benchmark::State& state, const std::string& page) {
    Doc d(page);
    int32_t width = 600;
    for (auto _ : state) {
        width = width == 600 ? 450 : 600; // a new width each time: every line is broken again
        benchmark::DoNotOptimize(d.Layout(width));
    }
    state.counters["KB"] = Kb(page);
}

void PaintScreens(benchmark::State& state, const std::string& page, bool compact = false) {
    Doc d(page, compact);
    int32_t height = d.Layout(600);
    int32_t y = 0;
    for (auto _ : state) {
        d.list.SetYOffset(y);
        benchmark::DoNotOptimize(d.list.Draw(TheSurface().Painter(), {0, 0, 800, 600}, 6000, 0, 0));
        y = y + 40 < height ? y + 40 : 0; // a scroll by a few lines
    }
}

void FindEveryHit(benchmark::State& state, const std::string& page) {
    Doc d(page);
    d.Layout(600);
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (int32_t at = d.list.FindString(0, "needle", false); at >= 0;
             at = d.list.FindString(at + 1, "needle", false))
            ++hits;
    }
    state.counters["hits"] = hits;
}

// Parsing a page and laying it out once, then letting it go (what a new panel costs).
void ParseAndLayout(benchmark::State& state, const std::string& page, bool compact = false) {
    state.counters["KB"] = Kb(page);
    for (auto _ : state) {
        auto d = std::make_unique<Doc>(page, compact);
        benchmark::DoNotOptimize(d->Layout(600));
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}

// Live heap bytes per line of a page, after it is parsed and laid out.
void MemoryPerLine(benchmark::State& state, const std::string& page, int lines, bool compact = false) {
    double perLine = 0, blocksPerLine = 0;
    for (auto _ : state) {
        size_t bytes0 = gLiveBytes, blocks0 = gLiveBlocks;
        auto d = std::make_unique<Doc>(page, compact);
        d->Layout(600);
        perLine = static_cast<double>(gLiveBytes - bytes0) / lines;
        blocksPerLine = static_cast<double>(gLiveBlocks - blocks0) / lines;
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    state.counters["bytes/line"] = perLine;
    state.counters["page/line"] = static_cast<double>(page.size()) / lines;
    state.counters["blocks/line"] = blocksPerLine;
    // The heap keeps a header of two pointers with every block.
    state.counters["with heap headers"] = perLine + blocksPerLine * 2 * sizeof(void*);
}

#ifdef MV_HTML_BENCH_GDI
struct ViewerWindow {
    ViewerWindow() {
        Application->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(30, 30, 820, 620);
        viewer = new THtmlDisplay(form.get());
        viewer->SetParent(form.get());
        viewer->SetBounds(0, 0, 800, 580);
    }
    std::unique_ptr<TForm> form;
    THtmlDisplay* viewer = nullptr;
};

void ViewerLoad(benchmark::State& state, const std::string& page) {
    static ViewerWindow w;
    for (auto _ : state) {
        w.viewer->LoadHtmlText(page, "bench");
        benchmark::DoNotOptimize(w.viewer->DocumentHeight());
        state.PauseTiming();
        w.viewer->LoadHtmlText("", "empty");
        state.ResumeTiming();
    }
    state.counters["KB"] = Kb(page);
}
#endif

struct Pair {
    const char* what;
    std::string small, large;
};

// A page at two sizes, parsed and laid out; its units are KB unless sizes says otherwise.
struct TParsedPair {
    const char* what;
    std::string small, large;
    const std::string* pages[2];
    double sizes[2];
    TParsedPair(const char* w, std::string s, std::string l, std::initializer_list<const std::string*> p,
                std::initializer_list<double> units)
        : what(w), small(std::move(s)),
          large(std::move(l)), pages{*p.begin(), *(p.begin() + 1)}, sizes{units.size() ? *units.begin()
                                                                                       : Kb(*pages[0]),
                                                                          units.size() ? *(units.begin() + 1)
                                                                                       : Kb(*pages[1])} {}
};

} // namespace

int main(int argc, char** argv) {
    static const std::string para64 = ParagraphPage(64 * 1024), para5m = ParagraphPage(5 * 1024 * 1024);
    static const std::string bold64 = BoldRunsPage(64 * 1024), bold5m = BoldRunsPage(5 * 1024 * 1024);
    static const std::string words64 = FontWordsPage(64 * 1024), words1m = FontWordsPage(1024 * 1024);
    static const std::string dl1k = DefinitionListPage(1000), dl20k = DefinitionListPage(20000);
    static const TParsedPair parsed[] = {
        {"Paragraph", "ParseLayout/Paragraph64KB", "ParseLayout/Paragraph5MB", {&para64, &para5m}, {}},
        {"BoldRuns", "ParseLayout/BoldRuns64KB", "ParseLayout/BoldRuns5MB", {&bold64, &bold5m}, {}},
        {"FontWords", "ParseLayout/FontWords64KB", "ParseLayout/FontWords1MB", {&words64, &words1m}, {}},
        {"DefinitionList",
         "ParseLayout/DefinitionList1000",
         "ParseLayout/DefinitionList20000",
         {&dl1k, &dl20k},
         {1000, 20000}}};
    static const std::string find1k = FindPage(1000), find20k = FindPage(20000);
    static const std::string para50 = ParagraphPage(50 * 1024);
    constexpr int kBreakLines = 100000, kPanelLines = 20000;
    static const std::string breaks = BreakLinesPage(kBreakLines), panel = PanelPage(kPanelLines);

    auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Paragraph/64KB", [](benchmark::State& s) { Layout(s, para64); })->Unit(ms);
    benchmark::RegisterBenchmark("Paragraph/5MB", [](benchmark::State& s) { Layout(s, para5m); })->Unit(ms);
    benchmark::RegisterBenchmark("BoldRuns/64KB", [](benchmark::State& s) { Layout(s, bold64); })->Unit(ms);
    benchmark::RegisterBenchmark("BoldRuns/5MB", [](benchmark::State& s) { Layout(s, bold5m); })->Unit(ms);
    benchmark::RegisterBenchmark("DefinitionList/1000", [](benchmark::State& s) {
        Layout(s, dl1k);
    })->Unit(ms);
    benchmark::RegisterBenchmark("DefinitionList/20000", [](benchmark::State& s) {
        Layout(s, dl20k);
    })->Unit(ms);
    benchmark::RegisterBenchmark("FindNext/1000", [](benchmark::State& s) {
        FindEveryHit(s, find1k);
    })->Unit(ms);
    benchmark::RegisterBenchmark("FindNext/20000", [](benchmark::State& s) {
        FindEveryHit(s, find20k);
    })->Unit(ms);
    benchmark::RegisterBenchmark("PaintScroll/BoldRuns64KB", [](benchmark::State& s) {
        PaintScreens(s, bold64);
    })->Unit(ms);
    benchmark::RegisterBenchmark("PaintScroll/BoldRuns5MB", [](benchmark::State& s) {
        PaintScreens(s, bold5m);
    })->Unit(ms);
    // Screens of words and of side panel link lines: text runs of some length, each character
    // placed where the layout measured it.
    benchmark::RegisterBenchmark("PaintScroll/Paragraph64KB", [](benchmark::State& s) {
        PaintScreens(s, para64);
    })->Unit(ms);
    benchmark::RegisterBenchmark("PaintScroll/Panel20000Kept", [](benchmark::State& s) {
        PaintScreens(s, panel, true);
    })->Unit(ms);
    benchmark::RegisterBenchmark("Memory/BreakLine",
                                 [](benchmark::State& s) { MemoryPerLine(s, breaks, kBreakLines); })
        ->Unit(ms)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Memory/PanelLinkLine",
                                 [](benchmark::State& s) { MemoryPerLine(s, panel, kPanelLines); })
        ->Unit(ms)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Memory/PanelLinkLineKept",
                                 [](benchmark::State& s) { MemoryPerLine(s, panel, kPanelLines, true); })
        ->Unit(ms)
        ->Iterations(1);
    benchmark::RegisterBenchmark("ParseLayout/Panel20000", [](benchmark::State& s) {
        ParseAndLayout(s, panel, false);
    })->Unit(ms);
    benchmark::RegisterBenchmark("ParseLayout/Panel20000Kept", [](benchmark::State& s) {
        ParseAndLayout(s, panel, true);
    })->Unit(ms);
    // Parse and layout together, each page's pair side by side (the large ones once: a parse
    // that grows faster than its page shows in one run).
    for (const TParsedPair& p : parsed) {
        benchmark::RegisterBenchmark(p.small.c_str(), [&p](benchmark::State& s) {
            ParseAndLayout(s, *p.pages[0]);
        })->Unit(ms);
        benchmark::RegisterBenchmark(p.large.c_str(),
                                     [&p](benchmark::State& s) { ParseAndLayout(s, *p.pages[1]); })
            ->Unit(ms)
            ->Iterations(1);
    }
#ifdef MV_HTML_BENCH_GDI
    benchmark::RegisterBenchmark("ViewerLoad/50KB", [](benchmark::State& s) {
        ViewerLoad(s, para50);
    })->Unit(ms);
    benchmark::RegisterBenchmark("ViewerLoad/5MB", [](benchmark::State& s) { ViewerLoad(s, para5m); })
        ->Unit(ms)
        ->Iterations(1);
#endif

    TMedianReporter reporter;
    RunBenchmarks(argc, argv, reporter);

    // Medians per KB (per hit for find next) of the large case against the small one.
    const Pair pairs[] = {{"Paragraph", "Paragraph/64KB", "Paragraph/5MB"},
                          {"BoldRuns", "BoldRuns/64KB", "BoldRuns/5MB"},
                          {"DefinitionList", "DefinitionList/1000", "DefinitionList/20000"},
                          {"FindNext", "FindNext/1000", "FindNext/20000"},
                          {"ViewerLoad", "ViewerLoad/50KB", "ViewerLoad/5MB"}};
    const double sizes[][2] = {{Kb(para64), Kb(para5m)},
                               {Kb(bold64), Kb(bold5m)},
                               {1000, 20000},
                               {1000, 20000},
                               {Kb(para50), Kb(para5m)}};
    std::printf("\nmedians, large against small:\n");
    for (size_t i = 0; i < std::size(pairs); ++i) {
        double a = reporter.Median(pairs[i].small), b = reporter.Median(pairs[i].large);
        if (a <= 0 || b <= 0) continue;
        double perA = a / sizes[i][0], perB = b / sizes[i][1];
        std::printf("%-15s %10.3f ms against %10.3f ms: %.2fx the time, %.2fx per unit (KB, item or hit)\n",
                    pairs[i].what, b, a, b / a, perB / perA);
    }
    // Parse and layout of a page grow with the page: at most twice the time per KB (per item) on
    // the large page as on the small one.
    std::printf("\nparse and layout, large against small:\n");
    for (const TParsedPair& p : parsed) {
        double a = reporter.Median(p.small), b = reporter.Median(p.large);
        if (a <= 0 || b <= 0) continue;
        double perUnit = (b / p.sizes[1]) / (a / p.sizes[0]);
        std::printf("%-15s %10.3f ms against %10.3f ms: %.2fx per unit (goal at most 2)%s\n", p.what, b, a,
                    perUnit, perUnit > 2 ? ": MISSED" : "");
    }
    const double sections = reporter.Median("ParseLayout/Panel20000"),
                 kept = reporter.Median("ParseLayout/Panel20000Kept");
    if (sections > 0 && kept > 0)
        std::printf("%-15s %10.3f ms kept as runs against %10.3f ms as sections: %.2fx\n", "PanelParse", kept,
                    sections, kept / sections);
    double pa = reporter.Median("PaintScroll/BoldRuns64KB"), pb = reporter.Median("PaintScroll/BoldRuns5MB");
    if (pa > 0 && pb > 0)
        std::printf("%-15s %10.3f ms against %10.3f ms a screen: %.2fx\n", "PaintScroll", pb, pa, pb / pa);
    benchmark::Shutdown();
    return 0;
}
