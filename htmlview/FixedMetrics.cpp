// Fixed-width metrics and the recording painter for window-free layout and drawing.
#include "htmlview/FixedMetrics.h"

TFontMetrics TFixedMetrics::Metrics(const TMyFont& font) {
    TFontMetrics m;
    int32_t size = font.Size < 1 ? 1 : font.Size;
    m.Height = HtmlMulDiv(size, 4, 3);
    m.Descent = m.Height / 4;
    m.ExternalLeading = 0;
    m.Overhang = 0;
    return m;
}

int32_t TFixedMetrics::TextWidth(const TMyFont&, const char*, int32_t n) {
    ++MeasureCalls;
    return n < 0 ? 0 : n * CharWidth;
}

int32_t TFixedMetrics::FitChars(const TMyFont&, const char*, int32_t n, int32_t maxExtent) {
    ++MeasureCalls;
    if (maxExtent < 0 || CharWidth <= 0) return 0;
    int32_t fit = maxExtent / CharWidth;
    return fit < n ? fit : n;
}

void TFixedMetrics::TextExtents(const TMyFont&, const char*, int32_t n, int32_t* extents) {
    ++MeasureCalls;
    for (int32_t k = 0; k < n; ++k)
        extents[k] = (k + 1) * CharWidth;
}

void TFixedMetrics::TextOut(const TMyFont&, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                            TColor color, bool, TColor) {
    if (Record)
        Ops.push_back(
            {'T', x, yBaseline, x + n * CharWidth, yBaseline, std::string(s, static_cast<size_t>(n)), color});
}

void TFixedMetrics::TextOutClipped(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s,
                                   int32_t n, TColor color, const THvRect&) {
    TextOut(font, x, yBaseline, s, n, color, false, 0);
}

void TFixedMetrics::FillRect(const THvRect& r, TColor color) {
    if (Record) Ops.push_back({'F', r.Left, r.Top, r.Right, r.Bottom, {}, color});
}

void TFixedMetrics::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) {
    if (Record) Ops.push_back({'L', x1, y1, x2, y2, {}, color});
}

void TFixedMetrics::Ellipse(const THvRect& r, TColor outline, TColor fill, bool filled) {
    if (Record)
        Ops.push_back(
            {'E', r.Left, r.Top, r.Right, r.Bottom, filled ? "filled" : "hollow", filled ? fill : outline});
}

void TFixedMetrics::FrameRect(const THvRect& r, TColor color) {
    if (Record) Ops.push_back({'R', r.Left, r.Top, r.Right, r.Bottom, {}, color});
}

TColor TFixedMetrics::ColorToRGB(TColor c) {
    if (c < 0) // system colours: a light window, grey buttons
        return c == hvSysWindow ? 0xFFFFFF : 0xC0C0C0;
    return c & 0xFFFFFF;
}

void TFixedMetrics::DrawPicture(const IHtmlPicture&, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (Record) Ops.push_back({'P', x, y, x + w, y + h, {}, 0});
}

void TFixedMetrics::DrawStandIn(StandIn kind, int32_t x, int32_t y) {
    if (Record)
        Ops.push_back(
            {'S', x, y, x + StandInSize, y + StandInSize, kind == StandIn::Error ? "error" : "pending", 0});
}
