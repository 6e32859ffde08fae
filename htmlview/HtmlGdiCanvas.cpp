// GDI metrics and painting for the document engine, and the document font cache.
#include "htmlview/HtmlGdiCanvas.h"

#include <map>
#include <string>
#include <tuple>

#include "htmlview/HtmlImageDisplay.h"
#include "htmlview/HtmlImagePicture.h"

namespace {
using FontKey = std::tuple<std::string, int32_t, uint8_t, uint8_t>;

std::map<FontKey, HFONT>& FontCache() {
    static std::map<FontKey, HFONT> cache;
    return cache;
}

COLORREF Rgb(TColor c) {
    if (c < 0) return GetSysColor(c & 0xFF);
    return static_cast<COLORREF>(c & 0xFFFFFF);
}
} // namespace

HFONT HtmlFontHandle(const TMyFont& font) {
    // LOGFONT holds 31 characters and a terminator.
    std::string face = font.Name.substr(0, LF_FACESIZE - 1);
    FontKey key{face, font.Size, font.Charset, font.Style};
    auto& cache = FontCache();
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    LOGFONTA lf{};
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    int size = font.Size < 1 ? 1 : (font.Size > 1000 ? 1000 : font.Size);
    lf.lfHeight = -MulDiv(size, dpi, 72);
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = font.Charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectA(&lf);
    if (!handle) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    cache.emplace(key, handle);
    return handle;
}

int HtmlFontCacheCount() {
    return static_cast<int>(FontCache().size());
}

void HtmlFontCacheClear() {
    for (auto& [key, handle] : FontCache())
        DeleteObject(handle);
    FontCache().clear();
}

TGdiCanvas::TGdiCanvas(HDC dc) : dc_(dc), savedDC_(SaveDC(dc)) {}

TGdiCanvas::~TGdiCanvas() {
    RestoreDC(dc_, savedDC_);
}

void TGdiCanvas::Select(const TMyFont& font) {
    HFONT h = HtmlFontHandle(font);
    if (h != current_) {
        SelectObject(dc_, h);
        current_ = h;
    }
}

TFontMetrics TGdiCanvas::Metrics(const TMyFont& font) {
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
    metrics_.emplace(current_, m);
    return m;
}

int32_t TGdiCanvas::TextWidth(const TMyFont& font, const char* s, int32_t n) {
    if (n <= 0) return 0;
    Select(font);
    SIZE size{};
    GetTextExtentPoint32A(dc_, s, n, &size);
    return size.cx;
}

int32_t TGdiCanvas::FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) {
    if (n <= 0 || maxExtent <= 0) return 0;
    Select(font);
    INT fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointA(dc_, s, n, maxExtent, &fit, nullptr, &size)) return 0;
    return fit;
}

void TGdiCanvas::TextExtents(const TMyFont& font, const char* s, int32_t n, int32_t* extents) {
    if (n <= 0) return;
    Select(font);
    static_assert(sizeof(INT) == sizeof(int32_t));
    SIZE size{};
    INT fit = 0;
    if (!GetTextExtentExPointA(dc_, s, n, 0x7FFFFFFF, &fit, reinterpret_cast<INT*>(extents), &size))
        for (int32_t k = 0; k < n; ++k)
            extents[k] = TextWidth(font, s, k + 1);
}

void TGdiCanvas::TextOut(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                         TColor color, bool opaque, TColor back) {
    if (n <= 0) return;
    Select(font);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    SetTextColor(dc_, Rgb(color));
    if (opaque) {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, Rgb(back));
    } else {
        SetBkMode(dc_, TRANSPARENT);
    }
    ::TextOutA(dc_, x, yBaseline, s, n);
}

void TGdiCanvas::TextOutClipped(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                                TColor color, const THvRect& clip) {
    if (n <= 0) return;
    Select(font);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    SetTextColor(dc_, Rgb(color));
    SetBkMode(dc_, TRANSPARENT);
    RECT r{clip.Left, clip.Top, clip.Right, clip.Bottom};
    ExtTextOutA(dc_, x, yBaseline, ETO_CLIPPED, &r, s, static_cast<UINT>(n), nullptr);
}

void TGdiCanvas::FillRect(const THvRect& r, TColor color) {
    HBRUSH brush = CreateSolidBrush(Rgb(color));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, brush);
    DeleteObject(brush);
}

void TGdiCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) {
    HPEN pen = CreatePen(PS_SOLID, 1, Rgb(color));
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    SelectObject(dc_, old);
    DeleteObject(pen);
}

void TGdiCanvas::Ellipse(const THvRect& r, TColor outline, TColor fill, bool filled) {
    HPEN pen = CreatePen(PS_SOLID, 1, Rgb(outline));
    HBRUSH brush = filled ? CreateSolidBrush(Rgb(fill)) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    HGDIOBJ oldBrush = SelectObject(dc_, brush);
    ::Ellipse(dc_, r.Left, r.Top, r.Right, r.Bottom);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
    if (filled) DeleteObject(brush);
}

void TGdiCanvas::FrameRect(const THvRect& r, TColor color) {
    HBRUSH brush = CreateSolidBrush(Rgb(color));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FrameRect(dc_, &rc, brush);
    DeleteObject(brush);
}

void TGdiCanvas::DrawPicture(const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h) {
    DrawHtmlPicture(dc_, picture, x, y, w, h);
}

void TGdiCanvas::DrawStandIn(StandIn kind, int32_t x, int32_t y) {
    TBitmap* bitmap = kind == StandIn::Error ? ImageErrorBitmap : ImagePendingBitmap;
    if (!bitmap) return;
    if (kind == StandIn::Error && ImageErrorMask)
        DrawMasked(dc_, *bitmap, *ImageErrorMask, x, y, StandInSize, StandInSize);
    else
        BitBlt(dc_, x, y, StandInSize, StandInSize, bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
}

bool TGdiCanvas::Monochrome() {
    return GetDeviceCaps(dc_, BITSPIXEL) * GetDeviceCaps(dc_, PLANES) == 1;
}

TColor TGdiCanvas::ColorToRGB(TColor c) {
    return static_cast<TColor>(Rgb(c));
}
