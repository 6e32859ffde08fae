// Text metrics and painting of the document on a GDI device context, and the document font cache.
#include "htmlview/HtmlDisplayPainter.h"

#include "htmlview/HtmlUnderline.h"

#include "gui/GdiGuards.h"
#include "gui/TextAdvances.h"

#include <algorithm>
#include <vector>

#include "htmlview/HtmlImageDisplay.h"

COLORREF HtmlColorRef(TColor c) {
    if (c < 0) return GetSysColor(c & 0xFF);
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

bool MeasuredAdvances(HDC dc, const char* s, int32_t n, INT* dx) {
    SIZE sz{};
    if (!GetTextExtentExPointA(dc, s, n, 0, nullptr, dx, &sz)) return false;
    dx[n - 1] = sz.cx;
    for (int32_t k = n - 1; k > 0; --k)
        dx[k] -= dx[k - 1];
    return true;
}

THtmlFontCache& THtmlFontCache::Shared() {
    static THtmlFontCache cache;
    return cache;
}

HFONT THtmlFontCache::Get(const TMyFont& font) {
    // LOGFONT holds 31 characters and a terminator: longer names are one face.
    TKey key{font.Name.substr(0, LF_FACESIZE - 1), font.Size, font.Charset, font.Style};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.Get();
    LOGFONTA lf{};
    const int ppi = [] {
        TWindowDC screen(nullptr);
        return screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    }();
    lf.lfHeight = -MulDiv(std::clamp<int32_t>(font.Size, 1, 1000), ppi, 72);
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = font.Charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::get<0>(key).copy(lf.lfFaceName, LF_FACESIZE - 1);
    HFONT h = CreateFontIndirectA(&lf);
    if (!h) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); // stock objects are never deleted
    fonts_.emplace(std::move(key), TGdiObject<HFONT>(h));
    return h;
}

namespace {
TFontMetrics MetricsOf(HDC dc) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    TFontMetrics m;
    m.Height = tm.tmHeight;
    m.ExternalLeading = tm.tmExternalLeading;
    m.Descent = tm.tmDescent;
    m.Overhang = tm.tmOverhang;
    return m;
}

int32_t Sum(const int32_t* advances, const char* s, int32_t n) {
    int32_t w = 0;
    for (int32_t k = 0; k < n; ++k)
        w += advances[static_cast<unsigned char>(s[k])];
    return w;
}
} // namespace

const THtmlFontCache::TFontFacts& THtmlFontCache::Facts(HDC dc, HFONT font) {
    auto [it, made] = facts_.try_emplace(font);
    TFontFacts& f = it->second;
    if (made) {
        TSelectObject select(dc, font);
        f.Metrics = MetricsOf(dc);
        f.Trusted = UseAdvances && TrustedAdvances(dc, f.Advances);
    }
    return f;
}

int32_t THtmlFontCache::Width(HDC dc, HFONT font, const char* s, int32_t n) {
    if (n <= 0) return 0;
    SIZE sz{};
    if (n > MaxCachedText) {
        GetTextExtentPoint32A(dc, s, n, &sz);
        return sz.cx;
    }
    key_.assign(reinterpret_cast<const char*>(&font), sizeof font);
    key_.append(s, static_cast<size_t>(n));
    auto it = widths_.find(key_);
    if (it != widths_.end()) return it->second;
    // Bounded: a cache that grew past a few million characters starts again.
    if (cachedChars_ > 4'000'000) {
        widths_.clear();
        cachedChars_ = 0;
    }
    if (!GetTextExtentPoint32A(dc, s, n, &sz)) return 0; // not kept: the next call asks again
    cachedChars_ += static_cast<size_t>(n);
    widths_.emplace(key_, sz.cx);
    return sz.cx;
}

void THtmlFontCache::Clear() {
    facts_.clear();
    widths_.clear();
    cachedChars_ = 0;
    fonts_.clear();
}

TGdiPainter::TGdiPainter(HDC dc, THtmlFontCache& fonts)
    : dc_(dc), fonts_(fonts), saved_(dc), screenLike_(GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY) {
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
}

