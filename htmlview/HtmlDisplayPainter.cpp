// Text metrics and painting of the document on a GDI device context.
#include "htmlview/HtmlDisplayPainter.h"

#include <algorithm>
#include <vector>

COLORREF HtmlColorRef(TColor c) {
    if (c < 0) return GetSysColor(c & 0xFF);
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

HFONT THtmlFontCache::Get(const TMyFont& font) {
    TKey key{font.Name, font.Size, font.Charset, font.Style};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.Get();
    LOGFONTA lf{};
    HDC screen = GetDC(nullptr);
    const int ppi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    lf.lfHeight = -MulDiv(std::max(font.Size, 1), ppi, 72);
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = font.Charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    HFONT h = CreateFontIndirectA(&lf);
    if (!h)
        h = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); // stock objects are never deleted
    else
        fonts_.emplace(std::move(key), TGdiObject<HFONT>(h));
    return h;
}

void THtmlFontCache::Clear() {
    extents_.clear();
    cachedChars_ = 0;
    fonts_.clear();
}

const std::vector<int32_t>& THtmlFontCache::Extents(HDC dc, HFONT font, const char* s, int32_t n) {
    std::string key(reinterpret_cast<const char*>(&font), sizeof font);
    key.append(s, static_cast<size_t>(n));
    auto it = extents_.find(key);
    if (it != extents_.end()) return it->second;
    // Bounded: a cache that grew past a few million characters starts again.
    if (cachedChars_ > 4'000'000) {
        extents_.clear();
        cachedChars_ = 0;
    }
    std::vector<int32_t> dx(static_cast<size_t>(n), 0);
    SIZE sz{};
    static_assert(sizeof(INT) == sizeof(int32_t));
    if (!GetTextExtentExPointA(dc, s, n, 0, nullptr, reinterpret_cast<INT*>(dx.data()), &sz))
        dx.assign(dx.size(), 0);
    // The whole text's extent is what the platform reports for it (it may differ from the last
    // partial extent by an overhang).
    if (n > 0) dx.back() = sz.cx;
    cachedChars_ += static_cast<size_t>(n);
    return extents_.emplace(std::move(key), std::move(dx)).first->second;
}

TGdiPainter::TGdiPainter(HDC dc, THtmlFontCache& fonts) : dc_(dc), fonts_(fonts) {
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
}

TGdiPainter::~TGdiPainter() {
    if (oldFont_) SelectObject(dc_, oldFont_);
    SetTextAlign(dc_, TA_TOP | TA_LEFT);
}

void TGdiPainter::Select(const TMyFont& font) {
    HFONT h = fonts_.Get(font);
    if (h == current_) return;
    HGDIOBJ old = SelectObject(dc_, h);
    if (!oldFont_) oldFont_ = old;
    current_ = h;
}

TFontMetrics TGdiPainter::Metrics(const TMyFont& font) {
    Select(font);
    auto it = metrics_.find(current_);
    if (it != metrics_.end()) return it->second;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    TFontMetrics m;
    m.Height = tm.tmHeight;
    m.ExternalLeading = tm.tmExternalLeading;
    m.Descent = tm.tmDescent;
    m.Overhang = tm.tmOverhang;
    metrics_[current_] = m;
    return m;
}

int32_t TGdiPainter::TextWidth(const TMyFont& font, const char* s, int32_t n) {
    if (n <= 0) return 0;
    Select(font);
    if (n <= THtmlFontCache::MaxCachedText) return fonts_.Extents(dc_, current_, s, n).back();
    SIZE sz{};
    GetTextExtentPoint32A(dc_, s, n, &sz);
    return sz.cx;
}

int32_t TGdiPainter::FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) {
    if (n <= 0 || maxExtent < 0) return 0;
    Select(font);
    if (n <= THtmlFontCache::MaxCachedText) {
        const std::vector<int32_t>& e = fonts_.Extents(dc_, current_, s, n);
        // Partial extents grow with the prefix: the count of those within maxExtent.
        int32_t fit = 0;
        while (fit < n && e[static_cast<size_t>(fit)] <= maxExtent)
            ++fit;
        return fit;
    }
    INT fit = 0;
    SIZE sz{};
    if (!GetTextExtentExPointA(dc_, s, n, maxExtent, &fit, nullptr, &sz)) return 0;
    return std::clamp<int32_t>(fit, 0, n);
}

void TGdiPainter::TextOut(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                          TColor color, bool opaque, TColor back) {
    if (n <= 0) return;
    Select(font);
    SetTextColor(dc_, HtmlColorRef(color));
    if (opaque) {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, HtmlColorRef(back));
    }
    ExtTextOutA(dc_, x, yBaseline, 0, nullptr, s, static_cast<UINT>(n), nullptr);
    if (opaque) SetBkMode(dc_, TRANSPARENT);
}

void TGdiPainter::TextOutClipped(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                                 TColor color, const THvRect& clip) {
    if (n <= 0) return;
    Select(font);
    SetTextColor(dc_, HtmlColorRef(color));
    RECT r{clip.Left, clip.Top, clip.Right, clip.Bottom};
    ExtTextOutA(dc_, x, yBaseline, ETO_CLIPPED, &r, s, static_cast<UINT>(n), nullptr);
}

void TGdiPainter::FillRect(const THvRect& r, TColor color) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(HtmlColorRef(color)));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, brush.Get());
}

void TGdiPainter::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) {
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, HtmlColorRef(color)));
    TSelectObject sel(dc_, pen.Get());
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

void TGdiPainter::Ellipse(const THvRect& r, TColor outline, TColor fill, bool filled) {
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, HtmlColorRef(outline)));
    TGdiObject<HBRUSH> brush(filled ? CreateSolidBrush(HtmlColorRef(fill)) : nullptr);
    TSelectObject selPen(dc_, pen.Get());
    TSelectObject selBrush(dc_, filled ? static_cast<HGDIOBJ>(brush.Get()) : GetStockObject(NULL_BRUSH));
    ::Ellipse(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void TGdiPainter::FrameRect(const THvRect& r, TColor color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(HtmlColorRef(color)));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FrameRect(dc_, &rc, brush.Get());
}

void TGdiPainter::DrawPicture(const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (const auto* gdi = dynamic_cast<const IGdiPicture*>(&picture))
        gdi->DrawOn(dc_, x, y, w, h);
    else
        DrawStandIn(StandIn::Error, x, y);
}

void TGdiPainter::DrawStandIn(StandIn kind, int32_t x, int32_t y) {
    // A small framed square: a red cross for a picture that failed, grey for one still to come.
    const int32_t s = StandInSize;
    FillRect({x, y, x + s, y + s}, 0xFFFFFF);
    FrameRect({x, y, x + s, y + s}, 0x808080);
    if (kind == StandIn::Error) {
        Line(x + 4, y + 4, x + s - 4, y + s - 4, 0x0000FF);
        Line(x + s - 5, y + 4, x + 3, y + s - 4, 0x0000FF);
    } else if (kind == StandIn::Pending) {
        FillRect({x + 4, y + 4, x + s - 4, y + s - 4}, 0xC0C0C0);
    }
}

bool TGdiPainter::Monochrome() {
    return GetDeviceCaps(dc_, BITSPIXEL) * GetDeviceCaps(dc_, PLANES) == 1;
}

TColor TGdiPainter::ColorToRGB(TColor c) {
    return static_cast<TColor>(HtmlColorRef(c));
}
