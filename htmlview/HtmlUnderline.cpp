// The hand-drawn underline and its one check per font.
#include "htmlview/HtmlUnderline.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "gui/GdiGuards.h"
#include "htmlview/HtmlDisplayPainter.h"

namespace {

// A text with ascenders, descenders and an underscore, drawn both ways and compared.
constexpr char kSample[] = "Hg_xWy|j";
constexpr COLORREF kInk = RGB(20, 40, 230);

// The sample's characters are placed at the underlined font's measured advances (dx), as the
// painter places them.
std::vector<uint32_t> Draw(HFONT font, const std::optional<TUnderlineBar>& bar, const std::vector<INT>& dx,
                           int w, int h, int baseline) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TGdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    TMemoryDC dc(nullptr);
    if (!bitmap || !dc.Get() || !bits) return {};
    TSelectObject selectBitmap(dc.Get(), bitmap.Get());
    TSelectObject selectFont(dc.Get(), font);
    RECT all{0, 0, w, h};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextAlign(dc.Get(), TA_BASELINE | TA_LEFT);
    SetTextColor(dc.Get(), kInk);
    const int n = static_cast<int>(sizeof kSample - 1);
    ExtTextOutA(dc.Get(), 4, baseline, 0, nullptr, kSample, n, dx.data());
    if (bar) {
        int width = 0;
        for (INT d : dx)
            width += d;
        TGdiObject<HBRUSH> ink(CreateSolidBrush(kInk));
        RECT r{4, baseline + bar->Top, 4 + width, baseline + bar->Top + bar->Thickness};
        FillRect(dc.Get(), &r, ink.Get());
    }
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + static_cast<size_t>(w) * h);
}

std::optional<TUnderlineBar> Check(HFONT underlinedFont, HFONT plainFont) {
    TMemoryDC dc(nullptr);
    if (!dc.Get()) return std::nullopt;
    TSelectObject select(dc.Get(), underlinedFont);
    OUTLINETEXTMETRICA otm{};
    otm.otmSize = sizeof otm;
    TEXTMETRICA tm{};
    if (!GetOutlineTextMetricsA(dc.Get(), sizeof otm, &otm) || !GetTextMetricsA(dc.Get(), &tm) ||
        !tm.tmUnderlined || tm.tmHeight <= 0 || tm.tmHeight > 500)
        return std::nullopt;
    const int32_t thickness = std::max<int32_t>(otm.otmsUnderscoreSize, 1);
    const TUnderlineBar bar{-otm.otmsUnderscorePosition - thickness / 2, thickness};
    const int n = static_cast<int>(sizeof kSample - 1);
    std::vector<INT> dx(static_cast<size_t>(n));
    if (!MeasuredAdvances(dc.Get(), kSample, n, dx.data())) return std::nullopt;
    int width = 0;
    for (INT d : dx)
        width += d;
    const int w = width + tm.tmMaxCharWidth + 8, h = 2 * tm.tmHeight + 8, baseline = tm.tmAscent + 4;
    const std::vector<uint32_t> platform = Draw(underlinedFont, std::nullopt, dx, w, h, baseline);
    const std::vector<uint32_t> hand = Draw(plainFont, bar, dx, w, h, baseline);
    if (platform.empty() || platform != hand) return std::nullopt;
    return bar;
}

} // namespace

std::optional<TUnderlineBar> HandDrawnUnderline(const TMyFont& font, HFONT underlinedFont, HFONT plainFont) {
    using TKey = std::tuple<std::string, int32_t, uint8_t, uint8_t>;
    static std::map<TKey, std::optional<TUnderlineBar>> checked;
    const TKey key{font.Name, font.Size, font.Charset, font.Style};
    auto it = checked.find(key);
    if (it == checked.end()) it = checked.emplace(key, Check(underlinedFont, plainFont)).first;
    return it->second;
}