TGdiPainter::~TGdiPainter() = default; // saved_ puts font, colours and alignment back

void TGdiPainter::Use(const TMyFont& font) {
    if (current_ && font.SameFace(currentFont_)) return;
    currentFont_ = font;
    HFONT h = fonts_.Get(font);
    if (h == current_) return;
    current_ = h;
    facts_ = screenLike_ ? &fonts_.Facts(dc_, h) : nullptr;
}

void TGdiPainter::SelectCurrent() {
    if (selected_ == current_) return;
    SelectObject(dc_, current_);
    selected_ = current_;
}

void TGdiPainter::SetColor(TColor color) {
    const COLORREF c = HtmlColorRef(color);
    if (c == textColor_) return;
    SetTextColor(dc_, c);
    textColor_ = c;
}

TFontMetrics TGdiPainter::Metrics(const TMyFont& font) {
    Use(font);
    if (facts_) return facts_->Metrics;
    auto it = metrics_.find(current_);
    if (it != metrics_.end()) return it->second;
    SelectCurrent();
    return metrics_[current_] = MetricsOf(dc_);
}

int32_t TGdiPainter::TextWidth(const TMyFont& font, const char* s, int32_t n) {
    if (n <= 0) return 0;
    Use(font);
    if (const int32_t* advances = Advances()) return Sum(advances, s, n);
    SelectCurrent();
    if (screenLike_) return fonts_.Width(dc_, current_, s, n);
    SIZE sz{};
    GetTextExtentPoint32A(dc_, s, n, &sz);
    return sz.cx;
}

int32_t TGdiPainter::FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) {
    if (n <= 0 || maxExtent < 0) return 0;
    Use(font);
    if (const int32_t* advances = Advances()) {
        int32_t w = 0, fit = 0;
        while (fit < n && (w += advances[static_cast<unsigned char>(s[fit])]) <= maxExtent)
            ++fit;
        return fit;
    }
    SelectCurrent();
    INT fit = 0;
    SIZE sz{};
    if (!GetTextExtentExPointA(dc_, s, n, maxExtent, &fit, nullptr, &sz)) return 0;
    return std::clamp<int32_t>(fit, 0, n);
}

void TGdiPainter::TextExtents(const TMyFont& font, const char* s, int32_t n, int32_t* extents) {
    if (n <= 0) return;
    Use(font);
    if (const int32_t* advances = Advances()) {
        int32_t w = 0;
        for (int32_t k = 0; k < n; ++k)
            extents[k] = w += advances[static_cast<unsigned char>(s[k])];
        return;
    }
    SelectCurrent();
    static_assert(sizeof(INT) == sizeof(int32_t));
    SIZE sz{};
    if (!GetTextExtentExPointA(dc_, s, n, 0, nullptr, reinterpret_cast<INT*>(extents), &sz)) {
        std::fill_n(extents, n, 0);
        return;
    }
    // The whole text's extent is what the platform reports for it (it may differ from the last
    // partial extent by an overhang), the same as TextWidth gives.
    extents[n - 1] = sz.cx;
}

const INT* TGdiPainter::Placement(const char* s, int32_t n) {
    placement_.resize(static_cast<size_t>(n));
    INT* dx = placement_.data();
    if (const int32_t* advances = Advances()) {
        for (int32_t k = 0; k < n; ++k)
            dx[k] = advances[static_cast<unsigned char>(s[k])];
        return dx;
    }
    // What TextExtents and TextWidth give the layout.
    SelectCurrent();
    return MeasuredAdvances(dc_, s, n, dx) ? dx : nullptr;
}

void TGdiPainter::TextOut(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                          TColor color, bool opaque, TColor back) {
    if (n <= 0) return;
    Use(font);
    const INT* dx = Placement(s, n);
    if (!opaque && screenLike_ && (font.Style & fsUnderline) &&
        HandUnderlined(font, x, yBaseline, s, n, dx, color))
        return;
    SelectCurrent();
    SetColor(color);
    if (opaque) {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, HtmlColorRef(back));
    }
    ExtTextOutA(dc_, x, yBaseline, 0, nullptr, s, static_cast<UINT>(n), dx);
    if (opaque) SetBkMode(dc_, TRANSPARENT);
}

