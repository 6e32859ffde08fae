// The page faces a Windows user has (Times New Roman, Arial, Courier New) under Wine: the set-up
// maps them to metric-compatible faces, so a fixed-pitch face is fixed-pitch on screen and the
// three are the widths a Windows user sees; and it gives the prefix a Symbol face, so a rich
// edit's bulleted paragraph shows a bullet.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ImageScreens.h"
#include "gui/Graphics.h"
#include "htmlview/HtmlImageDisplay.h"

namespace {
// A screen DC's compatible 24-bit bitmap with one face selected, white, text in black.
class TFontProbe {
public:
    TFontProbe(const char* face, int height) : bitmap_(600, 60, TPixelFormat::pf24bit) {
        LOGFONTA lf{};
        lf.lfHeight = -height;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
        font_ = CreateFontIndirectA(&lf);
        dc_ = bitmap_.Canvas().Handle();
        old_ = SelectObject(dc_, font_);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(0, 0, 0));
    }
    ~TFontProbe() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
    }
    int Measure(const std::string& text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    std::string Face() const {
        char face[LF_FACESIZE] = {};
        GetTextFaceA(dc_, LF_FACESIZE, face);
        return face;
    }
    TEXTMETRICA Metrics() const {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc_, &tm);
        return tm;
    }
    // Draws the text at x = 10 on a white field and returns one past its rightmost inked column.
    int InkRight(const std::string& text) {
        PatBlt(dc_, 0, 0, bitmap_.Width(), bitmap_.Height(), WHITENESS);
        TextOutA(dc_, 10, 10, text.c_str(), static_cast<int>(text.size()));
        GdiFlush();
        last_ = PixelsFromBitmap(bitmap_);
        for (int x = last_.Width - 1; x >= 0; --x)
            for (int y = 0; y < last_.Height; ++y)
                if (last_.ColorAt(x, y) != 0xFFFFFFu) return x + 1;
        return 0;
    }
    const TPixelImage& LastDrawing() const { return last_; }
    // The lines drawn one under another, for a screen to look at.
    TPixelImage Show(const std::vector<std::string>& lines) {
        PatBlt(dc_, 0, 0, bitmap_.Width(), bitmap_.Height(), WHITENESS);
        for (size_t i = 0; i < lines.size(); ++i)
            TextOutA(dc_, 10, 4 + 18 * static_cast<int>(i), lines[i].c_str(),
                     static_cast<int>(lines[i].size()));
        GdiFlush();
        return PixelsFromBitmap(bitmap_);
    }

private:
    TBitmap bitmap_;
    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    TPixelImage last_;
};
} // namespace

TEST(WineFontFaces, CourierNewIsFixedPitchOnScreen) {
    TFontProbe probe("Courier New", 16);
    const int narrow = probe.Measure("iiiiiiiiii"), wide = probe.Measure("WWWWWWWWWW");
    EXPECT_EQ(narrow, wide);
    EXPECT_EQ(probe.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // the bit set means variable
    // Drawn, the narrow and the wide line end within one character cell of their measure.
    const int cell = wide / 10;
    const int inkNarrow = probe.InkRight("iiiiiiiiii"), inkWide = probe.InkRight("WWWWWWWWWW");
    SaveScreenPng("wine-fonts-courier-new", probe.Show({"iiiiiiiiii|", "WWWWWWWWWW|", "<pre> a  b  c"}));
    EXPECT_GT(inkNarrow, 10 + wide - cell);
    EXPECT_LE(inkWide, 10 + wide + 1);
    EXPECT_GT(inkWide, 10 + wide - cell / 2);
}

TEST(WineFontFaces, PageFacesAreThreeDesignsNotOneFallback) {
    const std::string text = "The quick brown fox jumps over the lazy dog";
    const int serif = TFontProbe("Times New Roman", 16).Measure(text);
    const int sans = TFontProbe("Arial", 16).Measure(text);
    const int mono = TFontProbe("Courier New", 16).Measure(text);
    EXPECT_NE(serif, sans);
    EXPECT_NE(sans, mono);
    EXPECT_NE(serif, mono);
    // Their widths are those of the Windows faces: 43 characters of Courier New take 43 cells of
    // 0.6 em, and Arial's and Times New Roman's sentence widths are their design widths.
    EXPECT_EQ(mono, 43 * 10);
    EXPECT_NEAR(sans, 315, 6);
    EXPECT_NEAR(serif, 289, 6);
    for (const char* face : {"Times New Roman", "Arial"}) {
        TFontProbe probe(face, 16);
        probe.InkRight(text);
        SaveScreenPng(std::string("wine-fonts-") + (face[0] == 'A' ? "arial" : "times-new-roman"),
                      probe.LastDrawing());
    }
}

// A bare rich edit window of the system's class with a bulleted paragraph: the bullet (character
// 0xB7 of Symbol in the symbol character set) is a small filled dot left of the text, not the
// tall empty box of a missing glyph.
TEST(WineFontFaces, RichEditBulletIsADot) {
    ASSERT_TRUE(LoadLibraryA("riched20.dll"));
    HWND edit = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | WS_VISIBLE | ES_MULTILINE, 0, 0, 240, 60,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(edit);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Bulleted item"));
    SendMessageA(edit, EM_SETSEL, 0, -1);
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_NUMBERING;
    pf.wNumbering = PFN_BULLET;
    SendMessageA(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, EM_HIDESELECTION, TRUE, 0);
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    POINTL first{};
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
    TBitmap shot(240, 60, TPixelFormat::pf24bit);
    HDC dc = GetDC(edit);
    BitBlt(shot.Canvas().Handle(), 0, 0, 240, 60, dc, 0, 0, SRCCOPY);
    ReleaseDC(edit, dc);
    DestroyWindow(edit);
    const TPixelImage pixels = PixelsFromBitmap(shot);
    SaveScreenPng("wine-fonts-richedit-bullet", pixels);
    // The ink left of the first character, on its line.
    const uint32_t paper = pixels.ColorAt(pixels.Width - 1, pixels.Height - 1);
    int left = pixels.Width, right = -1, top = pixels.Height, bottom = -1;
    ASSERT_GT(first.x, 2);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < first.x - 1; ++x)
            if (pixels.ColorAt(x, y) != paper) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "no bullet drawn";
    const int w = right - left + 1, h = bottom - top + 1;
    EXPECT_LE(h, w + 1) << "a tall glyph: " << w << " x " << h;
    EXPECT_LE(h, 8);
    // Inked through: the middle is as dark as the text (a missing glyph's box is grey inside).
    EXPECT_EQ(pixels.ColorAt((left + right) / 2, (top + bottom) / 2) & 0xC0C0C0u, 0u)
        << "hollow: " << w << " x " << h;
}
