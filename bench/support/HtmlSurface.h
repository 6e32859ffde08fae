// What the HTML benchmarks lay out and paint on. Under Wine: a DIB section with the GDI painter
// over it; natively: fixed-width metrics (the engine's own cost, no platform below it).
#pragma once

#include "htmlview/FixedMetrics.h"

#include <cstdint>
#include <memory>
#include <string>

#ifdef MV_HTML_BENCH_GDI
#include <windows.h>

#include "htmlview/HtmlDisplayPainter.h"

namespace mv::bench {

// 800 x 600 pixels. Fresh() starts a new font cache, so a first layout measures every text with
// the platform again, as in a new process.
struct THtmlSurface {
    THtmlSurface() {
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
    ~THtmlSurface() {
        painter.reset();
        fonts.reset();
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    THtmlSurface(const THtmlSurface&) = delete;
    THtmlSurface& operator=(const THtmlSurface&) = delete;
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
    IHtmlPainter& Painter() { return *painter; }

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    std::unique_ptr<THtmlFontCache> fonts;
    std::unique_ptr<TGdiPainter> painter;
};

} // namespace mv::bench
#else
namespace mv::bench {

struct THtmlSurface {
    THtmlSurface() { fixed.Record = false; }
    void Fresh() {}
    int32_t BareWidth(const TMyFont& font, const std::string& s) {
        return fixed.TextWidth(font, s.data(), static_cast<int32_t>(s.size()));
    }
    IHtmlPainter& Painter() { return fixed; }

    TFixedMetrics fixed{7};
};

} // namespace mv::bench
#endif