bool TGdiPainter::HandUnderlined(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                                 const INT* dx, TColor color) {
    // A page of links asks about one underlined face again and again.
    if (!underline_.Known || !font.SameFace(underline_.Font)) {
        underline_.Font = font;
        underline_.Plain = font;
        underline_.Plain.Style = static_cast<uint8_t>(font.Style & ~fsUnderline);
        underline_.Bar = HandDrawnUnderline(font, fonts_.Get(font), fonts_.Get(underline_.Plain));
        underline_.Known = true;
    }
    const auto& bar = underline_.Bar;
    if (!bar || !dx) return false;
    int32_t width = 0;
    for (int32_t k = 0; k < n; ++k)
        width += dx[k];
    Use(underline_.Plain);
    SelectCurrent();
    SetColor(color);
    ExtTextOutA(dc_, x, yBaseline, 0, nullptr, s, static_cast<UINT>(n), dx);
    const int32_t top = yBaseline + bar->Top;
    FillRect({x, top, x + width, top + bar->Thickness}, color);
    return true;
}

void TGdiPainter::TextOutClipped(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                                 TColor color, const THvRect& clip) {
    if (n <= 0) return;
    Use(font);
    const INT* dx = Placement(s, n);
    SelectCurrent();
    SetColor(color);
    RECT r{clip.Left, clip.Top, clip.Right, clip.Bottom};
    ExtTextOutA(dc_, x, yBaseline, ETO_CLIPPED, &r, s, static_cast<UINT>(n), dx);
}

void TGdiPainter::FillRect(const THvRect& r, TColor color) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, Brush(color));
}

HBRUSH TGdiPainter::Brush(TColor color) {
    const COLORREF c = HtmlColorRef(color);
    if (screenLike_) {
        if (c != brushColor_) SetDCBrushColor(dc_, brushColor_ = c);
        return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    }
    brush_.Reset(CreateSolidBrush(c));
    return brush_.Get();
}

void TGdiPainter::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) {
    const COLORREF c = HtmlColorRef(color);
    if (screenLike_) {
        // The DC's own pen, selected at the first line and left there until the painter goes.
        if (!dcPen_) {
            SelectObject(dc_, GetStockObject(DC_PEN));
            dcPen_ = true;
        }
        if (c != penColor_) SetDCPenColor(dc_, penColor_ = c);
        MoveToEx(dc_, x1, y1, nullptr);
        LineTo(dc_, x2, y2);
        return;
    }
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, c));
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
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FrameRect(dc_, &rc, Brush(color));
}

void TGdiPainter::DrawPicture(const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h) {
    // Masked pictures set the DC's colours for their blits, pictures may draw with the DC's brush.
    textColor_ = brushColor_ = penColor_ = CLR_INVALID;
    if (const auto* gdi = dynamic_cast<const IGdiPicture*>(&picture))
        gdi->DrawOn(dc_, x, y, w, h);
    else
        DrawStandIn(StandIn::Error, x, y);
}

void TGdiPainter::DrawStandIn(StandIn kind, int32_t x, int32_t y) {
    textColor_ = CLR_INVALID;
    // The picture side's own stand-ins once it has made them.
    const int32_t s = StandInSize;
    if (kind == StandIn::Error && ImageErrorBitmap() && ImageErrorMask()) {
        DrawMasked(dc_, *ImageErrorBitmap(), *ImageErrorMask(), x, y, s, s);
        return;
    }
    if (kind == StandIn::Pending && ImagePendingBitmap()) {
        BitBlt(dc_, x, y, s, s, ImagePendingBitmap()->Canvas().Handle(), 0, 0, SRCCOPY);
        return;
    }
    // Before that, a small framed square: a red cross for a picture that failed, grey for one
    // still to come.
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
