// The GDI painter's measuring against the platform's own answers, with the fonts' advances
// trusted and with every text measured by the platform; and a document laid out both ways.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTextSection.h"

namespace {

struct FontCase {
    const char* Face;
    int32_t Size;
    uint8_t Style;
};

const FontCase kFonts[] = {
    {"Arial", 10, 0},
    {"Times New Roman", 12, fsUnderline},
    {"Courier New", 9, fsBold},
    {"Tahoma", 8, fsItalic | fsBold},
};

const std::string kTexts[] = {
    "W",
    "alpha beta",
    "Topic number 42 about things",
    "iiiiWWWW",
    "\xBB\xA0[Root] caf\xE9 \xC6sop \xFF\xE4",
    std::string(300, 'm') + " past the kept length",
};

TMyFont MakeFont(const FontCase& c) {
    TMyFont f;
    f.Name = c.Face;
    f.Size = c.Size;
    f.Style = c.Style;
    return f;
}

// Every answer of the painter equals the platform's, measured, then measured again (kept).
TEST(GdiPainter, MeasuresWhatThePlatformMeasures) {
    for (bool advances : {true, false}) {
        THtmlFontCache fonts;
        fonts.UseAdvances = advances;
        TMemoryDC dc(nullptr);
        TGdiPainter painter(dc.Get(), fonts);
        for (const FontCase& fc : kFonts) {
            const TMyFont font = MakeFont(fc);
            for (const std::string& text : kTexts) {
                const int n = static_cast<int>(text.size());
                TSelectObject select(dc.Get(), fonts.Get(font));
                SIZE whole{};
                ASSERT_TRUE(GetTextExtentPoint32A(dc.Get(), text.data(), n, &whole));
                std::vector<INT> dx(static_cast<size_t>(n));
                SIZE sz{};
                ASSERT_TRUE(GetTextExtentExPointA(dc.Get(), text.data(), n, 0, nullptr, dx.data(), &sz));
                TEXTMETRICA tm{};
                GetTextMetricsA(dc.Get(), &tm);
                for (int round = 0; round < 2; ++round) {
                    SCOPED_TRACE(std::string(fc.Face) + " / " + text.substr(0, 30) +
                                 (advances ? " / advances" : ""));
                    EXPECT_EQ(painter.TextWidth(font, text.data(), n), whole.cx);
                    std::vector<int32_t> extents(static_cast<size_t>(n));
                    painter.TextExtents(font, text.data(), n, extents.data());
                    for (int k = 0; k + 1 < n; ++k)
                        ASSERT_EQ(extents[static_cast<size_t>(k)], dx[static_cast<size_t>(k)]) << k;
                    EXPECT_EQ(extents.back(), whole.cx);
                    const int w = static_cast<int>(whole.cx);
                    for (int max : {0, 5, w / 3, w / 2, w - 1, w, w + 10}) {
                        INT fit = 0;
                        GetTextExtentExPointA(dc.Get(), text.data(), n, max, &fit, nullptr, &sz);
                        EXPECT_EQ(painter.FitChars(font, text.data(), n, max), fit) << "in " << max;
                    }
                    const TFontMetrics m = painter.Metrics(font);
                    EXPECT_EQ(m.Height, tm.tmHeight);
                    EXPECT_EQ(m.Descent, tm.tmDescent);
                    EXPECT_EQ(m.ExternalLeading, tm.tmExternalLeading);
                }
            }
        }
        // Without trusted advances the short texts are kept (the 300-character one is not); with
        // them nothing needs keeping.
        if (!advances) {
            EXPECT_EQ(fonts.CachedTexts(), std::size(kFonts) * (std::size(kTexts) - 1));
        }
    }
}

// Measuring leaves the DC's font alone until something is drawn, and the painter puts the DC's
// own font back when it goes.
TEST(GdiPainter, PutsTheDCsFontBack) {
    THtmlFontCache fonts;
    TMemoryDC dc(nullptr);
    HGDIOBJ own = GetCurrentObject(dc.Get(), OBJ_FONT);
    {
        TGdiPainter painter(dc.Get(), fonts);
        const TMyFont font = MakeFont(kFonts[0]);
        painter.TextWidth(font, "abc", 3);
        painter.Metrics(font);
        painter.TextOut(font, 0, 10, "abc", 3, 0, false, 0);
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), fonts.Get(font));
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), own);
}

