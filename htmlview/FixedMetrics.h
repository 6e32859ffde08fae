// Window-free metrics and a recording painter: every character is CharWidth pixels wide,
// a font of s points is s * 4 / 3 pixels high with a quarter of that below the baseline.
// Layout tests assert exact positions with it; the fuzz target draws into it.
#pragma once

#include <string>
#include <vector>

#include "htmlview/HtmlCanvas.h"

class TFixedMetrics : public IHtmlPainter {
public:
    explicit TFixedMetrics(int32_t charWidth = 8) : CharWidth(charWidth) {}

    TFontMetrics Metrics(const TMyFont& font) override;
    int32_t TextWidth(const TMyFont& font, const char* s, int32_t n) override;
    int32_t FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) override;
    void TextExtents(const TMyFont& font, const char* s, int32_t n, int32_t* extents) override;

    void TextOut(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n, TColor color,
                 bool opaque, TColor back) override;
    void TextOutClipped(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                        TColor color, const THvRect& clip) override;
    void FillRect(const THvRect& r, TColor color) override;
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) override;
    void Ellipse(const THvRect& r, TColor outline, TColor fill, bool filled) override;
    void FrameRect(const THvRect& r, TColor color) override;
    void DrawPicture(const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h) override;
    void DrawStandIn(StandIn kind, int32_t x, int32_t y) override;
    bool Monochrome() override { return false; }
    TColor ColorToRGB(TColor c) override;

    // What was drawn, one record per call.
    struct Op {
        char Kind; // 'T' text, 'F' fill, 'L' line, 'E' ellipse, 'R' frame, 'P' picture, 'S' stand-in
        int32_t X, Y, X2, Y2;
        std::string Text;
        TColor Color;
    };
    std::vector<Op> Ops;
    bool Record = true;
    int32_t CharWidth;
    int32_t MeasureCalls = 0;
};
