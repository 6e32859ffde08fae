// The GDI side of the document engine's seam (Win32): text metrics and a painter over an HDC,
// with one process-wide cache of document fonts so that the number of HFONTs depends on the
// distinct fonts of the documents, not on their size or on how often they are laid out.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "htmlview/HtmlCanvas.h"

// The HFONT of a document font (face names cut at 31 characters, sizes in points at the screen's
// pixels per inch). Owned by the cache; valid until HtmlFontCacheClear.
HFONT HtmlFontHandle(const TMyFont& font);
// How many HFONTs the cache holds.
int HtmlFontCacheCount();
// Deletes every cached HFONT (shut-down; no canvas may have one selected).
void HtmlFontCacheClear();

// Metrics and painting on a DC that the caller owns. Selected fonts, pens and brushes are put
// back when the canvas goes.
class TGdiCanvas : public IHtmlPainter {
public:
    explicit TGdiCanvas(HDC dc);
    ~TGdiCanvas() override;
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

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
    bool Monochrome() override;
    TColor ColorToRGB(TColor c) override;

    HDC Handle() const { return dc_; }

private:
    void Select(const TMyFont& font);

    HDC dc_;
    int savedDC_;
    HFONT current_ = nullptr;
    std::unordered_map<HFONT, TFontMetrics> metrics_;
};

// Owns a memory DC compatible with the screen (a base of TScreenCanvas, so the DC outlives the
// canvas that uses it).
struct TScreenDCHolder {
    TScreenDCHolder() : ScreenDC(CreateCompatibleDC(nullptr)) {}
    ~TScreenDCHolder() { DeleteDC(ScreenDC); }
    TScreenDCHolder(const TScreenDCHolder&) = delete;
    TScreenDCHolder& operator=(const TScreenDCHolder&) = delete;
    HDC ScreenDC;
};

// A canvas for layout before any window exists.
class TScreenCanvas : private TScreenDCHolder, public TGdiCanvas {
public:
    TScreenCanvas() : TGdiCanvas(ScreenDC) {}
};
