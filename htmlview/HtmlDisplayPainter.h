// The GDI side of the document engine's seam: text metrics and painting on a device context,
// and the one cache of document fonts (with the widths of the short texts measured in them)
// that the viewer, layout without a window, the tests and the benchmarks all go through.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "gui/GdiGuards.h"
#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlUnderline.h"

// A picture that knows how to put itself on a device context. Pictures handed to the document
// implement it beside IHtmlPicture; one that does not is drawn as the error stand-in.
class IGdiPicture {
public:
    virtual ~IGdiPicture() = default;
    virtual void DrawOn(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) const = 0;
};

// The document's fonts as GDI fonts, created on first use and kept until the cache goes (so the
// number of HFONTs follows the distinct fonts, not the size of the documents or how often they
// are laid out), and what measuring text in them on the screen needs, found once per font:
// - its metrics, and the advances of its 256 characters, trusted once a probe shows that they
//   add up to exactly what the platform reports for whole texts; then a text's width, its prefix
//   extents and how much of it fits are sums: no platform call, and no selecting of the font into
//   a DC (which costs far more than the measuring itself);
// - for a font whose advances do not add up, the widths of its short texts, so a run that repeats
//   ("» " before every link) or a page laid out again asks the platform once.
class THtmlFontCache {
public:
    THtmlFontCache() = default;
    THtmlFontCache(const THtmlFontCache&) = delete;
    THtmlFontCache& operator=(const THtmlFontCache&) = delete;

    // The cache for painters that no viewer owns (layout before a window exists, tests).
    static THtmlFontCache& Shared();

    // Face names are cut at 31 characters (what a LOGFONT holds), sizes kept to 1..1000 points.
    HFONT Get(const TMyFont& font);
    int FontCount() const { return static_cast<int>(fonts_.size()); }

    struct TFontFacts {
        TFontMetrics Metrics;
        bool Trusted = false; // Advances add up to the platform's extents
        int32_t Advances[256] = {};
    };
    // The facts of font on dc, a screen-like DC (selected into it for the finding, the DC's own
    // font put back).
    const TFontFacts& Facts(HDC dc, HFONT font);
    // Off: no advances are trusted, every text is measured by the platform (and kept).
    bool UseAdvances = true;

    // The width of s[0..n) in font, which is selected into dc, a screen-like DC.
    int32_t Width(HDC dc, HFONT font, const char* s, int32_t n);
    // Texts of at most this many characters are kept when their font has no trusted advances.
    static constexpr int32_t MaxCachedText = 256;
    size_t CachedTexts() const { return widths_.size(); }

    // Forgets the widths and deletes the fonts (no DC may have one selected).
    void Clear();

private:
    using TKey = std::tuple<std::string, int32_t, uint8_t, uint8_t>;
    std::map<TKey, TGdiObject<HFONT>> fonts_;
    std::unordered_map<HFONT, TFontFacts> facts_;
    std::unordered_map<std::string, int32_t> widths_; // font handle bytes + text
    std::string key_;                                 // reused for lookups: no allocation per text
    size_t cachedChars_ = 0;
};

// Metrics and drawing on a DC that someone else owns; the DC's state is put back on destruction.
// On DCs with the screen's metrics the font cache's facts answer; a printer measures afresh.
class TGdiPainter : public IHtmlPainter {
public:
    explicit TGdiPainter(HDC dc, THtmlFontCache& fonts = THtmlFontCache::Shared());
    ~TGdiPainter() override;
    TGdiPainter(const TGdiPainter&) = delete;
    TGdiPainter& operator=(const TGdiPainter&) = delete;

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

    HDC DC() const { return dc_; }

private:
    // The HFONT (and, on a screen-like DC, its facts) of font; nothing is selected.
    void Use(const TMyFont& font);
    // current_ selected into the DC, for a platform call.
    void SelectCurrent();
    // The DC's text colour, set only when it changes (a panel of links alternates two).
    void SetColor(TColor color);
    // Underlined text as the plain font's text and a bar, its characters placed by dx, where that
    // was checked to give the platform's pixels (HtmlUnderline.h); false when the platform is to
    // draw it.
    bool HandUnderlined(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                        const INT* dx, TColor color);
    // A brush of color for one fill: on a screen-like DC the DC's own brush (no object made per
    // fill), elsewhere a solid brush kept until the next one.
    HBRUSH Brush(TColor color);
    // The trusted advances of current_, or nullptr.
    const int32_t* Advances() const { return facts_ && facts_->Trusted ? facts_->Advances : nullptr; }
    // Where each character of s[0..n) in current_ goes: its advance as the layout measured it,
    // for ExtTextOut's lpDx. Some platforms (Wine, at some sizes of some faces) draw a text
    // narrower or wider than they measure it; placed by these, the ink, the underline and the
    // hit tests agree with the layout. Null when the platform cannot say.
    const INT* Placement(const char* s, int32_t n);

    HDC dc_;
    THtmlFontCache& fonts_;
    TSavedDC saved_;
    bool screenLike_;
    HFONT current_ = nullptr, selected_ = nullptr;
    TMyFont currentFont_; // the face current_ was made for: consecutive runs skip the lookup
    const THtmlFontCache::TFontFacts* facts_ = nullptr;
    COLORREF textColor_ = CLR_INVALID;
    COLORREF brushColor_ = CLR_INVALID, penColor_ = CLR_INVALID; // the DC's own brush and pen
    bool dcPen_ = false;                                         // the DC's own pen is selected
    TGdiObject<HBRUSH> brush_{nullptr};
    // The last underlined face asked for: its plain face and the bar drawn under it (none: the
    // platform draws the underline).
    struct {
        bool Known = false;
        TMyFont Font, Plain;
        std::optional<TUnderlineBar> Bar;
    } underline_;
    std::map<HFONT, TFontMetrics> metrics_; // DCs that are not screen-like
    std::vector<INT> placement_;            // reused by Placement
};

// The advance of each character of s[0..n) (n > 0) in the font selected into dc as the platform
// measures the text: partial extents apart, the last ending at the whole text's extent. False
// when the platform cannot say.
bool MeasuredAdvances(HDC dc, const char* s, int32_t n, INT* dx);

// A COLORREF for any colour of the document (system colours looked up, the palette flag dropped).
COLORREF HtmlColorRef(TColor c);
