// The GDI side of the document engine's seam: text metrics and painting on a device context,
// with the fonts of the document kept in a cache that lives as long as the viewer.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "gui/GdiGuards.h"
#include "htmlview/HtmlCanvas.h"

// A picture that knows how to put itself on a device context. Pictures handed to the document
// implement it beside IHtmlPicture; one that does not is drawn as the error stand-in.
class IGdiPicture {
public:
    virtual ~IGdiPicture() = default;
    virtual void DrawOn(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) const = 0;
};

// The document's fonts as GDI fonts, created on first use and kept until the cache goes, and
// the extents of the short texts measured in them: a document laid out again (a resize, a page
// re-rendered with one more line) measures each run of text with the platform only once.
class THtmlFontCache {
public:
    HFONT Get(const TMyFont& font);
    // The extent of each prefix of s[0..n) (n >= 1) in the font selected into dc, which is font.
    const std::vector<int32_t>& Extents(HDC dc, HFONT font, const char* s, int32_t n);
    void Clear();
    // Texts longer than this are measured by the platform every time.
    static constexpr int32_t MaxCachedText = 256;
    size_t CachedTexts() const { return extents_.size(); }

private:
    using TKey = std::tuple<std::string, int32_t, uint8_t, uint8_t>;
    std::map<TKey, TGdiObject<HFONT>> fonts_;
    std::unordered_map<std::string, std::vector<int32_t>> extents_; // font handle bytes + text
    size_t cachedChars_ = 0;
};

// Metrics and drawing on a DC that someone else owns. The DC's font is put back on destruction.
class TGdiPainter : public IHtmlPainter {
public:
    TGdiPainter(HDC dc, THtmlFontCache& fonts);
    ~TGdiPainter() override;
    TGdiPainter(const TGdiPainter&) = delete;
    TGdiPainter& operator=(const TGdiPainter&) = delete;

    TFontMetrics Metrics(const TMyFont& font) override;
    int32_t TextWidth(const TMyFont& font, const char* s, int32_t n) override;
    int32_t FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) override;

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

    HDC DC() const { return dc_; }

private:
    void Select(const TMyFont& font);

    HDC dc_;
    THtmlFontCache& fonts_;
    HGDIOBJ oldFont_ = nullptr;
    HFONT current_ = nullptr;
    std::map<HFONT, TFontMetrics> metrics_;
};

// A COLORREF for any colour of the document (system colours looked up, the palette flag dropped).
COLORREF HtmlColorRef(TColor c);
