// Underlined text drawn by the painter (by hand where the check allowed it) gives exactly the
// pixels of the platform's underlined font with each character at its measured advance, in the
// fonts and sizes documents use.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "gui/GdiGuards.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlUnderline.h"

namespace {

constexpr int W = 360, H = 60;

std::vector<uint32_t> Paint(const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TGdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    TMemoryDC dc(nullptr);
    TSelectObject select(dc.Get(), bitmap.Get());
    RECT all{0, 0, W, H};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(dc.Get());
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + W * H);
}

} // namespace

TEST(HtmlUnderline, ThePainterDrawsWhatTheUnderlinedFontDraws) {
    THtmlFontCache fonts;
    int handDrawn = 0;
    for (const char* face : {"Tahoma", "Arial", "Times New Roman", "Courier New"})
        for (int32_t size : {7, 8, 10, 12, 18, 24})
            for (uint8_t style :
                 {uint8_t(fsUnderline), uint8_t(fsUnderline | fsBold), uint8_t(fsUnderline | fsItalic)}) {
                TMyFont font;
                font.Name = face;
                font.Size = size;
                font.Style = style;
                SCOPED_TRACE(std::string(face) + " " + std::to_string(size) + " style " +
                             std::to_string(style));
                const char text[] = "\xBB Topic number 1234 about things_gjpq";
                const int n = static_cast<int>(sizeof text - 1);
                const auto painted = Paint([&](HDC dc) {
                    TGdiPainter painter(dc, fonts);
                    painter.TextOut(font, 5, 30, text, n, 0xC00000, false, 0);
                    painter.TextOut(font, 5, 50, text + 2, 10, 0x0000FF, false, 0);
                });
                const auto platform = Paint([&](HDC dc) {
                    TSelectObject select(dc, fonts.Get(font));
                    SetBkMode(dc, TRANSPARENT);
                    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
                    std::vector<INT> dx(n);
                    ASSERT_TRUE(MeasuredAdvances(dc, text, n, dx.data()));
                    SetTextColor(dc, 0xC00000);
                    ExtTextOutA(dc, 5, 30, 0, nullptr, text, n, dx.data());
                    ASSERT_TRUE(MeasuredAdvances(dc, text + 2, 10, dx.data()));
                    SetTextColor(dc, 0x0000FF);
                    ExtTextOutA(dc, 5, 50, 0, nullptr, text + 2, 10, dx.data());
                });
                EXPECT_TRUE(painted == platform);
                TMyFont plain = font;
                plain.Style = static_cast<uint8_t>(plain.Style & ~fsUnderline);
                if (HandDrawnUnderline(font, fonts.Get(font), fonts.Get(plain))) ++handDrawn;
            }
    // The shortcut is taken (under Wine for every outline font above), not only checked.
    EXPECT_GT(handDrawn, 0);
}