// A picture that leaves the DC's text colour changed, as a careless one may.
class TColourChangingPicture : public IHtmlPicture, public IGdiPicture {
public:
    int32_t Width() const override { return 4; }
    int32_t Height() const override { return 4; }
    void DrawOn(HDC dc, int32_t, int32_t, int32_t, int32_t) const override {
        SetTextColor(dc, RGB(0, 255, 0));
    }
};

// Text keeps its colour though the painter sets the DC's colour only when it changes.
TEST(GdiPainter, TextColoursSurviveRunsAndPictures) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 200;
    bi.bmiHeader.biHeight = -40;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    TMemoryDC dc(nullptr);
    void* bits = nullptr;
    TGdiObject<HBITMAP> bitmap(CreateDIBSection(dc.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    TSelectObject selectBitmap(dc.Get(), bitmap.Get());
    THtmlFontCache fonts;
    TGdiPainter painter(dc.Get(), fonts);
    painter.FillRect({0, 0, 200, 40}, 0xFFFFFF);
    TMyFont font = MakeFont(kFonts[0]);
    font.Size = 20;
    const TColor red = 0x0000FF, blue = 0xFF0000;
    painter.TextOut(font, 0, 30, "M", 1, red, false, 0);
    painter.TextOut(font, 40, 30, "M", 1, blue, false, 0);
    painter.TextOut(font, 80, 30, "M", 1, blue, false, 0);
    TColourChangingPicture picture;
    painter.DrawPicture(picture, 190, 0, 4, 4);
    painter.TextOut(font, 120, 30, "M", 1, blue, false, 0);
    GdiFlush();
    // Every inked pixel of a letter's box is its colour blended with the white ground (text may
    // be smoothed), and some pixel is inked.
    auto inkedIn = [&](int left, uint32_t colour) {
        int inked = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = left; x < left + 40; ++x) {
                const uint32_t px = static_cast<const uint32_t*>(bits)[y * 200 + x] & 0xFFFFFF;
                if (px == 0xFFFFFF) continue;
                const uint32_t r = px >> 16 & 0xFF, g = px >> 8 & 0xFF, b = px & 0xFF;
                const bool blend = colour == 0xFF0000 ? r == 0xFF && g == b : b == 0xFF && r == g;
                if (!blend) return -1;
                ++inked;
            }
        return inked;
    };
    EXPECT_GT(inkedIn(0, 0xFF0000), 0);
    EXPECT_GT(inkedIn(40, 0x0000FF), 0);
    EXPECT_GT(inkedIn(80, 0x0000FF), 0);
    EXPECT_GT(inkedIn(120, 0x0000FF), 0); // not the picture's green
}

// The same page breaks into the same lines whether widths come from the advances or from the
// platform, at widths that cut runs in the middle.
TEST(GdiPainter, LayoutIsTheSameEitherWay) {
    const std::string page = "<p>Some <b>bold words</b> and <a href=x>a link that runs on</a> past the "
                             "end of a line, <i>italic caf\xE9 text</i> and <font size=5>bigger</font> "
                             "words to wrap.<p><nobr>&raquo; <a href=\"n:t\">A no-break title</a></nobr>";
    std::vector<std::vector<int32_t>> starts[2];
    for (int way = 0; way < 2; ++way) {
        THtmlFontCache fonts;
        fonts.UseAdvances = way == 0;
        TMemoryDC dc(nullptr);
        TGdiPainter painter(dc.Get(), fonts);
        TSectionList doc;
        doc.SetMeasure(&painter);
        doc.SetFonts("Arial", "Courier New", false, 0xFFFFFF, 0, 0x800080, 0xFF0000, 0, 12);
        THtmlParser parser;
        parser.ParseHtmlText(page, doc, nullptr);
        for (int32_t width : {90, 157, 230, 410}) {
            int32_t curs = 0, maxWidth = 0;
            doc.Layout(painter, 0, width, maxWidth, curs);
            std::vector<int32_t> s{maxWidth};
            for (const auto& section : doc.Sections)
                if (auto* t = dynamic_cast<TSection*>(section.get()))
                    for (const auto& line : t->Lines)
                        s.push_back(line.Start);
            starts[way].push_back(s);
        }
        doc.SetMeasure(nullptr);
    }
    EXPECT_EQ(starts[0], starts[1]);
    ASSERT_FALSE(starts[0].empty());
    EXPECT_GT(starts[0][0].size(), 4u); // the narrow width did cut lines
}

} // namespace
