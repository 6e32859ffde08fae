// html_bench: the page the note window's side panel shows (one outer table, a grey box per
// namespace, a link per title) with 10,000 and 100,000 titles. Measured: scan + build; layout at
// a first width and then at a second one (which reuses the widths measured in the first); paint;
// and the floor: measuring each title once with the same font. Natively the metrics are the
// fixed-width ones (the engine's own cost); the Win32 build measures and paints with GDI.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlParser.h"
#ifdef MV_HTML_BENCH_GDI
#include <windows.h>

#include "htmlview/HtmlDisplayPainter.h"
#endif

namespace {

constexpr int kColumns = 2;
constexpr int kTitlesPerBox = 1000;

std::string Title(int i) {
    return "Topic title number " + std::to_string(i) + (i % 3 ? " about things" : "");
}

std::string SidePanelPage(int titles) {
    std::string page = "<html><body><nobr>  <table width=\"100%\"><tr>";
    int boxes = (titles + kTitlesPerBox - 1) / kTitlesPerBox, column = 0, t = 0;
    for (int b = 0; b < boxes; ++b) {
        std::string ns = "Namespace" + std::to_string(b);
        page += "<td valign=\"top\"><table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" "
                "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td><b><nobr>" +
                ns + "</nobr></b><br>";
        page += "<nobr>\xBB <a href=\"" + ns + ":\">[Root]</a></nobr><br>";
        for (int k = 0; k < kTitlesPerBox && t < titles; ++k, ++t)
            page += "<nobr>\xBB <a href=\"" + ns + ":" + Title(t) + "\">" + Title(t) + "</nobr></a><br>";
        page += "</td></tr></table>";
        if (++column >= kColumns) {
            column = 0;
            page += "</tr><tr>";
        }
    }
    return page + "  </tr></table></nobr></body></html>";
}

#ifdef MV_HTML_BENCH_GDI
// A DIB section to paint into, with the painter over it. Fresh() starts a new font cache, so a
// first layout measures every text with the platform again, as in a new process.
struct Surface {
    Surface() {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = 800;
        bi.bmiHeader.biHeight = -600;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        Fresh();
    }
    ~Surface() {
        painter.reset();
        fonts.reset();
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fresh() {
        painter.reset();
        fonts = std::make_unique<THtmlFontCache>();
        painter = std::make_unique<TGdiPainter>(dc, *fonts);
    }
    // The platform's own answer, nothing remembered: the floor.
    int32_t BareWidth(const TMyFont& font, const std::string& s) {
        SelectObject(dc, fonts->Get(font));
        SIZE size{};
        GetTextExtentPoint32A(dc, s.data(), static_cast<int>(s.size()), &size);
        return size.cx;
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    std::unique_ptr<THtmlFontCache> fonts;
    std::unique_ptr<TGdiPainter> painter;
    IHtmlPainter& Painter() { return *painter; }
};
#else
struct Surface {
    Surface() { fixed.Record = false; }
    void Fresh() {}
    int32_t BareWidth(const TMyFont& font, const std::string& s) {
        return fixed.TextWidth(font, s.data(), static_cast<int32_t>(s.size()));
    }
    TFixedMetrics fixed{7};
    IHtmlPainter& Painter() { return fixed; }
};
#endif

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
    if (p.empty()) p = SidePanelPage(titles);
    return p;
}

void BM_MeasureEachTitleOnce(benchmark::State& state) {
    Surface s;
    TMyFont font;
    font.Name = "Times New Roman";
    font.Size = 12;
    font.Style = fsUnderline;
    std::vector<std::string> titles;
    for (int i = 0; i < state.range(0); ++i)
        titles.push_back(Title(i));
    for (auto _ : state) {
        int64_t total = 0;
        for (const auto& t : titles)
            total += s.BareWidth(font, t);
        benchmark::DoNotOptimize(total);
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

} // namespace

BENCHMARK(BM_MeasureEachTitleOnce)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanAndBuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanBuildAndLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutAtANewWidth)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOneScreen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
